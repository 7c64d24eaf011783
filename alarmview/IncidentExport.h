#pragma once

#include "alarmview/AlarmDetailView.h"

#include "Vantrel/PreAlarmBuffer.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QThread;

namespace LinkageSnapAlarm {

// One camera's video for an export: the pre-alarm buffer of the window that
// shows (or last showed) it.
struct IncidentClipSource
{
    QString strCamera; // the camera's name, as its alarms carry it
    std::shared_ptr<const Vantrel::CPreAlarmBuffer> spBuffer;
    bool bLive = false;  // the window still plays it: what follows the alarm may still come
    QString strCameraId; // its alarm source ID, as its alarms carry it; empty when not known
};

struct IncidentExportRequest
{
    static constexpr int kDefaultMarginSeconds = 10;

    LinkageRecordSet set;
    QString strTargetFolder;                    // the export's folder goes inside it
    QString strNote;                            // the operator's words, kept in the manifest
    int nMarginSeconds = kDefaultMarginSeconds; // video before the first and after the last alarm
    std::vector<IncidentClipSource> vecSources;
    // The free bytes where the export goes; a hook for tests.
    std::function<std::optional<qint64>(const QString&)> fnFreeBytes;
};

struct IncidentExportResult
{
    bool bOk = false;
    bool bCancelled = false;
    QString strFolder;      // the finished export
    QString strError;       // why there is none
    QStringList lstMissing; // cameras without a clip, with the reason
};

// What the caller sees of a running export and how it stops it.
struct IncidentExportControl
{
    std::atomic<bool> bCancel{false};
    std::function<void(int nPercent, const QString& strStage)> fnProgress; // from the export's thread
};

// Writes the export of a linkage into a folder of its own inside the target
// folder: the pictures, a Matroska clip per camera (cut from the keyframe
// before the first alarm's margin, never re-encoded) and manifest.json with
// the SHA-256 of every file. Blocks; it is built under a hidden temporary name
// and renamed when complete, so a cancel, a failure or a kill leaves no export.
IncidentExportResult RunIncidentExport(const IncidentExportRequest& request, IncidentExportControl& control);

// Removes the temporary folders of exports that died (no live process holds
// their lock); a running export's folder is left alone. The layout's rules
// and the check of a finished export are in common/IncidentManifest.h.
void RemoveLeftoverExports(const QString& strTargetFolder);

// Runs one export on a thread of its own and reports to the GUI thread.
class CIncidentExporter : public QObject
{
    Q_OBJECT
public:
    explicit CIncidentExporter(QObject* parent = nullptr);
    ~CIncidentExporter() override; // cancels and waits for a running export

    // False when an export is running already.
    bool Start(IncidentExportRequest request);
    void Cancel();
    bool IsRunning() const { return m_pThread != nullptr; }

signals:
    void signalProgress(int nPercent, const QString& strStage);
    void signalFinished(const LinkageSnapAlarm::IncidentExportResult& result);

private:
    QThread* m_pThread = nullptr;
    std::shared_ptr<IncidentExportControl> m_spControl;
};

} // namespace LinkageSnapAlarm

Q_DECLARE_METATYPE(LinkageSnapAlarm::IncidentExportResult)
