#pragma once

#include "HostExport.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace Vantrel {

// One encoded picture (an access unit) as the stream delivered it.
struct HOST_API EncodedFrame
{
    static constexpr qint64 kNoTime = -1;

    QByteArray baData;
    qint64 nPtsNs = kNoTime; // the stream's own time stamps, nanoseconds
    qint64 nDtsNs = kNoTime;
    qint64 nDurationNs = kNoTime;
    qint64 nArrivalNs = 0; // steady clock when it arrived: the buffer's time line
    qint64 nWallMs = 0;    // wall clock (ms since the epoch) when it arrived
    bool bKeyframe = false;
    // The stream's format (GStreamer caps text); implicitly shared between frames.
    QString strCaps;
    // Bumped at every new connection: time stamps are comparable within one segment only.
    int nSegment = 0;
};

using EncodedFrames = std::vector<EncodedFrame>;

// The last seconds of one encoded stream, in memory: the evidence before an
// alarm and the source of instant playback. Held in whole groups of pictures
// (GOPs), so that it always starts at a keyframe; bounded by time (the window
// plus at most one GOP) and by bytes (frames are counted with their overhead).
// Push comes from a streaming thread, snapshots from any thread.
class HOST_API CPreAlarmBuffer
{
public:
    static constexpr int kDefaultSeconds = 30;
    static constexpr int kDefaultMiB = 32;
    // What a frame costs beside its bytes (the frame record and the array's header).
    static constexpr qint64 kFrameOverheadBytes = qint64(sizeof(EncodedFrame)) + 32;

    struct Limits
    {
        qint64 nWindowNs = qint64(kDefaultSeconds) * 1000000000;
        qint64 nMaxBytes = qint64(kDefaultMiB) * 1024 * 1024;
    };

    struct Stats
    {
        int nFrames = 0;
        int nGops = 0;
        qint64 nBytes = 0;    // counted bytes, overhead included
        qint64 nSpanNs = 0;   // from the first frame's arrival to the newest
        quint64 nDropped = 0; // frames dropped whole (trimmed or without a keyframe before them)
    };

    CPreAlarmBuffer();
    explicit CPreAlarmBuffer(const Limits& limits);

    // A window of zero seconds keeps nothing.
    void SetLimits(const Limits& limits);
    Limits GetLimits() const;

    // Adds the stream's next frame. Delta frames with no keyframe before them
    // (the start of a stream, after a discontinuity or after the byte cap
    // emptied the buffer) are dropped.
    void Push(EncodedFrame frame);
    // A new connection: the next frames start a new segment at a keyframe.
    void MarkDiscontinuity();
    void Clear();

    // A copy of the frames (the bytes are shared, not copied) from the last
    // keyframe at or before the newest arrival minus nLastNs, or all frames
    // when nLastNs is negative. Always starts at a keyframe; empty when nothing is held.
    EncodedFrames Snapshot(qint64 nLastNs = -1) const;
    // The same, from the last keyframe at or before the wall-clock time (ms
    // since the epoch); from the first frame when all are later.
    EncodedFrames SnapshotSinceWall(qint64 nWallMs) const;

    Stats GetStats() const;

    static qint64 CostOf(const EncodedFrame& frame) { return frame.baData.size() + kFrameOverheadBytes; }

private:
    void TrimLocked();
    void DropFirstGopLocked();
    EncodedFrames CopyFromLocked(size_t nFirst) const;

    mutable std::mutex m_mutex;
    Limits m_limits;
    std::deque<EncodedFrame> m_frames;
    qint64 m_nBytes = 0;
    int m_nGops = 0;
    int m_nSegment = 0;
    bool m_bWaitKeyframe = true;
    quint64 m_nDropped = 0;
};

// Restamps frames for playing them again: one continuous time line from 0,
// segments joined end to end, each frame's decode and presentation times kept
// relative to its segment's start (frames without times take their arrival).
HOST_API void RebaseForReplay(EncodedFrames& vecFrames);
// The index of the last keyframe whose presentation time is at or before nNs
// (after RebaseForReplay); 0 when none is.
HOST_API size_t KeyframeAtOrBefore(const EncodedFrames& vecFrames, qint64 nNs);
// The steady clock the buffer's arrival times use, in nanoseconds.
HOST_API qint64 SteadyNowNs();

} // namespace Vantrel
