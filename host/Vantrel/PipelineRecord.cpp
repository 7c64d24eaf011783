#include "Vantrel/PipelineLink.h"

#include "Vantrel/Vantrel.h"

#include <QCoreApplication>

#include <chrono>
#include <deque>
#include <thread>

namespace Vantrel {
namespace {

// One thread that tears pipelines down and finishes recordings: setting a
// pipeline to NULL blocks for tens of milliseconds.
class CTeardownThread
{
public:
    ~CTeardownThread()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bQuit = true;
        }
        m_cv.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    void Run(std::function<void()> fnJob)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { Loop(); });
        m_jobs.push_back(std::move(fnJob));
        m_cv.notify_all();
    }

    bool WaitIdle(int nTimeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cvIdle.wait_for(lock, std::chrono::milliseconds(nTimeoutMs),
                                 [this] { return m_jobs.empty() && !m_bBusy; });
    }

private:
    void Loop()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_cv.wait(lock, [this] { return m_bQuit || !m_jobs.empty(); });
            if (m_jobs.empty())
                return; // quitting with nothing left
            std::function<void()> fnJob = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_bBusy = true;
            lock.unlock();
            fnJob();
            lock.lock();
            m_bBusy = false;
            m_cvIdle.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::condition_variable m_cvIdle;
    std::deque<std::function<void()>> m_jobs;
    bool m_bBusy = false;
    bool m_bQuit = false;
    std::thread m_thread;
};

CTeardownThread& TeardownThread()
{
    static CTeardownThread s_thread;
    return s_thread;
}

// Recordings start at zero, not at the pipeline's running time.
GstPadProbeReturn RebaseTimestamps(GstPad*, GstPadProbeInfo* pInfo, gpointer pData)
{
    auto* pBranch = static_cast<RecordBranch*>(pData);
    if (GST_PAD_PROBE_INFO_TYPE(pInfo) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        // The stream's segment may start anywhere (an encoder upstream starts
        // it 1000 hours in): the branch gets one from zero, as its times are.
        GstEvent* pEvent = GST_PAD_PROBE_INFO_EVENT(pInfo);
        if (GST_EVENT_TYPE(pEvent) == GST_EVENT_SEGMENT) {
            GstSegment segment;
            gst_segment_init(&segment, GST_FORMAT_TIME);
            gst_event_unref(pEvent);
            GST_PAD_PROBE_INFO_DATA(pInfo) = gst_event_new_segment(&segment);
        }
        return GST_PAD_PROBE_OK;
    }
    GstBuffer* pBuffer = GST_PAD_PROBE_INFO_BUFFER(pInfo);
    if (!GST_BUFFER_PTS_IS_VALID(pBuffer))
        return GST_PAD_PROBE_OK;
    if (!GST_CLOCK_TIME_IS_VALID(pBranch->tsBase))
        pBranch->tsBase = GST_BUFFER_PTS(pBuffer);
    if (GST_BUFFER_PTS(pBuffer) < pBranch->tsBase)
        return GST_PAD_PROBE_DROP;
    pBuffer = gst_buffer_make_writable(pBuffer);
    GST_BUFFER_PTS(pBuffer) -= pBranch->tsBase;
    GST_BUFFER_DTS(pBuffer) = GST_CLOCK_TIME_NONE;
    GST_PAD_PROBE_INFO_DATA(pInfo) = pBuffer;
    return GST_PAD_PROBE_OK;
}

// The muxer has written its index and header when the end reaches the file.
GstPadProbeReturn OnFileSinkEvent(GstPad*, GstPadProbeInfo* pInfo, gpointer pData)
{
    auto* pBranch = static_cast<RecordBranch*>(pData);
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(pInfo)) != GST_EVENT_EOS)
        return GST_PAD_PROBE_OK;
    {
        std::lock_guard<std::mutex> lock(pBranch->mutex);
        pBranch->bFinished = true;
    }
    pBranch->cv.notify_all();
    // Keep the end inside the branch: the live pipeline goes on.
    return GST_PAD_PROBE_DROP;
}

GstPadProbeReturn OnTeePadIdle(GstPad* pPad, GstPadProbeInfo*, gpointer pData)
{
    auto* pBranch = static_cast<RecordBranch*>(pData);
    if (GstPad* pPeer = gst_pad_get_peer(pPad)) {
        gst_pad_unlink(pPad, pPeer);
        gst_object_unref(pPeer);
    }
    {
        std::lock_guard<std::mutex> lock(pBranch->mutex);
        pBranch->bUnlinked = true;
    }
    pBranch->cv.notify_all();
    return GST_PAD_PROBE_REMOVE;
}

void NoDelete(gpointer)
{
}

} // namespace

void RunOffGuiThread(std::function<void()> fnJob)
{
    TeardownThread().Run(std::move(fnJob));
}

bool WaitForTeardowns(int nTimeoutMs)
{
    return TeardownThread().WaitIdle(nTimeoutMs);
}

std::shared_ptr<RecordBranch> AttachRecordBranch(const BuiltPipeline& pipeline, const QString& strPath,
                                                 QString& strError)
{
    GstElement* pBin = gst_bin_new(nullptr);
    // Marked rather than named: a finishing branch may still be in the pipeline.
    g_object_set_data(G_OBJECT(pBin), kRecordBinName, GINT_TO_POINTER(1));
    GstElement* pQueue = gst_element_factory_make("queue", nullptr);
    GstElement* pConvert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* pFormat = gst_element_factory_make("capsfilter", nullptr);
    GstElement* pEncoder = gst_element_factory_make("x264enc", nullptr);
    GstElement* pMux = gst_element_factory_make("matroskamux", nullptr);
    GstElement* pFile = gst_element_factory_make("filesink", nullptr);
    if (!pQueue || !pConvert || !pFormat || !pEncoder || !pMux || !pFile) {
        for (GstElement* p : {pQueue, pConvert, pFormat, pEncoder, pMux, pFile})
            if (p)
                gst_object_unref(gst_object_ref_sink(p));
        gst_object_unref(pBin);
        strError = QCoreApplication::translate("Vantrel::CBasePreview", "MissingMediaComponent");
        return nullptr;
    }
    g_object_set(pEncoder, "tune", 0x4 /* zerolatency */, "speed-preset", 1 /* ultrafast */, "key-int-max", 50,
                 nullptr);
    // A branch whose sink waits for its first buffer must not hold the live pipeline back.
    g_object_set(pFile, "location", strPath.toLocal8Bit().constData(), "async", FALSE, nullptr);
    // One fixed picture format: the file keeps its codec set-up whatever the
    // live stream renegotiates.
    GstCaps* pCaps = gst_caps_from_string("video/x-raw,format=I420");
    g_object_set(pFormat, "caps", pCaps, nullptr);
    gst_caps_unref(pCaps);
    gst_bin_add_many(GST_BIN(pBin), pQueue, pConvert, pFormat, pEncoder, pMux, pFile, nullptr);
    gst_element_link_many(pQueue, pConvert, pFormat, pEncoder, pMux, pFile, nullptr);

    auto spBranch = std::make_shared<RecordBranch>();
    spBranch->strPath = strPath;
    GstPad* pQueueSink = gst_element_get_static_pad(pQueue, "sink");
    gst_element_add_pad(pBin, gst_ghost_pad_new("sink", pQueueSink));
    gst_pad_add_probe(pQueueSink, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      &RebaseTimestamps, spBranch.get(), &NoDelete);
    gst_object_unref(pQueueSink);
    GstPad* pFileSink = gst_element_get_static_pad(pFile, "sink");
    gst_pad_add_probe(pFileSink, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnFileSinkEvent, spBranch.get(), &NoDelete);
    gst_object_unref(pFileSink);

    gst_bin_add(GST_BIN(pipeline.pPipeline), pBin);
    gst_element_sync_state_with_parent(pBin);
    GstPad* pTeePad = gst_element_request_pad_simple(pipeline.pTee, "src_%u");
    GstPad* pBinSink = gst_element_get_static_pad(pBin, "sink");
    const bool bLinked = gst_pad_link(pTeePad, pBinSink) == GST_PAD_LINK_OK;
    gst_object_unref(pBinSink);
    spBranch->pPipeline = GST_ELEMENT(gst_object_ref(pipeline.pPipeline));
    spBranch->pTee = GST_ELEMENT(gst_object_ref(pipeline.pTee));
    spBranch->pTeePad = pTeePad;
    spBranch->pBin = GST_ELEMENT(gst_object_ref(pBin));
    if (!bLinked) {
        strError = QCoreApplication::translate("Vantrel::CBasePreview", "MissingMediaComponent");
        FinishRecordBranch(spBranch, 0);
        return nullptr;
    }
    return spBranch;
}

void FinishRecordBranch(const std::shared_ptr<RecordBranch>& spBranch, int nTimeoutMs)
{
    const auto timeout = std::chrono::milliseconds(nTimeoutMs);
    // Unlink once no buffer is passing, then push the end through the branch so
    // the muxer writes a complete file.
    gst_pad_add_probe(spBranch->pTeePad, GST_PAD_PROBE_TYPE_IDLE, &OnTeePadIdle, spBranch.get(), &NoDelete);
    {
        std::unique_lock<std::mutex> lock(spBranch->mutex);
        spBranch->cv.wait_for(lock, timeout, [&] { return spBranch->bUnlinked; });
    }
    GstPad* pBinSink = gst_element_get_static_pad(spBranch->pBin, "sink");
    gst_pad_send_event(pBinSink, gst_event_new_eos());
    gst_object_unref(pBinSink);
    {
        std::unique_lock<std::mutex> lock(spBranch->mutex);
        spBranch->cv.wait_for(lock, timeout, [&] { return spBranch->bFinished; });
    }
    gst_element_release_request_pad(spBranch->pTee, spBranch->pTeePad);
    gst_object_unref(spBranch->pTeePad);
    gst_element_set_state(spBranch->pBin, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(spBranch->pPipeline), spBranch->pBin);
    gst_object_unref(spBranch->pBin);
    gst_object_unref(spBranch->pTee);
    gst_object_unref(spBranch->pPipeline);
    spBranch->pTeePad = nullptr;
    spBranch->pBin = spBranch->pTee = spBranch->pPipeline = nullptr;
}

} // namespace Vantrel
