#pragma once

#include "sim/AlarmFactory.h"

#include "Fendra/WorkerThread.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace AlarmSim {

// Raises alarms of the site's cameras at a chosen rate, from a thread of its
// own as the host's alarm centre does: a panoramic alarm opening a new
// linkage, then a burst of linkage alarms of the linked cameras.
class CAlarmSimulator : public QObject
{
    Q_OBJECT
public:
    explicit CAlarmSimulator(QObject* parent = nullptr);
    ~CAlarmSimulator() override;

    // The panoramic and linked cameras of the host's site, read again.
    void TakeCamerasFromSite();
    void SetCameras(std::vector<SimCamera> vecPanoramic, std::vector<SimCamera> vecLinked);
    void SetSettings(const SimSettings& settings);
    SimSettings Settings() const;

    void Start();
    void Stop();
    bool IsRunning() const { return m_worker.IsRunning(); }
    quint64 AlarmsSent() const { return m_nSent.load(); }

signals:
    // From the simulator's thread; connect with a queued connection.
    void signalPicturesChanged(const QString& strDescription);

private:
    void Run();

    mutable std::mutex m_mutex;
    std::condition_variable m_cvWake;
    SimSettings m_settings;
    bool m_bSettingsChanged = true;
    std::vector<SimCamera> m_vecPanoramic;
    std::vector<SimCamera> m_vecLinked;
    std::atomic<quint64> m_nSent{0};
    Fendra::CWorkerThread m_worker{m_mutex, m_cvWake};
};

} // namespace AlarmSim
