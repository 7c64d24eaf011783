#include "protocol/JSONStruct/IntelAlarmInfoStruct.h"

namespace protocol {

PROTOCOL_DEFINE_JSON_RECORD(IntelAlarmInfoStruct)

}  // namespace protocol
