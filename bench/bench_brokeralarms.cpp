// Alarms over an MQTT broker (a mosquitto this program starts on a loopback
// port) into the linkage dialog, each figure next to its in-process floor, the
// same alarm posted to the host's alarm transfer from a worker thread:
// - latency of a linkage alarm (three persons, 1080p pictures) from the call
//   that sends it to the card painted (the dialog's handling, then the layout
//   and paint of the linkage panel), median and 99th percentile, alternating
//   broker and floor;
// - sustained intake with saving off: the highest rate of a ladder at which
//   every alarm is shown (none dropped, none left waiting) and the GUI
//   thread's longest block, probed by a 1 ms timer, stays within 50 ms.
// Also printed: the payload's size and its decoding time on the network thread.
// Not a Google Benchmark: one latency series or one rate step is one measurement.
// Options: --samples N (latency samples of each path, default 200), --latency-only.

#include "tests/support/TestBroker.h"

#include "alarmview/LinkageSnapAlarmDlg.h"
#include "alarmview/LinkageSnapAlarmListener.h"
#include "settings/LinkageSetupStore.h"
#include "sim/AlarmFactory.h"
#include "sim/AlarmPayload.h"

#include "Fendra/Singleton.h"
#include "mqtt/AlarmIntake.h"
#include "mqtt/AlarmPublisher.h"
#include "quorra/AlarmTransfer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace LinkageSnapAlarm;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPersons = 3;
constexpr int kDefaultLatencySamples = 200;
constexpr double kLongestBlockMs = 50;
constexpr double kStepSeconds = 4;
constexpr double kRates[] = {2, 5, 10, 15, 20, 30, 40, 60};
const AlarmSim::SimCamera kCamera{"", "Bench camera"}; // every window is empty: the empty source is in one

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> vec, double dFraction)
{
    std::sort(vec.begin(), vec.end());
    return vec[std::min(vec.size() - 1, size_t(dFraction * double(vec.size())))];
}

// The dialog, listening, with a linkage open; counts the alarms it handled.
struct Station
{
    CLinkageSnapAlarmDlg dlg;
    QWidget* pLinkagePanel = dlg.findChild<QWidget*>("m_pWidgetLinkagePic");
    std::atomic<int> nHandled{0};
    Clock::time_point tLastHandled;

    Station()
    {
        dlg.resize(1920, 1080);
        dlg.show();
        dlg.SetAlarmListening(true);
        // Connected after the dialog's own slot, so it runs once the card is in the
        // strip; the card is then laid out and painted, which the user waits for too.
        QObject::connect(dlg.AlarmListener(), &CLinkageSnapAlarmListener::signalNewAlarmComing, &dlg, [this] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            pLinkagePanel->repaint();
            tLastHandled = Clock::now();
            ++nHandled;
        });
    }
    void WaitHandled(int nCount)
    {
        while (nHandled.load() < nCount)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
};

struct Latency
{
    std::vector<double> vecBroker, vecFloor;
};

Latency MeasureLatency(Station& station, mqtt::CAlarmPublisher& publisher, const AlarmSim::CAlarmFactory& factory,
                       int nSamples)
{
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    Latency latency;
    for (int i = 0; i < nSamples; ++i) {
        quorra::IntelAlarmEventInfo info = factory.Linkage(kCamera, "bench", i);
        info.AlarmID = "latency-" + std::to_string(i);
        const QByteArray baPayload = AlarmSim::EncodeAlarmPayload(info);
        auto spEvent = std::make_shared<quorra::CIntelAlarmEvent>(info);

        int nBefore = station.nHandled.load();
        Clock::time_point tSent = Clock::now();
        publisher.Publish(baPayload);
        station.WaitHandled(nBefore + 1);
        latency.vecBroker.push_back(Ms(station.tLastHandled - tSent));

        nBefore = station.nHandled.load();
        QThread* pSender = QThread::create([&] {
            tSent = Clock::now();
            transfer.PostAlarmEvent(spEvent);
        });
        pSender->start();
        station.WaitHandled(nBefore + 1);
        pSender->wait();
        delete pSender;
        latency.vecFloor.push_back(Ms(station.tLastHandled - tSent));
    }
    return latency;
}

struct Step
{
    int nSent = 0;
    int nShown = 0;
    double dLongestBlockMs = 0;
};

// Sends at dRate for kStepSeconds from a worker, through the broker or the
// transfer, and lets the GUI thread run meanwhile, probing its longest block.
Step RunStep(Station& station, mqtt::CAlarmPublisher* pPublisher, const std::vector<QByteArray>& vecPayloads,
             const std::vector<std::shared_ptr<quorra::IAlarmEvent>>& vecEvents, double dRate, int nSerial)
{
    Step step;
    const int nAlarms = int(dRate * kStepSeconds);
    const int nBefore = station.nHandled.load();
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    std::atomic<bool> bDone{false};
    QThread* pSender = QThread::create([&] {
        const auto tStart = Clock::now();
        for (int i = 0; i < nAlarms; ++i) {
            std::this_thread::sleep_until(
                tStart + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(i / dRate)));
            if (pPublisher) {
                QByteArray ba = vecPayloads[size_t(i) % vecPayloads.size()];
                ba.replace("\"step-id\"", QString("\"%1-%2\"").arg(nSerial).arg(i).toUtf8());
                pPublisher->Publish(ba);
            } else {
                transfer.PostAlarmEvent(vecEvents[size_t(i) % vecEvents.size()]);
            }
        }
        bDone = true;
    });
    QElapsedTimer timerProbe;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        step.dLongestBlockMs = std::max(step.dLongestBlockMs, double(timerProbe.nsecsElapsed()) / 1e6);
        timerProbe.restart();
    });
    timerProbe.start();
    probe.start(1);
    pSender->start();
    // The step's window, plus one second for alarms still on their way.
    QElapsedTimer timerStep;
    timerStep.start();
    while (!bDone.load() || timerStep.elapsed() < qint64((kStepSeconds + 1) * 1000))
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    probe.stop();
    pSender->wait();
    delete pSender;
    step.nSent = nAlarms;
    step.nShown = station.nHandled.load() - nBefore;
    // Whatever is left waiting is let through before the next step.
    while (transfer.PendingEvents() > 0)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return step;
}

double SustainedRate(Station& station, mqtt::CAlarmPublisher* pPublisher, const AlarmSim::CAlarmFactory& factory,
                     const char* szPath)
{
    std::vector<QByteArray> vecPayloads;
    std::vector<std::shared_ptr<quorra::IAlarmEvent>> vecEvents;
    for (int i = 0; i < 8; ++i) {
        quorra::IntelAlarmEventInfo info = factory.Linkage(kCamera, "bench", i);
        info.AlarmID = "step-id";
        vecPayloads.push_back(AlarmSim::EncodeAlarmPayload(info));
        vecEvents.push_back(std::make_shared<quorra::CIntelAlarmEvent>(info));
    }
    static int s_nSerial = 0;
    double dBest = 0;
    for (double dRate : kRates) {
        const Step step = RunStep(station, pPublisher, vecPayloads, vecEvents, dRate, ++s_nSerial);
        std::printf("  %-10s %5.0f alarms/s: shown %d of %d, GUI thread's longest block %.1f ms\n", szPath, dRate,
                    step.nShown, step.nSent, step.dLongestBlockMs);
        std::fflush(stdout);
        if (step.nShown < step.nSent || step.dLongestBlockMs > kLongestBlockMs)
            break;
        dBest = dRate;
    }
    return dBest;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dirHome; // the bench's settings stay out of the user's data
    qputenv("XDG_DATA_HOME", dirHome.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", dirHome.path().toUtf8());
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules("lsa.*=false");
    QCommandLineParser parser;
    const QCommandLineOption optSamples("samples", "Latency samples of each path (default 200).", "count",
                                        QString::number(kDefaultLatencySamples));
    const QCommandLineOption optLatencyOnly("latency-only", "Measure the latency only, not the sustained rate.");
    parser.addOptions({optSamples, optLatencyOnly});
    parser.addHelpOption();
    parser.process(app);
    const int nSamples = parser.value(optSamples).toInt();
    if (nSamples < 1) {
        std::fprintf(stderr, "bench_brokeralarms: --samples wants a positive count\n");
        return 1;
    }

    CTestBroker broker;
    if (!broker.Prepare() || !broker.Start()) {
        std::fprintf(stderr, "bench_brokeralarms: mosquitto did not start\n");
        return 1;
    }
    LinkageSetupInfo setup;
    setup.IsSavePicture = false;
    setup.PreviewMode = 3;
    CLinkageSetupStore::Instance()->SaveSetup(setup);

    mqtt::BrokerSettings settings;
    QString strError;
    settings.SetUrl(broker.Url(), strError);
    mqtt::CAlarmIntake intake(settings, &AlarmSim::DecodeAlarmPayload);
    intake.Start();
    settings.strTopic = "lsa/alarms/bench";
    mqtt::CAlarmPublisher publisher(settings);
    if (!publisher.Start(strError))
        return 1;
    while (intake.CurrentState() != mqtt::CAlarmIntake::State::Connected || !publisher.IsConnected())
        QApplication::processEvents(QEventLoop::AllEvents, 10);

    const AlarmSim::CAlarmFactory factory(QSize(1920, 1080), kPersons);
    Station station;
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    transfer.PostAlarmEvent(std::make_shared<quorra::CIntelAlarmEvent>(factory.Panoramic(kCamera, "bench", 0)));
    station.WaitHandled(1);

    {
        quorra::IntelAlarmEventInfo info = factory.Linkage(kCamera, "bench", 0);
        const QByteArray baPayload = AlarmSim::EncodeAlarmPayload(info);
        std::string strId;
        const auto tStart = Clock::now();
        constexpr int kDecodes = 50;
        for (int i = 0; i < kDecodes; ++i)
            AlarmSim::DecodeAlarmPayload(baPayload, strId, strError);
        std::printf("payload %.0f KiB, decoded on the network thread in %.2f ms\n", baPayload.size() / 1024.0,
                    Ms(Clock::now() - tStart) / kDecodes);
    }
    const Latency latency = MeasureLatency(station, publisher, factory, nSamples);
    const double dBrokerMedian = Percentile(latency.vecBroker, 0.5), dFloorMedian = Percentile(latency.vecFloor, 0.5);
    const double dBrokerP99 = Percentile(latency.vecBroker, 0.99), dFloorP99 = Percentile(latency.vecFloor, 0.99);
    std::printf("\nlatency of a 1080p linkage alarm with %d persons, %d samples each, sent to card painted:\n",
                kPersons, nSamples);
    std::printf("  broker (loopback):   median %.2f ms, p99 %.2f ms\n", dBrokerMedian, dBrokerP99);
    std::printf("  alarm transfer floor: median %.2f ms, p99 %.2f ms\n", dFloorMedian, dFloorP99);
    std::printf("  ratio broker / floor: median %.2f, p99 %.2f (aim <= 1.2)\n\n", dBrokerMedian / dFloorMedian,
                dBrokerP99 / dFloorP99);
    std::fflush(stdout);
    if (parser.isSet(optLatencyOnly)) {
        publisher.Stop();
        intake.Stop();
        return 0;
    }

    std::printf("sustained intake, saving off, %.0f s per step:\n", kStepSeconds);
    const double dFloorRate = SustainedRate(station, nullptr, factory, "transfer");
    const double dBrokerRate = SustainedRate(station, &publisher, factory, "broker");
    std::printf("  highest sustained rate: broker %.0f alarms/s, in-process floor %.0f alarms/s\n", dBrokerRate,
                dFloorRate);
    std::printf("  broker drops so far: %llu\n", intake.GetCounters().nDropped);
    publisher.Stop();
    intake.Stop();
    return 0;
}
