#include "Vantrel/BasePreview.h"

#include "analytics/AnalyticsHub.h"

#include "Vantrel/PipelineLink.h"
#include "Vantrel/Vantrel.h"

#include "Miravel/ErrorInfoMgr.h"
#include "Ostrel/UserDataPath.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/OverlayWindow.h"
#include "Vantrel/PreviewCrop.h"
#include "Vantrel/PtzControl.h"

#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

#include <mutex>
#include <utility>

namespace Vantrel {
namespace {
constexpr int kWatchdogIntervalMs = 200;
constexpr int kReconnectDelayMs = 1000;
constexpr int kRecordFinishTimeoutMs = 3000;
constexpr int kSnapshotQuality = 85;
constexpr int kFpsIntervalMs = 1000;
constexpr GstClockTime kConvertTimeout = GST_SECOND;

QString Tr(const char* szKey)
{
    return QCoreApplication::translate("Vantrel::CBasePreview", szKey);
}

// A name that is safe as part of a file name on every platform.
QString FileNamePart(const std::string& strName)
{
    QString str = QString::fromStdString(strName).left(64);
    str.replace(QRegularExpression(QStringLiteral("[^\\w\\-]+")), QStringLiteral("_"));
    return str.isEmpty() ? QStringLiteral("camera") : str;
}

// The native window's size: X windows are sized in device pixels.
QSize DevicePixels(const QWidget& widget)
{
    return (QSizeF(widget.size()) * widget.devicePixelRatioF()).toSize();
}

QString TimeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
}

gpointer NewLinkRef(const std::shared_ptr<PipelineLink>& spLink)
{
    return new std::shared_ptr<PipelineLink>(spLink);
}

void FreeLinkRef(gpointer pData)
{
    delete static_cast<std::shared_ptr<PipelineLink>*>(pData);
}

bool FromRecording(GstObject* pSource)
{
    for (GstObject* pObject = pSource; pObject; pObject = GST_OBJECT_PARENT(pObject)) {
        if (GST_IS_BIN(pObject) && g_object_get_data(G_OBJECT(pObject), kRecordBinName))
            return true;
    }
    return false;
}

// Runs on whichever thread posts: hands the overlay its window, and sends
// errors and the end of the stream to the GUI thread. Nothing stays queued on
// the bus.
GstBusSyncReply OnBusSync(GstBus*, GstMessage* pMessage, gpointer pData)
{
    PipelineLink* pLink = static_cast<std::shared_ptr<PipelineLink>*>(pData)->get();
    switch (GST_MESSAGE_TYPE(pMessage)) {
    case GST_MESSAGE_ELEMENT:
        if (gst_is_video_overlay_prepare_window_handle_message(pMessage)) {
            guintptr hWindow = 0;
            {
                std::lock_guard<std::mutex> lock(pLink->mutex);
                hWindow = pLink->pOwner ? pLink->hWindow : 0;
                // Marked before the handle leaves the lock: a teardown that
                // cut the link after this point knows the sink has the window.
                if (hWindow)
                    pLink->bWindowHandleSet = true;
            }
            if (hWindow)
                gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(pMessage)), hWindow);
        }
        break;
    case GST_MESSAGE_ERROR: {
        GError* pError = nullptr;
        gchar* szDebug = nullptr;
        gst_message_parse_error(pMessage, &pError, &szDebug);
        const QString strText = QString::fromUtf8(pError ? pError->message : "");
        g_clear_error(&pError);
        g_free(szDebug);
        if (FromRecording(GST_MESSAGE_SRC(pMessage)))
            pLink->Post([strText](CBasePreview& preview) { PreviewAccess::OnRecordError(preview, strText); });
        else
            pLink->Post([strText](CBasePreview& preview) { PreviewAccess::OnPipelineError(preview, strText); });
        break;
    }
    case GST_MESSAGE_EOS:
        pLink->Post(&PreviewAccess::OnPipelineEnd);
        break;
    default:
        break;
    }
    return GST_BUS_DROP;
}

} // namespace

CPreviewObserver::~CPreviewObserver() = default;

void InitVantrel(tessel::IAbstractSMSManager*, const std::shared_ptr<quorra::CLocalDataManagerDelegate>&)
{
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        gst_init(nullptr, nullptr);
        qRegisterMetaType<Vantrel::CPreviewObserver::Param>("Vantrel::CPreviewObserver::Param");
    });
}

bool IsVantrelInitialised()
{
    return gst_is_initialized();
}

void PipelineLink::Post(std::function<void(CBasePreview&)> fn)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!pOwner)
        return;
    CBasePreview* pPreview = pOwner;
    std::shared_ptr<PipelineLink> spSelf = shared_from_this();
    // Qt drops the call if the preview is deleted before it runs.
    QMetaObject::invokeMethod(
        pPreview,
        [pPreview, spSelf, fn] {
            if (PreviewAccess::Owns(*pPreview, spSelf.get()))
                fn(*pPreview);
        },
        Qt::QueuedConnection);
}

void PipelineLink::Cut()
{
    std::lock_guard<std::mutex> lock(mutex);
    pOwner = nullptr;
}

PipelineLink::~PipelineLink()
{
    if (pVolume)
        gst_object_unref(pVolume);
    gst_buffer_replace(&pLastBuffer, nullptr);
    gst_caps_replace(&pLastCaps, nullptr);
}

struct CBasePreview::Impl
{
    std::shared_ptr<PipelineLink> spLink;
    BuiltPipeline pipeline;
    std::shared_ptr<RecordBranch> spRecord;
    QPointer<QWidget> pSurface;
    OverlayWindow overlay; // the X sink's own window inside the surface
    QTimer watchdog;
    QElapsedTimer elapsedSinceStart;
    std::string strGUID; // of the stream that runs
    bool bPlaying = false;
    bool bResumeNext = false; // the next start reconnects a lost stream
    int nReconnectToken = 0;
    quint64 nFramesAtSample = 0;
    qint64 nSampleMs = 0;
    double dFps = 0;
};

bool PreviewAccess::Owns(const CBasePreview& preview, const PipelineLink* pLink)
{
    return preview.d->spLink.get() == pLink;
}

void PreviewAccess::OnFirstFrame(CBasePreview& preview)
{
    preview.d->bPlaying = true;
    const bool bResumed = preview.d->bResumeNext;
    preview.d->bResumeNext = false;
    preview.ApplyViewCrops();
    preview.Notify(bResumed ? NotifyResumed : NotifyStarted);
}

void PreviewAccess::OnPictureSize(CBasePreview& preview, int nWidth, int nHeight)
{
    preview.ApplyViewCrops();
    preview.Notify(NotifyPictureSize, QString(), 4, nWidth, nHeight);
}

void PreviewAccess::OnFrameReady(CBasePreview& preview)
{
    {
        std::lock_guard<std::mutex> lock(preview.d->spLink->mutex);
        preview.d->spLink->bRepaintPending = false;
    }
    if (preview.d->pSurface)
        preview.d->pSurface->update();
}

void PreviewAccess::OnPipelineError(CBasePreview& preview, const QString& strError)
{
    if (!preview.d->bPlaying) {
        preview.Fail(Miravel::CErrorInfoMgr::ErrorStreamFailed, strError);
        return;
    }
    // A stream that ran is tried again after a short pause.
    const std::string strGUID = preview.d->strGUID;
    Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview,
                                         Miravel::CErrorInfoMgr::ErrorStreamFailed, strError);
    preview.Notify(NotifyStreamLost, strError);
    preview.Teardown();
    preview.Notify(NotifyStopped);
    const int nToken = ++preview.d->nReconnectToken;
    CBasePreview* pPreview = &preview;
    QTimer::singleShot(kReconnectDelayMs, &preview, [pPreview, nToken, strGUID] {
        if (pPreview->d->nReconnectToken != nToken || pPreview->IsPreview())
            return;
        pPreview->d->bResumeNext = true;
        CPreviewObserver::Param param;
        param.nKind = NotifyReconnect;
        param.strCameraGUID = strGUID;
        emit pPreview->signalPreviewNotify(param);
    });
}

void PreviewAccess::OnPipelineEnd(CBasePreview& preview)
{
    preview.Teardown();
    preview.Notify(NotifyStopped);
}

void PreviewAccess::OnRecordError(CBasePreview& preview, const QString& strError)
{
    if (!preview.IsRecord())
        return;
    Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview, Miravel::CErrorInfoMgr::ErrorFileWrite,
                                         strError);
    preview.StopRecord();
}

void PreviewAccess::OnRecordFinished(CBasePreview& preview, const QString& strPath, bool bOk)
{
    preview.Notify(NotifyRecordStopped, strPath, bOk ? 4 : Miravel::CErrorInfoMgr::ErrorFileWrite);
}

CBasePreview::CBasePreview(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Impl>())
    , m_spPreAlarm(std::make_shared<CPreAlarmBuffer>())
{
    d->watchdog.setInterval(kWatchdogIntervalMs);
    connect(&d->watchdog, &QTimer::timeout, this, &CBasePreview::OnWatchdog);
    connect(&TesselGUIToolkit::CUiSingleton<CPtzControl>::Instance(), &CPtzControl::SignalPositionChanged, this,
            [this](const QString& strGuid) {
                if (IsPreview() && strGuid.toStdString() == d->strGUID)
                    ApplyViewCrops();
            });
}

CBasePreview::~CBasePreview()
{
    Teardown();
}

bool CBasePreview::IsPreview() const
{
    return d->pipeline.pPipeline != nullptr;
}

bool CBasePreview::IsPlaying() const
{
    return d->bPlaying;
}

bool CBasePreview::IsNativeOverlay() const
{
    return d->pipeline.bOverlay;
}

bool CBasePreview::StartPreview(WId hWnd, int, int, bool)
{
    // GStreamer is set up by the first stream, not by the windows the first paint shows.
    InitVantrel(nullptr, nullptr);
    ++d->nReconnectToken;
    const bool bResume = d->bResumeNext;
    if (IsPreview())
        StopPreview();
    d->bResumeNext = bResume;
    const std::string strAddress = StreamAddress();
    if (StreamOwnerGUID().empty() || strAddress.empty()) {
        Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview,
                                             StreamOwnerGUID().empty() ? Miravel::CErrorInfoMgr::ErrorNoCamera
                                                                       : Miravel::CErrorInfoMgr::ErrorBadAddress,
                                             QString());
        return false;
    }
    QWidget* pSurface = QWidget::find(hWnd);
    // Native windows exist only on X11; elsewhere the pictures are painted.
    const bool bOverlay = pSurface && QGuiApplication::platformName() == QLatin1String("xcb")
                          && qEnvironmentVariable("LSA_VIDEO_SINK") != QLatin1String("appsink");

    auto spLink = std::make_shared<PipelineLink>();
    spLink->pOwner = this;
    spLink->hWindow = static_cast<guintptr>(hWnd);
    BuildRequest request;
    request.strAddress = QString::fromStdString(strAddress);
    request.strTitle = QString::fromStdString(StreamTitle());
    request.bOverlay = bOverlay;
    request.bPtzScene = StreamHasPtz();
    request.spReplay = ReplayFrames();
    if (!request.spReplay) {
        // Another camera's frames are no evidence for this one; the same
        // camera reconnecting goes on in a new segment.
        if (m_strPreAlarmGUID != StreamOwnerGUID())
            m_spPreAlarm->Clear();
        m_strPreAlarmGUID = StreamOwnerGUID();
        const CPreAlarmBuffer::Limits limits = PreAlarmLimits();
        m_spPreAlarm->SetLimits(limits);
        m_spPreAlarm->MarkDiscontinuity();
        // Switched off, the stream is not even looked at.
        if (limits.nWindowNs > 0)
            request.spPreAlarm = m_spPreAlarm;
    }
    if (pSurface)
        request.sizeSurface = pSurface->size();
    QString strError;
    int nReason = Miravel::CErrorInfoMgr::ErrorStreamFailed;
    BuiltPipeline built = BuildPipeline(request, spLink, strError, nReason);
    if (!built.pPipeline) {
        Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview, nReason, strError);
        return false;
    }
    GstBus* pBus = gst_pipeline_get_bus(GST_PIPELINE(built.pPipeline));
    gst_bus_set_sync_handler(pBus, &OnBusSync, NewLinkRef(spLink), &FreeLinkRef);
    gst_object_unref(pBus);

    d->spLink = spLink;
    d->pipeline = built;
    d->strGUID = StreamOwnerGUID();
    // A camera with analytics feeds them from this stream instead of its own
    // (a replay of the past is no source for them).
    if (!request.spReplay)
        Analytics::CAnalyticsHub::Instance().AttachPreview(d->strGUID, built.pPipeline, built.pTee);
    m_bPaused = false;
    d->pSurface = pSurface;
    d->nFramesAtSample = 0;
    d->nSampleMs = QDateTime::currentMSecsSinceEpoch();
    d->dFps = 0;
    m_rateMeter.Reset();
    if (bOverlay) {
        // The sink draws into a window of its own that can outlive the surface:
        // stopping then never has to wait on this thread.
        d->overlay = CreateOverlayWindow(hWnd, DevicePixels(*pSurface));
        if (d->overlay)
            spLink->hWindow = d->overlay.hWindow;
    }
    // Returns at once: connecting and negotiating go on in streaming threads.
    if (gst_element_set_state(built.pPipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview,
                                             Miravel::CErrorInfoMgr::ErrorStreamFailed, Tr("StreamFailed"));
        Teardown();
        return false;
    }
    if (pSurface) {
        pSurface->installEventFilter(this);
        // The X server draws here: no backing store flushed over the video.
        if (bOverlay)
            pSurface->setAttribute(Qt::WA_PaintOnScreen, true);
    }
    d->elapsedSinceStart.start();
    d->watchdog.start();
    Notify(NotifyConnecting);
    return true;
}

void CBasePreview::StopPreview()
{
    ++d->nReconnectToken;
    d->bResumeNext = false;
    if (!IsPreview())
        return;
    Teardown();
    Notify(NotifyStopped);
}

void CBasePreview::Teardown()
{
    d->watchdog.stop();
    if (d->spLink) {
        d->spLink->Cut();
        // The painted picture holds a buffer of the pipeline: give it back.
        std::lock_guard<std::mutex> lock(d->spLink->mutex);
        d->spLink->imgLatest = QImage();
    }
    if (d->pSurface) {
        d->pSurface->removeEventFilter(this);
        d->pSurface->setAttribute(Qt::WA_PaintOnScreen, false);
        d->pSurface->update();
    }
    BuiltPipeline pipeline = d->pipeline;
    std::shared_ptr<RecordBranch> spRecord = std::move(d->spRecord);
    d->pipeline = BuiltPipeline();
    d->spRecord.reset();
    d->bPlaying = false;
    d->pSurface = nullptr;
    m_bPaused = false;
    if (!pipeline.pPipeline)
        return;
    Analytics::CAnalyticsHub::Instance().DetachPreview(d->strGUID, pipeline.pPipeline);
    const OverlayWindow overlay = std::exchange(d->overlay, OverlayWindow());
    if (overlay) {
        // Hidden and out of the surface's reach: the sink may go on drawing
        // into it until it stops on the teardown thread.
        DetachOverlayWindow(overlay);
    } else if (pipeline.bOverlay && !spRecord && d->spLink && d->spLink->bWindowHandleSet) {
        // The X sink draws into the surface itself: let go of it before the
        // window can go away. (Before it got the window, e.g. while
        // connecting, there is nothing to let go of.)
        gst_element_set_locked_state(pipeline.pSink, TRUE);
        gst_element_set_state(pipeline.pSink, GST_STATE_NULL);
    }
    RunOffGuiThread([pipeline, spRecord, overlay] {
        if (spRecord)
            FinishRecordBranch(spRecord, kRecordFinishTimeoutMs);
        gst_element_set_state(pipeline.pPipeline, GST_STATE_NULL);
        gst_object_unref(pipeline.pPipeline);
        DestroyOverlayWindow(overlay);
    });
}

void CBasePreview::Notify(int nKind, const QString& strText, int nCode, int nValue0, int nValue1, int nFlag)
{
    CPreviewObserver::Param param;
    param.nKind = nKind;
    param.strCameraGUID = d->strGUID;
    param.strText = strText.toStdString();
    param.nCode = nCode;
    param.nFlag = nFlag;
    param.arrValues[0] = nValue0;
    param.arrValues[1] = nValue1;
    emit signalPreviewNotify(param);
}

void CBasePreview::Fail(int nReason, const QString& strError)
{
    const QString strText =
        strError.isEmpty() ? Miravel::CErrorInfoMgr::GetErrorInfoByCode(Miravel::CErrorInfoMgr::ModulePreview, nReason)
                           : strError;
    Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview, nReason, strText);
    Teardown();
    Notify(NotifyError, strText, nReason);
    Notify(NotifyStopped);
}

void CBasePreview::OnWatchdog()
{
    if (!IsPreview())
        return;
    const qint64 nNow = QDateTime::currentMSecsSinceEpoch();
    if (!d->bPlaying) {
        // Unreachable and silent servers report only after 15-20 s.
        if (!m_bPaused && d->elapsedSinceStart.elapsed() > m_nConnectTimeoutMs)
            Fail(Miravel::CErrorInfoMgr::ErrorTimeout, QString());
        return;
    }
    if (nNow - d->nSampleMs >= kFpsIntervalMs) {
        const quint64 nFrames = d->spLink->nFrames;
        d->dFps = double(nFrames - d->nFramesAtSample) * 1000.0 / double(nNow - d->nSampleMs);
        d->nFramesAtSample = nFrames;
        d->nSampleMs = nNow;
    }
    if (!m_bPaused && nNow - d->spLink->nLastFrameMs > m_nStallTimeoutMs)
        PreviewAccess::OnPipelineError(*this, Tr("StreamStalled"));
}

void CBasePreview::SetPaused(bool bPaused)
{
    if (!IsPreview() || bPaused == m_bPaused)
        return;
    m_bPaused = bPaused;
    // The stall clock starts again when the pictures flow again.
    d->spLink->nLastFrameMs = QDateTime::currentMSecsSinceEpoch();
    gst_element_set_state(d->pipeline.pPipeline, bPaused ? GST_STATE_PAUSED : GST_STATE_PLAYING);
}

qint64 CBasePreview::GetPlayPositionNs() const
{
    gint64 nPosition = -1;
    if (!IsPreview() || !gst_element_query_position(d->pipeline.pPipeline, GST_FORMAT_TIME, &nPosition))
        return -1;
    return nPosition;
}

bool CBasePreview::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched != d->pSurface || !IsPreview())
        return QObject::eventFilter(pWatched, pEvent);
    if (d->pipeline.bOverlay) {
        // The X server draws the video; Qt must not paint over it.
        if (pEvent->type() == QEvent::Resize)
            ResizeOverlayWindow(d->overlay, DevicePixels(*d->pSurface));
        if (pEvent->type() == QEvent::Paint || pEvent->type() == QEvent::Resize) {
            gst_video_overlay_expose(GST_VIDEO_OVERLAY(d->pipeline.pSink));
            return pEvent->type() == QEvent::Paint;
        }
        return false;
    }
    if (pEvent->type() == QEvent::Resize) {
        SetPaintSize(d->pipeline, d->pSurface->size());
        return false;
    }
    if (pEvent->type() != QEvent::Paint)
        return false;
    QImage imgFrame;
    {
        std::lock_guard<std::mutex> lock(d->spLink->mutex);
        imgFrame = d->spLink->imgLatest;
    }
    QPainter painter(d->pSurface);
    if (imgFrame.isNull())
        painter.fillRect(d->pSurface->rect(), Qt::black);
    else
        painter.drawImage(d->pSurface->rect(), imgFrame);
    return true;
}

bool CBasePreview::GetPictureSize(unsigned& uWidth, unsigned& uHeight) const
{
    if (!d->spLink || !IsPreview() || d->spLink->nWidth <= 0 || d->spLink->nHeight <= 0)
        return false;
    uWidth = unsigned(d->spLink->nWidth.load());
    uHeight = unsigned(d->spLink->nHeight.load());
    return true;
}

CBasePreview::StreamStatistics CBasePreview::GetStreamStatistics() const
{
    StreamStatistics stats;
    if (!d->spLink || !IsPreview())
        return stats;
    stats.nFrames = d->spLink->nFrames;
    stats.nDroppedCorrupt = d->spLink->nCorrupt;
    stats.dFramesPerSecond = d->dFps;
    stats.nWidth = d->spLink->nWidth;
    stats.nHeight = d->spLink->nHeight;
    stats.nFirstPictureNs = d->spLink->nFirstPictureNs;
    std::lock_guard<std::mutex> lock(d->spLink->mutex);
    stats.strCaps = d->spLink->strCaps;
    return stats;
}

StreamInfo CBasePreview::GetStreamInfo()
{
    StreamInfo info;
    if (!d->spLink || !IsPreview())
        return info;
    const PipelineLink& link = *d->spLink;
    info.uWidth = uint32_t(qMax(0, link.nStreamWidth.load()));
    info.uHeight = uint32_t(qMax(0, link.nStreamHeight.load()));
    SetFrameRateFromFraction(info, link.nFpsNumerator, link.nFpsDenominator);
    m_rateMeter.Sample(link.nBytes, QDateTime::currentMSecsSinceEpoch());
    info.uDataRate = m_rateMeter.BytesPerSecond();
    return info;
}

void CBasePreview::SetDigitalZoomRect(const QRectF& rcShown)
{
    m_rcDigitalZoom = rcShown;
    ApplyViewCrops();
}

void CBasePreview::GetViewCrops(CropMargins& ptzCrop, CropMargins& zoomCrop) const
{
    ptzCrop = IsPreview() ? ReadCrop(d->pipeline.pPtzCrop) : CropMargins();
    zoomCrop = IsPreview() ? ReadCrop(d->pipeline.pZoomCrop) : CropMargins();
}

void CBasePreview::ApplyViewCrops()
{
    if (!IsPreview() || !d->spLink)
        return;
    const BuiltPipeline& pipeline = d->pipeline;
    if (pipeline.pPtzCrop) {
        const PtzPosition position = TesselGUIToolkit::CUiSingleton<CPtzControl>::Instance().GetPosition(d->strGUID);
        ApplyCrop(pipeline.pPtzCrop, CPtzControl::ViewRect(position), pipeline.nSceneWidth, pipeline.nSceneHeight);
    }
    ApplyCrop(pipeline.pZoomCrop, ShownPart(QRectF(), m_rcDigitalZoom), d->spLink->nStreamWidth,
              d->spLink->nStreamHeight);
}

bool CBasePreview::Snapshot()
{
    if (!d->bPlaying) {
        Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview,
                                             Miravel::CErrorInfoMgr::ErrorNoStream, QString());
        return false;
    }
    // The stream's own newest picture, whatever the window shows.
    GstSample* pSample = nullptr;
    {
        std::lock_guard<std::mutex> lock(d->spLink->mutex);
        if (d->spLink->pLastBuffer && d->spLink->pLastCaps)
            pSample = gst_sample_new(d->spLink->pLastBuffer, d->spLink->pLastCaps, nullptr, nullptr);
    }
    QImage imgFrame;
    if (pSample) {
        GstCaps* pCaps = gst_caps_from_string("video/x-raw,format=BGRx");
        GstSample* pConverted = gst_video_convert_sample(pSample, pCaps, kConvertTimeout, nullptr);
        gst_caps_unref(pCaps);
        gst_sample_unref(pSample);
        GstVideoInfo info;
        GstVideoFrame frame;
        if (pConverted && gst_video_info_from_caps(&info, gst_sample_get_caps(pConverted))
            && gst_video_frame_map(&frame, &info, gst_sample_get_buffer(pConverted), GST_MAP_READ)) {
            imgFrame =
                QImage(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)), GST_VIDEO_FRAME_WIDTH(&frame),
                       GST_VIDEO_FRAME_HEIGHT(&frame), GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB32)
                    .copy();
            gst_video_frame_unmap(&frame);
        }
        if (pConverted)
            gst_sample_unref(pConverted);
    }
    const QString strPath = QFile::decodeName(Ostrel::CUserDataPath().snapshotPath().c_str())
                            + FileNamePart(StreamTitle()) + QLatin1Char('_') + TimeStamp() + QStringLiteral(".jpg");
    if (imgFrame.isNull() || !imgFrame.save(strPath, "JPG", kSnapshotQuality)) {
        Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview,
                                             imgFrame.isNull() ? Miravel::CErrorInfoMgr::ErrorNoStream
                                                               : Miravel::CErrorInfoMgr::ErrorFileWrite,
                                             QString());
        return false;
    }
    m_strLastSnapshot = strPath.toStdString();
    return true;
}

bool CBasePreview::IsRecord() const
{
    return d->spRecord != nullptr;
}

bool CBasePreview::StartRecord()
{
    if (IsRecord())
        return true;
    if (!d->bPlaying) {
        Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview,
                                             Miravel::CErrorInfoMgr::ErrorNoStream, QString());
        return false;
    }
    const QString strPath = QFile::decodeName(Ostrel::CUserDataPath().recordPath().c_str())
                            + FileNamePart(StreamTitle()) + QLatin1Char('_') + TimeStamp() + QStringLiteral(".mkv");
    QString strError;
    d->spRecord = AttachRecordBranch(d->pipeline, strPath, strError);
    if (!d->spRecord) {
        Miravel::CErrorInfoMgr::SetLastError(Miravel::CErrorInfoMgr::ModulePreview,
                                             Miravel::CErrorInfoMgr::ErrorFileWrite, strError);
        return false;
    }
    m_strLastRecord = strPath.toStdString();
    Notify(NotifyRecordStarted, strPath);
    return true;
}

void CBasePreview::StopRecord()
{
    if (!d->spRecord)
        return;
    std::shared_ptr<RecordBranch> spRecord = std::move(d->spRecord);
    std::shared_ptr<PipelineLink> spLink = d->spLink;
    // Finishing the file waits for the encoder and muxer: not on this thread.
    RunOffGuiThread([spRecord, spLink] {
        const QString strPath = spRecord->strPath;
        FinishRecordBranch(spRecord, kRecordFinishTimeoutMs);
        const bool bOk = spRecord->bFinished;
        spLink->Post([strPath, bOk](CBasePreview& preview) { PreviewAccess::OnRecordFinished(preview, strPath, bOk); });
    });
}

bool CBasePreview::IsOpenSound() const
{
    return d->spLink && IsPreview() && d->spLink->bSoundOpen;
}

bool CBasePreview::OpenSound()
{
    if (IsOpenSound())
        return true;
    if (!IsPreview() || !d->spLink->bHasAudio) {
        Miravel::CErrorInfoMgr::SetLastError(
            Miravel::CErrorInfoMgr::ModulePreview,
            IsPreview() ? Miravel::CErrorInfoMgr::ErrorNoAudio : Miravel::CErrorInfoMgr::ErrorNoStream, QString());
        return false;
    }
    d->spLink->bSoundOpen = true;
    {
        std::lock_guard<std::mutex> lock(d->spLink->mutex);
        if (d->spLink->pVolume)
            g_object_set(d->spLink->pVolume, "mute", FALSE, nullptr);
    }
    Notify(NotifySoundOpened);
    return true;
}

void CBasePreview::CloseSound()
{
    if (!IsOpenSound())
        return;
    d->spLink->bSoundOpen = false;
    {
        std::lock_guard<std::mutex> lock(d->spLink->mutex);
        if (d->spLink->pVolume)
            g_object_set(d->spLink->pVolume, "mute", TRUE, nullptr);
    }
    Notify(NotifySoundClosed);
}

} // namespace Vantrel
