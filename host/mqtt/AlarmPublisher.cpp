#include "mqtt/AlarmPublisher.h"

#include "Fendra/Singleton.h"
#include "mqtt/MqttClient.h"
#include "mqtt/MqttLogging.h"
#include "quorra/AlarmTransfer.h"

#include <mosquitto.h>

namespace mqtt {
namespace {

constexpr int kQoS = 1;

} // namespace

CAlarmPublisher::CAlarmPublisher(BrokerSettings settings)
    : m_settings(std::move(settings))
{
}

CAlarmPublisher::~CAlarmPublisher()
{
    Stop();
}

bool CAlarmPublisher::Start(QString& strError)
{
    if (IsStarted())
        return true;
    MosquittoPtr upClient = NewClient(m_settings, this, strError);
    if (!upClient)
        return false;
    mosquitto_connect_callback_set(upClient.get(), &CAlarmPublisher::OnConnect);
    mosquitto_disconnect_callback_set(upClient.get(), &CAlarmPublisher::OnDisconnect);
    mosquitto_publish_callback_set(upClient.get(), &CAlarmPublisher::OnPublish);
    mosquitto_reconnect_delay_set(upClient.get(), kFirstRetrySeconds, kMaxRetrySeconds, true);
    // A broker that is down at the start is retried by the loop like a lost one.
    const int nCode = ConnectAsync(upClient.get(), m_settings, kKeepAliveSeconds);
    if (nCode != MOSQ_ERR_SUCCESS && nCode != MOSQ_ERR_ERRNO)
        qCWarning(lcMqtt, "publishing to %s: %s", qPrintable(m_settings.Url()), qPrintable(ErrorText(nCode)));
    const int nLoop = mosquitto_loop_start(upClient.get());
    if (nLoop != MOSQ_ERR_SUCCESS) {
        strError = ErrorText(nLoop);
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutexClient);
    m_pClient = upClient.release();
    return true;
}

void CAlarmPublisher::Stop()
{
    QObject::disconnect(m_connRaised);
    mosquitto* pClient = nullptr;
    {
        // A raising thread may be inside Publish: it finishes before the client goes.
        std::lock_guard<std::mutex> lock(m_mutexClient);
        std::swap(pClient, m_pClient);
    }
    if (!pClient)
        return;
    mosquitto_disconnect(pClient);
    mosquitto_loop_stop(pClient, true);
    mosquitto_destroy(pClient);
    m_bConnected = false;
}

bool CAlarmPublisher::Publish(const QByteArray& baPayload)
{
    std::lock_guard<std::mutex> lock(m_mutexClient);
    if (!m_pClient || m_nPublished.load() - m_nAcknowledged.load() >= quint64(kMaxWaiting)) {
        ++m_nDropped;
        return false;
    }
    ++m_nPublished;
    const int nCode = mosquitto_publish(m_pClient, nullptr, m_settings.strTopic.toUtf8().constData(), baPayload.size(),
                                        baPayload.constData(), kQoS, false);
    if (nCode != MOSQ_ERR_SUCCESS) {
        --m_nPublished;
        ++m_nDropped;
        qCWarning(lcMqtt, "publishing to %s: %s", qPrintable(m_settings.Url()), qPrintable(ErrorText(nCode)));
        return false;
    }
    return true;
}

bool CAlarmPublisher::WaitUntilWaitingBelow(int nWaiting, int nTimeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cvAcknowledged.wait_for(lock, std::chrono::milliseconds(nTimeoutMs), [this, nWaiting] {
        return m_nPublished.load() - m_nAcknowledged.load() < quint64(std::max(1, nWaiting));
    });
}

void CAlarmPublisher::PublishRaisedAlarms(Encoder fnEncode)
{
    QObject::disconnect(m_connRaised);
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    m_connRaised = QObject::connect(
        &transfer, &quorra::AlarmTransfer::signalAlarmEventInfo, &transfer,
        [this, fnEncode = std::move(fnEncode)](void* pAlarm) {
            if (!pAlarm)
                return;
            const QByteArray baPayload = fnEncode(*static_cast<const quorra::IAlarmEvent*>(pAlarm));
            if (!baPayload.isEmpty())
                Publish(baPayload);
        },
        Qt::DirectConnection);
}

bool CAlarmPublisher::IsStarted() const
{
    std::lock_guard<std::mutex> lock(m_mutexClient);
    return m_pClient != nullptr;
}

QString CAlarmPublisher::LastRefusal() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strLastRefusal;
}

void CAlarmPublisher::OnConnect(mosquitto* pClient, void* pThis, int nConnack)
{
    auto* pPublisher = static_cast<CAlarmPublisher*>(pThis);
    if (nConnack == 0) {
        pPublisher->m_bConnected = true;
        qCInfo(lcMqtt, "publishing to %s on %s", qPrintable(pPublisher->m_settings.Url()),
               qPrintable(pPublisher->m_settings.strTopic));
        return;
    }
    {
        std::lock_guard<std::mutex> lock(pPublisher->m_mutex);
        pPublisher->m_strLastRefusal = RefusalText(nConnack);
    }
    qCWarning(lcMqtt, "publishing to %s: %s", qPrintable(pPublisher->m_settings.Url()),
              qPrintable(RefusalText(nConnack)));
    // Retrying cannot mend bad credentials: stop instead of hammering the broker.
    if (IsRefusalFinal(nConnack))
        mosquitto_disconnect(pClient);
}

void CAlarmPublisher::OnDisconnect(mosquitto*, void* pThis, int nCode)
{
    auto* pPublisher = static_cast<CAlarmPublisher*>(pThis);
    if (pPublisher->m_bConnected.exchange(false) && nCode != 0)
        qCWarning(lcMqtt, "publishing to %s: connection lost; reconnecting", qPrintable(pPublisher->m_settings.Url()));
}

void CAlarmPublisher::OnPublish(mosquitto*, void* pThis, int)
{
    auto* pPublisher = static_cast<CAlarmPublisher*>(pThis);
    {
        std::lock_guard<std::mutex> lock(pPublisher->m_mutex);
        ++pPublisher->m_nAcknowledged;
    }
    pPublisher->m_cvAcknowledged.notify_all();
}

} // namespace mqtt
