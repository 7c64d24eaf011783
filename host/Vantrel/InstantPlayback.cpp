#include "Vantrel/InstantPlayback.h"

#include <algorithm>
#include <limits>

namespace Vantrel {
namespace {
constexpr qint64 kNsPerMs = 1000 * 1000;
} // namespace

CInstantPlayback::CInstantPlayback(QObject* parent)
    : CBasePreview(parent)
{
    // Paused or slow to start, a replay is never a lost camera.
    SetStallTimeout(std::numeric_limits<int>::max());
}

CInstantPlayback::~CInstantPlayback() = default;

bool CInstantPlayback::Play(WId hWnd, EncodedFrames vecFrames, qint64 nStartMs, const std::string& strOwnerGUID,
                            const std::string& strTitle)
{
    Stop();
    if (vecFrames.empty())
        return false;
    RebaseForReplay(vecFrames);
    qint64 nEndNs = 0;
    for (const EncodedFrame& frame : vecFrames)
        nEndNs = std::max(nEndNs, frame.nPtsNs);
    m_nDurationMs = nEndNs / kNsPerMs;
    m_spAll = std::make_shared<const EncodedFrames>(std::move(vecFrames));
    m_hWnd = hWnd;
    m_strOwnerGUID = strOwnerGUID;
    m_strTitle = strTitle;
    return PlayFrom(nStartMs < 0 ? m_nDurationMs + nStartMs : nStartMs);
}

bool CInstantPlayback::PlayFrom(qint64 nMs)
{
    if (!HasFrames())
        return false;
    const size_t nFirst = KeyframeAtOrBefore(*m_spAll, qBound(qint64(0), nMs, m_nDurationMs) * kNsPerMs);
    m_nStartMs = (*m_spAll)[nFirst].nPtsNs / kNsPerMs;
    EncodedFrames vecPlayed(m_spAll->begin() + qint64(nFirst), m_spAll->end());
    // The played part's own time line starts at 0, so that it shows at once.
    const qint64 nBaseNs = vecPlayed.front().nDtsNs >= 0 ? std::min(vecPlayed.front().nDtsNs, vecPlayed.front().nPtsNs)
                                                         : vecPlayed.front().nPtsNs;
    for (EncodedFrame& frame : vecPlayed) {
        frame.nPtsNs -= nBaseNs;
        if (frame.nDtsNs >= 0)
            frame.nDtsNs -= nBaseNs;
    }
    m_spPlayed = std::make_shared<const EncodedFrames>(std::move(vecPlayed));
    return StartPreview(m_hWnd, 0, 0, false);
}

bool CInstantPlayback::SeekTo(qint64 nMs)
{
    const bool bPaused = IsPaused();
    if (!PlayFrom(nMs))
        return false;
    // The new pipeline shows its first picture, then holds it.
    if (bPaused)
        SetPaused(true);
    return true;
}

void CInstantPlayback::Stop()
{
    StopPreview();
    m_spPlayed.reset();
}

qint64 CInstantPlayback::PositionMs() const
{
    const qint64 nPositionNs = GetPlayPositionNs();
    if (nPositionNs < 0)
        return m_nStartMs;
    return qMin(m_nDurationMs, m_nStartMs + nPositionNs / kNsPerMs);
}

} // namespace Vantrel
