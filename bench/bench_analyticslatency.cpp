// End-to-end latency of real alarms: the street footage plays in the plug-in's
// live windows at its own rate (a panoramic camera and a linked camera looking
// at part of it), the host's analytics take frames from those streams, and
// the plug-in's linkage dialog shows the cards. For each linkage alarm, the
// time from the frame in which the detector first found its person to the
// moment its card's body picture is painted; also the two halves (first
// detection to the alarm sent, alarm sent to the card painted). The start of
// the clock is the detector's own first hit on the track (the frame's arrival
// at the analysis branch), not a hand-labelled first appearance: a person can
// be in the picture up to one analysis interval before that.
// Headless (offscreen); the figures are absolute, against the goal of 1 s median.
//
// Also the CPU of each part of the process, per thread, as shares of one core
// (after a settling time): the display video (decoding and the windows'
// branches: GStreamer's streaming threads), the analysis branch (its own
// streaming thread: scaling and conversion), the analytics workers, the GUI
// thread, and the rest. The program runs itself twice, the same windows once
// without analytics (the floor: the video's own cost) and once with them, and
// sets each part against the floor's.
//
// Options: --seconds N (measured, after 10 s of settling; default 60),
// --detect-every N (full detection on every Nth analysis frame, default 1),
// --rounds N (pairs of runs, default 1), --phase plain|analytics (one run only).

#include "dashboard/DashboardPlugin.h"
#include "dashboard/DashboardStateStore.h"
#include "dashboard/DashboardWindow.h"

#include "Fendra/Singleton.h"
#include "analytics/AnalyticsHub.h"
#include "cards/LinkageCardWidget.h"
#include "quorra/AlarmTransfer.h"
#include "quorra/IAIWidget.h"
#include "tessel/GroupManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const char* const kVideo = "/usr/share/doc/opencv-doc/examples/data/vtest.avi";
constexpr int kDefaultSeconds = 60; // with the settling, within the 80 s of footage
constexpr int kSettleSeconds = 10;  // streams started, first linkages open: CPU is counted after this

double CpuSecondsSelf()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The parts of the process whose CPU is told apart, by their threads.
enum Part { kDisplay, kBranch, kWorkers, kGui, kOther, kParts };
const char* const kPartNames[kParts] = {"display video (decoding, windows' branches)",
                                        "analysis branch (scaling, conversion)", "analytics workers", "GUI thread",
                                        "other threads"};

Part PartOf(int nTid, const QByteArray& baName)
{
    if (nTid == getpid())
        return kGui;
    if (baName == Analytics::kWorkerThreadName)
        return kWorkers;
    // GStreamer names a streaming thread "<element>:<pad>" (the kernel keeps 15
    // characters); the decoders' own threads take their parent's name.
    if (baName.startsWith(QByteArray(Analytics::kAnalysisQueueName) + ':'))
        return kBranch;
    if (baName.contains(':'))
        return kDisplay;
    return kOther;
}

struct ThreadCpu
{
    QByteArray baName;
    double dSeconds = 0;
};

// CPU seconds of each of this process's threads, by thread id.
std::map<int, ThreadCpu> ThreadTimes()
{
    std::map<int, ThreadCpu> mapThreads;
    const QDir dirTasks(QStringLiteral("/proc/self/task"));
    for (const QString& strTask : dirTasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(dirTasks.filePath(strTask + "/comm"));
        QFile stat(dirTasks.filePath(strTask + "/stat"));
        if (!comm.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly))
            continue;
        // utime and stime: fields 14 and 15, the 12th and 13th after the name.
        const QList<QByteArray> lstFields = stat.readAll().split(')').value(1).trimmed().split(' ');
        mapThreads[strTask.toInt()] = {comm.readAll().trimmed(),
                                       (lstFields.value(11).toDouble() + lstFields.value(12).toDouble())
                                           / double(sysconf(_SC_CLK_TCK))};
    }
    return mapThreads;
}

// Each part's CPU seconds between two snapshots; threads that ended between
// them are not seen (the process total shows what they took).
std::vector<double> PartSeconds(const std::map<int, ThreadCpu>& mapStart, const std::map<int, ThreadCpu>& mapEnd)
{
    std::vector<double> vecSeconds(kParts, 0.0);
    for (const auto& [nTid, thread] : mapEnd) {
        const auto it = mapStart.find(nTid);
        // A thread id reused by a new thread counts from zero.
        const double dStart = it != mapStart.end() && it->second.baName == thread.baName ? it->second.dSeconds : 0;
        vecSeconds[PartOf(nTid, thread.baName)] += thread.dSeconds - dStart;
    }
    return vecSeconds;
}

int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// An alarm as both ends see it: its linkage, camera and time of raising.
std::string Key(const std::string& strUid, const std::string& strCamera, int64_t nAlarmTime)
{
    return strUid + '|' + strCamera + '|' + std::to_string(nAlarmTime);
}

struct Sent
{
    int64_t nFirstSeenMs = 0;
    int64_t nSentMs = 0;
    int64_t nPaintedMs = 0;
    bool bAmbiguous = false; // two alarms with one key: not counted
};

// The record of a card made by the plug-in's copy of the class (same layout,
// another type identity: the sanitizers' type check cannot know it).
__attribute__((no_sanitize("vptr"))) std::shared_ptr<const LinkageSnapAlarm::CardRecord> RecordOf(QWidget* pCard)
{
    return reinterpret_cast<const LinkageSnapAlarm::CLinkageCardWidget*>(pCard)->Record();
}

// Notes the first paint of each card's body picture, keyed by the card's alarm.
class CPaintWatch : public QObject
{
public:
    CPaintWatch(std::mutex& mutex, std::map<std::string, Sent>& mapSent)
        : m_mutex(mutex)
        , m_mapSent(mapSent)
    {
    }

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        if (pEvent->type() != QEvent::Paint || pObject->objectName() != QLatin1String("m_pLabelHumanPic"))
            return false;
        const auto* pLabel = static_cast<QLabel*>(pObject);
        if (pLabel->pixmap(Qt::ReturnByValue).isNull())
            return false;
        // The card lives in the plug-in's own copy of the cards library: found by class name.
        QWidget* pCard = pLabel->parentWidget();
        while (pCard && !pCard->inherits("LinkageSnapAlarm::CLinkageCardWidget"))
            pCard = pCard->parentWidget();
        if (!pCard)
            return false;
        const std::shared_ptr<const LinkageSnapAlarm::CardRecord> spRecord = RecordOf(pCard);
        if (!spRecord)
            return false;
        const std::string strKey = Key(spRecord->LinkageUid.toStdString(), spRecord->CameraName.toStdString(),
                                       spRecord->AlarmTime.toMSecsSinceEpoch());
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_mapSent.find(strKey);
        if (it != m_mapSent.end() && it->second.nPaintedMs == 0)
            it->second.nPaintedMs = SteadyMs(); // the paint itself is well under a millisecond
        return false;
    }

private:
    std::mutex& m_mutex;
    std::map<std::string, Sent>& m_mapSent;
};

double Percentile(std::vector<double> vec, double dShare)
{
    if (vec.empty())
        return 0;
    std::sort(vec.begin(), vec.end());
    return vec[std::min(vec.size() - 1, size_t(dShare * double(vec.size() - 1) + 0.5))];
}

void PrintFigure(const char* pszWhat, const std::vector<double>& vec)
{
    std::printf("  %-46s median %6.0f ms   p90 %6.0f ms   (n = %zu)\n", pszWhat, Percentile(vec, 0.5),
                Percentile(vec, 0.9), vec.size());
}

tessel::SiteData StreetSite(int nDetectEvery, bool bAnalytics)
{
    tessel::SiteData site;
    site.vecGroups.push_back({"street", "Street"});
    tessel::CameraInfo pano;
    pano.strGUID = "{pano}";
    pano.strName = "Street Panorama";
    pano.strGroupID = "street";
    pano.strAlarmSourceID = "AS-STREET-PANO";
    pano.strStreamUrl = kVideo;
    pano.strLinkageRole = "panoramic";
    pano.analytics.bPersons = bAnalytics;
    pano.analytics.nWidth = 1152;
    pano.analytics.nDetectEvery = nDetectEvery;
    // As the demo site's "Street Crossing": a part of the scene seen twice as close.
    tessel::CameraInfo linked = pano;
    linked.strGUID = "{linked}";
    linked.strName = "Street Crossing";
    linked.strAlarmSourceID = "AS-STREET-CROSSING";
    linked.strStreamUrl = std::string("file://") + kVideo + "?crop=0.3,0.25,0.5,0.5&size=768x576";
    linked.strLinkageRole = "linked";
    linked.analytics.bFaces = true;
    linked.analytics.nWidth = 768;
    tessel::CameraInfo lawn = linked;
    lawn.strGUID = "{lawn}";
    lawn.strName = "Street Lawn";
    lawn.strAlarmSourceID = "AS-STREET-LAWN";
    lawn.strStreamUrl = std::string("file://") + kVideo + "?crop=0.2,0.45,0.5,0.5&size=768x576";
    site.vecCameras = {pano, linked, lawn};
    return site;
}

constexpr const char* kPartsTag = "parts:";

// One run's CPU: the line a phase prints for the pair's report to read.
void PrintParts(double dProcess, const std::vector<double>& vecParts, int nSeconds)
{
    std::printf("%s %.3f", kPartsTag, 100 * dProcess / nSeconds);
    for (double d : vecParts)
        std::printf(" %.3f", 100 * d / nSeconds);
    std::printf("\n");
}

// Runs both phases as child processes, rounds times, and sets each part of the
// run with analytics against the same part without them.
int RunPairs(const QStringList& lstArgs, int nRounds)
{
    const QStringList lstForward = lstArgs.mid(1);
    std::map<QString, std::vector<std::vector<double>>> mapShares; // phase -> one row per run
    for (int nRound = 0; nRound < nRounds; ++nRound) {
        // Taking turns: neither phase always runs on a machine the other has just warmed.
        QStringList lstPhases{"plain", "analytics"};
        if (nRound % 2)
            std::reverse(lstPhases.begin(), lstPhases.end());
        for (const QString& strPhase : lstPhases) {
            QProcess process;
            process.start(QCoreApplication::applicationFilePath(), lstForward + QStringList{"--phase", strPhase});
            // Its log is shown only when it fails.
            if (!process.waitForFinished(-1) || process.exitCode() != 0) {
                std::fprintf(stderr, "%s\nbench_analyticslatency: the %s run failed\n",
                             process.readAllStandardError().constData(), qPrintable(strPhase));
                return 1;
            }
            for (const QByteArray& baLine : process.readAllStandardOutput().split('\n')) {
                if (!baLine.startsWith(kPartsTag)) {
                    if (!baLine.isEmpty())
                        std::printf("%s\n", baLine.constData());
                    continue;
                }
                std::vector<double> vecRow;
                for (const QByteArray& baValue : baLine.mid(int(strlen(kPartsTag))).trimmed().split(' '))
                    vecRow.push_back(baValue.toDouble());
                mapShares[strPhase].push_back(vecRow);
            }
        }
    }
    const auto& vecPlain = mapShares["plain"];
    const auto& vecAnalytics = mapShares["analytics"];
    if (vecPlain.empty() || vecAnalytics.empty())
        return 1;
    // Ranges over the runs, each part with analytics against the same part without.
    auto range = [](const std::vector<std::vector<double>>& vecRows, size_t i) {
        double dMin = 1e9, dMax = -1e9;
        for (const auto& row : vecRows) {
            const double d = i < row.size() ? row[i] : 0;
            dMin = std::min(dMin, d);
            dMax = std::max(dMax, d);
        }
        return std::make_pair(dMin, dMax);
    };
    auto ratio = [](double dFigure, double dFloor) { return dFloor > 0 ? dFigure / dFloor : 0.0; };
    std::printf("CPU per part, shares of one core over %d run(s) of each (min-max); without analytics -> with, "
                "ratio of the means\n",
                int(vecPlain.size()));
    for (size_t i = 0; i <= kParts; ++i) {
        const auto [dPlainMin, dPlainMax] = range(vecPlain, i);
        const auto [dMin, dMax] = range(vecAnalytics, i);
        double dPlainSum = 0, dSum = 0;
        for (const auto& row : vecPlain)
            dPlainSum += i < row.size() ? row[i] : 0;
        for (const auto& row : vecAnalytics)
            dSum += i < row.size() ? row[i] : 0;
        const double dRatio = ratio(dSum / double(vecAnalytics.size()), dPlainSum / double(vecPlain.size()));
        std::printf("  %-46s %5.1f-%5.1f %%  -> %5.1f-%5.1f %%", i == 0 ? "whole process" : kPartNames[i - 1],
                    dPlainMin, dPlainMax, dMin, dMax);
        if (dRatio > 0)
            std::printf("   %.2f%s", dRatio, i == 1 + kDisplay ? " (goal <= 1.10)" : "");
        std::printf("\n");
    }
    return 0;
}

int RunPhase(QApplication& app, bool bAnalytics, int nSeconds, int nDetectEvery)
{
    tessel::CGroupManager::Instance().ApplySite(StreetSite(nDetectEvery, bAnalytics));

    std::mutex mutex;
    std::map<std::string, Sent> mapSent;
    Analytics::CAnalyticsHub& hub = Analytics::CAnalyticsHub::Instance();
    hub.SetReportObserver([&](const quorra::IntelAlarmEventInfo& info, int64_t nFirstSeenMs) {
        if (info.AlarmType != quorra::AlarmTypeLinkageChannel)
            return;
        std::lock_guard<std::mutex> lock(mutex);
        Sent& sent = mapSent[Key(info.IntelAlarmInfo.LinkageUid, info.AlarmSourceName, info.AlarmTime)];
        sent.bAmbiguous = sent.nSentMs != 0;
        sent.nFirstSeenMs = nFirstSeenMs;
        sent.nSentMs = SteadyMs();
    });
    CPaintWatch watch(mutex, mapSent);
    app.installEventFilter(&watch);

    QTemporaryDir dir;
    CDashboardStateStore store(dir.filePath("dashboard.ini"));
    CDashboardWindow window(store);
    auto upPlugin = std::make_unique<CDashboardPlugin>("LinkageSnapAlarm");
    if (!upPlugin->Load(LSA_PLUGIN_DIR) || !window.AddPlugin(std::move(upPlugin))) {
        std::fprintf(stderr, "bench_analyticslatency: the plug-in does not load\n");
        return 1;
    }
    window.resize(1600, 900);
    window.show();
    hub.Start();
    quorra::IAIWidget* pWidget = window.CurrentWidget();
    pWidget->stateList() = {{"{pano}", {}}, {"{linked}", {}}, {"{lawn}", {}}};
    pWidget->readState();
    double dCpuStart = 0;
    std::map<int, ThreadCpu> mapThreadsStart;
    QTimer::singleShot(kSettleSeconds * 1000, &app, [&] {
        dCpuStart = CpuSecondsSelf();
        mapThreadsStart = ThreadTimes();
    });
    QTimer::singleShot((kSettleSeconds + nSeconds) * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double dCpu = CpuSecondsSelf() - dCpuStart;
    PrintParts(dCpu, PartSeconds(mapThreadsStart, ThreadTimes()), nSeconds);
    if (!bAnalytics)
        return 0;

    const Analytics::AnalyticsCounters pano = hub.Find("{pano}")->Counters();
    const Analytics::AnalyticsCounters linked = hub.Find("{linked}")->Counters();
    pWidget->saveState();
    hub.Stop();
    app.removeEventFilter(&watch);

    std::lock_guard<std::mutex> lock(mutex);
    std::vector<double> vecTotal, vecAnalysis, vecView;
    int nNotShown = 0, nAmbiguous = 0;
    for (const auto& [strKey, sent] : mapSent) {
        if (sent.bAmbiguous) {
            ++nAmbiguous;
            continue;
        }
        if (sent.nPaintedMs == 0) {
            ++nNotShown; // cleared by a newer linkage before it was painted
            continue;
        }
        vecTotal.push_back(double(sent.nPaintedMs - sent.nFirstSeenMs));
        vecAnalysis.push_back(double(sent.nSentMs - sent.nFirstSeenMs));
        vecView.push_back(double(sent.nPaintedMs - sent.nSentMs));
    }
    std::printf("Street footage, %d s, panoramic + 2 linked cameras in the plug-in's windows, detection every %d "
                "analysis frame(s), platform %s\n",
                nSeconds, nDetectEvery, qPrintable(QGuiApplication::platformName()));
    std::printf("  panoramic alarms %llu, linkage alarms %zu (%d cleared by a newer linkage before painted, %d not "
                "matched), frames analysed %llu + %llu, dropped %llu + %llu\n",
                static_cast<unsigned long long>(pano.nAlarms), mapSent.size(), nNotShown, nAmbiguous,
                static_cast<unsigned long long>(pano.nAnalysed), static_cast<unsigned long long>(linked.nAnalysed),
                static_cast<unsigned long long>(pano.nDropped), static_cast<unsigned long long>(linked.nDropped));
    PrintFigure("first detection -> card painted (goal median <= 1000)", vecTotal);
    PrintFigure("first detection -> alarm sent", vecAnalysis);
    PrintFigure("alarm sent -> card painted", vecView);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QFile::exists(QString::fromLatin1(kVideo))) {
        std::fprintf(stderr, "bench_analyticslatency: no footage (install opencv-doc)\n");
        return 1;
    }
    QApplication app(argc, argv);
    const QStringList lstArgs = app.arguments();
    auto option = [&](const char* pszName, int nDefault) {
        const int i = lstArgs.indexOf(QLatin1String(pszName));
        return i >= 0 && i + 1 < lstArgs.size() ? lstArgs.at(i + 1).toInt() : nDefault;
    };
    const int nSeconds = std::max(5, option("--seconds", kDefaultSeconds));
    const int nDetectEvery = std::clamp(option("--detect-every", 1), 1, 4);
    const int iPhase = lstArgs.indexOf(QLatin1String("--phase"));
    if (iPhase < 0)
        return RunPairs(lstArgs, std::max(1, option("--rounds", 1)));
    return RunPhase(app, lstArgs.value(iPhase + 1) != QLatin1String("plain"), nSeconds, nDetectEvery);
}
