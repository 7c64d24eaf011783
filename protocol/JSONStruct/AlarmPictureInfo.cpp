#include "JSONStruct/AlarmPictureInfo.h"

namespace protocol {

PROTOCOL_DEFINE_JSON_RECORD(PictureRect)
PROTOCOL_DEFINE_JSON_RECORD(AlarmPictureInfo)

}  // namespace protocol
