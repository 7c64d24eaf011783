#pragma once
// Open-platform alarms: algorithms running on the device report rules,
// targets and pictures. Key prefixes follow the types: "vs" a list, "stru" a
// nested record, "str" a text, "i" an integer, "tm" a time (ISO 8601 text).

#include <string>
#include <vector>

#include "protocol/JSONStruct/AlarmPictureInfo.h"

namespace protocol {

// Records the alarm contains whose keys are not carried.
struct AIOPTargetInfo : public IInboundData {
    PROTOCOL_INBOUND_RECORD(AIOPTargetInfo, PROTOCOL_NO_FIELDS)
};
struct AIOPAudioInfo : public IInboundData {
    PROTOCOL_INBOUND_RECORD(AIOPAudioInfo, PROTOCOL_NO_FIELDS)
};
struct AIOPDotMatrixInfo : public IInboundData {
    PROTOCOL_INBOUND_RECORD(AIOPDotMatrixInfo, PROTOCOL_NO_FIELDS)
};
struct AIOPEventInfo : public IInboundData {
    PROTOCOL_INBOUND_RECORD(AIOPEventInfo, PROTOCOL_NO_FIELDS)
};

struct AIOPRuleInfo : public IInboundData {
#define PROTOCOL_AIOP_RULE_INFO_FIELDS(F)      \
    F(std::string, strRuleName, "strRuleName") \
    F(int, iRuleID, "iRuleID")                 \
    F(int, iRuleType, "iRuleType")             \
    F(std::vector<AIOPTargetInfo>, vsTargetInfos, "vsTargetInfos")
    PROTOCOL_INBOUND_RECORD(AIOPRuleInfo, PROTOCOL_AIOP_RULE_INFO_FIELDS)
};

struct AIOPAlarmInfo : public IInboundData {
#define PROTOCOL_AIOP_ALARM_INFO_FIELDS(F)                                 \
    F(std::vector<AIOPRuleInfo>, vsRuleInfos, "vsRuleInfos")               \
    F(std::vector<AIOPAudioInfo>, vsAudioInfos, "vsAudioInfos")            \
    F(AlarmPictureInfo, struMajorPic, "struMajorPic")                      \
    F(AlarmPictureInfo, struMinorPic, "struMinorPic")                      \
    F(AlarmPictureInfo, struTargetPic, "struTargetPic")                    \
    F(AlarmPictureInfo, struTargetBkPic, "struTargetBkPic")                \
    F(protocol::AIOPDotMatrixInfo, AIOPDotMatrixInfo, "AIOPDotMatrixInfo") \
    F(std::string, strJsonInfo, "strJsonInfo")                             \
    F(std::string, strPid, "strPid")                                       \
    F(int, iDeviceCategory, "iDeviceCategory")                             \
    F(std::string, tmOccurTime, "tmOccurTime")                             \
    F(std::string, strChannelName, "strChannelName")
    PROTOCOL_INBOUND_RECORD(AIOPAlarmInfo, PROTOCOL_AIOP_ALARM_INFO_FIELDS)
};

struct AIOpenPlatformInfo : public IInboundData {
#define PROTOCOL_AI_OPEN_PLATFORM_INFO_FIELDS(F)                              \
    F(protocol::AlarmPictureInfo, AlarmPictureInfo, "AlarmPictureInfo")       \
    F(protocol::AlarmPictureInfo, AddAlarmPictureInfo, "AddAlarmPictureInfo") \
    F(AIOPEventInfo, AIOPEvent, "AIOPEvent")                                  \
    F(std::string, strJsonInfo, "strJsonInfo")                                \
    F(std::string, strTargetImage, "strTargetImage")                          \
    F(std::string, strTargetBackgroundImage, "strTargetBackgroundImage")      \
    F(int, iType, "iType")                                                    \
    F(int, iPresetIndex, "iPresetIndex")                                      \
    F(int, iDeviceCategory, "iDeviceCategory")                                \
    F(int, iShowType, "iShowType")                                            \
    F(std::string, strPID, "strPID")                                          \
    F(std::vector<AIOPTargetInfo>, targets, "targets")
    PROTOCOL_INBOUND_RECORD(AIOpenPlatformInfo, PROTOCOL_AI_OPEN_PLATFORM_INFO_FIELDS)
};

}  // namespace protocol
