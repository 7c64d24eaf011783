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

using AlarmSink = std::function<void(quorra::IntelAlarmEventInfo)>;
// Told of each alarm just before it goes to the sink, with the frame time (the
// clock of Offer) at which its newest person was first detected: what the
// end-to-end latency benchmark times the way to the screen from.
using ReportObserver = std::function<void(const quorra::IntelAlarmEventInfo&, int64_t nFirstSeenMs)>;

struct AnalyticsCounters
{
    uint64_t nOffered = 0;
    uint64_t nAnalysed = 0;
    uint64_t nDropped = 0;
    uint64_t nDetectorRuns = 0; // frames where something moved and the detector ran
    uint64_t nPersons = 0;      // persons detected, summed over the frames
    uint64_t nAlarms = 0;
    double dLastLatencyMs = 0; // frame arrival to alarm raised, for the newest alarm
    // Stream time from a reported person's first detection to the frame that
    // reported it, summed over the persons reported.
    int64_t nReportDelayMsSum = 0;
    uint64_t nReported = 0;
};

class HOST_API CCameraAnalytics
{
public:
    // Loads the face model when the camera wants faces; IsUsable() says whether it could.
    CCameraAnalytics(AnalyticsCamera camera, AlarmSink fnSink, const std::string& strFaceModel = DefaultFaceModelPath(),
                     const DetectorSettings& detector = DetectorSettings());
    ~CCameraAnalytics();

    bool IsUsable() const { return m_strError.empty(); }
    const std::string& Error() const { return m_strError; }
    const AnalyticsCamera& Camera() const { return m_camera; }

    // From any thread: a full-resolution BGR frame that arrived at nMs (a
    // monotonic clock shared by all cameras). Returns at once.
    void Offer(cv::Mat matFrame, int64_t nMs);
    // Runs one frame on the calling thread (what the worker does with each).
    void Process(const cv::Mat& matFrame, int64_t nMs);

    AnalyticsCounters Counters() const;
    void SetReportObserver(ReportObserver fnObserver);
    // Waits until the worker has nothing left to do (tests and benchmarks).
    void WaitIdle();
    // Stops the worker now (the frame in hand is finished); later offers are
    // ignored. Stream threads may still hold the object for a while after.
    void Shutdown();

private:
    void Run();
    void RaiseAlarms(const cv::Mat& matFrame, const std::vector<int>& vecConfirmed, int64_t nMs);
    void LogDropsEveryMinute(int64_t nNowMs);
    void RaisePanoramic(const cv::Mat& matFrame, const std::vector<int>& vecConfirmed, int64_t nMs);
    void RaiseLinked(const cv::Mat& matFrame, int64_t nMs);
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
    uint64_t m_nFrames = 0; // analysis frames since the picture size was set

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    cv::Mat m_matPending;
    int64_t m_nPendingMs = 0;
    bool m_bBusy = false;
    bool m_bStop = false;
    AnalyticsCounters m_counters;
    ReportObserver m_fnObserver;
    uint64_t m_nDropsLogged = 0;
    int64_t m_nLastDropLogMs = 0;
    std::thread m_thread;
};

} // namespace Analytics
