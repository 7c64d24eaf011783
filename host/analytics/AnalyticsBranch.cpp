#include "analytics/AnalyticsHub.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <chrono>

namespace Analytics {
namespace {

struct BranchContext
{
    std::weak_ptr<ICameraAnalytics> wpAnalytics;
};

int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A full-size BGR frame, handed to the camera's analytics while mapped (they
// copy it).
GstFlowReturn OnAnalysisSample(GstAppSink* pSink, gpointer pData)
{
    GstSample* pSample = gst_app_sink_pull_sample(pSink);
    if (!pSample)
        return GST_FLOW_EOS;
    const int64_t nNowMs = SteadyMs();
    std::shared_ptr<ICameraAnalytics> spAnalytics = static_cast<BranchContext*>(pData)->wpAnalytics.lock();
    GstVideoInfo info;
    GstVideoFrame frame;
    if (spAnalytics && gst_video_info_from_caps(&info, gst_sample_get_caps(pSample))
        && GST_VIDEO_INFO_FORMAT(&info) == GST_VIDEO_FORMAT_BGR
        && gst_video_frame_map(&frame, &info, gst_sample_get_buffer(pSample), GST_MAP_READ)) {
        spAnalytics->OfferBgr(static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                              GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                              size_t(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0)), nNowMs);
        gst_video_frame_unmap(&frame);
    }
    gst_sample_unref(pSample);
    return GST_FLOW_OK;
}

void FreeContext(gpointer pData)
{
    delete static_cast<BranchContext*>(pData);
}

} // namespace

bool AttachAnalysisBranch(GstElement* pPipeline, GstElement* pTee, int nFps,
                          const std::weak_ptr<ICameraAnalytics>& wpAnalytics)
{
    if (!pPipeline || !pTee)
        return false;
    // The rate limit comes first, so the other frames cost nothing here; the
    // leaky queue keeps one frame and drops the rest while conversion lags.
    GstElement* pRate = gst_element_factory_make("videorate", nullptr);
    GstElement* pQueue = gst_element_factory_make("queue", kAnalysisQueueName);
    GstElement* pConvert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* pFilter = gst_element_factory_make("capsfilter", nullptr);
    GstElement* pSink = gst_element_factory_make("appsink", kAnalysisSinkName);
    GstElement* arrElements[] = {pRate, pQueue, pConvert, pFilter, pSink};
    for (GstElement* p : arrElements) {
        if (!p) {
            for (GstElement* q : arrElements)
                if (q)
                    gst_object_unref(gst_object_ref_sink(q));
            return false;
        }
    }
    g_object_set(pRate, "drop-only", TRUE, "max-rate", nFps, nullptr);
    g_object_set(pQueue, "max-size-buffers", 1, "max-size-bytes", 0, "max-size-time", guint64(0), "leaky", 2, nullptr);
    GstCaps* pCaps = gst_caps_from_string("video/x-raw,format=BGR");
    g_object_set(pFilter, "caps", pCaps, nullptr);
    gst_caps_unref(pCaps);
    // The shown picture paces the stream; this branch never holds it back.
    g_object_set(pSink, "max-buffers", 1, "drop", TRUE, "sync", FALSE, "async", FALSE, "enable-last-sample", FALSE,
                 nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &OnAnalysisSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(pSink), &callbacks, new BranchContext{wpAnalytics}, &FreeContext);
    for (GstElement* p : arrElements)
        gst_bin_add(GST_BIN(pPipeline), p);
    if (!gst_element_link_many(pTee, pRate, pQueue, pConvert, pFilter, pSink, nullptr))
        return false;
    for (GstElement* p : arrElements)
        gst_element_sync_state_with_parent(p);
    return true;
}

} // namespace Analytics
