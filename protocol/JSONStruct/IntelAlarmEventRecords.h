#pragma once
// Event records an intelligent alarm may carry besides its targets. Apart
// from the smart-detection alarm, the plug-in neither reads nor carries their
// keys, so they hold no fields.

#include "protocol/JSONStruct/AlarmPictureInfo.h"

namespace protocol {

// Smart-detection alarm of the panoramic channel; "bkPic" is the scene picture.
struct IntelVCASmartAlarm : public IInboundData {
#define PROTOCOL_INTEL_VCA_SMART_ALARM_FIELDS(F) \
    F(int, TargetType, "TargetType")             \
    F(AlarmPictureInfo, bkPic, "bkPic")
    PROTOCOL_INBOUND_RECORD(IntelVCASmartAlarm, PROTOCOL_INTEL_VCA_SMART_ALARM_FIELDS)
};

struct DevLinkCamera : public IInboundData {
    PROTOCOL_INBOUND_RECORD(DevLinkCamera, PROTOCOL_NO_FIELDS)
};
struct LFPDAlarmInfo : public IInboundData {
    PROTOCOL_INBOUND_RECORD(LFPDAlarmInfo, PROTOCOL_NO_FIELDS)
};
struct CameraGroupPeopleCount : public IInboundData {
    PROTOCOL_INBOUND_RECORD(CameraGroupPeopleCount, PROTOCOL_NO_FIELDS)
};
struct SecurityCheckInfo : public IInboundData {
    PROTOCOL_INBOUND_RECORD(SecurityCheckInfo, PROTOCOL_NO_FIELDS)
};
struct MetalDetection : public IInboundData {
    PROTOCOL_INBOUND_RECORD(MetalDetection, PROTOCOL_NO_FIELDS)
};
struct SecurityPeopleDetection : public IInboundData {
    PROTOCOL_INBOUND_RECORD(SecurityPeopleDetection, PROTOCOL_NO_FIELDS)
};
struct VisiblePackageEventInfo : public IInboundData {
    PROTOCOL_INBOUND_RECORD(VisiblePackageEventInfo, PROTOCOL_NO_FIELDS)
};
struct SecurityFaceCapture : public IInboundData {
    PROTOCOL_INBOUND_RECORD(SecurityFaceCapture, PROTOCOL_NO_FIELDS)
};

}  // namespace protocol
