#pragma once

#include "HostExport.h"

#include <QString>

namespace mqtt {

// Where and how to reach an MQTT broker, and the limits of what is taken from it.
struct HOST_API BrokerSettings
{
    static constexpr int kPlainPort = 1883;
    static constexpr int kTlsPort = 8883;
    static constexpr qint64 kDefaultMaxPayloadBytes = 16 * 1024 * 1024;
    static constexpr int kDefaultQueueAlarms = 500;
    static constexpr qint64 kDefaultQueueBytes = 256 * 1024 * 1024;
    static constexpr const char* kDefaultTopic = "lsa/alarms/#";

    QString strHost;
    int nPort = kPlainPort;
    bool bTls = false;
    QString strTopic = QString::fromLatin1(kDefaultTopic); // subscription filter, or publishing topic
    QString strClientId;                                   // empty: a fresh id and a clean session per run
    QString strUser;
    QString strPassword;
    QString strCaFile; // TLS: the authorities to trust; empty: the system's
    qint64 nMaxPayloadBytes = kDefaultMaxPayloadBytes;
    int nQueueAlarms = kDefaultQueueAlarms;  // alarms waiting for the GUI thread, at most
    qint64 nQueueBytes = kDefaultQueueBytes; // their payload bytes, at most

    // Takes "mqtt://host[:port]" or "mqtts://host[:port]"; false with a reason otherwise.
    bool SetUrl(const QString& strUrl, QString& strError);
    QString Url() const;
};

} // namespace mqtt
