#pragma once

#include <QCommandLineOption>
#include <QObject>

#include <memory>

class QCommandLineParser;

namespace mqtt {
class IAlarmIntake;
class IAlarmPublisher;
class IMqttModule;
} // namespace mqtt

namespace AlarmSim {
class CBrokerOptions;
class CAlarmReplay;
class CAlarmSimulator;
class CAlarmSimulatorPanel;
} // namespace AlarmSim

// The dashboard's alarm sources: the simulator (on by default) with its panel,
// a replay file, or an MQTT broker; and publishing what the station raises to
// a broker. Options: see AddOptions.
class CDemoAlarms : public QObject
{
    Q_OBJECT
public:
    CDemoAlarms();
    ~CDemoAlarms() override;

    void AddOptions(QCommandLineParser& parser) const;
    // Starts what the options ask for; false (with a message on stderr) when
    // they are wrong or the replay file cannot be read at all.
    bool Start(const QCommandLineParser& parser, bool bShowPanel);
    void Stop();

signals:
    // The broker connection's state, readable, for the dashboard's status line.
    void signalStatusChanged(const QString& strStatus);

private:
    bool StartBroker(const QCommandLineParser& parser);
    bool StartPublishing(const QCommandLineParser& parser);
    // The broker clients' module, loaded on first use; null (and said) when missing.
    mqtt::IMqttModule* MqttModule(const QString& strUse);

    QCommandLineOption m_optNoSim{"no-sim", "Raise no simulated alarms."};
    QCommandLineOption m_optSimRate{"sim-rate", "Simulated linkages per second (default 0.5).", "rate", "0.5"};
    QCommandLineOption m_optSimBurst{"sim-burst", "Linkage alarms after each panoramic alarm (default 3).", "count",
                                     "3"};
    QCommandLineOption m_optSimPersons{"sim-persons", "Persons per linkage alarm (default 3).", "count", "3"};
    QCommandLineOption m_optSimResolution{"sim-resolution", "Picture size: 1080p or 4k (default 1080p).", "size",
                                          "1080p"};
    QCommandLineOption m_optNoPanel{"no-sim-panel", "Do not show the simulator's control panel."};
    QCommandLineOption m_optReplay{"replay", "Play the alarms of a JSON-lines file instead of simulating.", "file"};
    QCommandLineOption m_optReplaySpeed{"replay-speed", "Time scale of the replay; 0 sends at once (default 1).",
                                        "factor", "1"};
    QCommandLineOption m_optReplayBurst{"replay-burst", "Deliver the replay's alarms in groups of this size.", "count",
                                        "1"};
    QCommandLineOption m_optReplayDisorder{"replay-disorder",
                                           "Deliver alarms up to this many places late (out of order).", "places", "0"};
    QCommandLineOption m_optReplaySeed{"replay-seed", "Seed of the out-of-order delivery.", "number", "1"};
    QCommandLineOption m_optReplayLoop{"replay-loop", "Play the replay file again and again."};
    QCommandLineOption m_optBroker{"broker",
                                   "Take alarms from this MQTT broker (mqtt://host[:port] or mqtts://...) "
                                   "instead of simulating.",
                                   "url"};
    QCommandLineOption m_optPublish{"publish", "Publish the alarms this station raises to this MQTT broker.", "url"};
    QCommandLineOption m_optPublishTopic{"publish-topic", "Topic to publish on (default lsa/alarms/<host name>).",
                                         "topic"};
    std::unique_ptr<AlarmSim::CBrokerOptions> m_upBrokerOptions;

    std::unique_ptr<AlarmSim::CAlarmSimulator> m_upSimulator;
    std::unique_ptr<AlarmSim::CAlarmSimulatorPanel> m_upPanel;
    std::unique_ptr<AlarmSim::CAlarmReplay> m_upReplay;
    std::unique_ptr<mqtt::IAlarmIntake> m_upIntake;
    std::unique_ptr<mqtt::IAlarmPublisher> m_upPublisher;
};
