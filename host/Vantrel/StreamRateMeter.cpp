#include "Vantrel/StreamRateMeter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vantrel {

void SetFrameRateFromFraction(StreamInfo& struInfo, int nNumerator, int nDenominator)
{
    struInfo.uFrameRate = 0;
    struInfo.uFrameRateFraction = 0;
    if (nNumerator <= 0 || nDenominator <= 0)
        return;
    if (nNumerator >= nDenominator) {
        struInfo.uFrameRate = uint32_t(std::lround(double(nNumerator) / nDenominator));
        return;
    }
    struInfo.uFrameRate = uint32_t(std::lround(double(nDenominator) / nNumerator));
    struInfo.uFrameRateFraction = 1;
}

void CStreamRateMeter::Sample(uint64_t uTotalBytes, int64_t nNowMs)
{
    if (!m_bHasSample || uTotalBytes < m_uLastBytes || nNowMs < m_nLastMs) {
        const bool bRestarted = m_bHasSample;
        m_bHasSample = true;
        m_uLastBytes = uTotalBytes;
        m_nLastMs = nNowMs;
        if (bRestarted) {
            m_bHasRate = false;
            m_uBytesPerSecond = 0;
        }
        return;
    }
    const int64_t nElapsedMs = nNowMs - m_nLastMs;
    if (nElapsedMs < kMinIntervalMs)
        return;
    const double dRate = double(uTotalBytes - m_uLastBytes) * 1000.0 / double(nElapsedMs);
    m_uBytesPerSecond = uint32_t(std::min(dRate + 0.5, double(std::numeric_limits<uint32_t>::max())));
    m_bHasRate = true;
    m_uLastBytes = uTotalBytes;
    m_nLastMs = nNowMs;
}

} // namespace Vantrel
