#pragma once

#include <cstdint>

namespace Vantrel {

// What a preview knows of its stream: picture size, the measured data rate and
// the frame rate. All zero until the first measurement.
struct StreamInfo
{
    uint32_t uWidth = 0;             // pixels
    uint32_t uHeight = 0;            // pixels
    uint32_t uDataRate = 0;          // bytes per second arriving
    uint32_t uFrameRate = 0;         // frames per second, or seconds per frame (see below)
    uint32_t uFrameRateFraction = 0; // 1: the rate is one frame per uFrameRate seconds

    bool operator==(const StreamInfo& o) const
    {
        return uWidth == o.uWidth && uHeight == o.uHeight && uDataRate == o.uDataRate && uFrameRate == o.uFrameRate
               && uFrameRateFraction == o.uFrameRateFraction;
    }
    bool operator!=(const StreamInfo& o) const { return !(*this == o); }
};

} // namespace Vantrel
