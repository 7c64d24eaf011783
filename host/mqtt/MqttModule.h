#pragma once

// What the host knows of its MQTT connections. The clients themselves, with
// libmosquitto and the OpenSSL it brings, live in a module of their own that
// the host loads only when a broker is asked for, so that a start without one
// never pays for those libraries.

#include "HostExport.h"
#include "mqtt/BrokerSettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace quorra {
class IAlarmEvent;
} // namespace quorra

namespace mqtt {

// Takes alarms from a broker and hands them to the host's alarm transfer.
class HOST_API IAlarmIntake : public QObject
{
    Q_OBJECT
public:
    enum class State { Stopped, Connecting, Connected, Retrying, Failed };
    Q_ENUM(State)

    // Turns one payload into an event and its alarm id (empty when it has
    // none); null with a reason. Runs on the network thread.
    using Decoder = std::function<std::shared_ptr<quorra::IAlarmEvent>(const QByteArray& baPayload,
                                                                       std::string& strAlarmId, QString& strError)>;

    using QObject::QObject;
    ~IAlarmIntake() override;

    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual State CurrentState() const = 0;
    virtual QString StateDetail() const = 0;

signals:
    // From the network thread, once per change; detail says why (readable).
    void signalStateChanged(mqtt::IAlarmIntake::State eState, const QString& strDetail);
    // The queue was full and alarms were dropped: once per episode.
    void signalAlarmsDropped();
    // The queue ran empty after an episode of this many drops.
    void signalDropEpisodeEnded(quint64 nDropped);
};

// Publishes what the station raises to a broker.
class HOST_API IAlarmPublisher
{
public:
    // One event as a message; empty leaves it out (such as alarms that came
    // from a broker, so that alarms do not go round between stations).
    using Encoder = std::function<QByteArray(const quorra::IAlarmEvent& event)>;

    virtual ~IAlarmPublisher();
    // Starts connecting; false with a reason when the settings are refused.
    virtual bool Start(QString& strError) = 0;
    virtual void Stop() = 0;
    // Publishes every alarm the host's alarm transfer carries, encoded by
    // fnEncode in the thread that raised it.
    virtual void PublishRaisedAlarms(Encoder fnEncode) = 0;
};

class HOST_API IMqttModule
{
public:
    virtual ~IMqttModule();
    // Not started yet; the intake lives in the calling thread.
    virtual std::unique_ptr<IAlarmIntake> NewIntake(BrokerSettings settings, IAlarmIntake::Decoder decoder) = 0;
    virtual std::unique_ptr<IAlarmPublisher> NewPublisher(BrokerSettings settings) = 0;
};

// Raised with the module's interface; a module built for another version refuses to load.
constexpr int kMqttModuleVersion = 1;
// The module's entry point: its one instance, or null for another version.
using MqttModuleEntry = IMqttModule* (*)(int nVersion);
constexpr const char* kMqttModuleEntry = "lsa_mqtt_module";

// Where the module is: $LSA_MQTT_MODULE when set, else beside the host library.
HOST_API QString DefaultMqttModulePath();
// Loads the module (once per path; it stays loaded). Null with the reason in
// strError when the file is missing, is not a library or lacks the entry point.
HOST_API IMqttModule* LoadMqttModule(const QString& strPath, QString& strError);

} // namespace mqtt
