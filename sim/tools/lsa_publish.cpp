// lsa-publish: sends the alarms of a replay file to an MQTT broker, one alarm
// per message (QoS 1), timed by the file's "at" keys and the replay options,
// with pictures inline, so that many operator stations can receive them.

#include "mqtt/AlarmPublisher.h"
#include "sim/AlarmPayload.h"
#include "sim/AlarmReplay.h"
#include "sim/BrokerOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr int kConnectWaitMs = 10000;
constexpr int kFinalAckWaitMs = 30000;
constexpr int kPollMs = 20;
const char* const kDefaultTopic = "lsa/alarms/replay";

// The file a line at a time through the replay line parser; bad lines are named and skipped.
bool ReadEvents(const QString& strPath, std::vector<AlarmSim::ReplayEvent>& vecEvents)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "lsa-publish: %s cannot be read\n", qPrintable(strPath));
        return false;
    }
    AlarmSim::CPictureStore pictures(QFileInfo(strPath).absolutePath());
    for (int nLine = 1; !file.atEnd(); ++nLine) {
        const QByteArray baLine = file.readLine().trimmed();
        if (baLine.isEmpty() || baLine.startsWith('#'))
            continue;
        AlarmSim::ReplayEvent event;
        QString strError;
        if (AlarmSim::ParseReplayLine(baLine, pictures, event, strError))
            vecEvents.push_back(std::move(event));
        else
            std::fprintf(stderr, "lsa-publish: %s, line %d: %s (skipped)\n", qPrintable(strPath), nLine,
                         qPrintable(strError));
    }
    return true;
}

bool WaitForConnection(const mqtt::CAlarmPublisher& publisher)
{
    for (int nWaited = 0; nWaited < kConnectWaitMs; nWaited += kPollMs) {
        if (publisher.IsConnected())
            return true;
        if (!publisher.LastRefusal().isEmpty())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    const QString strWhy = publisher.LastRefusal();
    std::fprintf(stderr, "lsa-publish: no connection to the broker%s%s\n", strWhy.isEmpty() ? "" : ": ",
                 qPrintable(strWhy));
    return false;
}

// Sends the schedule once (or for ever with looping); each round gets ids of its own.
void Publish(mqtt::CAlarmPublisher& publisher, std::vector<AlarmSim::ReplayEvent>& vecEvents,
             const AlarmSim::ReplayOptions& options)
{
    const auto vecSchedule = AlarmSim::ScheduleReplay(vecEvents, options);
    for (int nRound = 0; nRound == 0 || (options.bLoop && !vecSchedule.empty()); ++nRound) {
        const auto tStart = std::chrono::steady_clock::now();
        for (const auto& [dAt, nIndex] : vecSchedule) {
            std::this_thread::sleep_until(
                tStart
                + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(dAt)));
            quorra::IntelAlarmEventInfo info = vecEvents[nIndex].info;
            if (!info.AlarmID.empty() && nRound > 0)
                info.AlarmID += "#" + std::to_string(nRound);
            else if (info.AlarmID.empty())
                info.AlarmID = QString("replay-%1-%2").arg(nRound).arg(nIndex).toStdString();
            // Waits for the broker rather than dropping: this tool has nothing else to do.
            publisher.WaitUntilWaitingBelow(mqtt::CAlarmPublisher::kMaxWaiting, kFinalAckWaitMs);
            publisher.Publish(AlarmSim::EncodeAlarmPayload(info));
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    app.setApplicationName("lsa-publish");
    QCommandLineParser parser;
    parser.setApplicationDescription("Sends the alarms of a replay file to an MQTT broker.");
    parser.addHelpOption();
    parser.addPositionalArgument("file", "Replay file (JSON lines).");
    const QCommandLineOption optBroker("broker", "The broker: mqtt://host[:port] or mqtts://host[:port].", "url");
    const QCommandLineOption optTopic("topic", QString("Topic to publish on (default %1).").arg(kDefaultTopic), "topic",
                                      kDefaultTopic);
    const QCommandLineOption optSpeed("speed", "Time scale; 0 sends at once (default 1).", "factor", "1");
    const QCommandLineOption optBurst("burst", "Send the alarms in groups of this size.", "count", "1");
    const QCommandLineOption optDisorder("disorder", "Send alarms up to this many places late.", "places", "0");
    const QCommandLineOption optSeed("seed", "Seed of the out-of-order sending.", "number", "1");
    const QCommandLineOption optLoop("loop", "Send the file again and again.");
    parser.addOptions({optBroker, optTopic, optSpeed, optBurst, optDisorder, optSeed, optLoop});
    AlarmSim::CBrokerOptions brokerOptions;
    brokerOptions.AddOptions(parser, false);
    parser.process(app);

    if (parser.positionalArguments().size() != 1 || !parser.isSet(optBroker)) {
        std::fprintf(stderr, "lsa-publish: give --broker URL and one replay file\n");
        return 2;
    }
    AlarmSim::ReplayOptions options;
    double dBurst = 1, dDisorder = 0, dSeed = 1;
    if (!AlarmSim::ReadNumberOption(parser, optSpeed, 0, 1e6, options.dSpeed)
        || !AlarmSim::ReadNumberOption(parser, optBurst, 1, 1e6, dBurst)
        || !AlarmSim::ReadNumberOption(parser, optDisorder, 0, 1e6, dDisorder)
        || !AlarmSim::ReadNumberOption(parser, optSeed, 0, 4294967295.0, dSeed))
        return 2;
    options.nBurst = int(dBurst);
    options.nDisorder = int(dDisorder);
    options.uSeed = quint32(dSeed);
    options.bLoop = parser.isSet(optLoop);

    mqtt::BrokerSettings settings;
    QString strError;
    if (!brokerOptions.Read(parser, parser.value(optBroker), false, settings, strError)) {
        std::fprintf(stderr, "lsa-publish: %s\n", qPrintable(strError));
        return 2;
    }
    settings.strTopic = parser.value(optTopic);
    std::vector<AlarmSim::ReplayEvent> vecEvents;
    if (!ReadEvents(parser.positionalArguments().first(), vecEvents))
        return 1;
    mqtt::CAlarmPublisher publisher(settings);
    if (!publisher.Start(strError)) {
        std::fprintf(stderr, "lsa-publish: %s\n", qPrintable(strError));
        return 1;
    }
    if (!WaitForConnection(publisher))
        return 1;
    Publish(publisher, vecEvents, options);
    const bool bAllSent = publisher.WaitUntilWaitingBelow(1, kFinalAckWaitMs);
    std::fprintf(stderr, "lsa-publish: %llu alarms sent to %s on %s, %llu acknowledged\n", publisher.Published(),
                 qPrintable(settings.Url()), qPrintable(settings.strTopic), publisher.Acknowledged());
    return bAllSent && publisher.Dropped() == 0 ? 0 : 1;
}
