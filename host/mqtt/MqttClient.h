#pragma once

#include "mqtt/BrokerSettings.h"

#include <QString>

#include <memory>

struct mosquitto;

namespace mqtt {

struct MosquittoDeleter
{
    void operator()(mosquitto* p) const;
};
using MosquittoPtr = std::unique_ptr<mosquitto, MosquittoDeleter>;

// A libmosquitto client for the settings: client id and session, MQTT 3.1.1,
// user name and password, TLS with the given authorities. Null with a reason
// when the library refuses a setting.
MosquittoPtr NewClient(const BrokerSettings& settings, void* pUserData, QString& strError);

// mosquitto_connect_async, one call at a time in the process: the library sets
// up its OpenSSL state on a client's first TLS connection without a lock.
int ConnectAsync(mosquitto* pClient, const BrokerSettings& settings, int nKeepAliveSeconds);

// The library's error code and a broker's connection refusal, readable.
QString ErrorText(int nCode);
QString RefusalText(int nConnackCode);
// Refusals that retrying cannot mend (bad credentials, refused protocol or id).
bool IsRefusalFinal(int nConnackCode);

} // namespace mqtt
