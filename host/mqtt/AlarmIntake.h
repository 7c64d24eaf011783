#pragma once

#include "Fendra/WorkerThread.h"
#include "HostExport.h"
#include "mqtt/AlarmQueue.h"
#include "mqtt/BrokerSettings.h"
#include "mqtt/MqttModule.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

struct mosquitto;
struct mosquitto_message;

namespace mqtt {

// Takes alarms from an MQTT broker: subscribes on a network thread of its own,
// decodes each message there, drops repeats of an "AlarmID" and hands the
// alarms to the host's alarm transfer from the thread this object lives in,
// one at a time, through a bounded queue. That thread never waits on the network.
class HOST_API CAlarmIntake : public IAlarmIntake
{
    Q_OBJECT
public:
    struct Counters
    {
        quint64 nReceived = 0;   // messages taken from the broker
        quint64 nDelivered = 0;  // alarms handed to the alarm transfer
        quint64 nDuplicates = 0; // repeats of an alarm id seen before
        quint64 nMalformed = 0;  // payloads the decoder refused
        quint64 nOversize = 0;   // payloads over the size limit, refused unread
        quint64 nDropped = 0;    // oldest alarms dropped from a full queue
        quint64 nConnects = 0;   // connection attempts
    };

    static constexpr int kRecentIds = 10000;  // alarm ids remembered against repeats
    static constexpr int kQuoteChars = 160;   // of a refused payload, in its log line
    static constexpr int kFirstRetryMs = 500; // backoff after a lost or refused connection
    static constexpr int kMaxRetryMs = 30000; // doubling up to this
    static constexpr int kKeepAliveSeconds = 30;

    CAlarmIntake(BrokerSettings settings, Decoder decoder, QObject* parent = nullptr);
    ~CAlarmIntake() override;

    void Start() override;
    void Stop() override; // waits for the network thread (at most one loop turn, 100 ms)

    State CurrentState() const override;
    QString StateDetail() const override;
    Counters GetCounters() const;
    const CAlarmQueue& Queue() const { return m_queue; }
    const BrokerSettings& Settings() const { return m_settings; }

private:
    void Run();
    bool RunConnection(mosquitto* pClient, QString& strReason);
    bool WaitBeforeRetry(int nMs);
    bool IsStopping();
    void SetState(State eState, const QString& strDetail);
    void TakeMessage(const mosquitto_message* pMessage);
    bool IsRepeat(const std::string& strAlarmId);
    void DeliverNext();

    static void OnConnect(mosquitto* pClient, void* pThis, int nConnack);
    static void OnMessage(mosquitto* pClient, void* pThis, const mosquitto_message* pMessage);
    static void OnLog(mosquitto* pClient, void* pThis, int nLevel, const char* szText);

    const BrokerSettings m_settings;
    const Decoder m_decoder;
    CAlarmQueue m_queue;

    std::mutex m_mutexStop;
    std::condition_variable m_cvStop;
    Fendra::CWorkerThread m_worker{m_mutexStop, m_cvStop};

    mutable std::mutex m_mutexState;
    State m_eState = State::Stopped;
    QString m_strDetail;

    // Network thread only.
    int m_nRefusal = 0;            // the last connection refusal, 0 when none
    bool m_bSessionUp = false;     // the broker accepted this connection
    QString m_strLastLibraryError; // the library's last error line (TLS reasons)
    std::unordered_set<std::string> m_setRecentIds;
    std::deque<std::string> m_deqRecentIds;

    std::atomic<quint64> m_nReceived{0}, m_nDelivered{0}, m_nDuplicates{0}, m_nMalformed{0}, m_nOversize{0},
        m_nConnects{0};
};

} // namespace mqtt

Q_DECLARE_METATYPE(mqtt::CAlarmIntake::State)
