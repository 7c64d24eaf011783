#pragma once

#include "HostExport.h"
#include "mqtt/BrokerSettings.h"
#include "mqtt/MqttModule.h"

#include <QByteArray>
#include <QMetaObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

struct mosquitto;

namespace quorra {
class IAlarmEvent;
} // namespace quorra

namespace mqtt {

// Publishes alarms to an MQTT broker (QoS 1) from any thread. The library's own
// network thread connects, and reconnects with a growing delay after a loss;
// messages published meanwhile wait for the broker, at most kMaxWaiting of them.
class HOST_API CAlarmPublisher : public IAlarmPublisher
{
public:
    static constexpr int kMaxWaiting = 1000; // messages not yet acknowledged, at most
    static constexpr int kKeepAliveSeconds = 30;
    static constexpr int kFirstRetrySeconds = 1;
    static constexpr int kMaxRetrySeconds = 30;

    explicit CAlarmPublisher(BrokerSettings settings);
    ~CAlarmPublisher() override;
    CAlarmPublisher(const CAlarmPublisher&) = delete;
    CAlarmPublisher& operator=(const CAlarmPublisher&) = delete;

    // Starts connecting; false with a reason when the settings are refused.
    bool Start(QString& strError) override;
    void Stop() override;

    // Sends one payload to the settings' topic. False (and counted) when too
    // many messages wait for the broker already, or the library refuses it.
    bool Publish(const QByteArray& baPayload);
    // Waits until fewer than nWaiting messages wait, or the time is up; false then.
    bool WaitUntilWaitingBelow(int nWaiting, int nTimeoutMs);

    void PublishRaisedAlarms(Encoder fnEncode) override;

    bool IsConnected() const { return m_bConnected.load(); }
    QString LastRefusal() const;
    quint64 Published() const { return m_nPublished.load(); }
    quint64 Acknowledged() const { return m_nAcknowledged.load(); }
    quint64 Dropped() const { return m_nDropped.load(); }

private:
    static void OnConnect(mosquitto* pClient, void* pThis, int nConnack);
    static void OnDisconnect(mosquitto* pClient, void* pThis, int nCode);
    static void OnPublish(mosquitto* pClient, void* pThis, int nMid);

    bool IsStarted() const;

    const BrokerSettings m_settings;
    mutable std::mutex m_mutexClient; // guards m_pClient against a stop while publishing
    mosquitto* m_pClient = nullptr;
    QMetaObject::Connection m_connRaised;

    mutable std::mutex m_mutex;
    std::condition_variable m_cvAcknowledged;
    QString m_strLastRefusal;
    std::atomic<bool> m_bConnected{false};
    std::atomic<quint64> m_nPublished{0}, m_nAcknowledged{0}, m_nDropped{0};
};

} // namespace mqtt
