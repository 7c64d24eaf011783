#include "Vantrel/PipelineLink.h"

#include "Vantrel/PreviewCrop.h"
#include "Vantrel/PtzControl.h"

#include <gst/video/video.h>

#include <cmath>

namespace Vantrel {
namespace {

gpointer NewRef(const std::shared_ptr<PipelineLink>& spLink)
{
    return new std::shared_ptr<PipelineLink>(spLink);
}

void FreeRef(gpointer pData)
{
    delete static_cast<std::shared_ptr<PipelineLink>*>(pData);
}

PipelineLink* LinkOf(gpointer pData)
{
    return static_cast<std::shared_ptr<PipelineLink>*>(pData)->get();
}

GstPadProbeReturn OnBytes(GstPad*, GstPadProbeInfo* pInfo, gpointer pData)
{
    guint64 uBytes = 0;
    if (GST_PAD_PROBE_INFO_TYPE(pInfo) & GST_PAD_PROBE_TYPE_BUFFER)
        uBytes = gst_buffer_get_size(GST_PAD_PROBE_INFO_BUFFER(pInfo));
    else if (GST_PAD_PROBE_INFO_TYPE(pInfo) & GST_PAD_PROBE_TYPE_BUFFER_LIST)
        uBytes = gst_buffer_list_calculate_size(GST_PAD_PROBE_INFO_BUFFER_LIST(pInfo));
    LinkOf(pData)->nBytes += uBytes;
    return GST_PAD_PROBE_OK;
}

void ProbeBytes(GstPad* pPad, const std::shared_ptr<PipelineLink>& spLink)
{
    gst_pad_add_probe(pPad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST), &OnBytes,
                      NewRef(spLink), &FreeRef);
}

void CountPad(GstPad* pPad, const std::shared_ptr<PipelineLink>& spLink)
{
    if (GST_PAD_DIRECTION(pPad) == GST_PAD_SRC)
        ProbeBytes(pPad, spLink);
}

void OnPadAdded(GstElement*, GstPad* pPad, gpointer pData)
{
    CountPad(pPad, *static_cast<std::shared_ptr<PipelineLink>*>(pData));
}

GstPadProbeReturn OnStreamCaps(GstPad*, GstPadProbeInfo* pInfo, gpointer pData)
{
    GstEvent* pEvent = GST_PAD_PROBE_INFO_EVENT(pInfo);
    if (GST_EVENT_TYPE(pEvent) != GST_EVENT_CAPS)
        return GST_PAD_PROBE_OK;
    GstCaps* pCaps = nullptr;
    gst_event_parse_caps(pEvent, &pCaps);
    GstVideoInfo info;
    if (pCaps && gst_video_info_from_caps(&info, pCaps)) {
        PipelineLink* pLink = LinkOf(pData);
        pLink->nStreamWidth = GST_VIDEO_INFO_WIDTH(&info);
        pLink->nStreamHeight = GST_VIDEO_INFO_HEIGHT(&info);
        pLink->nFpsNumerator = GST_VIDEO_INFO_FPS_N(&info);
        pLink->nFpsDenominator = GST_VIDEO_INFO_FPS_D(&info);
    }
    return GST_PAD_PROBE_OK;
}

} // namespace

void CountArrivingBytes(GstElement* pElement, const std::shared_ptr<PipelineLink>& spLink)
{
    if (!pElement)
        return;
    GstIterator* pIt = gst_element_iterate_src_pads(pElement);
    GValue value = G_VALUE_INIT;
    while (gst_iterator_next(pIt, &value) == GST_ITERATOR_OK) {
        CountPad(GST_PAD(g_value_get_object(&value)), spLink);
        g_value_reset(&value);
    }
    g_value_unset(&value);
    gst_iterator_free(pIt);
    // Network sources add their pads once they know the stream.
    g_signal_connect_data(
        pElement, "pad-added", G_CALLBACK(&OnPadAdded), NewRef(spLink), [](gpointer p, GClosure*) { FreeRef(p); },
        GConnectFlags(0));
}

void CountDecoderInput(GstElement* pElement, const std::shared_ptr<PipelineLink>& spLink)
{
    // decodebin itself is of the decoder class too; only what it plugs in counts.
    GstElementFactory* pFactory = gst_element_get_factory(pElement);
    if (GST_IS_BIN(pElement) || !pFactory
        || !gst_element_factory_list_is_type(pFactory, GST_ELEMENT_FACTORY_TYPE_DECODER))
        return;
    GstPad* pPad = gst_element_get_static_pad(pElement, "sink");
    if (!pPad)
        return;
    ProbeBytes(pPad, spLink);
    gst_object_unref(pPad);
}

void WatchStreamCaps(GstElement* pElement, const std::shared_ptr<PipelineLink>& spLink)
{
    GstPad* pPad = pElement ? gst_element_get_static_pad(pElement, "sink") : nullptr;
    if (!pPad)
        return;
    gst_pad_add_probe(pPad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnStreamCaps, NewRef(spLink), &FreeRef);
    gst_object_unref(pPad);
}

void ApplyCrop(GstElement* pCrop, const QRectF& rcPart, int nWidth, int nHeight)
{
    if (!pCrop || nWidth <= 0 || nHeight <= 0)
        return;
    const CropMargins margins = CropMarginsFor(rcPart, nWidth, nHeight);
    g_object_set(pCrop, "left", margins.nLeft, "right", margins.nRight, "top", margins.nTop, "bottom", margins.nBottom,
                 nullptr);
}

CropMargins ReadCrop(GstElement* pCrop)
{
    CropMargins margins;
    if (pCrop)
        g_object_get(pCrop, "left", &margins.nLeft, "right", &margins.nRight, "top", &margins.nTop, "bottom",
                     &margins.nBottom, nullptr);
    return margins;
}

GstElement* MakePtzSceneCrop(int nWidth, int nHeight, int& nSceneWidth, int& nSceneHeight)
{
    // The scene is as much larger than the camera's picture as the widest view is smaller.
    nSceneWidth = int(std::lround(nWidth / CPtzControl::kWideFraction));
    nSceneHeight = int(std::lround(nHeight / CPtzControl::kWideFraction));
    GstElement* pCrop = gst_element_factory_make("videocrop", nullptr);
    ApplyCrop(pCrop, CPtzControl::ViewRect(PtzPosition{}), nSceneWidth, nSceneHeight);
    return pCrop;
}

} // namespace Vantrel
