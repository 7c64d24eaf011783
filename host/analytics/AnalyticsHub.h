#pragma once

// The host's video analytics: one CCameraAnalytics per camera whose site entry
// switches them on. Frames come from the camera's running stream through a
// branch on its tee; a camera that plays in no window gets a stream of its own
// without a picture (headless). Lives on the GUI thread; the detection runs on
// the cameras' worker threads.

#include "HostExport.h"
#include "analytics/CameraAnalytics.h"

#include <QObject>

#include <map>
#include <memory>
#include <set>
#include <string>

typedef struct _GstElement GstElement;

namespace Analytics {

class HOST_API CAnalyticsHub : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRestartDelayMs = 5000;

    CAnalyticsHub();
    ~CAnalyticsHub() override;
    static CAnalyticsHub& Instance();

    // Follows the process-wide site from now on. Alarms go to the host's alarm
    // transfer unless a sink is set (before Start).
    void Start();
    void Stop();
    bool IsStarted() const { return m_bStarted; }
    void SetAlarmSink(AlarmSink fnSink) { m_fnSink = std::move(fnSink); }
    void SetFaceModelPath(const std::string& strPath) { m_strFaceModel = strPath; }
    void SetDetectorSettings(const DetectorSettings& settings) { m_detector = settings; }
    // Every camera's alarms are also told to this (before Start; benchmarks).
    void SetReportObserver(ReportObserver fnObserver) { m_fnObserver = std::move(fnObserver); }

    // The preview logic reports the streams it builds and tears down.
    void AttachPreview(const std::string& strGUID, GstElement* pPipeline, GstElement* pTee);
    void DetachPreview(const std::string& strGUID, GstElement* pPipeline);

    // The camera's analytics, or none (off, unusable, or no such camera).
    std::shared_ptr<CCameraAnalytics> Find(const std::string& strGUID) const;
    bool HasHeadlessStream(const std::string& strGUID) const;

private:
    struct Entry;

    void Refresh(const std::string& strGUID);
    void Remove(const std::string& strGUID);
    void StartHeadless(Entry& entry);
    void StopHeadless(Entry& entry);
    void OnHeadlessEnded(const std::string& strGUID, GstElement* pPipeline, const QString& strWhy);

    bool m_bStarted = false;
    AlarmSink m_fnSink;
    ReportObserver m_fnObserver;
    std::string m_strFaceModel;
    DetectorSettings m_detector;
    std::map<std::string, std::unique_ptr<Entry>> m_mapEntries;
    QList<QMetaObject::Connection> m_lstConnections;
};

// Adds the analysis branch to a stream's tee: rate-limited, leaky, converted to
// BGR at the stream's full size, into the camera's mailbox. False if an element
// is missing.
HOST_API bool AttachAnalysisBranch(GstElement* pPipeline, GstElement* pTee, int nFps,
                                   const std::weak_ptr<CCameraAnalytics>& wpAnalytics);

} // namespace Analytics
