#pragma once
// Face comparison result: the snapped face and body and the matched person
// of a face library.

#include <string>
#include <vector>

#include "protocol/JSONStruct/IntelAlarmTargetInfo.h"

namespace protocol {

// One extra attribute of a library person; its keys are not carried.
struct IntelAlarmExtendInfo : public IInboundData {
    PROTOCOL_INBOUND_RECORD(IntelAlarmExtendInfo, PROTOCOL_NO_FIELDS)
};

struct IntelAlarmPeopleInfo : public IInboundData {
#define PROTOCOL_INTEL_ALARM_PEOPLE_INFO_FIELDS(F)                         \
    F(std::string, Name, "Name")                                           \
    F(int, Sex, "Sex")                                                     \
    F(std::string, Province, "Province")                                   \
    F(std::string, City, "City")                                           \
    F(int, CertType, "CertType")                                           \
    F(std::string, CertNum, "CertNum")                                     \
    F(std::string, Birth, "Birth")                                         \
    F(std::string, Phone, "Phone")                                         \
    F(std::string, FDname, "FDname")                                       \
    F(std::string, FDID, "FDID")                                           \
    F(int, FDThresh, "FDThresh")                                           \
    F(std::string, Prompt, "Prompt")                                       \
    F(std::vector<IntelAlarmExtendInfo>, ExtendInfoList, "ExtendInfoList") \
    F(AlarmPictureInfo, Pic, "Pic")
    PROTOCOL_INBOUND_RECORD(IntelAlarmPeopleInfo, PROTOCOL_INTEL_ALARM_PEOPLE_INFO_FIELDS)
};

struct IntelAlarmFaceContrastInfo : public IInboundData {
#define PROTOCOL_INTEL_ALARM_FACE_CONTRAST_INFO_FIELDS(F)                           \
    F(IntelAlarmFaceInfo, SnapFace, "SnapFace")                                     \
    F(IntelAlarmHumanInfo, SnapHuman, "SnapHuman")                                  \
    F(double, Similarity, "Similarity")                                             \
    F(std::string, RecordDataIndex, "RecordDataIndex")                              \
    F(int, Occurrences, "Occurrences")                                              \
    F(int, ContrastStatus, "ContrastStatus")                                        \
    F(protocol::IntelAlarmPeopleInfo, IntelAlarmPeopleInfo, "IntelAlarmPeopleInfo") \
    F(int, ArmingType, "ArmingType")
    PROTOCOL_INBOUND_RECORD(IntelAlarmFaceContrastInfo, PROTOCOL_INTEL_ALARM_FACE_CONTRAST_INFO_FIELDS)
};

}  // namespace protocol
