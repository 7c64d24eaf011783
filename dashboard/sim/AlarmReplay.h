#pragma once

#include "quorra/IntelAlarmEventInfo.h"

#include <QDir>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace AlarmSim {

// One line of a replay file: when to raise it and the event itself.
struct ReplayEvent
{
    double dAt = 0; // seconds from the start of the replay
    quorra::IntelAlarmEventInfo info;
};

// Picture files named by replay lines, relative to the replay file's folder,
// read once and shared by every alarm that names them.
class CPictureStore
{
public:
    static constexpr qint64 kMaxPictureBytes = 64 * 1024 * 1024;

    // Without a folder no file is read (every file reference is an error).
    explicit CPictureStore(const QString& strBaseDir = QString());
    std::shared_ptr<protocol::PicBinary> File(const QString& strPath, QString& strError);

private:
    QString m_strBaseDir;
    QHash<QString, std::shared_ptr<protocol::PicBinary>> m_hashFiles;
};

// Parses one JSON line into an event; false with a reason when it is malformed.
bool ParseReplayLine(const QByteArray& baLine, CPictureStore& pictures, ReplayEvent& event, QString& strError);

struct ReplayFile
{
    std::vector<ReplayEvent> vecEvents;
    QStringList lstErrors; // "line N: reason", one per skipped line
};

// Reads a whole replay file; blank lines and lines starting with # are skipped.
ReplayFile LoadReplayFile(const QString& strPath);

struct ReplayOptions
{
    double dSpeed = 1; // time scale: 2 plays twice as fast, 0 as fast as possible
    int nBurst = 1;    // events delivered together, at the time of the first
    int nDisorder = 0; // an event may be delivered up to this many places late
    quint32 uSeed = 1; // of the disorder
    bool bLoop = false;
};

// When and in which order the events go out: (seconds from start, event index).
std::vector<std::pair<double, size_t>> ScheduleReplay(const std::vector<ReplayEvent>& vecEvents,
                                                      const ReplayOptions& options);

// Plays a replay file's events to the host's alarm transfer from a thread.
class CAlarmReplay : public QObject
{
    Q_OBJECT
public:
    explicit CAlarmReplay(QObject* parent = nullptr);
    ~CAlarmReplay() override;

    void Start(std::vector<ReplayEvent> vecEvents, const ReplayOptions& options);
    void Stop();
    quint64 AlarmsSent() const { return m_nSent.load(); }

signals:
    // From the replay thread once every event went out (never with looping).
    void signalFinished();

private:
    void Run();

    std::vector<ReplayEvent> m_vecEvents;
    ReplayOptions m_options;
    std::mutex m_mutex;
    std::condition_variable m_cvStop;
    bool m_bStop = false;
    std::atomic<quint64> m_nSent{0};
    std::thread m_thread;
};

} // namespace AlarmSim
