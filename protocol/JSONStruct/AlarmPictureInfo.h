#pragma once
// Pictures of an alarm: the shared encoded bytes, the target rectangles and
// the picture record that carries both.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/JSONStruct/JSONRecord.h"

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

// The shared pointer to a picture record's bytes. Most pictures of an alarm are
// never filled nor looked at, so the own empty bytes are made on first use:
// any access, a copy or a comparison. Reads of one record from several threads
// are safe, as with a plain shared pointer.
class PicBinaryPtr {
public:
    PicBinaryPtr() = default;
    PicBinaryPtr(std::shared_ptr<PicBinary> spBinary)
        : m_spBinary(std::move(spBinary))
        , m_eState(kReady)
    {
    }
    PicBinaryPtr(std::nullptr_t)
        : m_eState(kReady)
    {
    }
    PicBinaryPtr(const PicBinaryPtr& other)
        : m_spBinary(other.Shared())
        , m_eState(kReady)
    {
    }
    // A move hands over the bytes; bytes never made stay unmade on both sides.
    PicBinaryPtr(PicBinaryPtr&& other) noexcept { *this = std::move(other); }
    PicBinaryPtr& operator=(const PicBinaryPtr& other);
    PicBinaryPtr& operator=(PicBinaryPtr&& other) noexcept;
    PicBinaryPtr& operator=(std::shared_ptr<PicBinary> spBinary);
    PicBinaryPtr& operator=(std::nullptr_t) { return *this = std::shared_ptr<PicBinary>(); }

    const std::shared_ptr<PicBinary>& Shared() const;
    operator std::shared_ptr<PicBinary>() const { return Shared(); }
    PicBinary* get() const { return Shared().get(); }
    PicBinary* operator->() const { return get(); }
    PicBinary& operator*() const { return *get(); }
    // True until null is assigned: unmade bytes count as present.
    explicit operator bool() const { return m_eState.load(std::memory_order_acquire) != kReady || m_spBinary; }
    long use_count() const { return Shared().use_count(); }
    // The bytes when they have been made, without making them; else null.
    const PicBinary* Peek() const
    {
        return m_eState.load(std::memory_order_acquire) == kReady ? m_spBinary.get() : nullptr;
    }
    void reset() { *this = nullptr; }

    friend bool operator==(const PicBinaryPtr& a, const PicBinaryPtr& b) { return a.get() == b.get(); }
    friend bool operator!=(const PicBinaryPtr& a, const PicBinaryPtr& b) { return !(a == b); }

private:
    enum : int { kUnmade, kMaking, kReady };

    mutable std::shared_ptr<PicBinary> m_spBinary;
    mutable std::atomic<int> m_eState{kUnmade};
};

// A target rectangle, in fractions of the picture's width and height.
struct PictureRect : public IInboundData {
#define PROTOCOL_PICTURE_RECT_FIELDS(F) \
    F(double, x, "x")                   \
    F(double, y, "y")                   \
    F(double, width, "width")           \
    F(double, height, "height")
    PROTOCOL_INBOUND_RECORD(PictureRect, PROTOCOL_PICTURE_RECT_FIELDS)
};

// A rectangle in fractions of the picture, as alarm makers and tests write one.
inline PictureRect MakePictureRect(double x, double y, double width, double height)
{
    PictureRect rect;
    rect.x = x;
    rect.y = y;
    rect.width = width;
    rect.height = height;
    return rect;
}

struct AlarmPictureInfo : public IInboundData {
#define PROTOCOL_ALARM_PICTURE_INFO_FIELDS(F) \
    F(std::string, guid, "guid")              \
    F(std::string, url, "url")                \
    F(bool, hasFace, "hasFace")               \
    F(std::vector<PictureRect>, PictureRectList, "PictureRectList")
    PROTOCOL_INBOUND_RECORD(AlarmPictureInfo, PROTOCOL_ALARM_PICTURE_INFO_FIELDS)

    // Each record starts with its own empty bytes; copies share them.
    PicBinaryPtr pPicBinary;
};

}  // namespace protocol
