#include "sim/BrokerOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace AlarmSim {

bool ReadNumberOption(const QCommandLineParser& parser, const QCommandLineOption& option, double dMin, double dMax,
                      double& dValue)
{
    bool bOk = false;
    dValue = parser.value(option).toDouble(&bOk);
    if (bOk && dValue >= dMin && dValue <= dMax)
        return true;
    std::fprintf(stderr, "%s: --%s wants a number from %g to %g\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(option.names().first()), dMin, dMax);
    return false;
}

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kMaxPasswordFileBytes = 4096;

bool ReadWhole(const QCommandLineParser& parser, const QCommandLineOption& option, qint64 nMin, qint64 nMax,
               qint64& nValue, QString& strError)
{
    bool bOk = false;
    nValue = parser.value(option).toLongLong(&bOk);
    if (bOk && nValue >= nMin && nValue <= nMax)
        return true;
    strError = QString("--%1 wants a whole number from %2 to %3").arg(option.names().first()).arg(nMin).arg(nMax);
    return false;
}

} // namespace

void CBrokerOptions::AddOptions(QCommandLineParser& parser, bool bIntake) const
{
    parser.addOptions({m_optClientId, m_optUser, m_optPasswordFile, m_optPasswordEnv, m_optCaFile});
    if (bIntake)
        parser.addOptions({m_optTopic, m_optMaxPayload, m_optQueue, m_optQueueMiB});
}

bool CBrokerOptions::Read(const QCommandLineParser& parser, const QString& strUrl, bool bIntake,
                          mqtt::BrokerSettings& settings, QString& strError) const
{
    if (!settings.SetUrl(strUrl, strError))
        return false;
    settings.strClientId = parser.value(m_optClientId);
    settings.strUser = parser.value(m_optUser);
    settings.strCaFile = parser.value(m_optCaFile);
    if (!settings.strCaFile.isEmpty() && !QFile::exists(settings.strCaFile)) {
        strError = QString("--broker-ca %1: no such file").arg(settings.strCaFile);
        return false;
    }
    return ReadPassword(parser, settings.strPassword, strError) && (!bIntake || ReadLimits(parser, settings, strError));
}

bool CBrokerOptions::ReadPassword(const QCommandLineParser& parser, QString& strPassword, QString& strError) const
{
    if (parser.isSet(m_optPasswordFile)) {
        QFile file(parser.value(m_optPasswordFile));
        if (!file.open(QIODevice::ReadOnly)) {
            strError = QString("--broker-password-file %1: cannot be read").arg(file.fileName());
            return false;
        }
        strPassword = QString::fromUtf8(file.read(kMaxPasswordFileBytes).split('\n').first()).remove('\r');
        return true;
    }
    strPassword = qEnvironmentVariable(qPrintable(parser.value(m_optPasswordEnv)));
    return true;
}

bool CBrokerOptions::ReadLimits(const QCommandLineParser& parser, mqtt::BrokerSettings& settings,
                                QString& strError) const
{
    settings.strTopic = parser.value(m_optTopic);
    qint64 nMaxPayload = 0, nQueue = 0, nQueueMiB = 0;
    if (!ReadWhole(parser, m_optMaxPayload, 1, 256 * kMiB, nMaxPayload, strError)
        || !ReadWhole(parser, m_optQueue, 1, 1000000, nQueue, strError)
        || !ReadWhole(parser, m_optQueueMiB, 1, 64 * 1024, nQueueMiB, strError))
        return false;
    settings.nMaxPayloadBytes = nMaxPayload;
    settings.nQueueAlarms = int(nQueue);
    settings.nQueueBytes = nQueueMiB * kMiB;
    return true;
}

} // namespace AlarmSim
