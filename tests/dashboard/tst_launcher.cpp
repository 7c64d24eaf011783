// The dashboard's launcher: it finds the dashboard's library beside itself,
// and says so plainly when the library is missing.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_Launcher : public QObject
{
    Q_OBJECT
private slots:
    void exitsWithAMessage_data();
    void exitsWithAMessage();
};

void tst_Launcher::exitsWithAMessage_data()
{
    QTest::addColumn<bool>("bAlone"); // the launcher copied into a folder of its own
    QTest::addColumn<QStringList>("lstArgs");
    QTest::addColumn<QByteArray>("baSaid"); // on its standard error
    QTest::newRow("verifying an export needs no display")
        << false << QStringList{"--verify-export", "%DIR/none"} << QByteArray("has no readable manifest.json");
    QTest::newRow("library missing, verifying")
        << true << QStringList{"--verify-export", "%DIR/none"} << QByteArray("libLinkageDashboardApp.so");
    QTest::newRow("library missing, window")
        << true << QStringList{"--quit-after", "1"} << QByteArray("libLinkageDashboardApp.so");
}

void tst_Launcher::exitsWithAMessage()
{
    QFETCH(bool, bAlone);
    QFETCH(QStringList, lstArgs);
    QFETCH(QByteArray, baSaid);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString strProgram = LSA_DASHBOARD;
    if (bAlone) {
        strProgram = dir.filePath("LinkageDashboard");
        QVERIFY(QFile::copy(LSA_DASHBOARD, strProgram));
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Verifying runs with no display at all; the window on the headless one.
    for (const char* szVariable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(szVariable);
    if (!lstArgs.contains("--verify-export"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(strProgram, lstArgs.replaceInStrings("%DIR", dir.path()));
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(process.readAllStandardError().contains(baSaid), baSaid.constData());
}

QTEST_MAIN(tst_Launcher)
#include "tst_launcher.moc"
