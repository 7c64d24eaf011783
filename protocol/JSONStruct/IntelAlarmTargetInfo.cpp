#include "protocol/JSONStruct/IntelAlarmTargetInfo.h"

namespace protocol {

PROTOCOL_DEFINE_JSON_RECORD(IntelAlarmHumanInfo)
PROTOCOL_DEFINE_JSON_RECORD(IntelAlarmFaceInfo)
PROTOCOL_DEFINE_JSON_RECORD(IntelAlarmNonMotorInfo)
PROTOCOL_DEFINE_JSON_RECORD(IntelAlarmVehicleInfo)
PROTOCOL_DEFINE_JSON_RECORD(IntelAlarmMEFInfo)

}  // namespace protocol
