#include "Vantrel/ClipWriter.h"

#include "Vantrel/AvcPackets.h"
#include "Vantrel/MuxedOutput.h"
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

// The muxer's output goes to a sink that drops it: the output is taken on the
// sink's pad and written by the caller. Frames already in the muxer's format
// (bParsed) go in without a parser.
PipelinePtr MakePipeline(const QString& strCaps, bool bParsed, CMuxedOutput& output, GstElement** ppSource,
                         QString* pstrError)
{
    PipelinePtr upPipeline(gst_pipeline_new("clip"));
    GstElement* pSource = gst_element_factory_make("appsrc", nullptr);
    const char* szParser = bParsed ? nullptr : ParserFor(strCaps);
    GstElement* pParser = szParser ? gst_element_factory_make(szParser, nullptr) : nullptr;
    GstElement* pMux = gst_element_factory_make("matroskamux", nullptr);
    GstElement* pSink = gst_element_factory_make("fakesink", nullptr);
    if (!pSource || !pMux || !pSink || (szParser && !pParser)) {
        for (GstElement* p : {pSource, pParser, pMux, pSink})
            if (p)
                gst_object_unref(p);
        *pstrError = QStringLiteral("GStreamer elements for Matroska are missing");
        return nullptr;
    }
    // No blocking pushes: a muxer or sink that fails must not leave the writer waiting.
    g_object_set(pSource, "format", GST_FORMAT_TIME, "is-live", FALSE, "max-bytes", guint64(0), nullptr);
    g_object_set(pSink, "sync", FALSE, "async", FALSE, nullptr);
    GstPad* pSinkPad = gst_element_get_static_pad(pSink, "sink");
    output.Attach(pSinkPad);
    gst_object_unref(pSinkPad);
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

// A frame for the muxer: repackaged when pAvcCaps is set, else as it is.
GstSample* SampleOf(const EncodedFrame& frame, GstCaps* pCaps, GstCaps* pAvcCaps)
{
    if (!pAvcCaps)
        return EncodedSample(frame, pCaps);
    GstBuffer* pBuffer = AvcBuffer(frame);
    GstSample* pSample = gst_sample_new(pBuffer, pAvcCaps, nullptr, nullptr);
    gst_buffer_unref(pBuffer);
    return pSample;
}

bool PushFrames(GstElement* pPipeline, GstElement* pSource, const EncodedFrames& vecFrames, GstCaps* pAvcCaps,
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
        if (!pAvcCaps && (!pCaps || frame.strCaps != strCaps)) {
            strCaps = frame.strCaps;
            if (pCaps)
                gst_caps_unref(pCaps);
            pCaps = gst_caps_from_string(strCaps.toUtf8().constData());
        }
        GstSample* pSample = SampleOf(frame, pCaps, pAvcCaps);
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

// Writes what the muxer made; the file is created only now.
bool WriteOutput(const CMuxedOutput& output, const QString& strPath, const std::atomic<bool>* pbCancel,
                 const std::function<void(const char*, size_t)>& fnWritten, QString* pstrError)
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *pstrError = QStringLiteral("cannot write %1: %2").arg(strPath, file.errorString());
        return false;
    }
    return output.WriteTo(file, pbCancel, fnWritten, pstrError);
}

} // namespace

bool WriteMatroskaClip(EncodedFrames vecFrames, const QString& strPath, const std::atomic<bool>* pbCancel,
                       const std::function<void(size_t)>& fnProgress, QString* pstrError,
                       const std::function<void(const char*, size_t)>& fnWritten)
{
    QString strError;
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    bool bOk = false;
    if (vecFrames.empty() || !vecFrames.front().bKeyframe) {
        strError = QStringLiteral("no frames from a keyframe");
    } else {
        RebaseForReplay(vecFrames);
        // Declared first: the pipeline, which hands it buffers, goes before it.
        CMuxedOutput output;
        GstElement* pSource = nullptr;
        GstCaps* pAvcCaps = AvcCapsFor(vecFrames);
        PipelinePtr upPipeline =
            MakePipeline(vecFrames.front().strCaps, pAvcCaps != nullptr, output, &pSource, &strError);
        if (upPipeline && gst_element_set_state(upPipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            strError = QStringLiteral("cannot start the muxer for %1").arg(strPath);
        else if (upPipeline
                 && PushFrames(upPipeline.get(), pSource, vecFrames, pAvcCaps, pbCancel, fnProgress, &strError)) {
            gst_app_src_end_of_stream(GST_APP_SRC(pSource));
            bOk = WaitForEnd(upPipeline.get(), pbCancel, &strError)
                  && WriteOutput(output, strPath, pbCancel, fnWritten, &strError);
        }
        if (pAvcCaps)
            gst_caps_unref(pAvcCaps);
    }
    if (!bOk) {
        QFile::remove(strPath);
        if (pstrError)
            *pstrError = strError;
    }
    return bOk;
}

} // namespace Vantrel
