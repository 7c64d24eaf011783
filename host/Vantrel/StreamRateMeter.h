#pragma once

#include "HostExport.h"
#include "Vantrel/StreamInfo.h"

#include <cstdint>

namespace Vantrel {

// The frame-rate fields of a StreamInfo from a caps frame rate n/d: whole rates
// as they are (rounded), rates below one frame a second as one frame per d/n
// seconds (fraction flag 1). 0/x, x/0 and negative rates give 0.
HOST_API void SetFrameRateFromFraction(StreamInfo& struInfo, int nNumerator, int nDenominator);

// Turns a running count of the bytes that arrived into a rate: each Sample
// takes the count and the time, and the rate is the bytes per second since the
// previous sample. The first sample and samples closer than the minimum
// interval keep the last rate; a count that went back (a restarted stream)
// starts measuring afresh.
class HOST_API CStreamRateMeter
{
public:
    static constexpr int64_t kMinIntervalMs = 250;

    void Sample(uint64_t uTotalBytes, int64_t nNowMs);
    void Reset() { *this = CStreamRateMeter(); }
    uint32_t BytesPerSecond() const { return m_uBytesPerSecond; }
    bool HasRate() const { return m_bHasRate; }

private:
    bool m_bHasSample = false;
    bool m_bHasRate = false;
    uint64_t m_uLastBytes = 0;
    int64_t m_nLastMs = 0;
    uint32_t m_uBytesPerSecond = 0;
};

} // namespace Vantrel
