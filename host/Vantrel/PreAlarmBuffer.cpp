#include "Vantrel/PreAlarmBuffer.h"

#include <algorithm>
#include <chrono>

namespace Vantrel {
namespace {
// A frame without a duration is taken to last this long when segments are joined.
constexpr qint64 kDefaultFrameNs = 40 * 1000 * 1000;

bool HasTime(qint64 nNs)
{
    return nNs != EncodedFrame::kNoTime;
}
} // namespace

qint64 SteadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

CPreAlarmBuffer::CPreAlarmBuffer() = default;

CPreAlarmBuffer::CPreAlarmBuffer(const Limits& limits)
    : m_limits(limits)
{
}

void CPreAlarmBuffer::SetLimits(const Limits& limits)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_limits = limits;
    TrimLocked();
}

CPreAlarmBuffer::Limits CPreAlarmBuffer::GetLimits() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_limits;
}

void CPreAlarmBuffer::Push(EncodedFrame frame)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_limits.nWindowNs <= 0 || (m_bWaitKeyframe && !frame.bKeyframe)) {
        ++m_nDropped;
        return;
    }
    m_bWaitKeyframe = false;
    frame.nSegment = m_nSegment;
    m_nBytes += CostOf(frame);
    m_nGops += frame.bKeyframe ? 1 : 0;
    m_frames.push_back(std::move(frame));
    TrimLocked();
}

void CPreAlarmBuffer::MarkDiscontinuity()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_nSegment;
    m_bWaitKeyframe = true;
}

void CPreAlarmBuffer::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frames.clear();
    m_nBytes = 0;
    m_nGops = 0;
    m_bWaitKeyframe = true;
}

void CPreAlarmBuffer::DropFirstGopLocked()
{
    // The first frame is a keyframe; drop it and its delta frames.
    do {
        m_nBytes -= CostOf(m_frames.front());
        m_frames.pop_front();
        ++m_nDropped;
    } while (!m_frames.empty() && !m_frames.front().bKeyframe);
    --m_nGops;
}

void CPreAlarmBuffer::TrimLocked()
{
    if (m_limits.nWindowNs <= 0) {
        m_nDropped += m_frames.size();
        m_frames.clear();
        m_nBytes = 0;
        m_nGops = 0;
        m_bWaitKeyframe = true;
        return;
    }
    // Time: drop the oldest GOP while the rest still covers the window.
    while (m_nGops > 1) {
        const auto itNext = std::find_if(m_frames.begin() + 1, m_frames.end(),
                                         [](const EncodedFrame& frame) { return frame.bKeyframe; });
        if (m_frames.back().nArrivalNs - itNext->nArrivalNs < m_limits.nWindowNs)
            break;
        DropFirstGopLocked();
    }
    // Bytes: whole GOPs again; a single GOP over the cap goes too, and the
    // buffer waits for the next keyframe rather than start with delta frames.
    while (m_nBytes > m_limits.nMaxBytes && !m_frames.empty()) {
        DropFirstGopLocked();
        if (m_nGops == 0)
            m_bWaitKeyframe = true;
    }
}

EncodedFrames CPreAlarmBuffer::CopyFromLocked(size_t nFirst) const
{
    return EncodedFrames(m_frames.begin() + qint64(std::min(nFirst, m_frames.size())), m_frames.end());
}

EncodedFrames CPreAlarmBuffer::Snapshot(qint64 nLastNs) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_frames.empty() || nLastNs < 0)
        return CopyFromLocked(0);
    const qint64 nFrom = m_frames.back().nArrivalNs - nLastNs;
    size_t nStart = 0;
    for (size_t i = m_frames.size(); i-- > 0;) {
        if (m_frames[i].bKeyframe && m_frames[i].nArrivalNs <= nFrom) {
            nStart = i;
            break;
        }
    }
    return CopyFromLocked(nStart);
}

EncodedFrames CPreAlarmBuffer::SnapshotSinceWall(qint64 nWallMs) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t nStart = 0;
    for (size_t i = m_frames.size(); i-- > 0;) {
        if (m_frames[i].bKeyframe && m_frames[i].nWallMs <= nWallMs) {
            nStart = i;
            break;
        }
    }
    return CopyFromLocked(nStart);
}

CPreAlarmBuffer::Stats CPreAlarmBuffer::GetStats() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Stats stats;
    stats.nFrames = int(m_frames.size());
    stats.nGops = m_nGops;
    stats.nBytes = m_nBytes;
    stats.nSpanNs = m_frames.empty() ? 0 : m_frames.back().nArrivalNs - m_frames.front().nArrivalNs;
    stats.nDropped = m_nDropped;
    return stats;
}

void RebaseForReplay(EncodedFrames& vecFrames)
{
    qint64 nOffset = 0; // where the current segment starts on the new time line
    qint64 nEnd = 0;    // the end of everything placed so far
    qint64 nBase = 0;   // the segment's first time stamp
    qint64 nArrivalBase = 0;
    int nSegment = -1;
    for (EncodedFrame& frame : vecFrames) {
        if (frame.nSegment != nSegment || nSegment < 0) {
            nSegment = frame.nSegment;
            nOffset = nEnd;
            nBase = HasTime(frame.nDtsNs) ? std::min(frame.nDtsNs, HasTime(frame.nPtsNs) ? frame.nPtsNs : frame.nDtsNs)
                                          : frame.nPtsNs;
            nArrivalBase = frame.nArrivalNs;
        }
        const qint64 nArrival = frame.nArrivalNs - nArrivalBase + nOffset;
        frame.nPtsNs = HasTime(frame.nPtsNs) && HasTime(nBase) ? frame.nPtsNs - nBase + nOffset : nArrival;
        frame.nDtsNs = HasTime(frame.nDtsNs) && HasTime(nBase) ? frame.nDtsNs - nBase + nOffset : EncodedFrame::kNoTime;
        const qint64 nDuration = HasTime(frame.nDurationNs) ? frame.nDurationNs : kDefaultFrameNs;
        nEnd = std::max(nEnd, std::max(frame.nPtsNs, frame.nDtsNs) + nDuration);
    }
}

size_t KeyframeAtOrBefore(const EncodedFrames& vecFrames, qint64 nNs)
{
    size_t nFound = 0;
    for (size_t i = 0; i < vecFrames.size(); ++i) {
        if (vecFrames[i].bKeyframe && vecFrames[i].nPtsNs <= nNs)
            nFound = i;
        else if (vecFrames[i].bKeyframe && vecFrames[i].nPtsNs > nNs)
            break;
    }
    return nFound;
}

} // namespace Vantrel
