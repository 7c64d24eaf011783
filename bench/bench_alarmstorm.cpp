// Alarm storms through the host's alarm transfer into the linkage dialog, sent
// by the simulator's alarm factory from a worker thread, and what the user pays
// for them on the GUI thread. Not a Google Benchmark: one storm is one measurement.
//
//   bench_alarmstorm                      a burst of 1,000 linkage alarms as fast as
//                                         they can be sent, saving off, then on
//   bench_alarmstorm --rate R --seconds S open-ended: R linkages a second (a
//                                         panoramic alarm and its burst) for S seconds
//   options: --burst N (linkage alarms per linkage, 3), --persons N (3),
//            --resolution 1080p|4k, --save, --slow-write-ms N (a slow disk)
//
// Reports the GUI thread's longest block (a 5 ms heartbeat's longest gap, which
// covers the slots, layout and paint of the new cards), the view's repaints a
// second, resident memory every ten seconds, and accounts for every alarm
// (shown, handled without being shown, or dropped) and every picture (written
// or not saved); then closes the view during a second flood and times the close.

#include "alarmview/LinkageSnapAlarmDlg.h"
#include "alarmview/LinkageSnapAlarmListener.h"
#include "cards/ShowCardArea.h"
#include "cards/ShowCardWidget.h"
#include "savepic/LinkageSavePicMgr.h"
#include "savepic/PictureFile.h"
#include "settings/LinkageSetupStore.h"
#include "sim/AlarmFactory.h"

#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <functional>
#include <unistd.h>

using namespace LinkageSnapAlarm;

namespace {

constexpr int kHeartbeatMs = 5;
constexpr int kSampleEveryMs = 1000;
constexpr int kMemoryPrintEvery = 10; // samples
constexpr qint64 kDrainLimitMs = 120'000;
constexpr int kCloseFloodMs = 3000;

struct Options
{
    double dRate = 0;   // linkages a second; 0: as fast as possible
    int nSeconds = 0;   // open-ended storms last this long
    int nAlarms = 1000; // a burst storm sends this many linkage alarms
    int nBurst = 3;     // linkage alarms per linkage (open-ended)
    int nPersons = 3;
    QSize sizePicture{1920, 1080};
    bool bSave = false;
    int nSlowWriteMs = 0;
};

double ResidentMiB()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lstFields = statm.readAll().split(' ');
    return lstFields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

int CountFiles(const QString& strRoot, const QStringList& lstPatterns)
{
    int n = 0;
    for (QDirIterator it(strRoot, lstPatterns, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();
         it.next())
        ++n;
    return n;
}

// Sends alarms from its own thread until stopped (or, for a burst, until sent).
class CSender
{
public:
    CSender(const AlarmSim::CAlarmFactory& factory, const Options& opts, bool bBurst)
        : m_factory(factory)
        , m_opts(opts)
        , m_bBurst(bBurst)
    {
        m_pThread = QThread::create([this] { Run(); });
        m_pThread->start();
    }
    ~CSender() { Stop(); }
    void Stop()
    {
        m_bStop = true;
        if (m_pThread) {
            m_pThread->wait();
            delete m_pThread;
            m_pThread = nullptr;
        }
    }
    bool IsDone() const { return m_pThread == nullptr || m_pThread->isFinished(); }
    std::int64_t Sent() const { return m_nSent.load(); }

private:
    void Post(quorra::IntelAlarmEventInfo info)
    {
        Fendra::CSingleton<quorra::AlarmTransfer>::Instance().PostAlarmEvent(
            std::make_shared<quorra::CIntelAlarmEvent>(std::move(info)));
        ++m_nSent;
    }
    void Run()
    {
        const AlarmSim::SimCamera camera{"", "Storm camera"}; // every window is empty: the empty source is in one
        if (m_bBurst) {
            Post(m_factory.Panoramic(camera, "storm", 0));
            for (int i = 0; i < m_opts.nAlarms && !m_bStop; ++i)
                Post(m_factory.Linkage(camera, "storm", i));
            return;
        }
        QElapsedTimer timer;
        timer.start();
        for (std::int64_t nCycle = 0; !m_bStop; ++nCycle) {
            const std::string strUid = "storm-" + std::to_string(nCycle);
            Post(m_factory.Panoramic(camera, strUid, int(nCycle)));
            for (int i = 0; i < m_opts.nBurst && !m_bStop; ++i)
                Post(m_factory.Linkage(camera, strUid, int(nCycle) + i));
            if (m_opts.dRate > 0) {
                const qint64 nDueNs = qint64(double(nCycle + 1) * 1e9 / m_opts.dRate);
                while (!m_bStop && timer.nsecsElapsed() < nDueNs)
                    QThread::usleep(500);
            }
        }
    }

    const AlarmSim::CAlarmFactory& m_factory;
    const Options& m_opts;
    bool m_bBurst;
    QThread* m_pThread = nullptr;
    std::atomic<bool> m_bStop{false};
    std::atomic<std::int64_t> m_nSent{0};
};

// The GUI thread's pulse: the longest gap between heartbeats, and paints of a
// widget. fnOnBeat runs at every heartbeat, once what came before it is done.
class CPulse : public QObject
{
public:
    CPulse(QWidget* pWatched, std::function<void()> fnOnBeat)
        : m_fnOnBeat(std::move(fnOnBeat))
    {
        pWatched->installEventFilter(this);
        m_timerGap.start();
        connect(&m_heartbeat, &QTimer::timeout, this, [this] {
            const double dGapMs = double(m_timerGap.nsecsElapsed()) / 1e6;
            m_dLongestGapMs = qMax(m_dLongestGapMs, dGapMs);
            m_timerGap.start();
            m_fnOnBeat();
        });
        m_heartbeat.start(kHeartbeatMs);
    }
    double LongestBlockMs() const { return qMax(0.0, m_dLongestGapMs - kHeartbeatMs); }
    int TakePaints() { return std::exchange(m_nPaints, 0); }

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        m_nPaints += pEvent->type() == QEvent::UpdateRequest;
        return QObject::eventFilter(pObject, pEvent);
    }

private:
    std::function<void()> m_fnOnBeat;
    QTimer m_heartbeat;
    QElapsedTimer m_timerGap;
    double m_dLongestGapMs = 0;
    int m_nPaints = 0;
};

struct StormResult
{
    double dSeconds = 0;
    double dLongestBlockMs = 0;
    int nFewestPaints = -1; // repaints of the view in the slowest second
    QVector<double> vecResidentMiB;
    std::int64_t nSent = 0, nHeard = 0, nDropped = 0, nAccepted = 0, nShown = 0;
    SavePictureCounts pictures;
    int nFiles = 0; // pictures found on disk
    int nMaxCards = 0;
};

CLinkageSnapAlarmDlg* OpenView(const QString& strSavePath, bool bSave)
{
    LinkageSetupInfo setup;
    setup.IsSavePicture = bSave;
    setup.SavePicPath = strSavePath;
    setup.PreviewMode = 3;
    CLinkageSetupStore::Instance()->SaveSetup(setup);
    auto* pDlg = new CLinkageSnapAlarmDlg;
    pDlg->resize(1920, 1080);
    pDlg->show();
    QApplication::processEvents();
    pDlg->SetAlarmListening(true);
    return pDlg;
}

void WaitUntil(const std::function<bool()>& fnDone, qint64 nLimitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!fnDone() && timer.elapsed() < nLimitMs)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

StormResult RunStorm(const AlarmSim::CAlarmFactory& factory, const Options& opts, const QString& strSavePath)
{
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    CLinkageSnapAlarmDlg* pDlg = OpenView(strSavePath, opts.bSave);
    CShowCardWidget* pCards = pDlg->findChild<CShowCardArea*>("m_pWidgetLinkagePic")->CardWidget();
    StormResult result;
    QObject context;
    QObject::connect(pDlg->AlarmListener(), &CLinkageSnapAlarmListener::signalNewAlarmComing, &context,
                     [&] { ++result.nHeard; });
    const std::int64_t nDroppedBefore = transfer.DroppedEvents();
    // Cards are counted at the heartbeat, after the slots that added them and the
    // layout and paint they scheduled: a panoramic alarm clears the strip as it
    // is heard, before its burst's cards arrive.
    CPulse pulse(pDlg, [&] { result.nMaxCards = qMax(result.nMaxCards, pCards->CardCount()); });
    QElapsedTimer timer;
    timer.start();
    QTimer sampler;
    bool bFlooding = true;
    QObject::connect(&sampler, &QTimer::timeout, &context, [&] {
        result.vecResidentMiB << ResidentMiB();
        const int nPaints = pulse.TakePaints();
        // The first second starts the flood; once it ends, nothing new is painted.
        if (bFlooding && result.vecResidentMiB.size() > 1)
            result.nFewestPaints = result.nFewestPaints < 0 ? nPaints : qMin(result.nFewestPaints, nPaints);
    });
    sampler.start(kSampleEveryMs);
    result.vecResidentMiB << ResidentMiB();
    {
        const bool bBurst = opts.nSeconds == 0;
        CSender sender(factory, opts, bBurst);
        WaitUntil([&] { return bBurst ? sender.IsDone() : timer.elapsed() >= opts.nSeconds * 1000; },
                  bBurst ? kDrainLimitMs : opts.nSeconds * 1000 + kDrainLimitMs);
        bFlooding = false;
        sender.Stop();
        result.nSent = sender.Sent();
    }
    WaitUntil([&] { return transfer.PendingEvents() == 0; }, kDrainLimitMs);
    result.dSeconds = double(timer.elapsed()) / 1000;
    result.dLongestBlockMs = pulse.LongestBlockMs();
    result.vecResidentMiB << ResidentMiB();
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    WaitUntil(
        [&] {
            const SavePictureCounts counts = pSavePicMgr->Counts();
            return counts.nAsked == counts.nWritten + counts.nNotSaved;
        },
        kDrainLimitMs);
    result.pictures = pSavePicMgr->Counts();
    result.nFiles = CountFiles(strSavePath, {"*.jpg"});
    result.nDropped = transfer.DroppedEvents() - nDroppedBefore;
    result.nAccepted = pDlg->AlarmsAccepted();
    result.nShown = pDlg->AlarmsShown();
    // The last cards may have been laid out after the last heartbeat.
    QApplication::processEvents();
    result.nMaxCards = qMax(result.nMaxCards, pCards->CardCount());
    delete pDlg;
    return result;
}

// A close in the middle of a flood: how long the user waits, and what it leaves.
void CloseDuringFlood(const AlarmSim::CAlarmFactory& factory, const Options& opts, const QString& strSavePath)
{
    CLinkageSnapAlarmDlg* pDlg = OpenView(strSavePath, opts.bSave);
    Options optsFlood = opts;
    optsFlood.nSeconds = 1;
    CSender sender(factory, optsFlood, false);
    WaitUntil([] { return false; }, kCloseFloodMs);
    QElapsedTimer timer;
    timer.start();
    pDlg->close();
    delete pDlg; // finishes the picture in progress and writes for at most the exit budget
    const double dCloseMs = double(timer.nsecsElapsed()) / 1e6;
    sender.Stop();
    std::printf("  close during the flood:   %.0f ms; temporary files left %d\n", dCloseMs,
                CountFiles(strSavePath, {".picture-*.part"}));
}

void Print(const Options& opts, const StormResult& r)
{
    // Heard but not shown: shed in the flood (pictures still saved), or refused
    // because the panoramic alarm of their linkage was dropped.
    const std::int64_t nUnseen = r.nHeard - r.nShown;
    std::printf("  storm:                    %lld alarms sent in %.1f s (%.0f a second)\n",
                static_cast<long long>(r.nSent), r.dSeconds, double(r.nSent) / qMax(0.001, r.dSeconds));
    std::printf("  GUI thread longest block: %.1f ms (heartbeat gap less %d ms)\n", r.dLongestBlockMs, kHeartbeatMs);
    std::printf("  view repaints:            %d in the slowest second\n", r.nFewestPaints);
    std::printf("  cards at most:            %d (limit %d)\n", r.nMaxCards, CShowCardWidget::kMaxCards);
    std::printf("  resident MiB every %ds:  ", kMemoryPrintEvery * kSampleEveryMs / 1000);
    for (int i = 0; i < r.vecResidentMiB.size(); i += kMemoryPrintEvery)
        std::printf(" %.0f", r.vecResidentMiB[i]);
    std::printf(" (end %.0f)\n", r.vecResidentMiB.last());
    std::printf("  alarms: shown %lld + handled unseen %lld + dropped %lld = %lld; sent %lld: %s\n",
                static_cast<long long>(r.nShown), static_cast<long long>(nUnseen), static_cast<long long>(r.nDropped),
                static_cast<long long>(r.nShown + nUnseen + r.nDropped), static_cast<long long>(r.nSent),
                r.nShown <= r.nAccepted && r.nHeard + r.nDropped == r.nSent ? "accounted" : "NOT ACCOUNTED");
    const SavePictureCounts& p = r.pictures;
    // A slow disk may still be writing when the drain limit ends: those wait in
    // the backlog, and closing writes them within its budget or counts them.
    const std::int64_t nWaiting = p.nAsked - p.nWritten - p.nNotSaved;
    std::printf("  pictures: asked %lld = written %lld + not saved %lld + still waiting %lld; files on disk %d: %s%s\n",
                static_cast<long long>(p.nAsked), static_cast<long long>(p.nWritten),
                static_cast<long long>(p.nNotSaved), static_cast<long long>(nWaiting), r.nFiles,
                r.nFiles == p.nWritten ? "accounted" : "NOT ACCOUNTED", opts.bSave ? "" : " (saving off)");
}

bool ParseOptions(const QStringList& lstArgs, Options& opts)
{
    for (int i = 1; i < lstArgs.size(); ++i) {
        const QString& strArg = lstArgs[i];
        const QString strValue = lstArgs.value(i + 1);
        if (strArg == "--rate")
            opts.dRate = strValue.toDouble(), ++i;
        else if (strArg == "--seconds")
            opts.nSeconds = strValue.toInt(), ++i;
        else if (strArg == "--alarms")
            opts.nAlarms = strValue.toInt(), ++i;
        else if (strArg == "--burst")
            opts.nBurst = strValue.toInt(), ++i;
        else if (strArg == "--persons")
            opts.nPersons = strValue.toInt(), ++i;
        else if (strArg == "--resolution")
            opts.sizePicture = strValue == "4k" ? QSize(3840, 2160) : QSize(1920, 1080), ++i;
        else if (strArg == "--save")
            opts.bSave = true;
        else if (strArg == "--slow-write-ms")
            opts.nSlowWriteMs = strValue.toInt(), ++i;
        else
            return false;
    }
    return true;
}

void RunAndPrint(const AlarmSim::CAlarmFactory& factory, const Options& opts)
{
    QTemporaryDir dirSave;
    PictureFile::SetExtraWriteTimeForTesting(std::chrono::milliseconds(opts.nSlowWriteMs));
    std::printf("\n%s, saving %s%s, %dx%d, %d persons:\n",
                opts.nSeconds > 0 ? qPrintable(QString("%1 linkages/s of 1 + %2 alarms for %3 s")
                                                   .arg(opts.dRate > 0 ? QString::number(opts.dRate) : "max")
                                                   .arg(opts.nBurst)
                                                   .arg(opts.nSeconds))
                                  : qPrintable(QString("1 + %1 linkage alarms at once").arg(opts.nAlarms)),
                opts.bSave ? "on" : "off",
                opts.nSlowWriteMs ? qPrintable(QString(", %1 ms more per write").arg(opts.nSlowWriteMs)) : "",
                opts.sizePicture.width(), opts.sizePicture.height(), opts.nPersons);
    std::fflush(stdout);
    Print(opts, RunStorm(factory, opts, dirSave.path()));
    CloseDuringFlood(factory, opts, dirSave.path());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dirHome; // settings of the storm stay out of the user's data
    qputenv("XDG_DATA_HOME", dirHome.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", dirHome.path().toUtf8());
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("lsa.*=false");
    Options opts;
    if (!ParseOptions(app.arguments(), opts)) {
        std::fprintf(stderr, "usage: bench_alarmstorm [--rate R --seconds S] [--alarms N] [--burst N] [--persons N] "
                             "[--resolution 1080p|4k] [--save] [--slow-write-ms N]\n");
        return 2;
    }
    const AlarmSim::CAlarmFactory factory(opts.sizePicture, opts.nPersons);
    if (app.arguments().size() > 1) {
        RunAndPrint(factory, opts);
        return 0;
    }
    RunAndPrint(factory, opts);
    opts.bSave = true;
    RunAndPrint(factory, opts);
    return 0;
}
