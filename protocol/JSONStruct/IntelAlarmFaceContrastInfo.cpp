#include "protocol/JSONStruct/IntelAlarmFaceContrastInfo.h"

namespace protocol {

PROTOCOL_DEFINE_JSON_RECORD(IntelAlarmExtendInfo)
PROTOCOL_DEFINE_JSON_RECORD(IntelAlarmPeopleInfo)
PROTOCOL_DEFINE_JSON_RECORD(IntelAlarmFaceContrastInfo)

}  // namespace protocol
