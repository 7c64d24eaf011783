#pragma once
// The decoded intelligent alarm as the host hands it over.

#include <string>
#include <vector>

#include "protocol/JSONStruct/AIOPAlarmInfo.h"
#include "protocol/JSONStruct/IntelAlarmEventRecords.h"
#include "protocol/JSONStruct/IntelAlarmFaceContrastInfo.h"
#include "protocol/JSONStruct/IntelAlarmTargetInfo.h"

namespace protocol {

struct IntelAlarmInfoStruct : public IInboundData {
// The host's layout declares the "DevLinkCamera" member after the open-platform
// members, while the JSON keeps it before them; the list is split at those
// points so that both orders are built from the same entries.
#define PROTOCOL_INTEL_ALARM_HEAD_FIELDS(F)                     \
    F(std::string, LinkageUid, "LinkageUid")                    \
    F(IntelAlarmFaceContrastInfo, FaceContrast, "FaceContrast") \
    F(IntelVCASmartAlarm, VCASmart, "VCASmart")
#define PROTOCOL_INTEL_ALARM_DEV_LINK_FIELDS(F) F(protocol::DevLinkCamera, DevLinkCamera, "DevLinkCamera")
#define PROTOCOL_INTEL_ALARM_OPEN_PLATFORM_FIELDS(F)        \
    F(AIOpenPlatformInfo, AIOpenPlatform, "AIOpenPlatform") \
    F(AIOPAlarmInfo, AIOpenPlatformEx, "AIOpenPlatformEx")
#define PROTOCOL_INTEL_ALARM_TAIL_FIELDS(F)                                                          \
    F(LFPDAlarmInfo, LFPD, "LFPD")                                                                   \
    F(CameraGroupPeopleCount, CameraGroupPeopleCounting, "CameraGroupPeopleCounting")                \
    F(protocol::SecurityCheckInfo, SecurityCheckInfo, "SecurityCheckInfo")                           \
    F(protocol::MetalDetection, MetalDetection, "MetalDetection")                                    \
    F(protocol::SecurityPeopleDetection, SecurityPeopleDetection, "SecurityPeopleDetection")         \
    F(VisiblePackageEventInfo, visiblePackageEvent, "visiblePackageEvent")                           \
    F(SecurityFaceCapture, faceCapture, "faceCapture")                                               \
    F(std::vector<IntelAlarmFaceInfo>, IntelAlarmFaceInfoList, "IntelAlarmFaceInfoList")             \
    F(std::vector<IntelAlarmHumanInfo>, IntelAlarmHumanInfoList, "IntelAlarmHumanInfoList")          \
    F(std::vector<IntelAlarmNonMotorInfo>, IntelAlarmNonMotorInfoList, "IntelAlarmNonMotorInfoList") \
    F(std::vector<IntelAlarmVehicleInfo>, IntelAlarmVehicleInfoList, "IntelAlarmVehicleInfoList")    \
    F(std::vector<IntelAlarmMEFInfo>, IntelAlarmMEFInfoList, "IntelAlarmMEFInfoList")
#define PROTOCOL_INTEL_ALARM_DECLARED_FIELDS(F)  \
    PROTOCOL_INTEL_ALARM_HEAD_FIELDS(F)          \
    PROTOCOL_INTEL_ALARM_OPEN_PLATFORM_FIELDS(F) \
    PROTOCOL_INTEL_ALARM_DEV_LINK_FIELDS(F)      \
    PROTOCOL_INTEL_ALARM_TAIL_FIELDS(F)
#define PROTOCOL_INTEL_ALARM_JSON_FIELDS(F)      \
    PROTOCOL_INTEL_ALARM_HEAD_FIELDS(F)          \
    PROTOCOL_INTEL_ALARM_DEV_LINK_FIELDS(F)      \
    PROTOCOL_INTEL_ALARM_OPEN_PLATFORM_FIELDS(F) \
    PROTOCOL_INTEL_ALARM_TAIL_FIELDS(F)
    PROTOCOL_INBOUND_RECORD_ORDERED(IntelAlarmInfoStruct, PROTOCOL_INTEL_ALARM_DECLARED_FIELDS,
                                    PROTOCOL_INTEL_ALARM_JSON_FIELDS)
};

}  // namespace protocol
