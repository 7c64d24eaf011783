#include "dashboard/DemoAlarms.h"

#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "dashboard/DashboardLogging.h"
#include "dashboard/DashboardTexts.h"
#include "mqtt/MqttModule.h"
#include "sim/AlarmPayload.h"
#include "sim/AlarmReplay.h"
#include "sim/AlarmSimulator.h"
#include "sim/AlarmSimulatorPanel.h"
#include "sim/BrokerOptions.h"

#include "protocol/LogText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSysInfo>

#include <cstdio>

namespace {

QString StatusText(mqtt::IAlarmIntake::State eState, const QString& strUrl, const QString& strDetail)
{
    switch (eState) {
    case mqtt::IAlarmIntake::State::Connecting:
        return DashboardTexts::Text(DashboardTexts::BrokerConnecting).arg(strUrl);
    case mqtt::IAlarmIntake::State::Connected:
        return DashboardTexts::Text(DashboardTexts::BrokerConnected).arg(strUrl, strDetail);
    case mqtt::IAlarmIntake::State::Retrying:
        return DashboardTexts::Text(DashboardTexts::BrokerRetrying).arg(strUrl, strDetail);
    case mqtt::IAlarmIntake::State::Failed:
        return DashboardTexts::Text(DashboardTexts::BrokerFailed).arg(strUrl, strDetail);
    case mqtt::IAlarmIntake::State::Stopped:
        break;
    }
    return DashboardTexts::Text(DashboardTexts::BrokerStopped).arg(strUrl);
}

// The default publishing topic names the station, so subscribers can tell stations apart.
QString StationTopic()
{
    QString strHost = QSysInfo::machineHostName();
    strHost.replace(QRegularExpression("[^A-Za-z0-9_.-]"), "_");
    return "lsa/alarms/" + (strHost.isEmpty() ? QStringLiteral("station") : strHost);
}

} // namespace

CDemoAlarms::CDemoAlarms()
    : m_upBrokerOptions(std::make_unique<AlarmSim::CBrokerOptions>())
{
}

CDemoAlarms::~CDemoAlarms() = default;

void CDemoAlarms::AddOptions(QCommandLineParser& parser) const
{
    parser.addOptions({m_optNoSim, m_optSimRate, m_optSimBurst, m_optSimPersons, m_optSimResolution, m_optNoPanel,
                       m_optReplay, m_optReplaySpeed, m_optReplayBurst, m_optReplayDisorder, m_optReplaySeed,
                       m_optReplayLoop, m_optBroker, m_optPublish, m_optPublishTopic});
    m_upBrokerOptions->AddOptions(parser, true);
}

bool CDemoAlarms::Start(const QCommandLineParser& parser, bool bShowPanel)
{
    if (parser.isSet(m_optPublish) && !StartPublishing(parser))
        return false;
    if (parser.isSet(m_optBroker))
        return StartBroker(parser);
    if (parser.isSet(m_optReplay)) {
        AlarmSim::ReplayOptions options;
        double dBurst = 1, dDisorder = 0, dSeed = 1;
        if (!AlarmSim::ReadNumberOption(parser, m_optReplaySpeed, 0, AlarmSim::kMaxReplaySpeed, options.dSpeed)
            || !AlarmSim::ReadNumberOption(parser, m_optReplayBurst, 1, 1e6, dBurst)
            || !AlarmSim::ReadNumberOption(parser, m_optReplayDisorder, 0, 1e6, dDisorder)
            || !AlarmSim::ReadNumberOption(parser, m_optReplaySeed, 0, 4294967295.0, dSeed))
            return false;
        if (!AlarmSim::IsReplaySpeedAllowed(options.dSpeed)) {
            std::fprintf(stderr, "dashboard: --%s wants 0 or a number from %g to %g\n",
                         qPrintable(m_optReplaySpeed.names().first()), AlarmSim::kMinReplaySpeed,
                         AlarmSim::kMaxReplaySpeed);
            return false;
        }
        options.nBurst = int(dBurst);
        options.nDisorder = int(dDisorder);
        options.uSeed = quint32(dSeed);
        options.bLoop = parser.isSet(m_optReplayLoop);
        // The file is streamed from the replay thread; its bad lines are told as they are met.
        const QByteArray baFile = protocol::EscapeForLog(parser.value(m_optReplay)).toLocal8Bit();
        m_upReplay = std::make_unique<AlarmSim::CAlarmReplay>();
        return m_upReplay->Start(parser.value(m_optReplay), options, [baFile](const QString& strError) {
            qCWarning(lcDashboard, "replay %s, %s (skipped)", baFile.constData(), qPrintable(strError));
        });
    }
    if (parser.isSet(m_optNoSim))
        return true;

    AlarmSim::SimSettings settings;
    double dBurst = 0, dPersons = 0;
    if (!AlarmSim::ReadNumberOption(parser, m_optSimRate, 0.01, 100, settings.dRate)
        || !AlarmSim::ReadNumberOption(parser, m_optSimBurst, 0, 100, dBurst)
        || !AlarmSim::ReadNumberOption(parser, m_optSimPersons, 0, 1000, dPersons))
        return false;
    settings.nBurst = int(dBurst);
    settings.nPersons = int(dPersons);
    const QString strResolution = parser.value(m_optSimResolution).toLower();
    if (strResolution != "1080p" && strResolution != "4k") {
        std::fprintf(stderr, "dashboard: --sim-resolution is 1080p or 4k\n");
        return false;
    }
    settings.sizePicture = strResolution == "4k" ? QSize(3840, 2160) : QSize(1920, 1080);

    m_upSimulator = std::make_unique<AlarmSim::CAlarmSimulator>();
    m_upSimulator->SetSettings(settings);
    m_upSimulator->TakeCamerasFromSite();
    m_upSimulator->Start();
    if (bShowPanel && !parser.isSet(m_optNoPanel)) {
        m_upPanel = std::make_unique<AlarmSim::CAlarmSimulatorPanel>(*m_upSimulator);
        m_upPanel->adjustSize();
        const QRect rcScreen = QGuiApplication::primaryScreen()->availableGeometry();
        m_upPanel->move(rcScreen.right() - m_upPanel->width() - 40, rcScreen.bottom() - m_upPanel->height() - 80);
        m_upPanel->show();
    }
    return true;
}

bool CDemoAlarms::StartBroker(const QCommandLineParser& parser)
{
    mqtt::BrokerSettings settings;
    QString strError;
    if (!m_upBrokerOptions->Read(parser, parser.value(m_optBroker), true, settings, strError)) {
        std::fprintf(stderr, "dashboard: %s\n", qPrintable(strError));
        return false;
    }
    const QString strUrl = settings.Url();
    mqtt::IMqttModule* pModule = MqttModule(QStringLiteral("alarms from the broker"));
    if (!pModule) {
        // Like the intake's own reasons, the detail is the library's text.
        emit signalStatusChanged(
            StatusText(mqtt::IAlarmIntake::State::Failed, strUrl, QStringLiteral("MQTT module not loaded")));
        return true;
    }
    m_upIntake = pModule->NewIntake(settings, &AlarmSim::DecodeAlarmPayload);
    connect(m_upIntake.get(), &mqtt::IAlarmIntake::signalStateChanged, this,
            [this, strUrl](mqtt::IAlarmIntake::State eState, const QString& strDetail) {
                emit signalStatusChanged(StatusText(eState, strUrl, strDetail));
            });
    connect(m_upIntake.get(), &mqtt::IAlarmIntake::signalAlarmsDropped, this, [] {
        TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
            DashboardTexts::Text(DashboardTexts::BrokerAlarmsDropped), nullptr, false, false, false);
    });
    emit signalStatusChanged(StatusText(mqtt::IAlarmIntake::State::Connecting, strUrl, QString()));
    m_upIntake->Start();
    return true;
}

bool CDemoAlarms::StartPublishing(const QCommandLineParser& parser)
{
    mqtt::BrokerSettings settings;
    QString strError;
    if (!m_upBrokerOptions->Read(parser, parser.value(m_optPublish), false, settings, strError)) {
        std::fprintf(stderr, "dashboard: %s\n", qPrintable(strError));
        return false;
    }
    settings.strTopic = parser.isSet(m_optPublishTopic) ? parser.value(m_optPublishTopic) : StationTopic();
    mqtt::IMqttModule* pModule = MqttModule(QStringLiteral("publishing"));
    if (!pModule)
        return true;
    m_upPublisher = pModule->NewPublisher(settings);
    if (!m_upPublisher->Start(strError)) {
        std::fprintf(stderr, "dashboard: --publish: %s\n", qPrintable(strError));
        return false;
    }
    m_upPublisher->PublishRaisedAlarms(&AlarmSim::EncodeRaisedAlarm);
    return true;
}

mqtt::IMqttModule* CDemoAlarms::MqttModule(const QString& strUse)
{
    QString strError;
    mqtt::IMqttModule* pModule = mqtt::LoadMqttModule(mqtt::DefaultMqttModulePath(), strError);
    // The station runs on without it: live video and the other views are not affected.
    if (!pModule)
        qCWarning(lcDashboard, "%s off: MQTT module not loaded: %s", qPrintable(strUse), qPrintable(strError));
    return pModule;
}

void CDemoAlarms::Stop()
{
    if (m_upIntake)
        m_upIntake->Stop();
    if (m_upSimulator)
        m_upSimulator->Stop();
    if (m_upReplay)
        m_upReplay->Stop();
    m_upPanel.reset();
    if (m_upPublisher)
        m_upPublisher->Stop();
}
