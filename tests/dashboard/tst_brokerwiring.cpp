// The dashboard program's broker options end to end: a station started with
// --broker takes what lsa-publish, or a station started with --publish, sends
// through a broker of the test's own.
#include "tests/support/TestBroker.h"

#include <QTest>

class tst_BrokerWiring : public QObject
{
    Q_OBJECT
private slots:
    void stationTakesWhatIsPublished_data();
    void stationTakesWhatIsPublished();
    void stationRunsWithoutMqttModule_data();
    void stationRunsWithoutMqttModule();
};

namespace {

constexpr int kWaitMs = 120000;   // two sanitizer programs starting on a busy machine
const QString kQuitAfter = "600"; // seconds: the programs stop by themselves should the test die

// A program of the build with a home of its own, the broker's debug lines on its standard error.
void Start(QProcess& process, const QString& strHome, const QString& strProgram, const QStringList& lstArgs,
           const QString& strMqttModule = QString())
{
    QDir().mkpath(strHome + "/runtime");
    QFile::setPermissions(strHome + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* szVariable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        env.insert(szVariable, strHome);
    env.insert("XDG_RUNTIME_DIR", strHome + "/runtime");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "lsa.mqtt.debug=true");
    if (!strMqttModule.isEmpty())
        env.insert("LSA_MQTT_MODULE", strMqttModule);
    process.setProcessEnvironment(env);
    process.start(strProgram, lstArgs);
}

} // namespace

void tst_BrokerWiring::stationTakesWhatIsPublished_data()
{
    QTest::addColumn<QString>("strProgram");
    QTest::addColumn<QStringList>("lstArgs"); // %URL: the broker, %SITE: a site without cameras
    QTest::newRow("lsa-publish sends a replay file")
        << QString(LSA_PUBLISH) << QStringList{"--broker", "%URL", "--speed", "0", LSA_DEMO_REPLAY};
    QTest::newRow("a station publishes what it replays")
        << QString(LSA_DASHBOARD)
        << QStringList{"--publish", "%URL",  "--replay",     LSA_DEMO_REPLAY, "--replay-speed", "0",
                       "--site",    "%SITE", "--plugin-dir", LSA_PLUGIN_DIR,  "--quit-after",   kQuitAfter};
}

void tst_BrokerWiring::stationTakesWhatIsPublished()
{
    QFETCH(QString, strProgram);
    QFETCH(QStringList, lstArgs);
    QTemporaryDir dir;
    CTestBroker broker;
    QVERIFY(dir.isValid() && broker.Prepare() && broker.Start());
    QFile site(dir.filePath("site.json")); // no cameras: no live video to start
    QVERIFY(site.open(QIODevice::WriteOnly) && site.write(R"({"groups": [{"id": "{E1}", "name": "Test"}]})") > 0);
    site.close();
    QProcess station, sender;
    QByteArray baStation; // the station's standard error so far
    const auto fnSaid = [&](const QByteArray& baText) {
        baStation += station.readAllStandardError();
        return baStation.count(baText);
    };
    Start(station, dir.filePath("station"), LSA_DASHBOARD,
          {"--broker", broker.Url(), "--site", site.fileName(), "--plugin-dir", LSA_PLUGIN_DIR, "--quit-after",
           kQuitAfter});
    // Subscribed before anything is sent: a fresh session gets only what comes after.
    QTRY_VERIFY2_WITH_TIMEOUT(fnSaid(": Connected lsa/alarms/#") == 1, baStation.constData(), kWaitMs);

    Start(sender, dir.filePath("sender"), strProgram,
          lstArgs.replaceInStrings("%URL", broker.Url()).replaceInStrings("%SITE", site.fileName()));
    QFile replay(LSA_DEMO_REPLAY);
    QVERIFY(replay.open(QIODevice::ReadOnly));
    const int nAlarms = replay.readAll().count("\n{");
    QTRY_VERIFY2_WITH_TIMEOUT(fnSaid(" taken\n") >= nAlarms, baStation.constData(), kWaitMs);
    QCOMPARE(fnSaid(" taken\n"), nAlarms);
    QCOMPARE(station.state(), QProcess::Running);
    for (QProcess* pProcess : {&station, &sender}) {
        pProcess->kill();
        pProcess->waitForFinished();
    }
}

void tst_BrokerWiring::stationRunsWithoutMqttModule_data()
{
    QTest::addColumn<QString>("strOption");
    QTest::addColumn<QString>("strSaid");
    QTest::newRow("taking alarms") << "--broker"
                                   << "alarms from the broker off: MQTT module not loaded: ";
    QTest::newRow("publishing") << "--publish"
                                << "publishing off: MQTT module not loaded: ";
}

// A station whose MQTT module is missing says so and runs on without it.
void tst_BrokerWiring::stationRunsWithoutMqttModule()
{
    QFETCH(QString, strOption);
    QFETCH(QString, strSaid);
    QTemporaryDir dir;
    QProcess station;
    QByteArray baStation;
    Start(station, dir.filePath("station"), LSA_DASHBOARD,
          {strOption, "mqtt://127.0.0.1:1", "--no-sim", "--plugin-dir", LSA_PLUGIN_DIR, "--quit-after", kQuitAfter},
          dir.filePath("missing/libLinkageMqtt.so"));
    QTRY_VERIFY2_WITH_TIMEOUT((baStation += station.readAllStandardError()).contains(strSaid.toUtf8()),
                              baStation.constData(), kWaitMs);
    QCOMPARE(station.state(), QProcess::Running);
    station.kill();
    station.waitForFinished();
}

QTEST_MAIN(tst_BrokerWiring)
#include "tst_brokerwiring.moc"
