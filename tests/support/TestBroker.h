#pragma once
// A mosquitto broker of a test's own, on a free loopback port, with a generated
// configuration (optionally TLS with certificates made here and a password
// file). It dies with the test process, even when the test crashes.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <csignal>
#include <sys/prctl.h>

class CTestBroker
{
public:
    static constexpr const char* kUser = "operator";
    static constexpr const char* kPassword = "s3cret-for-tests";

    // bTls: TLS with a certificate of the test's own authority, and a password
    // file; bPersist: sessions survive a restart.
    explicit CTestBroker(bool bTls = false, bool bPersist = false)
        : m_bTls(bTls)
        , m_bPersist(bPersist)
    {
    }

    ~CTestBroker() { Kill(); }

    // Writes the configuration (and certificates) and reserves a port; the broker is not running yet.
    bool Prepare()
    {
        if (!m_dir.isValid() || !ReservePort())
            return false;
        // No per-client bound on queued alarms: the test, not the broker, decides what a flood drops.
        QByteArray baConfig = "listener " + QByteArray::number(m_nPort)
                              + " 127.0.0.1\nuser root\nmax_queued_messages 0\nlog_type error\n";
        if (m_bPersist)
            baConfig += "persistence true\npersistence_location " + Path("").toUtf8() + "/\n";
        if (m_bTls) {
            if (!MakeCertificates() || !Run("mosquitto_passwd", {"-b", "-c", Path("passwd"), kUser, kPassword}))
                return false;
            baConfig += "allow_anonymous false\npassword_file " + Path("passwd").toUtf8() + "\ncafile "
                        + Path("ca.crt").toUtf8() + "\ncertfile " + Path("server.crt").toUtf8() + "\nkeyfile "
                        + Path("server.key").toUtf8() + "\n";
        } else {
            baConfig += "allow_anonymous true\n";
        }
        QFile config(Path("mosquitto.conf"));
        return config.open(QIODevice::WriteOnly) && config.write(baConfig) == baConfig.size();
    }

    // Starts (or starts again) the broker and waits until it takes connections.
    bool Start()
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start("mosquitto", {"-c", Path("mosquitto.conf")});
        if (!m_process.waitForStarted(10000))
            return false;
        for (int nTry = 0; nTry < 100 && m_process.state() == QProcess::Running; ++nTry) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, quint16(m_nPort));
            if (socket.waitForConnected(100))
                return true;
            m_process.waitForFinished(50);
        }
        return false;
    }

    // The broker dies at once, as in a crash.
    void Kill()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }

    QString Url() const { return QString("%1://127.0.0.1:%2").arg(m_bTls ? "mqtts" : "mqtt").arg(m_nPort); }
    QString Path(const QString& strName) const { return m_dir.filePath(strName); }

    // A second authority the broker's certificate does not come from.
    bool MakeOtherAuthority() { return MakeAuthority("other-ca"); }

private:
    // A free port below the kernel's range for outgoing connections, so that no
    // client socket of a test running beside this one holds it when the broker
    // starts again on it.
    bool ReservePort()
    {
        constexpr int kFirstPort = 20000;
        constexpr int kEndPort = 32768;
        constexpr int kTries = 50;
        for (int nTry = 0; nTry < kTries; ++nTry) {
            const auto nPort = quint16(QRandomGenerator::global()->bounded(kFirstPort, kEndPort));
            QTcpServer probe;
            if (probe.listen(QHostAddress::LocalHost, nPort)) {
                m_nPort = nPort;
                return true;
            }
        }
        return false;
    }

    // Children die with the test process.
    class CChildProcess : public QProcess
    {
    protected:
        void setupChildProcess() override { ::prctl(PR_SET_PDEATHSIG, SIGKILL); }
    };

    bool Run(const QString& strProgram, const QStringList& lstArgs)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(strProgram, lstArgs);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    }

    bool MakeAuthority(const QString& strName)
    {
        return Run("openssl",
                   {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2",
                    "-subj", "/CN=" + strName, "-keyout", Path(strName + ".key"), "-out", Path(strName + ".crt")});
    }

    bool MakeCertificates()
    {
        QFile extensions(Path("san.cnf"));
        return MakeAuthority("ca") && extensions.open(QIODevice::WriteOnly)
               && extensions.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n") > 0 && (extensions.close(), true)
               && Run("openssl", {"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
                                  "/CN=localhost", "-keyout", Path("server.key"), "-out", Path("server.csr")})
               && Run("openssl",
                      {"x509", "-req", "-in", Path("server.csr"), "-CA", Path("ca.crt"), "-CAkey", Path("ca.key"),
                       "-CAcreateserial", "-days", "2", "-extfile", Path("san.cnf"), "-out", Path("server.crt")});
    }

    bool m_bTls;
    bool m_bPersist;
    QTemporaryDir m_dir;
    CChildProcess m_process;
    int m_nPort = 0;
};
