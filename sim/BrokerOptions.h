#pragma once

#include "mqtt/BrokerSettings.h"

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;

namespace AlarmSim {

// The option's value as a number from dMin to dMax; otherwise false, with a line
// on standard error that names the program and the option.
bool ReadNumberOption(const QCommandLineParser& parser, const QCommandLineOption& option, double dMin, double dMax,
                      double& dValue);

// Command-line options of broker connections. Passwords come from a file or an
// environment variable, never from the command line, where others can read them.
class CBrokerOptions
{
public:
    static constexpr const char* kPasswordVariable = "LSA_BROKER_PASSWORD";

    // Connection options (user, password, client id, CA file), and with
    // bIntake also the subscription's topic filter, size limit and queue bounds.
    void AddOptions(QCommandLineParser& parser, bool bIntake) const;
    // Settings for reaching strUrl with the options given (bIntake as added); false with a reason.
    bool Read(const QCommandLineParser& parser, const QString& strUrl, bool bIntake, mqtt::BrokerSettings& settings,
              QString& strError) const;

private:
    bool ReadPassword(const QCommandLineParser& parser, QString& strPassword, QString& strError) const;
    bool ReadLimits(const QCommandLineParser& parser, mqtt::BrokerSettings& settings, QString& strError) const;

    QCommandLineOption m_optTopic{"broker-topic", "Topic filter of the alarm subscription (default lsa/alarms/#).",
                                  "filter", mqtt::BrokerSettings::kDefaultTopic};
    QCommandLineOption m_optClientId{"broker-client-id",
                                     "Client id; a named client keeps its session and the alarms sent while "
                                     "it is away (default: a fresh id per run).",
                                     "id"};
    QCommandLineOption m_optUser{"broker-user", "User name at the broker.", "name"};
    QCommandLineOption m_optPasswordFile{"broker-password-file", "File whose first line is the broker password.",
                                         "file"};
    QCommandLineOption m_optPasswordEnv{"broker-password-env",
                                        "Environment variable holding the broker password (default "
                                        "LSA_BROKER_PASSWORD).",
                                        "name", kPasswordVariable};
    QCommandLineOption m_optCaFile{"broker-ca", "Certificate authorities to trust for mqtts:// (PEM file).", "file"};
    QCommandLineOption m_optMaxPayload{"broker-max-payload", "Largest alarm message taken, in bytes (default 16 MiB).",
                                       "bytes", QString::number(mqtt::BrokerSettings::kDefaultMaxPayloadBytes)};
    QCommandLineOption m_optQueue{"broker-queue", "Alarms waiting to be shown, at most (default 500).", "count",
                                  QString::number(mqtt::BrokerSettings::kDefaultQueueAlarms)};
    QCommandLineOption m_optQueueMiB{"broker-queue-mib", "Their bytes, at most, in MiB (default 256).", "MiB",
                                     QString::number(mqtt::BrokerSettings::kDefaultQueueBytes / (1024 * 1024))};
};

} // namespace AlarmSim
