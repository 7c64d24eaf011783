#pragma once

#include "Vantrel/BasePreview.h"

namespace Vantrel {

// Plays a snapshot of a pre-alarm buffer into a surface, as the live preview
// plays a camera: paused, moved to any moment (the picture starts at the
// keyframe at or before it, never with grey pictures) and stopped. The frames
// are the snapshot's; the live stream and its buffer go on meanwhile. At the
// end of the frames it stops (NotifyStopped), as a live stream that ends does.
class HOST_API CInstantPlayback : public CBasePreview
{
    Q_OBJECT
public:
    explicit CInstantPlayback(QObject* parent = nullptr);
    ~CInstantPlayback() override;

    // Takes the frames (a snapshot starting at a keyframe) and plays them from
    // the keyframe at or before nStartMs on their time line (a negative
    // nStartMs counts back from the end). False when there
    // is nothing to play or the playback cannot start.
    bool Play(WId hWnd, EncodedFrames vecFrames, qint64 nStartMs, const std::string& strOwnerGUID,
              const std::string& strTitle);
    // Starts again from the keyframe at or before nMs; keeps a pause.
    bool SeekTo(qint64 nMs);
    void Stop();

    // The time line of the frames held, from 0.
    qint64 DurationMs() const { return m_nDurationMs; }
    // The moment shown on that time line; the start of the played part when unknown.
    qint64 PositionMs() const;
    // Where the played part starts (a keyframe).
    qint64 StartMs() const { return m_nStartMs; }
    bool HasFrames() const { return m_spAll && !m_spAll->empty(); }

protected:
    std::string StreamAddress() const override { return "replay:"; }
    std::string StreamTitle() const override { return m_strTitle; }
    std::string StreamOwnerGUID() const override { return m_strOwnerGUID; }
    std::shared_ptr<const EncodedFrames> ReplayFrames() const override { return m_spPlayed; }

private:
    bool PlayFrom(qint64 nMs);

    WId m_hWnd = 0;
    std::shared_ptr<const EncodedFrames> m_spAll;    // rebased to one time line from 0
    std::shared_ptr<const EncodedFrames> m_spPlayed; // from the chosen keyframe, rebased again
    std::string m_strOwnerGUID;
    std::string m_strTitle;
    qint64 m_nDurationMs = 0;
    qint64 m_nStartMs = 0;
};

} // namespace Vantrel
