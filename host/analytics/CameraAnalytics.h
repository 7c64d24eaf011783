#pragma once

// The analytics of one camera on a worker thread of its own: frames offered
// from the stream's threads wait in a one-frame mailbox (a newer frame replaces
// a waiting one, which counts as dropped), so the stream never waits for the
// detector and nothing queues without bound.

#include "HostExport.h"
#include "analytics/AnalyticsAlarms.h"
#include "analytics/IouTracker.h"
#include "analytics/PersonDetector.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace Analytics {

// The full-size picture of an analysis frame: BGR already, or the stream's own
// picture, converted once when an alarm needs it.
class HOST_API CFullPicture
{
public:
    CFullPicture() = default;
    explicit CFullPicture(cv::Mat matBgr);
    explicit CFullPicture(std::shared_ptr<const IStreamPicture> spStream);

    cv::Size Size() const { return m_size; }
    bool Empty() const { return m_size.empty(); }
    // Empty when the stream's picture cannot be converted.
    const cv::Mat& Bgr();

private:
    std::shared_ptr<const IStreamPicture> m_spStream;
    cv::Mat m_matBgr;
    cv::Size m_size;
};

class HOST_API CCameraAnalytics : public ICameraAnalytics
{
public:
    // Loads the face model when the camera wants faces; IsUsable() says whether it could.
    CCameraAnalytics(AnalyticsCamera camera, AlarmSink fnSink, const std::string& strFaceModel = DefaultFaceModelPath(),
                     const DetectorSettings& detector = DetectorSettings());
    ~CCameraAnalytics() override;

    bool IsUsable() const override { return m_strError.empty(); }
    const std::string& Error() const override { return m_strError; }
    const AnalyticsCamera& Camera() const { return m_camera; }

    // From any thread: a full-resolution BGR frame that arrived at nMs (a
    // monotonic clock shared by all cameras); the worker makes the analysis
    // picture of it. Returns at once.
    void Offer(cv::Mat matFrame, int64_t nMs);
    void OfferFrame(const GreyPicture& grey, std::shared_ptr<const IStreamPicture> spFull, int64_t nMs) override;
    // Runs one full-resolution BGR frame on the calling thread (what the worker does with each).
    void Process(const cv::Mat& matFrame, int64_t nMs);
    // Runs one grey analysis picture with its full-size picture on the calling thread.
    void Process(const cv::Mat& matAnalysis, CFullPicture& full, int64_t nMs);

    AnalyticsCounters Counters() const override;
    void SetReportObserver(ReportObserver fnObserver) override;
    void WaitIdle() override;
    // The frame in hand is finished first. Stream threads may still hold the
    // object for a while after.
    void Shutdown() override;

private:
    struct Pending
    {
        cv::Mat matAnalysis; // empty: made from the full picture
        CFullPicture full;
        int64_t nMs = 0;
    };

    void Run();
    void Put(Pending pending);
    // Grey at the analysis width.
    cv::Mat AnalysisPicture(const cv::Mat& matBgr) const;
    void RaiseAlarms(CFullPicture& full, const std::vector<int>& vecConfirmed, int64_t nMs);
    void LogDropsEveryMinute(int64_t nNowMs);
    void RaisePanoramic(CFullPicture& full, const std::vector<int>& vecConfirmed, int64_t nMs);
    void RaiseLinked(CFullPicture& full, int64_t nMs);
    // The full picture as BGR; empty (said once) when it cannot be converted.
    const cv::Mat& PicturesFrom(CFullPicture& full);
    // Marks the person reported, counting the delay since its first detection.
    void MarkReported(int nId, int64_t nMs);
    // How long a confirmed person is carried without a sighting between full detections.
    int64_t CarryMs() const;
    int DetectEvery() const;
    // First-seen time of the person a linkage alarm tells of (or the newest
    // person a panoramic alarm opens the linkage for).
    int64_t FirstSeenMs(int nId) const;
    void Send(quorra::IntelAlarmEventInfo info, int64_t nMs, int64_t nFirstSeenMs);

    AnalyticsCamera m_camera;
    AlarmSink m_fnSink;
    std::string m_strError;
    CPersonDetector m_detector;
    CMotionGate m_gate;
    CIouTracker m_tracker;
    cv::Size m_sizeFrame;
    uint64_t m_nFrames = 0;           // analysis frames since the picture size was set
    bool m_bConversionFailed = false; // said once

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    Pending m_pending;
    bool m_bPending = false;
    bool m_bBusy = false;
    bool m_bStop = false;
    AnalyticsCounters m_counters;
    ReportObserver m_fnObserver;
    uint64_t m_nDropsLogged = 0;
    int64_t m_nLastDropLogMs = 0;
    std::thread m_thread;
};

} // namespace Analytics
