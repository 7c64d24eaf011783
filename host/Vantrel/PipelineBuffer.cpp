#include "Vantrel/PipelineLink.h"

#include <gst/app/gstappsrc.h>

#include <QDateTime>

#include <atomic>
#include <cstring>

namespace Vantrel {
namespace {

// One parser's feed into a buffer: the caps seen last travel with each frame.
// Only the parser's streaming thread touches it.
struct BufferFeed
{
    std::shared_ptr<CPreAlarmBuffer> spBuffer;
    QString strCaps;
};

qint64 TimeOf(GstClockTime ts)
{
    return GST_CLOCK_TIME_IS_VALID(ts) ? qint64(ts) : EncodedFrame::kNoTime;
}

void PushBuffer(BufferFeed& feed, GstBuffer* pBuffer)
{
    const gsize nSize = gst_buffer_get_size(pBuffer);
    if (nSize == 0)
        return;
    EncodedFrame frame;
    // A copy: the buffer may be a piece of a larger block or come from a pool
    // that a long-held reference would drain; at camera rates this is cheap.
    frame.baData.resize(int(nSize));
    gst_buffer_extract(pBuffer, 0, frame.baData.data(), nSize);
    frame.nPtsNs = TimeOf(GST_BUFFER_PTS(pBuffer));
    frame.nDtsNs = TimeOf(GST_BUFFER_DTS(pBuffer));
    frame.nDurationNs = TimeOf(GST_BUFFER_DURATION(pBuffer));
    frame.nArrivalNs = SteadyNowNs();
    frame.nWallMs = QDateTime::currentMSecsSinceEpoch();
    frame.bKeyframe = !GST_BUFFER_FLAG_IS_SET(pBuffer, GST_BUFFER_FLAG_DELTA_UNIT);
    frame.strCaps = feed.strCaps;
    feed.spBuffer->Push(std::move(frame));
}

GstPadProbeReturn OnParsedData(GstPad*, GstPadProbeInfo* pInfo, gpointer pData)
{
    auto& feed = *static_cast<BufferFeed*>(pData);
    if (GST_PAD_PROBE_INFO_TYPE(pInfo) & GST_PAD_PROBE_TYPE_BUFFER) {
        PushBuffer(feed, GST_PAD_PROBE_INFO_BUFFER(pInfo));
    } else if (GST_PAD_PROBE_INFO_TYPE(pInfo) & GST_PAD_PROBE_TYPE_BUFFER_LIST) {
        GstBufferList* pList = GST_PAD_PROBE_INFO_BUFFER_LIST(pInfo);
        for (guint i = 0; i < gst_buffer_list_length(pList); ++i)
            PushBuffer(feed, gst_buffer_list_get(pList, i));
    } else if (GST_PAD_PROBE_INFO_TYPE(pInfo)
               & (GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH)) {
        GstEvent* pEvent = GST_PAD_PROBE_INFO_EVENT(pInfo);
        if (GST_EVENT_TYPE(pEvent) == GST_EVENT_CAPS) {
            GstCaps* pCaps = nullptr;
            gst_event_parse_caps(pEvent, &pCaps);
            gchar* szCaps = pCaps ? gst_caps_to_string(pCaps) : nullptr;
            feed.strCaps = QString::fromUtf8(szCaps);
            g_free(szCaps);
        } else if (GST_EVENT_TYPE(pEvent) == GST_EVENT_FLUSH_STOP) {
            // A seek in the source: the frames after it are not a continuation.
            feed.spBuffer->MarkDiscontinuity();
        }
    }
    return GST_PAD_PROBE_OK;
}

bool IsVideoParser(GstElement* pElement)
{
    GstElementFactory* pFactory = gst_element_get_factory(pElement);
    const gchar* szClass = pFactory ? gst_element_factory_get_metadata(pFactory, GST_ELEMENT_METADATA_KLASS) : nullptr;
    return szClass && std::strstr(szClass, "Parser") && std::strstr(szClass, "Video");
}

struct DecodeBinFeed
{
    std::shared_ptr<CPreAlarmBuffer> spBuffer;
    std::atomic<bool> bClaimed{false};
};

void OnDeepElementAdded(GstBin*, GstBin*, GstElement* pElement, gpointer pData)
{
    auto* pFeed = static_cast<DecodeBinFeed*>(pData);
    if (IsVideoParser(pElement) && !pFeed->bClaimed.exchange(true))
        BufferEncodedStream(pElement, pFeed->spBuffer);
}

// The application source's state: the frames, pushed once on the first demand.
struct ReplayFeed
{
    std::shared_ptr<const EncodedFrames> spFrames;
    bool bPushed = false;
};

void ReleaseBytes(gpointer pData)
{
    delete static_cast<QByteArray*>(pData);
}

void OnReplayNeedData(GstAppSrc* pSource, guint, gpointer pData)
{
    auto* pFeed = static_cast<ReplayFeed*>(pData);
    if (std::exchange(pFeed->bPushed, true))
        return;
    QString strCaps;
    GstCaps* pCaps = nullptr;
    for (const EncodedFrame& frame : *pFeed->spFrames) {
        if (!pCaps || frame.strCaps != strCaps) {
            strCaps = frame.strCaps;
            if (pCaps)
                gst_caps_unref(pCaps);
            pCaps = gst_caps_from_string(strCaps.toUtf8().constData());
        }
        GstSample* pSample = EncodedSample(frame, pCaps);
        gst_app_src_push_sample(pSource, pSample);
        gst_sample_unref(pSample);
    }
    if (pCaps)
        gst_caps_unref(pCaps);
    gst_app_src_end_of_stream(pSource);
}

} // namespace

GstSample* EncodedSample(const EncodedFrame& frame, GstCaps* pCaps)
{
    // No copy: the buffer shares the frame's bytes while it lives.
    auto* pBytes = new QByteArray(frame.baData);
    GstBuffer* pBuffer =
        gst_buffer_new_wrapped_full(GST_MEMORY_FLAG_READONLY, const_cast<char*>(pBytes->constData()),
                                    gsize(pBytes->size()), 0, gsize(pBytes->size()), pBytes, &ReleaseBytes);
    GST_BUFFER_PTS(pBuffer) = frame.nPtsNs >= 0 ? GstClockTime(frame.nPtsNs) : GST_CLOCK_TIME_NONE;
    GST_BUFFER_DTS(pBuffer) = frame.nDtsNs >= 0 ? GstClockTime(frame.nDtsNs) : GST_CLOCK_TIME_NONE;
    GST_BUFFER_DURATION(pBuffer) = frame.nDurationNs >= 0 ? GstClockTime(frame.nDurationNs) : GST_CLOCK_TIME_NONE;
    if (!frame.bKeyframe)
        GST_BUFFER_FLAG_SET(pBuffer, GST_BUFFER_FLAG_DELTA_UNIT);
    GstSample* pSample = gst_sample_new(pBuffer, pCaps, nullptr, nullptr);
    gst_buffer_unref(pBuffer);
    return pSample;
}

void BufferEncodedStream(GstElement* pParser, const std::shared_ptr<CPreAlarmBuffer>& spBuffer)
{
    GstPad* pPad = pParser && spBuffer ? gst_element_get_static_pad(pParser, "src") : nullptr;
    if (!pPad)
        return;
    gst_pad_add_probe(pPad,
                      GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST
                                      | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      &OnParsedData, new BufferFeed{spBuffer, QString()},
                      [](gpointer p) { delete static_cast<BufferFeed*>(p); });
    gst_object_unref(pPad);
}

void BufferDecodedSource(GstElement* pDecodeBin, const std::shared_ptr<CPreAlarmBuffer>& spBuffer)
{
    if (!pDecodeBin || !spBuffer)
        return;
    auto* pFeed = new DecodeBinFeed;
    pFeed->spBuffer = spBuffer;
    g_signal_connect_data(
        pDecodeBin, "deep-element-added", G_CALLBACK(&OnDeepElementAdded), pFeed,
        [](gpointer p, GClosure*) { delete static_cast<DecodeBinFeed*>(p); }, GConnectFlags(0));
}

GstElement* MakeReplaySource(const std::shared_ptr<const EncodedFrames>& spFrames)
{
    GstElement* pSource = gst_element_factory_make("appsrc", nullptr);
    if (!pSource || !spFrames || spFrames->empty())
        return pSource;
    // Everything is in memory already: no limit on what the source queues.
    g_object_set(pSource, "format", GST_FORMAT_TIME, "is-live", FALSE, "max-bytes", guint64(0), nullptr);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = &OnReplayNeedData;
    gst_app_src_set_callbacks(GST_APP_SRC(pSource), &callbacks, new ReplayFeed{spFrames, false},
                              [](gpointer p) { delete static_cast<ReplayFeed*>(p); });
    return pSource;
}

} // namespace Vantrel
