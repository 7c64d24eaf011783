#include "analytics/AnalyticsHub.h"
#include "analytics/StreamPicture.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace Analytics {
namespace {

// What the branch's streaming thread carries from a full-size picture, seen as
// it enters the scaler, to the analysis picture made of it. Scaling and
// conversion run in that one thread, one picture at a time, so the newest
// full-size picture is the one the analysis picture was made of.
struct BranchContext
{
    explicit BranchContext(std::weak_ptr<ICameraAnalytics> wp)
        : wpAnalytics(std::move(wp))
    {
    }
    ~BranchContext() { gst_buffer_replace(&pFull, nullptr); }
    BranchContext(const BranchContext&) = delete;
    BranchContext& operator=(const BranchContext&) = delete;

    std::weak_ptr<ICameraAnalytics> wpAnalytics;
    GstVideoInfo infoFull{};
    bool bInfoFull = false;
    GstBuffer* pFull = nullptr;
};
using ContextRef = std::shared_ptr<BranchContext>;

BranchContext& ContextOf(gpointer pData)
{
    return **static_cast<ContextRef*>(pData);
}

void FreeContextRef(gpointer pData)
{
    delete static_cast<ContextRef*>(pData);
}

int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Keeps a reference to each full-size picture (no copy) and the format it comes in.
GstPadProbeReturn OnFullPicture(GstPad*, GstPadProbeInfo* pInfo, gpointer pData)
{
    BranchContext& ctx = ContextOf(pData);
    if (GST_PAD_PROBE_INFO_TYPE(pInfo) & GST_PAD_PROBE_TYPE_BUFFER) {
        gst_buffer_replace(&ctx.pFull, GST_PAD_PROBE_INFO_BUFFER(pInfo));
        return GST_PAD_PROBE_OK;
    }
    GstEvent* pEvent = GST_PAD_PROBE_INFO_EVENT(pInfo);
    GstCaps* pCaps = nullptr;
    if (pEvent && GST_EVENT_TYPE(pEvent) == GST_EVENT_CAPS) {
        gst_event_parse_caps(pEvent, &pCaps);
        ctx.bInfoFull = pCaps && gst_video_info_from_caps(&ctx.infoFull, pCaps);
        gst_buffer_replace(&ctx.pFull, nullptr);
    }
    return GST_PAD_PROBE_OK;
}

// The grey analysis picture, handed to the camera's analytics while mapped
// (they copy it), with the full-size picture it was made of.
GstFlowReturn OnAnalysisSample(GstAppSink* pSink, gpointer pData)
{
    GstSample* pSample = gst_app_sink_pull_sample(pSink);
    if (!pSample)
        return GST_FLOW_EOS;
    const int64_t nNowMs = SteadyMs();
    BranchContext& ctx = ContextOf(pData);
    GstBuffer* pFull = std::exchange(ctx.pFull, nullptr);
    GstBuffer* pBuffer = gst_sample_get_buffer(pSample);
    std::shared_ptr<ICameraAnalytics> spAnalytics = ctx.wpAnalytics.lock();
    GstVideoInfo info;
    GstVideoFrame frame;
    // Scaling and conversion keep the time stamp: a picture of another instant is never paired.
    if (spAnalytics && pFull && pBuffer && ctx.bInfoFull && GST_BUFFER_PTS(pFull) == GST_BUFFER_PTS(pBuffer)
        && gst_video_info_from_caps(&info, gst_sample_get_caps(pSample))
        && GST_VIDEO_INFO_FORMAT(&info) == GST_VIDEO_FORMAT_GRAY8
        && gst_video_frame_map(&frame, &info, pBuffer, GST_MAP_READ)) {
        GreyPicture grey;
        grey.pData = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
        grey.nWidth = GST_VIDEO_FRAME_WIDTH(&frame);
        grey.nHeight = GST_VIDEO_FRAME_HEIGHT(&frame);
        grey.nStride = size_t(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
        // Grey from YUV is the luma as it is, in the stream's range.
        grey.bStudioRange =
            GST_VIDEO_INFO_IS_YUV(&ctx.infoFull) && ctx.infoFull.colorimetry.range != GST_VIDEO_COLOR_RANGE_0_255;
        spAnalytics->OfferFrame(grey, WrapStreamPicture(pFull, ctx.infoFull), nNowMs);
        gst_video_frame_unmap(&frame);
    }
    if (pFull)
        gst_buffer_unref(pFull);
    gst_sample_unref(pSample);
    return GST_FLOW_OK;
}

} // namespace

bool AttachAnalysisBranch(GstElement* pPipeline, GstElement* pTee, int nFps, int nWidth,
                          const std::weak_ptr<ICameraAnalytics>& wpAnalytics)
{
    if (!pPipeline || !pTee || nWidth <= 0)
        return false;
    // A stream carries one branch (its elements' names are its own).
    if (GstElement* pExisting = gst_bin_get_by_name(GST_BIN(pPipeline), kAnalysisQueueName)) {
        gst_object_unref(pExisting);
        return true;
    }
    // The rate limit comes first, so the other frames cost nothing here; the
    // leaky queue keeps one frame and drops the rest while conversion lags.
    // Then to grey at the analysis width (the detectors look at brightness
    // only; the full-size picture is converted only when an alarm needs it).
    std::vector<GstElement*> vecElements = {gst_element_factory_make("videorate", nullptr),
                                            gst_element_factory_make("queue", kAnalysisQueueName)};
    // One element that scales and converts in one pass scales first when the
    // picture shrinks and converts first when it grows, whichever touches fewer
    // pixels; older GStreamer has the two apart (then scaling comes first).
    if (GstElement* pConvertScale = gst_element_factory_make("videoconvertscale", nullptr)) {
        vecElements.push_back(pConvertScale);
    } else {
        vecElements.push_back(gst_element_factory_make("videoscale", nullptr));
        vecElements.push_back(gst_element_factory_make("videoconvert", nullptr));
    }
    vecElements.push_back(gst_element_factory_make("capsfilter", nullptr));
    vecElements.push_back(gst_element_factory_make("appsink", kAnalysisSinkName));
    if (std::find(vecElements.begin(), vecElements.end(), nullptr) != vecElements.end()) {
        for (GstElement* p : vecElements)
            if (p)
                gst_object_unref(gst_object_ref_sink(p));
        return false;
    }
    GstElement* pRate = vecElements[0];
    GstElement* pQueue = vecElements[1];
    GstElement* pScale = vecElements[2];
    GstElement* pFilter = vecElements[vecElements.size() - 2];
    GstElement* pSink = vecElements.back();
    g_object_set(pRate, "drop-only", TRUE, "max-rate", nFps, nullptr);
    g_object_set(pQueue, "max-size-buffers", 1, "max-size-bytes", 0, "max-size-time", guint64(0), "leaky", 2, nullptr);
    // The height follows the picture's shape.
    const std::string strCaps = "video/x-raw,format=GRAY8,pixel-aspect-ratio=1/1,width=" + std::to_string(nWidth);
    GstCaps* pCaps = gst_caps_from_string(strCaps.c_str());
    g_object_set(pFilter, "caps", pCaps, nullptr);
    gst_caps_unref(pCaps);
    // The shown picture paces the stream; this branch never holds it back.
    g_object_set(pSink, "max-buffers", 1, "drop", TRUE, "sync", FALSE, "async", FALSE, "enable-last-sample", FALSE,
                 nullptr);
    auto spContext = std::make_shared<BranchContext>(wpAnalytics);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &OnAnalysisSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(pSink), &callbacks, new ContextRef(spContext), &FreeContextRef);
    GstPad* pScalePad = gst_element_get_static_pad(pScale, "sink");
    gst_pad_add_probe(pScalePad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      &OnFullPicture, new ContextRef(spContext), &FreeContextRef);
    gst_object_unref(pScalePad);
    GstElement* pPrevious = pTee;
    for (GstElement* p : vecElements) {
        gst_bin_add(GST_BIN(pPipeline), p);
        if (!gst_element_link(pPrevious, p))
            return false;
        pPrevious = p;
    }
    for (GstElement* p : vecElements)
        gst_element_sync_state_with_parent(p);
    return true;
}

} // namespace Analytics
