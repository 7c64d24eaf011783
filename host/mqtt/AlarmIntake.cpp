#include "mqtt/AlarmIntake.h"

#include "Fendra/Singleton.h"
#include "mqtt/MqttClient.h"
#include "mqtt/MqttLogging.h"
#include "quorra/AlarmTransfer.h"

#include <QMetaEnum>

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

namespace mqtt {
namespace {

constexpr int kLoopMs = 100; // how long one network turn may wait; bounds the stop
constexpr int kQoS = 1;

// At most kQuoteChars characters of a payload, printable, for one log line.
QString Quote(const QByteArray& baPayload)
{
    QString strQuote = QString::fromUtf8(baPayload.left(4 * CAlarmIntake::kQuoteChars)).left(CAlarmIntake::kQuoteChars);
    for (QChar& ch : strQuote)
        if (!ch.isPrint())
            ch = QLatin1Char('?');
    return strQuote;
}

bool IsTlsFailure(int nCode, const QString& strLibraryError)
{
    return nCode == MOSQ_ERR_TLS || nCode == MOSQ_ERR_TLS_HANDSHAKE || strLibraryError.contains("OpenSSL")
           || strLibraryError.contains("TLS");
}

} // namespace

CAlarmIntake::CAlarmIntake(BrokerSettings settings, Decoder decoder, QObject* parent)
    : IAlarmIntake(parent)
    , m_settings(std::move(settings))
    , m_decoder(std::move(decoder))
    , m_queue(m_settings.nQueueAlarms, m_settings.nQueueBytes)
{
    qRegisterMetaType<mqtt::CAlarmIntake::State>();
}

CAlarmIntake::~CAlarmIntake()
{
    Stop();
}

void CAlarmIntake::Start()
{
    m_worker.Start([this] { Run(); });
}

void CAlarmIntake::Stop()
{
    if (m_worker.Stop())
        SetState(State::Stopped, QString());
}

CAlarmIntake::State CAlarmIntake::CurrentState() const
{
    std::lock_guard<std::mutex> lock(m_mutexState);
    return m_eState;
}

QString CAlarmIntake::StateDetail() const
{
    std::lock_guard<std::mutex> lock(m_mutexState);
    return m_strDetail;
}

CAlarmIntake::Counters CAlarmIntake::GetCounters() const
{
    Counters counters;
    counters.nReceived = m_nReceived.load();
    counters.nDelivered = m_nDelivered.load();
    counters.nDuplicates = m_nDuplicates.load();
    counters.nMalformed = m_nMalformed.load();
    counters.nOversize = m_nOversize.load();
    counters.nDropped = m_queue.Dropped();
    counters.nConnects = m_nConnects.load();
    return counters;
}

void CAlarmIntake::SetState(State eState, const QString& strDetail)
{
    {
        std::lock_guard<std::mutex> lock(m_mutexState);
        if (m_eState == eState && m_strDetail == strDetail)
            return;
        m_eState = eState;
        m_strDetail = strDetail;
    }
    const char* szState = QMetaEnum::fromType<State>().valueToKey(int(eState));
    if (eState == State::Retrying || eState == State::Failed)
        qCWarning(lcMqtt, "broker %s: %s: %s", qPrintable(m_settings.Url()), szState, qPrintable(strDetail));
    else
        qCInfo(lcMqtt, "broker %s: %s %s", qPrintable(m_settings.Url()), szState, qPrintable(strDetail));
    emit signalStateChanged(eState, strDetail);
}

void CAlarmIntake::Run()
{
    QString strReason;
    MosquittoPtr upClient = NewClient(m_settings, this, strReason);
    if (!upClient) {
        SetState(State::Failed, strReason);
        return;
    }
    mosquitto_connect_callback_set(upClient.get(), &CAlarmIntake::OnConnect);
    mosquitto_subscribe_callback_set(upClient.get(), [](mosquitto*, void* pThis, int, int, const int*) {
        auto* pIntake = static_cast<CAlarmIntake*>(pThis);
        pIntake->SetState(State::Connected, pIntake->m_settings.strTopic);
    });
    mosquitto_message_callback_set(upClient.get(), &CAlarmIntake::OnMessage);
    mosquitto_log_callback_set(upClient.get(), &CAlarmIntake::OnLog);

    SetState(State::Connecting, m_settings.Url());
    int nBackoffMs = kFirstRetryMs;
    while (RunConnection(upClient.get(), strReason)) {
        // A connection the broker took resets the backoff: a restart is retried soon.
        if (m_bSessionUp)
            nBackoffMs = kFirstRetryMs;
        SetState(State::Retrying, strReason);
        if (!WaitBeforeRetry(nBackoffMs))
            break;
        nBackoffMs = std::min(2 * nBackoffMs, kMaxRetryMs);
    }
    mosquitto_disconnect(upClient.get());
}

// One connection from its attempt to its end. True when it is worth retrying;
// false on a stop or a failure that retrying cannot mend (then the state says why).
bool CAlarmIntake::RunConnection(mosquitto* pClient, QString& strReason)
{
    m_nRefusal = 0;
    m_bSessionUp = false;
    m_strLastLibraryError.clear();
    ++m_nConnects;
    int nCode = ConnectAsync(pClient, m_settings, kKeepAliveSeconds);
    int nErrno = errno;
    while (nCode == MOSQ_ERR_SUCCESS && !IsStopping()) {
        nCode = mosquitto_loop(pClient, kLoopMs, 1);
        nErrno = errno;
    }
    if (IsStopping())
        return false;
    if (m_nRefusal != 0) {
        strReason = RefusalText(m_nRefusal);
        if (IsRefusalFinal(m_nRefusal)) {
            SetState(State::Failed, strReason + " (not retrying)");
            return false;
        }
        return true;
    }
    if (IsTlsFailure(nCode, m_strLastLibraryError)) {
        SetState(State::Failed, QString("TLS failed: %1 (not retrying)")
                                    .arg(m_strLastLibraryError.isEmpty() ? ErrorText(nCode) : m_strLastLibraryError));
        return false;
    }
    if (nCode == MOSQ_ERR_EAI || nCode == MOSQ_ERR_LOOKUP)
        strReason = QString("%1: host not found").arg(m_settings.strHost);
    else if (nCode == MOSQ_ERR_ERRNO)
        strReason = QString::fromLocal8Bit(std::strerror(nErrno));
    else
        strReason = m_bSessionUp ? QString("connection lost") : ErrorText(nCode);
    return true;
}

// Waits up to nMs unless a stop was asked for; false after a stop.
bool CAlarmIntake::WaitBeforeRetry(int nMs)
{
    std::unique_lock<std::mutex> lock(m_mutexStop);
    return !m_cvStop.wait_for(lock, std::chrono::milliseconds(nMs), [this] { return m_worker.StopRequested(); });
}

bool CAlarmIntake::IsStopping()
{
    std::lock_guard<std::mutex> lock(m_mutexStop);
    return m_worker.StopRequested();
}

void CAlarmIntake::OnConnect(mosquitto* pClient, void* pThis, int nConnack)
{
    auto* pIntake = static_cast<CAlarmIntake*>(pThis);
    if (nConnack != 0) {
        pIntake->m_nRefusal = nConnack;
        mosquitto_disconnect(pClient);
        return;
    }
    pIntake->m_bSessionUp = true;
    // Every connection subscribes again: a restarted broker may have lost the session.
    const int nCode = mosquitto_subscribe(pClient, nullptr, pIntake->m_settings.strTopic.toUtf8().constData(), kQoS);
    if (nCode != MOSQ_ERR_SUCCESS)
        qCWarning(lcMqtt, "broker %s: cannot subscribe to %s: %s", qPrintable(pIntake->m_settings.Url()),
                  qPrintable(pIntake->m_settings.strTopic), qPrintable(ErrorText(nCode)));
}

void CAlarmIntake::OnMessage(mosquitto*, void* pThis, const mosquitto_message* pMessage)
{
    static_cast<CAlarmIntake*>(pThis)->TakeMessage(pMessage);
}

void CAlarmIntake::OnLog(mosquitto*, void* pThis, int nLevel, const char* szText)
{
    if (!szText)
        return;
    qCDebug(lcMqtt, "library: %s", szText);
    if (nLevel == MOSQ_LOG_ERR)
        static_cast<CAlarmIntake*>(pThis)->m_strLastLibraryError = QString::fromUtf8(szText);
}

// Network thread: the library has acknowledged the message already, so every
// refusal here only skips it.
void CAlarmIntake::TakeMessage(const mosquitto_message* pMessage)
{
    ++m_nReceived;
    const char* szTopic = pMessage->topic ? pMessage->topic : "";
    if (pMessage->payloadlen > m_settings.nMaxPayloadBytes) {
        ++m_nOversize;
        qCWarning(lcMqtt, "alarm on %s refused unread: %d bytes, more than the limit of %lld", szTopic,
                  pMessage->payloadlen, m_settings.nMaxPayloadBytes);
        return;
    }
    const QByteArray baPayload =
        QByteArray::fromRawData(static_cast<const char*>(pMessage->payload), pMessage->payloadlen);
    std::string strAlarmId;
    QString strError = "no decoder";
    std::shared_ptr<quorra::IAlarmEvent> spEvent = m_decoder ? m_decoder(baPayload, strAlarmId, strError) : nullptr;
    if (!spEvent) {
        ++m_nMalformed;
        qCWarning(lcMqtt, "alarm on %s skipped: %s: \"%s\"", szTopic, qPrintable(strError),
                  qPrintable(Quote(baPayload)));
        return;
    }
    if (!strAlarmId.empty() && IsRepeat(strAlarmId)) {
        ++m_nDuplicates;
        qCDebug(lcMqtt, "alarm %s on %s again: dropped", strAlarmId.c_str(), szTopic);
        return;
    }
    qCDebug(lcMqtt, "alarm %s on %s taken", strAlarmId.empty() ? "without id" : strAlarmId.c_str(), szTopic);
    const auto result = m_queue.Push(std::move(spEvent), pMessage->payloadlen);
    if (result.bEpisodeStart) {
        qCWarning(lcMqtt, "broker %s: alarms arrive faster than they are shown; dropping the oldest waiting",
                  qPrintable(m_settings.Url()));
        emit signalAlarmsDropped();
    }
    if (result.bWake)
        QMetaObject::invokeMethod(
            this, [this] { DeliverNext(); }, Qt::QueuedConnection);
}

// Remembers the id; true when it was seen among the last kRecentIds.
bool CAlarmIntake::IsRepeat(const std::string& strAlarmId)
{
    if (!m_setRecentIds.insert(strAlarmId).second)
        return true;
    m_deqRecentIds.push_back(strAlarmId);
    if (int(m_deqRecentIds.size()) > kRecentIds) {
        m_setRecentIds.erase(m_deqRecentIds.front());
        m_deqRecentIds.pop_front();
    }
    return false;
}

// This object's thread: one alarm per turn of its event loop, so painting and
// input go on between alarms of a burst.
void CAlarmIntake::DeliverNext()
{
    CAlarmQueue::PopResult result = m_queue.Pop();
    if (result.nEpisodeDropped > 0) {
        qCWarning(lcMqtt, "broker %s: %llu alarms were dropped while the queue was full", qPrintable(m_settings.Url()),
                  result.nEpisodeDropped);
        emit signalDropEpisodeEnded(result.nEpisodeDropped);
    }
    if (result.spEvent) {
        ++m_nDelivered;
        Fendra::CSingleton<quorra::AlarmTransfer>::Instance().PostAlarmEvent(std::move(result.spEvent));
    }
    if (result.bMore)
        QMetaObject::invokeMethod(
            this, [this] { DeliverNext(); }, Qt::QueuedConnection);
}

} // namespace mqtt
