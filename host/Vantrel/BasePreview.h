#pragma once

#include "HostExport.h"
#include "Vantrel/PreAlarmBuffer.h"
#include "Vantrel/PreviewCrop.h"
#include "Vantrel/PreviewObserver.h"
#include "Vantrel/StreamInfo.h"
#include "Vantrel/StreamRateMeter.h"

#include <QObject>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

namespace Vantrel {

struct PreviewAccess;

// The host's live view of one stream. It draws into a native window where the
// platform has them (X11) and otherwise paints the pictures into the widget
// itself. Every call is made on the GUI thread and returns at once: connecting,
// failing and tearing down happen on other threads and come back as queued
// notifications (signalPreviewNotify).
class HOST_API CBasePreview : public QObject
{
    Q_OBJECT
public:
    // Figures of the running stream, for title bars and statistics.
    struct StreamStatistics
    {
        quint64 nFrames = 0;         // pictures shown
        quint64 nDroppedCorrupt = 0; // corrupted pictures not shown
        double dFramesPerSecond = 0; // over the last measuring interval
        int nWidth = 0;
        int nHeight = 0;
        QString strCaps; // the shown stream's format
        // When the first picture reached the sink (std::chrono::steady_clock,
        // nanoseconds since its epoch); 0 before.
        qint64 nFirstPictureNs = 0;
    };

    static constexpr int kDefaultConnectTimeoutMs = 8000;
    static constexpr int kDefaultStallTimeoutMs = 5000;

    explicit CBasePreview(QObject* parent = nullptr);
    ~CBasePreview() override;

    // A stream is asked for or runs (connecting counts).
    bool IsPreview() const;
    // Pictures are shown.
    bool IsPlaying() const;
    bool IsNativeOverlay() const;

    // Starts the stream into the widget whose window handle is given. False
    // when nothing could be started (the host's last error says why).
    bool StartPreview(WId hWnd, int nStreamType, int nPollingType, bool bFlag);
    void StopPreview();
    // Ends the region display: the whole picture is shown again (here the
    // region shown is the digital zoom's).
    void CloseShowRegion() { SetDigitalZoomRect(QRectF()); }
    void SetDeviceIsEagle(bool bEagle) { m_bEagle = bEagle; }
    bool IsDeviceEagle() const { return m_bEagle; }

    bool GetPictureSize(unsigned& uWidth, unsigned& uHeight) const;
    StreamStatistics GetStreamStatistics() const;
    // The stream line of a title bar: the stream's own size and frame rate, and
    // the bytes per second arriving since the previous call (zero until two
    // calls a quarter second apart have measured it).
    StreamInfo GetStreamInfo();

    // The part of the picture shown (fractions); the whole picture when empty.
    void SetDigitalZoomRect(const QRectF& rcShown);
    QRectF GetDigitalZoomRect() const { return m_rcDigitalZoom; }
    // The margins the PTZ view and the digital zoom cut now (all zero without them).
    void GetViewCrops(CropMargins& ptzCrop, CropMargins& zoomCrop) const;

    bool Snapshot();
    std::string GetLastSnapshotPath() const { return m_strLastSnapshot; }

    bool IsRecord() const;
    bool StartRecord();
    void StopRecord();
    std::string GetLastRecordPath() const { return m_strLastRecord; }

    bool IsOpenSound() const;
    bool OpenSound();
    void CloseSound();

    // The last seconds of the encoded stream (kept after the stream stops,
    // until the next start of another stream). Never null; an exporter takes
    // its snapshots from any thread.
    std::shared_ptr<CPreAlarmBuffer> GetPreAlarmBuffer() const { return m_spPreAlarm; }

    // Holds the pictures (a paused stream does not count as stalled).
    void SetPaused(bool bPaused);
    bool IsPaused() const { return m_bPaused; }
    // Where the shown stream is, in its own time (ns); -1 when unknown.
    qint64 GetPlayPositionNs() const;

    // Without a first picture within this time the start fails; a running
    // stream without pictures for the stall time counts as lost.
    void SetConnectTimeout(int nMs) { m_nConnectTimeoutMs = nMs; }
    void SetStallTimeout(int nMs) { m_nStallTimeoutMs = nMs; }

signals:
    void signalPreviewNotify(const Vantrel::CPreviewObserver::Param& param);

protected:
    // What to play and what to call it; supplied by the concrete preview.
    virtual std::string StreamAddress() const = 0;
    virtual std::string StreamTitle() const = 0;
    virtual std::string StreamOwnerGUID() const = 0;
    // A camera that turns: a test stream then shows the part of a larger scene
    // that the camera's PTZ position gives.
    virtual bool StreamHasPtz() const { return false; }
    // How much of the encoded stream to keep (a window of 0 keeps nothing).
    virtual CPreAlarmBuffer::Limits PreAlarmLimits() const { return CPreAlarmBuffer::Limits(); }
    // Frames to play instead of the address (instant playback); none for a live stream.
    virtual std::shared_ptr<const EncodedFrames> ReplayFrames() const { return nullptr; }

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    friend struct PreviewAccess;
    struct Impl;

    void Notify(int nKind, const QString& strText = QString(), int nCode = 4, int nValue0 = 0, int nValue1 = 0,
                int nFlag = 1);
    void Fail(int nReason, const QString& strError);
    void Teardown();
    void OnWatchdog();
    // Brings the PTZ view and the digital zoom crops in line with their state.
    void ApplyViewCrops();

    std::unique_ptr<Impl> d;
    bool m_bEagle = false;
    int m_nConnectTimeoutMs = kDefaultConnectTimeoutMs;
    int m_nStallTimeoutMs = kDefaultStallTimeoutMs;
    std::string m_strLastSnapshot;
    std::string m_strLastRecord;
    QRectF m_rcDigitalZoom;
    CStreamRateMeter m_rateMeter;
    std::shared_ptr<CPreAlarmBuffer> m_spPreAlarm;
    std::string m_strPreAlarmGUID; // whose stream the buffer holds
    bool m_bPaused = false;
};

} // namespace Vantrel
