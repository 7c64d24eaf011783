#pragma once

#include "quorra/IntelAlarmEventInfo.h"

#include "Fendra/WorkerThread.h"

#include <QDir>
#include <QHash>
#include <QObject>
#include <QRandomGenerator>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <queue>
#include <vector>

class QFile;
class QIODevice;

namespace AlarmSim {

// The latest time a line may name, in seconds (about eleven days), and the
// range of time scales: together they keep every delivery time a finite
// duration the clock can hold.
constexpr double kMaxReplayAt = 1e6;
constexpr double kMinReplaySpeed = 1e-3;
constexpr double kMaxReplaySpeed = 1e6;

// 0 (everything at once) or a time scale from kMinReplaySpeed to kMaxReplaySpeed.
bool IsReplaySpeedAllowed(double dSpeed);

// One line of a replay file: when to raise it and the event itself.
struct ReplayEvent
{
    double dAt = 0; // seconds from the start of the replay
    quorra::IntelAlarmEventInfo info;
};

// Picture files named by replay lines, relative to the replay file's folder,
// read once and shared by every alarm that names them. Only files inside that
// folder are read: no absolute paths, no ".." out of it, no symbolic link
// leading out of it.
class CPictureStore
{
public:
    static constexpr qint64 kMaxPictureBytes = 64 * 1024 * 1024;

    // Without a folder no file is read (every file reference is an error).
    explicit CPictureStore(const QString& strBaseDir = QString());
    std::shared_ptr<protocol::PicBinary> File(const QString& strPath, QString& strError);

private:
    // The file strPath names inside the folder, symbolic links resolved; empty
    // with a reason when there is none.
    QString InsideFile(const QString& strPath, QString& strError) const;

    QString m_strBaseDir;
    QHash<QString, std::shared_ptr<protocol::PicBinary>> m_hashFiles;
};

// Parses one JSON line into an event; false with a reason when it is malformed.
bool ParseReplayLine(const QByteArray& baLine, CPictureStore& pictures, ReplayEvent& event, QString& strError);

// Where replay events come from, one after another, in file order.
class IReplaySource
{
public:
    virtual ~IReplaySource() = default;
    // The next event; false at the end.
    virtual bool Next(ReplayEvent& event) = 0;
    // Back to the first event; false when that is not possible.
    virtual bool Rewind() = 0;
};

// Reads a replay file a line at a time: only the line in hand is held, however
// long the file. Blank lines and lines starting with # are skipped; a malformed
// line goes to the error sink as "line N: reason" and is skipped.
class CReplayReader : public IReplaySource
{
public:
    explicit CReplayReader(const QString& strPath);
    // Reads an open device; picture files are relative to strBaseDir.
    CReplayReader(QIODevice* pDevice, const QString& strBaseDir);
    ~CReplayReader() override;

    // False when the file could not be opened (ErrorText says why).
    bool IsOpen() const;
    QString ErrorText() const { return m_strOpenError; }
    void SetErrorSink(std::function<void(const QString&)> fnSink) { m_fnErrorSink = std::move(fnSink); }

    bool Next(ReplayEvent& event) override;
    bool Rewind() override;

private:
    std::unique_ptr<QFile> m_upFile;
    QIODevice* m_pDevice = nullptr;
    CPictureStore m_pictures;
    QString m_strOpenError;
    int m_nLine = 0;
    std::function<void(const QString&)> m_fnErrorSink;
};

// Events already in memory, as a source.
class CReplayEvents : public IReplaySource
{
public:
    explicit CReplayEvents(std::vector<ReplayEvent> vecEvents);
    bool Next(ReplayEvent& event) override;
    bool Rewind() override;

private:
    std::vector<ReplayEvent> m_vecEvents;
    size_t m_nNext = 0;
};

struct ReplayFile
{
    std::vector<ReplayEvent> vecEvents;
    QStringList lstErrors; // "line N: reason", one per skipped line
};

// Reads a whole replay file into memory (small files: tests, tools).
ReplayFile LoadReplayFile(const QString& strPath);

struct ReplayOptions
{
    double dSpeed = 1; // time scale: 2 plays twice as fast, 0 as fast as possible
    int nBurst = 1;    // events delivered together, at the time of the first
    int nDisorder = 0; // an event may be delivered up to this many places late
    quint32 uSeed = 1; // of the disorder
    bool bLoop = false;
};

// When and in which order a stream of events goes out. Events go out in the
// order they come, at their time scaled by the speed; one whose time is earlier
// than the one before goes out right after it. Bursts go out at the time of
// their first event. With disorder, each event may go up to nDisorder places
// late while the times stay in their places: the window of nDisorder + 1
// events is all that is held.
class CReplaySchedule
{
public:
    explicit CReplaySchedule(const ReplayOptions& options);

    void Push(ReplayEvent event);
    // No more events come: the window may empty.
    void Finish();
    // The next event to go out, its time in seconds from the start and the
    // place it came in; false while the window waits for more events.
    bool Pop(double& dDue, ReplayEvent& event, size_t* pnArrival = nullptr);
    // Events held now.
    size_t Held() const { return m_heap.size(); }

private:
    struct Waiting
    {
        size_t nKey;
        size_t nArrival;
        std::shared_ptr<ReplayEvent> spEvent;
        bool operator>(const Waiting& other) const
        {
            return nKey != other.nKey ? nKey > other.nKey : nArrival > other.nArrival;
        }
    };

    ReplayOptions m_options;
    QRandomGenerator m_random;
    std::priority_queue<Waiting, std::vector<Waiting>, std::greater<Waiting>> m_heap;
    std::queue<double> m_queSlotTimes; // the delivery time of each place, in order
    size_t m_nPushed = 0;
    double m_dLastAt = 0;
    double m_dBurstAt = 0;
    bool m_bFinished = false;
};

// A source read through a schedule: the events of one pass, in delivery order.
class CReplayStream
{
public:
    CReplayStream(IReplaySource& source, const ReplayOptions& options);
    // The next event and its time; false at the end of the pass.
    bool Next(double& dDue, ReplayEvent& event);
    // Starts another pass from the source's first event.
    bool Restart();

private:
    IReplaySource& m_source;
    ReplayOptions m_options;
    std::unique_ptr<CReplaySchedule> m_upSchedule;
};

// The delivery of events held in memory: (seconds from start, event index).
std::vector<std::pair<double, size_t>> ScheduleReplay(const std::vector<ReplayEvent>& vecEvents,
                                                      const ReplayOptions& options);

// Plays replay events to the host's alarm transfer from a thread.
class CAlarmReplay : public QObject
{
    Q_OBJECT
public:
    explicit CAlarmReplay(QObject* parent = nullptr);
    ~CAlarmReplay() override;

    // Streams a replay file; false (with fnError called) when it cannot be
    // opened. Malformed lines reach fnError from the replay thread as they are read.
    bool Start(const QString& strPath, const ReplayOptions& options, std::function<void(const QString&)> fnError);
    void Start(std::vector<ReplayEvent> vecEvents, const ReplayOptions& options);
    void Stop();
    quint64 AlarmsSent() const { return m_nSent.load(); }

signals:
    // From the replay thread once every event went out (never with looping).
    void signalFinished();

private:
    void StartThread(std::unique_ptr<IReplaySource> upSource, const ReplayOptions& options);
    void Run();

    std::unique_ptr<IReplaySource> m_upSource;
    ReplayOptions m_options;
    std::mutex m_mutex;
    std::condition_variable m_cvStop;
    std::atomic<quint64> m_nSent{0};
    Fendra::CWorkerThread m_worker{m_mutex, m_cvStop};
};

} // namespace AlarmSim
