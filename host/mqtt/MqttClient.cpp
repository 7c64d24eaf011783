#include "mqtt/MqttClient.h"

#include <QUuid>

#include <mosquitto.h>

#include <cstdlib>
#include <mutex>

namespace mqtt {
namespace {

// The library keeps process-wide state (its OpenSSL set-up), made once and
// released at exit, after every client of ours has gone with its owner.
void InitLibrary()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        mosquitto_lib_init();
        std::atexit([] { mosquitto_lib_cleanup(); });
    });
}

} // namespace

void MosquittoDeleter::operator()(mosquitto* p) const
{
    mosquitto_destroy(p);
}

MosquittoPtr NewClient(const BrokerSettings& settings, void* pUserData, QString& strError)
{
    InitLibrary();
    // A named client keeps its session (and the alarms queued for it while it is
    // away); an unnamed one is a fresh listener each run.
    const bool bCleanSession = settings.strClientId.isEmpty();
    const QByteArray baId = bCleanSession ? ("lsa-" + QUuid::createUuid().toString(QUuid::Id128).left(16)).toUtf8()
                                          : settings.strClientId.toUtf8();
    MosquittoPtr upClient(mosquitto_new(baId.constData(), bCleanSession, pUserData));
    if (!upClient) {
        strError = "the MQTT client could not be created";
        return nullptr;
    }
    mosquitto_int_option(upClient.get(), MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    // An alarm is one whole message: its last segment (and the acknowledgement
    // after it) goes at once instead of waiting for the peer's delayed ACK.
    mosquitto_int_option(upClient.get(), MOSQ_OPT_TCP_NODELAY, 1);
    int nRc = MOSQ_ERR_SUCCESS;
    if (!settings.strUser.isEmpty())
        nRc = mosquitto_username_pw_set(upClient.get(), settings.strUser.toUtf8().constData(),
                                        settings.strPassword.isEmpty() ? nullptr
                                                                       : settings.strPassword.toUtf8().constData());
    if (nRc == MOSQ_ERR_SUCCESS && settings.bTls) {
        if (settings.strCaFile.isEmpty())
            nRc = mosquitto_int_option(upClient.get(), MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        else
            nRc = mosquitto_tls_set(upClient.get(), settings.strCaFile.toLocal8Bit().constData(), nullptr, nullptr,
                                    nullptr, nullptr);
    }
    if (nRc != MOSQ_ERR_SUCCESS) {
        strError = ErrorText(nRc);
        return nullptr;
    }
    return upClient;
}

int ConnectAsync(mosquitto* pClient, const BrokerSettings& settings, int nKeepAliveSeconds)
{
    static std::mutex s_mutex;
    std::lock_guard<std::mutex> lock(s_mutex);
    return mosquitto_connect_async(pClient, settings.strHost.toUtf8().constData(), settings.nPort, nKeepAliveSeconds);
}

QString ErrorText(int nCode)
{
    return QString::fromUtf8(mosquitto_strerror(nCode));
}

QString RefusalText(int nConnackCode)
{
    switch (nConnackCode) {
    case 4:
        return "the broker refused the user name or password";
    case 5:
        return "the broker refused the user name or password (not authorised)";
    default:
        return QString::fromUtf8(mosquitto_connack_string(nConnackCode));
    }
}

bool IsRefusalFinal(int nConnackCode)
{
    // 3 is "server unavailable", which may pass; the others will not.
    return nConnackCode != 0 && nConnackCode != 3;
}

} // namespace mqtt
