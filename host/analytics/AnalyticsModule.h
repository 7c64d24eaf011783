#pragma once

// What the host knows of its video analytics. Everything that touches pictures
// (OpenCV, the detectors, the alarm pictures) lives in a module of its own that
// the host loads only when a camera asks for analytics, so that a start without
// them never pays for OpenCV's libraries.

#include "HostExport.h"
#include "analytics/AnalyticsSettings.h"

#include "quorra/IntelAlarmEventInfo.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Analytics {

// Raised by the module with the host's own interface; a module built for
// another version refuses to load.
constexpr int kAnalyticsModuleVersion = 3;

// Thread names, so that the analysis's CPU can be told apart from the video's
// (top -H, the benchmarks): each camera's worker, and the streaming thread of
// the analysis branch (named after its queue, as GStreamer names its threads
// "<element>:<pad>").
constexpr const char* kWorkerThreadName = "lsa-analytics";
constexpr const char* kAnalysisQueueName = "lsa-analysis";
constexpr const char* kAnalysisSinkName = "lsa-analysis-sink";

using AlarmSink = std::function<void(quorra::IntelAlarmEventInfo)>;
// Told of each alarm just before it goes to the sink, with the frame time (the
// clock of OfferFrame) at which its newest person was first detected: what the
// end-to-end latency benchmark times the way to the screen from.
using ReportObserver = std::function<void(const quorra::IntelAlarmEventInfo&, int64_t nFirstSeenMs)>;

struct AnalyticsCamera
{
    std::string strGUID;
    std::string strName;
    std::string strAlarmSource;
    std::string strGroup;
    bool bPanoramic = false; // else a linked camera (or one without a part)
    AnalyticsSettings settings;
};

struct HOST_API DetectorSettings
{
    // 1.05 finds more of the smaller people than 1.1 at about twice the cost;
    // motion gating pays for it (the README gives the figures).
    double dScaleStep = 1.05;
    int nStride = 8;             // window stride in pixels (the cell size)
    double dHitThreshold = 0.3;  // SVM margin a window needs
    int nMinPersonHeight = 96;   // in pixels of the picture searched
    double dNmsIoU = 0.4;        // overlapping detections above this merge
    double dMinFaceShare = 0.07; // smallest face searched, as a share of the body's height
};

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

// A full-size picture the stream still owns (a reference to its buffer, in the
// decoder's own format, not a copy): converted only when an alarm needs it.
class HOST_API IStreamPicture
{
public:
    virtual ~IStreamPicture();
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Writes the picture as BGR (3 bytes a pixel, nStride bytes a row, Height()
    // rows) to pDst; false when it cannot be converted.
    virtual bool ToBgr(uint8_t* pDst, size_t nStride) const = 0;
};

// An analysis picture as the stream hands it over: one byte a pixel, nStride
// bytes a row. A YUV stream's luma comes as it is, black at 16 and white at 235
// in most streams; the detectors' thresholds are set for 0 to 255.
struct GreyPicture
{
    const uint8_t* pData = nullptr;
    int nWidth = 0;
    int nHeight = 0;
    size_t nStride = 0;
    bool bStudioRange = false; // levels 16 to 235, else 0 to 255
};

// The analytics of one camera, as the host's streams feed them.
class HOST_API ICameraAnalytics
{
public:
    virtual ~ICameraAnalytics();

    virtual bool IsUsable() const = 0;
    virtual const std::string& Error() const = 0;
    // From any thread: the analysis picture (already at the camera's analysis
    // width) and the full-size picture of the same instant, which arrived at nMs
    // on a monotonic clock shared by all cameras. The grey pixels are copied,
    // the full picture is held until analysed; returns at once.
    virtual void OfferFrame(const GreyPicture& grey, std::shared_ptr<const IStreamPicture> spFull, int64_t nMs) = 0;
    virtual AnalyticsCounters Counters() const = 0;
    virtual void SetReportObserver(ReportObserver fnObserver) = 0;
    // Waits until the worker has nothing left to do (tests and benchmarks).
    virtual void WaitIdle() = 0;
    // Stops the worker now; later offers are ignored.
    virtual void Shutdown() = 0;
};

class HOST_API IAnalyticsModule
{
public:
    virtual ~IAnalyticsModule();
    // A camera's analytics; an empty strFaceModel means the default model.
    // Check IsUsable(): a camera may ask for what cannot be had.
    virtual std::shared_ptr<ICameraAnalytics> CreateCamera(const AnalyticsCamera& camera, AlarmSink fnSink,
                                                           const std::string& strFaceModel,
                                                           const DetectorSettings& detector) = 0;
};

// The module's entry point: its one instance, or null when nVersion is not the
// version it was built for.
using AnalyticsModuleEntry = IAnalyticsModule* (*)(int nVersion);
constexpr const char* kAnalyticsModuleEntry = "lsa_analytics_module";

// Where the module is: $LSA_ANALYTICS_MODULE when set, else beside the host library.
HOST_API QString DefaultAnalyticsModulePath();
// Loads the module (once per path; it stays loaded). Null with the reason in
// strError when the file is missing, is not a library or lacks the entry point.
HOST_API IAnalyticsModule* LoadAnalyticsModule(const QString& strPath, QString& strError);

} // namespace Analytics
