#pragma once
// Pictures of an alarm: the shared encoded bytes, the target rectangles and
// the picture record that carries both.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "JSONStruct/JSONRecord.h"

namespace protocol {

// Encoded picture bytes as the host delivers them; never part of the JSON.
struct PicBinary {
    std::string strData;           // binary-safe; empty means no picture
    std::uint16_t usReserved = 0;  // carried for the host, not interpreted
};

// Empty picture bytes of one's own. An alarm record holds a dozen picture records,
// most never filled, so their blocks come from a small per-thread store of freed
// ones rather than the general allocator.
std::shared_ptr<PicBinary> NewPicBinary();

// A target rectangle, in fractions of the picture's width and height.
struct PictureRect : public IInboundData {
#define PROTOCOL_PICTURE_RECT_FIELDS(F) \
    F(double, x, "x")                   \
    F(double, y, "y")                   \
    F(double, width, "width")           \
    F(double, height, "height")
    PROTOCOL_INBOUND_RECORD(PictureRect, PROTOCOL_PICTURE_RECT_FIELDS)
};

struct AlarmPictureInfo : public IInboundData {
#define PROTOCOL_ALARM_PICTURE_INFO_FIELDS(F) \
    F(std::string, guid, "guid")              \
    F(std::string, url, "url")                \
    F(bool, hasFace, "hasFace")               \
    F(std::vector<PictureRect>, PictureRectList, "PictureRectList")
    PROTOCOL_INBOUND_RECORD(AlarmPictureInfo, PROTOCOL_ALARM_PICTURE_INFO_FIELDS)

    // Each record starts with its own empty bytes; copies share them.
    std::shared_ptr<PicBinary> pPicBinary = NewPicBinary();
};

}  // namespace protocol
