// Alarm storm: one panoramic alarm, then 1,000 linkage alarms of three persons
// with 1080p pictures, sent by the simulator's alarm factory from a worker
// thread as fast as it can, through the host's alarm transfer into the linkage
// dialog; once with saving off and once with saving on. Reports:
// - the most cards the strip held at any time (the strip keeps 50);
// - resident memory after every 100 alarms (flat after the first 100);
// - pictures the view asked to save against files written and failures reported;
// - the GUI thread's longest and mean handling time per alarm (with saving on,
//   a full picture queue makes the GUI thread wait: that is the back-pressure).
// Not a Google Benchmark: one storm is one measurement.

#include "LinkageSavePicMgr.h"
#include "LinkageSetupStore.h"
#include "LinkageSnapAlarmDlg.h"
#include "LinkageSnapAlarmListener.h"
#include "ShowCardArea.h"
#include "ShowCardWidget.h"
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

#include <cstdio>
#include <unistd.h>

using namespace LinkageSnapAlarm;

namespace {

constexpr int kAlarms = 1000;
constexpr int kPersons = 3;
constexpr int kSampleEvery = 100;
constexpr qint64 kDrainLimitMs = 300'000;

double ResidentMiB()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lstFields = statm.readAll().split(' ');
    return lstFields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

int CountFiles(const QString& strRoot)
{
    int n = 0;
    for (QDirIterator it(strRoot, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
        ++n;
    return n;
}

struct StormResult
{
    int nMaxCards = 0;
    QVector<double> vecResidentMiB;
    double dLongestMs = 0;
    double dMeanMs = 0;
    double dStormSeconds = 0;
    double dDrainSeconds = 0;
    int nSaveAnswers = 0; // pictures written, failures and space notices
    int nFiles = 0;
};

StormResult RunStorm(bool bSave, const AlarmSim::CAlarmFactory& factory, int nRequests)
{
    QTemporaryDir dirSave;
    LinkageSetupInfo setup;
    setup.IsSavePicture = bSave;
    setup.SavePicPath = dirSave.path();
    setup.PreviewMode = 3;
    CLinkageSetupStore::Instance()->SaveSetup(setup);

    StormResult result;
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    auto* pDlg = new CLinkageSnapAlarmDlg;
    pDlg->resize(1920, 1080);
    pDlg->show();
    QApplication::processEvents();
    auto* pCards = pDlg->findChild<CShowCardArea*>("m_pWidgetLinkagePic")->CardWidget();
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    QObject::connect(pSavePicMgr, &CLinkageSavePicMgr::signalPictureSaved, [&] { ++result.nSaveAnswers; });
    QObject::connect(pSavePicMgr, &CLinkageSavePicMgr::signalSaveFailed, [&] { ++result.nSaveAnswers; });
    QObject::connect(pSavePicMgr, &CLinkageSavePicMgr::signalSpaceNotEnough, [&] { ++result.nSaveAnswers; });

    // Queued before the listener's own call, so it marks the start of each handling.
    QElapsedTimer timerHandling;
    QObject context;
    QObject::connect(&transfer, &quorra::AlarmTransfer::signalAlarmEventInfo, &context,
                     [&](void*) { timerHandling.start(); });
    pDlg->SetAlarmListening(true);
    int nHandled = 0;
    double dTotalMs = 0;
    QObject::connect(pDlg->AlarmListener(), &CLinkageSnapAlarmListener::signalNewAlarmComing, &context, [&] {
        const double dMs = double(timerHandling.nsecsElapsed()) / 1e6;
        result.dLongestMs = qMax(result.dLongestMs, dMs);
        dTotalMs += dMs;
        result.nMaxCards = qMax(result.nMaxCards, pCards->CardCount());
        if (nHandled % kSampleEvery == 0)
            result.vecResidentMiB << ResidentMiB();
        ++nHandled;
    });

    const AlarmSim::SimCamera camera{"", "Storm camera"}; // every window is empty: the empty source is in one
    QElapsedTimer timerStorm;
    timerStorm.start();
    QThread* pSender = QThread::create([&] {
        transfer.PostAlarmEvent(std::make_shared<quorra::CIntelAlarmEvent>(factory.Panoramic(camera, "storm", 0)));
        for (int i = 0; i < kAlarms; ++i)
            transfer.PostAlarmEvent(std::make_shared<quorra::CIntelAlarmEvent>(factory.Linkage(camera, "storm", i)));
    });
    pSender->start();
    while (nHandled < kAlarms + 1)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    pSender->wait();
    delete pSender;
    result.dStormSeconds = double(timerStorm.elapsed()) / 1000;
    result.vecResidentMiB << ResidentMiB();
    result.dMeanMs = dTotalMs / nHandled;

    // Every request is answered by the manager: written, failed, or no space.
    QElapsedTimer timerDrain;
    timerDrain.start();
    while (result.nSaveAnswers < nRequests && timerDrain.elapsed() < kDrainLimitMs)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    result.dDrainSeconds = double(timerDrain.elapsed()) / 1000;
    delete pDlg;
    while (transfer.PendingEvents() > 0)
        QApplication::processEvents();
    result.nFiles = CountFiles(dirSave.path());
    return result;
}

void Print(const char* szMode, const StormResult& r, int nRequests)
{
    std::printf("\nsaving %s: %d linkage alarms x %d persons, 1080p, in %.1f s\n", szMode, kAlarms, kPersons,
                r.dStormSeconds);
    std::printf("  cards at most:           %d (limit %d)\n", r.nMaxCards, CShowCardWidget::kMaxCards);
    std::printf("  resident MiB every %d:  ", kSampleEvery);
    for (double d : r.vecResidentMiB)
        std::printf(" %.0f", d);
    std::printf("\n  GUI thread per alarm:    mean %.1f ms, longest %.1f ms\n", r.dMeanMs, r.dLongestMs);
    std::printf("  pictures asked to save:  %d; answered %d; files written %d; queue drained %.1f s after the storm\n",
                nRequests, r.nSaveAnswers, r.nFiles, r.dDrainSeconds);
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
    const AlarmSim::CAlarmFactory factory(QSize(1920, 1080), kPersons);
    // The factory's persons come as close-up, rectangle and face-from-same-picture:
    // 4 + 4 + 3 pictures to save per alarm, and the scene of the panoramic alarm.
    const int nRequests = kAlarms * 11 + 1;
    Print("off", RunStorm(false, factory, 0), 0);
    Print("on", RunStorm(true, factory, nRequests), nRequests);
    return 0;
}
