#pragma once

// The host's video analytics: the analytics of every camera whose site entry
// switches them on. Frames come from the camera's running stream through a
// branch on its tee; a camera that plays in no window gets a stream of its own
// without a picture (headless). Lives on the GUI thread; the detection runs on
// the cameras' worker threads, in the analytics module, which is loaded when the
// first camera asks for analytics.

#include "HostExport.h"
#include "analytics/AnalyticsModule.h"

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
    // The analytics module to load (before Start); DefaultAnalyticsModulePath() when empty.
    void SetModulePath(const QString& strPath) { m_strModulePath = strPath; }
    // Every camera's alarms are also told to this (before Start; benchmarks).
    void SetReportObserver(ReportObserver fnObserver) { m_fnObserver = std::move(fnObserver); }

    // The preview logic reports the streams it builds and tears down.
    void AttachPreview(const std::string& strGUID, GstElement* pPipeline, GstElement* pTee);
    void DetachPreview(const std::string& strGUID, GstElement* pPipeline);

    // The camera's analytics, or none (off, unusable, or no such camera).
    std::shared_ptr<ICameraAnalytics> Find(const std::string& strGUID) const;
    bool HasHeadlessStream(const std::string& strGUID) const;

private:
    struct Entry;

    void Refresh(const std::string& strGUID);
    void Remove(const std::string& strGUID);
    void StartHeadless(Entry& entry);
    void StopHeadless(Entry& entry);
    void OnHeadlessEnded(const std::string& strGUID, GstElement* pPipeline, const QString& strWhy);
    // The module, loaded at the first call after Start; null (said once) when it cannot be.
    IAnalyticsModule* Module();

    bool m_bStarted = false;
    AlarmSink m_fnSink;
    ReportObserver m_fnObserver;
    std::string m_strFaceModel;
    DetectorSettings m_detector;
    QString m_strModulePath;
    IAnalyticsModule* m_pModule = nullptr;
    bool m_bModuleTried = false;
    std::map<std::string, std::unique_ptr<Entry>> m_mapEntries;
    QList<QMetaObject::Connection> m_lstConnections;
};

// Adds the analysis branch to a stream's tee: rate-limited, leaky, scaled to
// nWidth and turned grey, into the camera's mailbox with the full-size picture
// of the same instant (a reference, in the decoder's format). False if an
// element is missing.
HOST_API bool AttachAnalysisBranch(GstElement* pPipeline, GstElement* pTee, int nFps, int nWidth,
                                   const std::weak_ptr<ICameraAnalytics>& wpAnalytics);

} // namespace Analytics
