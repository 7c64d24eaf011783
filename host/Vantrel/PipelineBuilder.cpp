#include "Vantrel/PipelineLink.h"

#include "Miravel/ErrorInfoMgr.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

#include <chrono>
#include <vector>

namespace Vantrel {
namespace {

// RTSP's default jitter buffer delays the first picture by 2 s; a local camera
// needs only a little.
constexpr guint kRtspLatencyMs = 50;
constexpr guint64 kRtspTcpTimeoutUs = 10 * G_USEC_PER_SEC;
constexpr guint kHttpTimeoutS = 10;
constexpr int kTestWidth = 640;
constexpr int kTestHeight = 360;
constexpr int kTestFps = 25;
// Test patterns are encoded as a camera would send them: H.264 at a low rate,
// a keyframe every second, with the encoder's cheapest settings (no look-ahead,
// one thread: several windows share the machine).
constexpr guint kTestBitrateKbps = 1000;
constexpr int kX264Ultrafast = 1;
constexpr int kX264ZeroLatency = 0x4;
// A PTZ scene is twice the picture each way: keep it within a 4K frame.
constexpr int kMaxPtzPictureWidth = 1920;
constexpr int kMaxPtzPictureHeight = 1080;

GstElement* Make(const char* szFactory, const char* szName = nullptr)
{
    return gst_element_factory_make(szFactory, szName);
}

// A pad the element always has, or asks for, under this template name.
bool HasFixedPad(GstElement* pElement, const char* szTemplate)
{
    GstPadTemplate* pTemplate = gst_element_class_get_pad_template(GST_ELEMENT_GET_CLASS(pElement), szTemplate);
    return pTemplate && GST_PAD_TEMPLATE_PRESENCE(pTemplate) != GST_PAD_SOMETIMES;
}

// Links two elements of a chain. Between fixed pads only their templates are
// compared: asking the converters for their whole caps here takes milliseconds
// before the stream is even asked for, and negotiation checks the caps anyway.
bool Link(GstElement* pSource, GstElement* pSink)
{
    if (!HasFixedPad(pSink, "sink"))
        return gst_element_link(pSource, pSink);
    for (const char* szSourcePad : {"src", "src_%u"})
        if (HasFixedPad(pSource, szSourcePad))
            return gst_element_link_pads_full(pSource, szSourcePad, pSink, "sink", GST_PAD_LINK_CHECK_TEMPLATE_CAPS);
    return gst_element_link(pSource, pSink);
}

// Adds the elements to the bin and links them in a chain; false if any is missing.
// With bSkipNull a null element is left out instead (one already in the bin).
bool AddChain(GstBin* pBin, std::initializer_list<GstElement*> lstElements, bool bSkipNull = false)
{
    if (bSkipNull) {
        std::vector<GstElement*> vecPresent;
        for (GstElement* p : lstElements)
            if (p)
                vecPresent.push_back(p);
        GstElement* pPrev = nullptr;
        for (GstElement* p : vecPresent) {
            if (!GST_OBJECT_PARENT(p))
                gst_bin_add(pBin, p);
            if (pPrev && !Link(pPrev, p))
                return false;
            pPrev = p;
        }
        return !vecPresent.empty();
    }
    for (GstElement* p : lstElements) {
        if (!p) {
            for (GstElement* q : lstElements)
                if (q && !GST_OBJECT_PARENT(q))
                    gst_object_unref(gst_object_ref_sink(q));
            return false;
        }
    }
    GstElement* pPrev = nullptr;
    for (GstElement* p : lstElements) {
        gst_bin_add(pBin, p);
        if (pPrev && !Link(pPrev, p))
            return false;
        pPrev = p;
    }
    return true;
}

// Xvfb advertises XVideo without an adaptor: try it once, then use plain X images.
bool XvUsable()
{
    static const bool s_bXv = [] {
        GstElement* pXv = Make("xvimagesink");
        if (!pXv)
            return false;
        const bool bOk = gst_element_set_state(pXv, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
        gst_element_set_state(pXv, GST_STATE_NULL);
        gst_object_unref(pXv);
        return bOk;
    }();
    return s_bXv;
}

GstPadProbeReturn OnSinkPad(GstPad*, GstPadProbeInfo* pInfo, gpointer pData)
{
    auto* pLink = static_cast<std::shared_ptr<PipelineLink>*>(pData)->get();
    GstBuffer* pBuffer = GST_PAD_PROBE_INFO_BUFFER(pInfo);
    // Joining a stream between key frames yields grey, corrupted pictures.
    if (GST_BUFFER_FLAG_IS_SET(pBuffer, GST_BUFFER_FLAG_CORRUPTED)) {
        ++pLink->nCorrupt;
        return GST_PAD_PROBE_DROP;
    }
    pLink->nLastFrameMs = QDateTime::currentMSecsSinceEpoch();
    if (++pLink->nFrames == 1)
        pLink->nFirstPictureNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count();
    // The application sink reports its first picture once it holds it.
    if (!pLink->bAppSink && !pLink->bFirstFramePosted.exchange(true))
        pLink->Post(&PreviewAccess::OnFirstFrame);
    return GST_PAD_PROBE_OK;
}

// Where the stream enters: its own size, and its newest picture for snapshots
// (a reference, no copy).
GstPadProbeReturn OnEntryPad(GstPad*, GstPadProbeInfo* pInfo, gpointer pData)
{
    auto* pLink = static_cast<std::shared_ptr<PipelineLink>*>(pData)->get();
    if (GST_PAD_PROBE_INFO_TYPE(pInfo) & GST_PAD_PROBE_TYPE_BUFFER) {
        GstBuffer* pBuffer = GST_PAD_PROBE_INFO_BUFFER(pInfo);
        if (GST_BUFFER_FLAG_IS_SET(pBuffer, GST_BUFFER_FLAG_CORRUPTED))
            return GST_PAD_PROBE_OK;
        std::lock_guard<std::mutex> lock(pLink->mutex);
        gst_buffer_replace(&pLink->pLastBuffer, pBuffer);
        return GST_PAD_PROBE_OK;
    }
    GstEvent* pEvent = GST_PAD_PROBE_INFO_EVENT(pInfo);
    if (GST_EVENT_TYPE(pEvent) != GST_EVENT_CAPS)
        return GST_PAD_PROBE_OK;
    GstCaps* pCaps = nullptr;
    gst_event_parse_caps(pEvent, &pCaps);
    GstVideoInfo info;
    if (!pCaps || !gst_video_info_from_caps(&info, pCaps))
        return GST_PAD_PROBE_OK;
    const int nWidth = GST_VIDEO_INFO_WIDTH(&info), nHeight = GST_VIDEO_INFO_HEIGHT(&info);
    gchar* szCaps = gst_caps_to_string(pCaps);
    {
        std::lock_guard<std::mutex> lock(pLink->mutex);
        pLink->strCaps = QString::fromUtf8(szCaps);
        gst_caps_replace(&pLink->pLastCaps, pCaps);
    }
    g_free(szCaps);
    const bool bWidthChanged = pLink->nWidth.exchange(nWidth) != nWidth;
    const bool bHeightChanged = pLink->nHeight.exchange(nHeight) != nHeight;
    if (bWidthChanged || bHeightChanged)
        pLink->Post(
            [nWidth, nHeight](CBasePreview& preview) { PreviewAccess::OnPictureSize(preview, nWidth, nHeight); });
    return GST_PAD_PROBE_OK;
}

// The painted pictures are only as large as the window.
void SetPaintSizeImpl(GstElement* pSizeFilter, const QSize& sizeSurface)
{
    if (!pSizeFilter)
        return;
    GstCaps* pCaps = sizeSurface.width() >= 2 && sizeSurface.height() >= 2
                         ? gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, sizeSurface.width(), "height",
                                               G_TYPE_INT, sizeSurface.height(), nullptr)
                         : gst_caps_new_empty_simple("video/x-raw");
    g_object_set(pSizeFilter, "caps", pCaps, nullptr);
    gst_caps_unref(pCaps);
}

// A painted picture: the sample stays mapped while a QImage shows it.
struct MappedFrame
{
    GstSample* pSample = nullptr;
    GstVideoFrame frame;
};

void ReleaseMappedFrame(void* pData)
{
    auto* pMapped = static_cast<MappedFrame*>(pData);
    gst_video_frame_unmap(&pMapped->frame);
    gst_sample_unref(pMapped->pSample);
    delete pMapped;
}

GstFlowReturn OnNewSample(GstAppSink* pSink, gpointer pData)
{
    auto* pLink = static_cast<std::shared_ptr<PipelineLink>*>(pData)->get();
    GstSample* pSample = gst_app_sink_pull_sample(pSink);
    if (!pSample)
        return GST_FLOW_EOS;
    GstVideoInfo info;
    auto* pMapped = new MappedFrame{pSample, {}};
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(pSample))
        || !gst_video_frame_map(&pMapped->frame, &info, gst_sample_get_buffer(pSample), GST_MAP_READ)) {
        gst_sample_unref(pSample);
        delete pMapped;
        return GST_FLOW_OK;
    }
    // No copy: the image reads the mapped frame and releases it when dropped.
    QImage imgFrame(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&pMapped->frame, 0)),
                    GST_VIDEO_FRAME_WIDTH(&pMapped->frame), GST_VIDEO_FRAME_HEIGHT(&pMapped->frame),
                    GST_VIDEO_FRAME_PLANE_STRIDE(&pMapped->frame, 0), QImage::Format_RGB32, &ReleaseMappedFrame,
                    pMapped);
    bool bPost = false;
    {
        std::lock_guard<std::mutex> lock(pLink->mutex);
        pLink->imgLatest.swap(imgFrame);
        bPost = !pLink->bRepaintPending;
        pLink->bRepaintPending = true;
    }
    // One queued repaint however many frames arrive before the GUI paints.
    if (bPost)
        pLink->Post(&PreviewAccess::OnFrameReady);
    if (!pLink->bFirstFramePosted.exchange(true))
        pLink->Post(&PreviewAccess::OnFirstFrame);
    return GST_FLOW_OK;
}

void FreeLinkRef(gpointer pData)
{
    delete static_cast<std::shared_ptr<PipelineLink>*>(pData);
}

gpointer NewLinkRef(const std::shared_ptr<PipelineLink>& spLink)
{
    return new std::shared_ptr<PipelineLink>(spLink);
}

// No picture: the tee for other branches and a sink that keeps the stream at
// its own pace (a file would otherwise decode as fast as it can).
bool BuildHeadlessChain(GstBin* pBin, BuiltPipeline& built, GstElement*& pEntry)
{
    GstElement* pTee = Make("tee");
    GstElement* pQueue = Make("queue");
    GstElement* pSink = Make("fakesink");
    if (pTee)
        g_object_set(pTee, "allow-not-linked", TRUE, nullptr);
    if (pQueue)
        g_object_set(pQueue, "max-size-buffers", 2, "max-size-bytes", 0, "max-size-time", guint64(0), "leaky", 2,
                     nullptr);
    if (pSink)
        g_object_set(pSink, "sync", TRUE, "async", FALSE, nullptr);
    if (!AddChain(pBin, {pTee, pQueue, pSink}))
        return false;
    built.pTee = pTee;
    built.pSink = pSink;
    pEntry = pTee;
    return true;
}

// The display end: a tee (recordings and snapshots take the stream's own
// pictures there), a leaky queue, scaling to the window before conversion,
// and the sink.
bool BuildVideoChain(GstBin* pBin, const BuildRequest& request, const std::shared_ptr<PipelineLink>& spLink,
                     BuiltPipeline& built, GstElement*& pEntry)
{
    if (request.bHeadless)
        return BuildHeadlessChain(pBin, built, pEntry);
    GstElement* pTee = Make("tee");
    GstElement* pQueue = Make("queue");
    GstElement* pScale = Make("videoscale");
    GstElement* pConvert = Make("videoconvert");
    // Digital zoom crops what is shown, never what is recorded.
    GstElement* pZoomCrop = Make("videocrop");
    if (pTee)
        g_object_set(pTee, "allow-not-linked", TRUE, nullptr);
    // A live stream keeps only its newest pictures; a file is paced by the sink.
    if (pQueue && request.bLive)
        g_object_set(pQueue, "max-size-buffers", 2, "max-size-bytes", 0, "max-size-time", guint64(0), "leaky", 2,
                     nullptr);
    GstElement* pSink = nullptr;
    GstElement* pSizeFilter = nullptr;
    GstElement* pFormatFilter = nullptr;
    if (request.bOverlay) {
        const bool bXv = XvUsable();
        pSink = Make(bXv ? "xvimagesink" : "ximagesink");
        if (pSink) {
            // We forward expose ourselves; no event thread to wait for on stop.
            g_object_set(pSink, "handle-events", FALSE, nullptr);
            if (bXv)
                g_object_set(pSink, "force-aspect-ratio", FALSE, nullptr);
        }
        // Plain X images do not scale: the sink asks for the window's size.
        if (!AddChain(pBin, {pTee, pQueue, pZoomCrop, pScale, pConvert, pSink}))
            return false;
    } else {
        pSink = Make("appsink");
        spLink->bAppSink = true;
        pSizeFilter = Make("capsfilter");
        pFormatFilter = Make("capsfilter");
        if (pFormatFilter) {
            // QImage::Format_RGB32 on little-endian: painted without conversion.
            GstCaps* pCaps = gst_caps_from_string("video/x-raw,format=BGRx");
            g_object_set(pFormatFilter, "caps", pCaps, nullptr);
            gst_caps_unref(pCaps);
        }
        if (pSink) {
            g_object_set(pSink, "max-buffers", 1, "drop", TRUE, "enable-last-sample", FALSE, nullptr);
            GstAppSinkCallbacks callbacks{};
            callbacks.new_sample = &OnNewSample;
            gst_app_sink_set_callbacks(GST_APP_SINK(pSink), &callbacks, NewLinkRef(spLink), &FreeLinkRef);
        }
        if (!AddChain(pBin, {pTee, pQueue, pZoomCrop, pScale, pSizeFilter, pConvert, pFormatFilter, pSink}))
            return false;
        SetPaintSizeImpl(pSizeFilter, request.sizeSurface);
    }
    // Pictures are counted where they are shown; the size and the last picture
    // are the stream's own, before any scaling to the window.
    built.pZoomCrop = pZoomCrop;
    WatchStreamCaps(pTee, spLink);
    GstPad* pSinkPad = gst_element_get_static_pad(pSink, "sink");
    gst_pad_add_probe(pSinkPad, GST_PAD_PROBE_TYPE_BUFFER, &OnSinkPad, NewLinkRef(spLink), &FreeLinkRef);
    gst_object_unref(pSinkPad);
    GstPad* pEntryPad = gst_element_get_static_pad(pTee, "sink");
    gst_pad_add_probe(pEntryPad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      &OnEntryPad, NewLinkRef(spLink), &FreeLinkRef);
    gst_object_unref(pEntryPad);
    built.pTee = pTee;
    built.pSink = pSink;
    built.pSizeFilter = pSizeFilter;
    built.bOverlay = request.bOverlay;
    pEntry = pTee;
    return true;
}

// The machine's sound output: the sound server or the sound card, else none
// (a machine without sound plays the stream's audio into nothing).
GstElement* MakeAudioSink()
{
    static const char* const s_szFactory = [] {
        for (const char* szFactory : {"pulsesink", "alsasink"}) {
            GstElement* pSink = Make(szFactory);
            if (!pSink)
                continue;
            const bool bOk = gst_element_set_state(pSink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
            gst_element_set_state(pSink, GST_STATE_NULL);
            gst_object_unref(pSink);
            if (bOk)
                return szFactory;
        }
        return "fakesink";
    }();
    GstElement* pSink = Make(s_szFactory);
    if (pSink && g_str_equal(s_szFactory, "fakesink"))
        g_object_set(pSink, "sync", TRUE, nullptr);
    return pSink;
}

// Sound: silent until the user opens it.
GstElement* BuildAudioChain(GstBin* pBin, const std::shared_ptr<PipelineLink>& spLink)
{
    GstElement* pQueue = Make("queue");
    GstElement* pConvert = Make("audioconvert");
    GstElement* pResample = Make("audioresample");
    GstElement* pVolume = Make("volume");
    GstElement* pSink = MakeAudioSink();
    // The sound output must not hold a live pipeline back from playing.
    if (pSink)
        g_object_set(pSink, "async", FALSE, nullptr);
    if (pVolume)
        g_object_set(pVolume, "mute", !spLink->bSoundOpen.load(), nullptr);
    if (!AddChain(pBin, {pQueue, pConvert, pResample, pVolume, pSink}))
        return nullptr;
    {
        std::lock_guard<std::mutex> lock(spLink->mutex);
        spLink->pVolume = GST_ELEMENT(gst_object_ref(pVolume));
    }
    spLink->bHasAudio = true;
    for (GstElement* p : {pQueue, pConvert, pResample, pVolume, pSink})
        gst_element_sync_state_with_parent(p);
    return pQueue;
}

struct DecodeContext
{
    std::shared_ptr<PipelineLink> spLink;
    GstElement* pPipeline = nullptr;
    GstElement* pVideoEntry = nullptr;
    std::atomic<bool> bVideoLinked{false}; // pads appear on streaming threads
    std::atomic<bool> bAudioLinked{false};
    // Made and started with the pipeline, for the first stream of an RTSP
    // session: no decoder to make and start once its first packet is there.
    std::atomic<GstElement*> pReadyDecoder{nullptr};       // borrowed from the pipeline
    std::shared_ptr<CPreAlarmBuffer> spPreAlarm = nullptr; // fed by the video parser, if any
};

void OnDecodedPad(GstElement*, GstPad* pPad, gpointer pData)
{
    auto* pCtx = static_cast<DecodeContext*>(pData);
    GstCaps* pCaps = gst_pad_get_current_caps(pPad);
    if (!pCaps)
        pCaps = gst_pad_query_caps(pPad, nullptr);
    const gchar* szName = gst_structure_get_name(gst_caps_get_structure(pCaps, 0));
    GstElement* pTarget = nullptr;
    if (g_str_has_prefix(szName, "video/") && !pCtx->bVideoLinked.exchange(true)) {
        pTarget = pCtx->pVideoEntry;
    } else if (g_str_has_prefix(szName, "audio/") && !pCtx->bAudioLinked.exchange(true)) {
        pTarget = BuildAudioChain(GST_BIN(pCtx->pPipeline), pCtx->spLink);
    }
    gst_caps_unref(pCaps);
    if (!pTarget)
        return;
    GstPad* pSinkPad = gst_element_get_static_pad(pTarget, "sink");
    gst_pad_link(pPad, pSinkPad);
    gst_object_unref(pSinkPad);
}

void OnSourceSetup(GstElement*, GstElement* pSource, gpointer pData)
{
    // What the network delivers, before decoding.
    if (pData)
        CountArrivingBytes(pSource, *static_cast<std::shared_ptr<PipelineLink>*>(pData));
    GObjectClass* pClass = G_OBJECT_GET_CLASS(pSource);
    if (g_object_class_find_property(pClass, "latency") && g_object_class_find_property(pClass, "tcp-timeout"))
        g_object_set(pSource, "latency", kRtspLatencyMs, "tcp-timeout", kRtspTcpTimeoutUs, nullptr);
    else if (g_object_class_find_property(pClass, "timeout") && g_object_class_find_property(pClass, "user-agent"))
        g_object_set(pSource, "timeout", kHttpTimeoutS, nullptr);
}

// A local file is read ahead in large blocks, a small one all at once: its
// stream's pace shows where the paced stream enters the decoders.
void OnFileElementAdded(GstBin*, GstBin*, GstElement* pElement, gpointer pData)
{
    CountDecoderInput(pElement, *static_cast<std::shared_ptr<PipelineLink>*>(pData));
}

// Decoders that can hand out corrupted pictures are told not to.
void OnDeepElementAdded(GstBin*, GstBin*, GstElement* pElement, gpointer)
{
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(pElement), "output-corrupt"))
        g_object_set(pElement, "output-corrupt", FALSE, nullptr);
}

// A PTZ test camera: the pattern is drawn as a scene larger than the camera's
// picture; a crop shows the part the camera looks at, scaled to the picture's size.
bool BuildPtzScene(GstBin* pBin, GstElement* pSource, GstElement* pFilter, int nWidth, int nHeight, int nFps,
                   BuiltPipeline& built)
{
    GstElement* pSceneFilter = Make("capsfilter");
    GstElement* pCrop = MakePtzSceneCrop(nWidth, nHeight, built.nSceneWidth, built.nSceneHeight);
    GstElement* pScale = Make("videoscale");
    if (pSceneFilter) {
        GstCaps* pCaps =
            gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, built.nSceneWidth, "height", G_TYPE_INT,
                                built.nSceneHeight, "framerate", GST_TYPE_FRACTION, nFps, 1, nullptr);
        g_object_set(pSceneFilter, "caps", pCaps, nullptr);
        gst_caps_unref(pCaps);
    }
    if (!AddChain(pBin, {pSource, pSceneFilter, pCrop, pScale}))
        return false;
    gst_bin_add(pBin, pFilter);
    if (!Link(pScale, pFilter))
        return false;
    built.pPtzCrop = pCrop;
    return true;
}

// The pattern as a camera sends it, encoded, and decoded again for the
// display: the encoded stream is counted and buffered like any camera's.
// Returns the element that takes the pictures to encode.
GstElement* AddTestEncoding(GstBin* pBin, GstElement* pVideoEntry, int nFps, const BuildRequest& request,
                            const std::shared_ptr<PipelineLink>& spLink)
{
    GstElement* pEncoder = Make("x264enc");
    GstElement* pParser = Make("h264parse");
    GstElement* pDecoder = Make("avdec_h264");
    if (!pDecoder)
        pDecoder = Make("openh264dec");
    if (pEncoder)
        g_object_set(pEncoder, "tune", kX264ZeroLatency, "speed-preset", kX264Ultrafast, "bitrate", kTestBitrateKbps,
                     "key-int-max", nFps, "threads", 1, nullptr);
    if (pDecoder && g_object_class_find_property(G_OBJECT_GET_CLASS(pDecoder), "max-threads"))
        g_object_set(pDecoder, "max-threads", 1, nullptr);
    if (!AddChain(pBin, {pEncoder, pParser, pDecoder}) || !Link(pDecoder, pVideoEntry))
        return nullptr;
    CountArrivingBytes(pParser, spLink);
    BufferEncodedStream(pParser, request.spPreAlarm);
    return pEncoder;
}

// test:<pattern>[?audio=1&size=WxH&fps=N]
bool BuildTestSource(GstBin* pBin, const QUrl& url, const BuildRequest& request, GstElement* pVideoEntry,
                     const std::shared_ptr<PipelineLink>& spLink, QString& strError, BuiltPipeline& built)
{
    const QString& strTitle = request.strTitle;
    const bool bPtzScene = request.bPtzScene;
    const QUrlQuery query(url);
    const QString strPattern = url.path().isEmpty() ? QStringLiteral("ball") : url.path();
    int nWidth = kTestWidth, nHeight = kTestHeight, nFps = kTestFps;
    const QStringList lstSize = query.queryItemValue("size").split('x');
    if (lstSize.size() == 2 && lstSize[0].toInt() > 0 && lstSize[1].toInt() > 0) {
        nWidth = qMin(lstSize[0].toInt(), 3840);
        nHeight = qMin(lstSize[1].toInt(), 2160);
    }
    if (query.queryItemValue("fps").toInt() > 0)
        nFps = qMin(query.queryItemValue("fps").toInt(), 60);
    if (bPtzScene) {
        nWidth = qMin(nWidth, kMaxPtzPictureWidth);
        nHeight = qMin(nHeight, kMaxPtzPictureHeight);
    }

    GstElement* pSource = Make("videotestsrc");
    if (!pSource)
        return false;
    // An unknown pattern name would silently fall back; refuse it instead.
    GParamSpec* pSpec = g_object_class_find_property(G_OBJECT_GET_CLASS(pSource), "pattern");
    GEnumValue* pValue =
        g_enum_get_value_by_nick(G_PARAM_SPEC_ENUM(pSpec)->enum_class, strPattern.toUtf8().constData());
    if (!pValue) {
        gst_object_unref(gst_object_ref_sink(pSource));
        strError = QCoreApplication::translate("Vantrel::CBasePreview", "UnknownTestPattern") + ": " + strPattern;
        return false;
    }
    g_object_set(pSource, "is-live", TRUE, "pattern", pValue->value, nullptr);
    if (pValue->value != 18 /* ball moves by itself */)
        g_object_set(pSource, "horizontal-speed", 2, nullptr);
    GstElement* pFilter = Make("capsfilter");
    GstCaps* pCaps = gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, nWidth, "height", G_TYPE_INT, nHeight,
                                         "framerate", GST_TYPE_FRACTION, nFps, 1, nullptr);
    g_object_set(pFilter, "caps", pCaps, nullptr);
    gst_caps_unref(pCaps);
    GstElement* pTitle = Make("textoverlay");
    GstElement* pClock = Make("clockoverlay");
    if (pTitle)
        g_object_set(pTitle, "text", strTitle.toUtf8().constData(), "valignment", 2 /* top */, "halignment",
                     0 /* left */, "font-desc", "Sans 18", nullptr);
    if (pClock)
        g_object_set(pClock, "valignment", 1 /* bottom */, "halignment", 2 /* right */, "time-format",
                     "%Y-%m-%d %H:%M:%S", "font-desc", "Sans 14", nullptr);
    if (bPtzScene && !BuildPtzScene(pBin, pSource, pFilter, nWidth, nHeight, nFps, built))
        return false;
    // Analysis alone (no window) takes the pictures as drawn.
    GstElement* pPictureEntry =
        request.bHeadless ? pVideoEntry : AddTestEncoding(pBin, pVideoEntry, nFps, request, spLink);
    if (!pPictureEntry || !AddChain(pBin, {bPtzScene ? nullptr : pSource, pFilter, pTitle, pClock}, bPtzScene)
        || !Link(pClock, pPictureEntry))
        return false;
    if (request.bHeadless)
        CountArrivingBytes(pFilter, spLink);
    if (query.queryItemValue("audio") == QLatin1String("1")) {
        GstElement* pTone = Make("audiotestsrc");
        if (!pTone)
            return false;
        g_object_set(pTone, "is-live", TRUE, "volume", 0.2, nullptr);
        gst_bin_add(pBin, pTone);
        GstElement* pAudioEntry = BuildAudioChain(pBin, spLink);
        if (!pAudioEntry || !Link(pTone, pAudioEntry))
            return false;
    }
    return true;
}

GstElement* NewDecoder(DecodeContext* pCtx)
{
    GstElement* pDecode = Make("decodebin");
    if (!pDecode)
        return nullptr;
    g_signal_connect(pDecode, "pad-added", G_CALLBACK(&OnDecodedPad), pCtx);
    g_signal_connect(pDecode, "deep-element-added", G_CALLBACK(&OnDeepElementAdded), nullptr);
    BufferDecodedSource(pDecode, pCtx->spPreAlarm);
    return pDecode;
}

// Each stream of an RTSP session gets its own decoder.
void OnRtspPad(GstElement*, GstPad* pPad, gpointer pData)
{
    auto* pCtx = static_cast<DecodeContext*>(pData);
    GstElement* pDecode = pCtx->pReadyDecoder.exchange(nullptr);
    if (!pDecode) {
        pDecode = NewDecoder(pCtx);
        if (!pDecode)
            return;
        gst_bin_add(GST_BIN(pCtx->pPipeline), pDecode);
        gst_element_sync_state_with_parent(pDecode);
    }
    GstPad* pSinkPad = gst_element_get_static_pad(pDecode, "sink");
    gst_pad_link(pPad, pSinkPad);
    gst_object_unref(pSinkPad);
}

void FreeDecodeContext(gpointer pData, GClosure*)
{
    delete static_cast<DecodeContext*>(pData);
}

// rtsp:// straight into the RTSP source with a short jitter buffer; files and
// http(s):// through the decoding source.
bool BuildUriSource(GstBin* pBin, const QString& strUri, GstElement* pVideoEntry,
                    const std::shared_ptr<PipelineLink>& spLink, const std::shared_ptr<CPreAlarmBuffer>& spPreAlarm)
{
    auto* pCtx = new DecodeContext{spLink, GST_ELEMENT(pBin), pVideoEntry};
    pCtx->spPreAlarm = spPreAlarm;
    const bool bRtsp = strUri.startsWith(QLatin1String("rtsp"), Qt::CaseInsensitive);
    GstElement* pSource = Make(bRtsp ? "rtspsrc" : "uridecodebin");
    if (!pSource) {
        delete pCtx;
        return false;
    }
    if (bRtsp) {
        g_object_set(pSource, "location", strUri.toUtf8().constData(), nullptr);
        OnSourceSetup(nullptr, pSource, nullptr);
        CountArrivingBytes(pSource, spLink);
        if (GstElement* pDecode = NewDecoder(pCtx)) {
            gst_bin_add(pBin, pDecode);
            pCtx->pReadyDecoder = pDecode;
        }
        g_signal_connect_data(pSource, "pad-added", G_CALLBACK(&OnRtspPad), pCtx, &FreeDecodeContext, GConnectFlags(0));
    } else {
        g_object_set(pSource, "uri", strUri.toUtf8().constData(), nullptr);
        g_signal_connect_data(pSource, "pad-added", G_CALLBACK(&OnDecodedPad), pCtx, &FreeDecodeContext,
                              GConnectFlags(0));
        const bool bFile = strUri.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
        g_signal_connect_data(
            pSource, bFile ? "deep-element-added" : "source-setup",
            bFile ? G_CALLBACK(&OnFileElementAdded) : G_CALLBACK(&OnSourceSetup), NewLinkRef(spLink),
            [](gpointer p, GClosure*) { FreeLinkRef(p); }, GConnectFlags(0));
        g_signal_connect(pSource, "deep-element-added", G_CALLBACK(&OnDeepElementAdded), nullptr);
        BufferDecodedSource(pSource, spPreAlarm);
    }
    gst_bin_add(pBin, pSource);
    return true;
}

// Frames from memory (instant playback): decoded as the live stream was.
bool BuildReplaySource(GstBin* pBin, const BuildRequest& request, GstElement* pVideoEntry,
                       const std::shared_ptr<PipelineLink>& spLink)
{
    GstElement* pSource = MakeReplaySource(request.spReplay);
    auto* pCtx = new DecodeContext{spLink, GST_ELEMENT(pBin), pVideoEntry};
    GstElement* pDecode = pSource ? NewDecoder(pCtx) : nullptr;
    if (!pDecode) {
        delete pCtx;
        if (pSource)
            gst_object_unref(gst_object_ref_sink(pSource));
        return false;
    }
    g_object_set_data_full(G_OBJECT(pDecode), "lsa-decode-context", pCtx,
                           [](gpointer p) { delete static_cast<DecodeContext*>(p); });
    gst_bin_add_many(pBin, pSource, pDecode, nullptr);
    return Link(pSource, pDecode);
}

// file://...?crop=x,y,w,h[&size=WxH]: the camera shows that part of the video
// (fractions), scaled to WxH, as a zoomed camera looking into the scene would.
// Returns the element the decoder feeds, pVideoEntry when there is no crop.
GstElement* AddViewCrop(GstBin* pBin, const QString& strAddress, GstElement* pVideoEntry)
{
    const QUrl url(strAddress);
    if (url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) != 0)
        return pVideoEntry;
    const QUrlQuery query(url);
    const QStringList lstCrop = query.queryItemValue("crop").split(',');
    if (lstCrop.size() != 4)
        return pVideoEntry;
    double arr[4];
    for (int i = 0; i < 4; ++i) {
        bool bOk = false;
        arr[i] = lstCrop[i].toDouble(&bOk);
        if (!bOk || !(arr[i] >= 0 && arr[i] <= 1))
            return pVideoEntry;
    }
    const QRectF rcPart = QRectF(arr[0], arr[1], arr[2], arr[3]) & QRectF(0, 0, 1, 1);
    if (rcPart.isEmpty())
        return pVideoEntry;
    GstElement* pCrop = Make("videocrop");
    GstElement* pScale = Make("videoscale");
    GstElement* pFilter = Make("capsfilter");
    const QStringList lstSize = query.queryItemValue("size").split('x');
    if (pFilter && lstSize.size() == 2 && lstSize[0].toInt() >= 16 && lstSize[1].toInt() >= 16) {
        GstCaps* pCaps = gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, qMin(lstSize[0].toInt(), 3840),
                                             "height", G_TYPE_INT, qMin(lstSize[1].toInt(), 2160), nullptr);
        g_object_set(pFilter, "caps", pCaps, nullptr);
        gst_caps_unref(pCaps);
    }
    if (!AddChain(pBin, {pCrop, pScale, pFilter}) || !Link(pFilter, pVideoEntry))
        return pVideoEntry;
    // The margins follow the decoded size, known once the caps arrive.
    auto* pPart = new QRectF(rcPart);
    GstPad* pPad = gst_element_get_static_pad(pCrop, "sink");
    gst_pad_add_probe(
        pPad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM,
        [](GstPad* pSinkPad, GstPadProbeInfo* pInfo, gpointer pData) {
            GstEvent* pEvent = GST_PAD_PROBE_INFO_EVENT(pInfo);
            GstCaps* pCaps = nullptr;
            GstVideoInfo info;
            if (GST_EVENT_TYPE(pEvent) == GST_EVENT_CAPS) {
                gst_event_parse_caps(pEvent, &pCaps);
                if (pCaps && gst_video_info_from_caps(&info, pCaps))
                    ApplyCrop(GST_ELEMENT(GST_OBJECT_PARENT(pSinkPad)), *static_cast<QRectF*>(pData),
                              GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
            }
            return GST_PAD_PROBE_OK;
        },
        pPart, [](gpointer p) { delete static_cast<QRectF*>(p); });
    gst_object_unref(pPad);
    return pCrop;
}

// The address as a URI the decoding source takes, or empty when unusable.
QString AddressToUri(const QString& strAddress, int& nReason, QString& strError)
{
    const QUrl url(strAddress, QUrl::StrictMode);
    const QString strScheme = url.scheme().toLower();
    if (strScheme == "rtsp" || strScheme == "rtspt" || strScheme == "http" || strScheme == "https") {
        if (!url.isValid() || url.host().isEmpty()) {
            nReason = Miravel::CErrorInfoMgr::ErrorBadAddress;
            return QString();
        }
        return url.toString(QUrl::FullyEncoded);
    }
    QString strPath = strAddress;
    if (strScheme == "file")
        strPath = url.toLocalFile();
    else if (!strScheme.isEmpty() && strScheme.size() > 1) {
        nReason = Miravel::CErrorInfoMgr::ErrorBadAddress;
        return QString();
    }
    const QFileInfo info(strPath);
    if (strPath.isEmpty() || !info.isFile() || !info.isReadable()) {
        nReason = Miravel::CErrorInfoMgr::ErrorBadAddress;
        strError = QCoreApplication::translate("Vantrel::CBasePreview", "FileNotFound") + ": " + strPath;
        return QString();
    }
    return QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded);
}

} // namespace

void SetPaintSize(const BuiltPipeline& pipeline, const QSize& sizeSurface)
{
    SetPaintSizeImpl(pipeline.pSizeFilter, sizeSurface);
}

BuiltPipeline BuildPipeline(const BuildRequest& request, const std::shared_ptr<PipelineLink>& spLink, QString& strError,
                            int& nReason)
{
    BuiltPipeline built;
    nReason = Miravel::CErrorInfoMgr::ErrorStreamFailed;
    const QString strAddress = request.strAddress.trimmed();
    const bool bTest = strAddress.startsWith(QLatin1String("test:"));
    const bool bReplay = request.spReplay != nullptr;
    QString strUri;
    if (!bTest && !bReplay) {
        strUri = AddressToUri(strAddress, nReason, strError);
        if (strUri.isEmpty()) {
            if (strError.isEmpty())
                strError = Miravel::CErrorInfoMgr::GetErrorInfoByCode(Miravel::CErrorInfoMgr::ModulePreview, nReason)
                           + ": " + strAddress.left(200);
            return built;
        }
    }
    GstElement* pPipeline = gst_pipeline_new(nullptr);
    GstElement* pVideoEntry = nullptr;
    BuildRequest requestBuilt = request;
    requestBuilt.bLive = bTest || strUri.startsWith(QLatin1String("rtsp"), Qt::CaseInsensitive);
    bool bOk = BuildVideoChain(GST_BIN(pPipeline), requestBuilt, spLink, built, pVideoEntry);
    if (bOk && bReplay)
        bOk = BuildReplaySource(GST_BIN(pPipeline), request, pVideoEntry, spLink);
    else if (bOk)
        bOk = bTest
                  ? BuildTestSource(GST_BIN(pPipeline), QUrl(strAddress), request, pVideoEntry, spLink, strError, built)
                  : BuildUriSource(GST_BIN(pPipeline), strUri, AddViewCrop(GST_BIN(pPipeline), strAddress, pVideoEntry),
                                   spLink, request.spPreAlarm);
    if (!bOk) {
        if (strError.isEmpty())
            strError = QCoreApplication::translate("Vantrel::CBasePreview", "MissingMediaComponent");
        gst_object_unref(pPipeline);
        return BuiltPipeline();
    }
    built.pPipeline = pPipeline;
    return built;
}

} // namespace Vantrel
