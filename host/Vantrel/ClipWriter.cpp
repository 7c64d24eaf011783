#include "Vantrel/ClipWriter.h"

#include "Vantrel/PipelineLink.h"

#include <gst/app/gstappsrc.h>

#include <QFile>

#include <memory>

namespace Vantrel {
namespace {

// Frames queued in the source before a push waits for the muxer: bounds memory
// while the file is written (the frames' bytes are shared, not copied).
constexpr guint64 kQueuedBytes = 8 * 1024 * 1024;
// How often a waiting muxer is asked whether it finished or failed.
constexpr GstClockTime kBusPollNs = 100 * GST_MSECOND;
constexpr GstClockTime kRoomPollNs = 2 * GST_MSECOND;

struct PipelineDeleter
{
    void operator()(GstElement* pPipeline) const
    {
        gst_element_set_state(pPipeline, GST_STATE_NULL);
        gst_object_unref(pPipeline);
    }
};
using PipelinePtr = std::unique_ptr<GstElement, PipelineDeleter>;

// The parser that turns a stream into what the muxer takes; none for other formats.
const char* ParserFor(const QString& strCaps)
{
    if (strCaps.startsWith(QLatin1String("video/x-h264")))
        return "h264parse";
    if (strCaps.startsWith(QLatin1String("video/x-h265")))
        return "h265parse";
    return nullptr;
}

QString ErrorOf(GstMessage* pMessage)
{
    GError* pError = nullptr;
    gst_message_parse_error(pMessage, &pError, nullptr);
    const QString strError = QString::fromUtf8(pError ? pError->message : "unknown error");
    g_clear_error(&pError);
    return strError;
}

PipelinePtr MakePipeline(const QString& strCaps, const QString& strPath, GstElement** ppSource, QString* pstrError)
{
    PipelinePtr upPipeline(gst_pipeline_new("clip"));
    GstElement* pSource = gst_element_factory_make("appsrc", nullptr);
    const char* szParser = ParserFor(strCaps);
    GstElement* pParser = szParser ? gst_element_factory_make(szParser, nullptr) : nullptr;
    GstElement* pMux = gst_element_factory_make("matroskamux", nullptr);
    GstElement* pSink = gst_element_factory_make("filesink", nullptr);
    if (!pSource || !pMux || !pSink || (szParser && !pParser)) {
        for (GstElement* p : {pSource, pParser, pMux, pSink})
            if (p)
                gst_object_unref(p);
        *pstrError = QStringLiteral("GStreamer elements for Matroska are missing");
        return nullptr;
    }
    // No blocking pushes: a muxer or sink that fails must not leave the writer waiting.
    g_object_set(pSource, "format", GST_FORMAT_TIME, "is-live", FALSE, "max-bytes", guint64(0), nullptr);
    g_object_set(pSink, "location", QFile::encodeName(strPath).constData(), nullptr);
    GstBin* pBin = GST_BIN(upPipeline.get());
    gst_bin_add_many(pBin, pSource, pMux, pSink, nullptr);
    bool bLinked = false;
    if (pParser) {
        gst_bin_add(pBin, pParser);
        bLinked = gst_element_link_many(pSource, pParser, pMux, pSink, nullptr);
    } else {
        bLinked = gst_element_link_many(pSource, pMux, pSink, nullptr);
    }
    if (!bLinked) {
        *pstrError = QStringLiteral("cannot mux %1 into Matroska").arg(strCaps.section(QLatin1Char(','), 0, 0));
        return nullptr;
    }
    *ppSource = pSource;
    return upPipeline;
}

// An error on the bus, or null; waits up to nWaitNs for one.
GstMessage* PendingError(GstElement* pPipeline, GstClockTime nWaitNs = 0)
{
    GstBus* pBus = gst_element_get_bus(pPipeline);
    GstMessage* pMessage = gst_bus_timed_pop_filtered(pBus, nWaitNs, GST_MESSAGE_ERROR);
    gst_object_unref(pBus);
    return pMessage;
}

// Waits while the source holds more than kQueuedBytes (the muxer catches up),
// for an error or a cancel. False with the reason when it stops early.
bool WaitForRoom(GstElement* pPipeline, GstElement* pSource, const std::atomic<bool>* pbCancel, QString* pstrError)
{
    for (;;) {
        if (pbCancel && pbCancel->load()) {
            *pstrError = QStringLiteral("cancelled");
            return false;
        }
        const bool bFull = gst_app_src_get_current_level_bytes(GST_APP_SRC(pSource)) > kQueuedBytes;
        if (GstMessage* pError = PendingError(pPipeline, bFull ? kRoomPollNs : 0)) {
            *pstrError = ErrorOf(pError);
            gst_message_unref(pError);
            return false;
        }
        if (!bFull)
            return true;
    }
}

bool PushFrames(GstElement* pPipeline, GstElement* pSource, const EncodedFrames& vecFrames,
                const std::atomic<bool>* pbCancel, const std::function<void(size_t)>& fnProgress, QString* pstrError)
{
    QString strCaps;
    GstCaps* pCaps = nullptr;
    bool bOk = true;
    for (size_t i = 0; i < vecFrames.size() && bOk; ++i) {
        if (!WaitForRoom(pPipeline, pSource, pbCancel, pstrError)) {
            bOk = false;
            break;
        }
        const EncodedFrame& frame = vecFrames[i];
        if (!pCaps || frame.strCaps != strCaps) {
            strCaps = frame.strCaps;
            if (pCaps)
                gst_caps_unref(pCaps);
            pCaps = gst_caps_from_string(strCaps.toUtf8().constData());
        }
        GstSample* pSample = EncodedSample(frame, pCaps);
        bOk = gst_app_src_push_sample(GST_APP_SRC(pSource), pSample) == GST_FLOW_OK;
        gst_sample_unref(pSample);
        if (!bOk)
            *pstrError = QStringLiteral("the muxer stopped taking frames");
        if (bOk && fnProgress)
            fnProgress(i + 1);
    }
    if (pCaps)
        gst_caps_unref(pCaps);
    return bOk;
}

bool WaitForEnd(GstElement* pPipeline, const std::atomic<bool>* pbCancel, QString* pstrError)
{
    GstBus* pBus = gst_element_get_bus(pPipeline);
    bool bOk = false;
    for (;;) {
        GstMessage* pMessage =
            gst_bus_timed_pop_filtered(pBus, kBusPollNs, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (pMessage) {
            bOk = GST_MESSAGE_TYPE(pMessage) == GST_MESSAGE_EOS;
            if (!bOk)
                *pstrError = ErrorOf(pMessage);
            gst_message_unref(pMessage);
            break;
        }
        if (pbCancel && pbCancel->load()) {
            *pstrError = QStringLiteral("cancelled");
            break;
        }
    }
    gst_object_unref(pBus);
    return bOk;
}

} // namespace

bool WriteMatroskaClip(EncodedFrames vecFrames, const QString& strPath, const std::atomic<bool>* pbCancel,
                       const std::function<void(size_t)>& fnProgress, QString* pstrError)
{
    QString strError;
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    bool bOk = false;
    if (vecFrames.empty() || !vecFrames.front().bKeyframe) {
        strError = QStringLiteral("no frames from a keyframe");
    } else {
        RebaseForReplay(vecFrames);
        GstElement* pSource = nullptr;
        PipelinePtr upPipeline = MakePipeline(vecFrames.front().strCaps, strPath, &pSource, &strError);
        if (upPipeline && gst_element_set_state(upPipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            strError = QStringLiteral("cannot write %1").arg(strPath);
        else if (upPipeline && PushFrames(upPipeline.get(), pSource, vecFrames, pbCancel, fnProgress, &strError)) {
            gst_app_src_end_of_stream(GST_APP_SRC(pSource));
            bOk = WaitForEnd(upPipeline.get(), pbCancel, &strError);
        }
    }
    if (!bOk) {
        QFile::remove(strPath);
        if (pstrError)
            *pstrError = strError;
    }
    return bOk;
}

} // namespace Vantrel
