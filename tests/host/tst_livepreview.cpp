#include "tests/support/LoopbackStreams.h"

#include "Miravel/ErrorInfoMgr.h"
#include "Vantrel/InstantPlayback.h"
#include "Vantrel/PreviewICamera.h"
#include "Vantrel/Vantrel.h"
#include "tessel/ICamera.h"

#include <gst/pbutils/pbutils.h>

#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using Vantrel::CPreviewObserver;

namespace {
constexpr int kWaitMs = 10000;

tessel::CameraInfo CameraWith(const std::string& strUrl)
{
    tessel::CameraInfo info;
    info.strGUID = "cam-1";
    info.strName = "Gate";
    info.strStreamUrl = strUrl;
    return info;
}

// The kinds a preview reported, in order, as a short string.
QString Kinds(const QSignalSpy& spy)
{
    QStringList lst;
    for (const QList<QVariant>& args : spy)
        lst << QString::number(args.at(0).value<CPreviewObserver::Param>().nKind);
    return lst.join(',');
}

bool Reported(const QSignalSpy& spy, int nKind)
{
    for (const QList<QVariant>& args : spy)
        if (args.at(0).value<CPreviewObserver::Param>().nKind == nKind)
            return true;
    return false;
}

qint64 DurationMs(const QString& strPath)
{
    GstDiscoverer* pDiscoverer = gst_discoverer_new(5 * GST_SECOND, nullptr);
    gchar* szUri = gst_filename_to_uri(strPath.toLocal8Bit().constData(), nullptr);
    GstDiscovererInfo* pInfo = gst_discoverer_discover_uri(pDiscoverer, szUri, nullptr);
    g_free(szUri);
    qint64 nMs = -1;
    if (pInfo && gst_discoverer_info_get_result(pInfo) == GST_DISCOVERER_OK)
        nMs = qint64(gst_discoverer_info_get_duration(pInfo) / GST_MSECOND);
    if (pInfo)
        g_object_unref(pInfo);
    g_object_unref(pDiscoverer);
    return nMs;
}
} // namespace

class tst_LivePreview : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void start_data();
    void start();
    void silentServerTimesOutAndStopActsAtOnce();
    void rtspStreamPlaysAndReconnectsAfterLoss();
    void snapshotAndRecordingReadBack();
    void sound_data();
    void sound();
    void encodedStreamIsBuffered_data();
    void encodedStreamIsBuffered();
    void instantPlaybackPlaysWhileLiveBuffers_data() { encodedStreamIsBuffered_data(); }
    void instantPlaybackPlaysWhileLiveBuffers();

private:
    struct Fixture
    {
        explicit Fixture(const std::string& strUrl)
            : camera(CameraWith(strUrl))
        {
            surface.resize(320, 180);
            surface.show();
            preview.SetParam(&camera);
        }
        bool Start() { return preview.StartPreview(surface.winId(), 100, 0, false); }
        tessel::CCamera camera;
        QWidget surface;
        Vantrel::CPreviewICamera preview;
    };
};

void tst_LivePreview::initTestCase()
{
    Vantrel::InitVantrel(nullptr, nullptr);
}

void tst_LivePreview::cleanup()
{
    QVERIFY(Vantrel::WaitForTeardowns(kWaitMs));
}

void tst_LivePreview::start_data()
{
    QTest::addColumn<QString>("strUrl");
    QTest::addColumn<bool>("bStarts");
    QTest::addColumn<int>("nEndKind"); // the kind that settles the start
    QTest::addColumn<int>("nReason");  // the host's error reason when it fails

    const QString strClosed = QString("rtsp://127.0.0.1:%1/none").arg(ClosedLoopbackPort());
    QTest::newRow("test pattern plays") << "test:smpte" << true << int(Vantrel::NotifyStarted) << 0;
    QTest::newRow("unknown test pattern")
        << "test:nonsense" << false << -1 << int(Miravel::CErrorInfoMgr::ErrorStreamFailed);
    QTest::newRow("garbage address") << "\x01::garbage::\xff" << false << -1
                                     << int(Miravel::CErrorInfoMgr::ErrorBadAddress);
    QTest::newRow("missing file") << "/nonexistent/clip.mkv" << false << -1
                                  << int(Miravel::CErrorInfoMgr::ErrorBadAddress);
    QTest::newRow("empty address") << "" << false << -1 << int(Miravel::CErrorInfoMgr::ErrorBadAddress);
    QTest::newRow("closed port") << strClosed << true << int(Vantrel::NotifyError)
                                 << int(Miravel::CErrorInfoMgr::ErrorStreamFailed);
}

void tst_LivePreview::start()
{
    QFETCH(QString, strUrl);
    QFETCH(bool, bStarts);
    QFETCH(int, nEndKind);
    QFETCH(int, nReason);
    Fixture f(strUrl.toStdString());
    QSignalSpy spy(&f.preview, &Vantrel::CBasePreview::signalPreviewNotify);
    QCOMPARE(f.Start(), bStarts);
    int nFirst = 0, nSecond = 0;
    if (!bStarts) {
        Miravel::CErrorInfoMgr::GetErrorCode(nFirst, nSecond);
        QCOMPARE(nSecond, nReason);
        QVERIFY(!Miravel::CErrorInfoMgr::GetErrorInfo().isEmpty());
        QVERIFY(!f.preview.IsPreview());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(Reported(spy, nEndKind), kWaitMs);
    if (nEndKind == Vantrel::NotifyStarted) {
        unsigned uWidth = 0, uHeight = 0;
        QTRY_VERIFY_WITH_TIMEOUT(f.preview.GetPictureSize(uWidth, uHeight), kWaitMs);
        QCOMPARE(QSize(int(uWidth), int(uHeight)), QSize(640, 360));
        QTRY_VERIFY_WITH_TIMEOUT(f.preview.GetStreamStatistics().nFrames > 2, kWaitMs);
        QVERIFY(f.preview.IsPlaying());
        f.preview.StopPreview();
        QTRY_COMPARE(Kinds(spy).section(',', -1), QString("1"));
    } else {
        QTRY_VERIFY(!f.preview.IsPreview());
        QCOMPARE(Kinds(spy), QString("5,4,1"));
        Miravel::CErrorInfoMgr::GetErrorCode(nFirst, nSecond);
        QCOMPARE(nSecond, nReason);
    }
}

void tst_LivePreview::silentServerTimesOutAndStopActsAtOnce()
{
    CSilentListener listener;
    QVERIFY(listener.Start());
    const std::string strUrl = "rtsp://127.0.0.1:" + std::to_string(listener.Port()) + "/silent";
    {
        Fixture f(strUrl);
        f.preview.SetConnectTimeout(800);
        QSignalSpy spy(&f.preview, &Vantrel::CBasePreview::signalPreviewNotify);
        QVERIFY(f.Start());
        QVERIFY(f.preview.IsPreview());
        QTRY_COMPARE_WITH_TIMEOUT(Kinds(spy), QString("5,4,1"), kWaitMs);
        int nFirst = 0, nSecond = 0;
        Miravel::CErrorInfoMgr::GetErrorCode(nFirst, nSecond);
        QCOMPARE(nSecond, int(Miravel::CErrorInfoMgr::ErrorTimeout));
    }
    // Stopping while it still connects leaves it idle at once.
    Fixture f(strUrl);
    QVERIFY(f.Start());
    f.preview.StopPreview();
    QVERIFY(!f.preview.IsPreview());
}

void tst_LivePreview::rtspStreamPlaysAndReconnectsAfterLoss()
{
    auto upServer = std::make_unique<CLoopbackRtspServer>();
    QVERIFY(upServer->Start("( videotestsrc is-live=true ! video/x-raw,width=320,height=240,framerate=25/1 ! "
                            "x264enc tune=zerolatency speed-preset=ultrafast key-int-max=25 ! rtph264pay name=pay0 )"));
    Fixture f(upServer->Url());
    f.preview.SetStallTimeout(1000);
    QSignalSpy spy(&f.preview, &Vantrel::CBasePreview::signalPreviewNotify);
    QVERIFY(f.Start());
    QTRY_VERIFY_WITH_TIMEOUT(f.preview.IsPlaying(), kWaitMs);
    unsigned uWidth = 0, uHeight = 0;
    QVERIFY(f.preview.GetPictureSize(uWidth, uHeight));
    QCOMPARE(QSize(int(uWidth), int(uHeight)), QSize(320, 240));
    upServer.reset();
    // Lost, stopped, then asked to start again.
    QTRY_VERIFY_WITH_TIMEOUT(Reported(spy, Vantrel::NotifyReconnect), kWaitMs);
    QVERIFY(Reported(spy, Vantrel::NotifyStreamLost));
    QVERIFY(!f.preview.IsPreview());
}

void tst_LivePreview::snapshotAndRecordingReadBack()
{
    Fixture f("test:ball");
    QSignalSpy spy(&f.preview, &Vantrel::CBasePreview::signalPreviewNotify);
    QVERIFY(!f.preview.Snapshot());
    QVERIFY(!f.preview.StartRecord());
    QVERIFY(f.Start());
    QTRY_VERIFY_WITH_TIMEOUT(f.preview.IsPlaying(), kWaitMs);

    QVERIFY(f.preview.Snapshot());
    const QString strSnapshot = QString::fromStdString(f.preview.GetLastSnapshotPath());
    QVERIFY(strSnapshot.endsWith(".jpg"));
    QImageReader reader(strSnapshot);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    QCOMPARE(reader.size(), QSize(640, 360));

    QVERIFY(f.preview.StartRecord());
    QVERIFY(f.preview.IsRecord());
    const quint64 nFramesAtStart = f.preview.GetStreamStatistics().nFrames;
    QTRY_VERIFY_WITH_TIMEOUT(f.preview.GetStreamStatistics().nFrames > nFramesAtStart + 25, kWaitMs);
    f.preview.StopRecord();
    QVERIFY(!f.preview.IsRecord());
    QTRY_VERIFY_WITH_TIMEOUT(Reported(spy, Vantrel::NotifyRecordStopped), kWaitMs);
    const QString strRecord = QString::fromStdString(f.preview.GetLastRecordPath());
    QVERIFY(strRecord.endsWith(".mkv"));
    // A finished file knows its length; the stream kept playing meanwhile.
    const qint64 nMs = DurationMs(strRecord);
    QVERIFY2(nMs >= 500 && nMs < 60000, qPrintable(QString::number(nMs)));
    QVERIFY(f.preview.IsPlaying());
}

void tst_LivePreview::sound_data()
{
    QTest::addColumn<QString>("strUrl");
    QTest::addColumn<bool>("bOpens");
    QTest::newRow("stream with a tone") << "test:ball?audio=1" << true;
    QTest::newRow("stream without audio") << "test:ball" << false;
}

void tst_LivePreview::sound()
{
    QFETCH(QString, strUrl);
    QFETCH(bool, bOpens);
    Fixture f(strUrl.toStdString());
    QVERIFY(!f.preview.OpenSound());
    QVERIFY(f.Start());
    QTRY_VERIFY_WITH_TIMEOUT(f.preview.IsPlaying(), kWaitMs);
    QCOMPARE(f.preview.OpenSound(), bOpens);
    QCOMPARE(f.preview.IsOpenSound(), bOpens);
    f.preview.CloseSound();
    QVERIFY(!f.preview.IsOpenSound());
}

void tst_LivePreview::encodedStreamIsBuffered_data()
{
    QTest::addColumn<bool>("bRtsp");
    QTest::newRow("test pattern, encoded for the window") << false;
    QTest::newRow("RTSP H.264, as received") << true;
}

void tst_LivePreview::encodedStreamIsBuffered()
{
    QFETCH(bool, bRtsp);
    CLoopbackRtspServer server;
    if (bRtsp)
        QVERIFY(
            server.Start("( videotestsrc is-live=true ! video/x-raw,width=320,height=240,framerate=25/1 ! "
                         "x264enc tune=zerolatency speed-preset=ultrafast key-int-max=10 ! rtph264pay name=pay0 )"));
    Fixture f(bRtsp ? server.Url() : "test:ball");
    QVERIFY(f.Start());
    auto spBuffer = f.preview.GetPreAlarmBuffer();
    QTRY_VERIFY_WITH_TIMEOUT(spBuffer->GetStats().nGops >= 2, kWaitMs);
    const Vantrel::EncodedFrames frames = spBuffer->Snapshot();
    QVERIFY(frames.front().bKeyframe);
    QVERIFY2(frames.front().strCaps.startsWith("video/x-h264"), qPrintable(frames.front().strCaps));
    // The stream line counts the encoded stream: far below the 8.6 MB/s of the raw pattern.
    QTRY_VERIFY_WITH_TIMEOUT(f.preview.GetStreamInfo().uDataRate > 0, kWaitMs);
    QVERIFY2(f.preview.GetStreamInfo().uDataRate < 1000 * 1000,
             qPrintable(QString::number(f.preview.GetStreamInfo().uDataRate)));
}

void tst_LivePreview::instantPlaybackPlaysWhileLiveBuffers()
{
    QFETCH(bool, bRtsp);
    CLoopbackRtspServer server;
    if (bRtsp)
        QVERIFY(
            server.Start("( videotestsrc is-live=true ! video/x-raw,width=320,height=240,framerate=25/1 ! "
                         "x264enc tune=zerolatency speed-preset=ultrafast key-int-max=10 ! rtph264pay name=pay0 )"));
    Fixture f(bRtsp ? server.Url() : "test:ball");
    QVERIFY(f.Start());
    auto spBuffer = f.preview.GetPreAlarmBuffer();
    QTRY_VERIFY_WITH_TIMEOUT(spBuffer->GetStats().nGops >= 3, kWaitMs);

    QWidget surface;
    surface.resize(320, 180);
    surface.show();
    Vantrel::CInstantPlayback playback;
    QSignalSpy spy(&playback, &Vantrel::CBasePreview::signalPreviewNotify);
    QVERIFY(!playback.Play(surface.winId(), {}, 0, "cam-1", "Gate"));
    QVERIFY(playback.Play(surface.winId(), spBuffer->Snapshot(), 0, "cam-1", "Gate"));
    QTRY_VERIFY_WITH_TIMEOUT(playback.IsPlaying(), kWaitMs);
    QVERIFY(playback.DurationMs() > 500);
    // Live goes on into the buffer while the past plays.
    const int nFrames = spBuffer->GetStats().nFrames;
    QTRY_VERIFY_WITH_TIMEOUT(spBuffer->GetStats().nFrames > nFrames + 5, kWaitMs);
    QVERIFY(f.preview.IsPlaying());

    playback.SetPaused(true);
    QVERIFY(playback.IsPaused());
    QVERIFY(playback.SeekTo(playback.DurationMs() - 100));
    QVERIFY(playback.IsPaused());
    // The last keyframe, not the first: the picture starts close to the moment asked for.
    QVERIFY(playback.StartMs() > 0 && playback.StartMs() <= playback.DurationMs() - 100);
    playback.SetPaused(false);
    // The rest plays to its end and the playback stops by itself.
    QTRY_VERIFY_WITH_TIMEOUT(!playback.IsPreview(), kWaitMs);
    QCOMPARE(Kinds(spy).section(',', -1), QString("1"));
}

QTEST_MAIN(tst_LivePreview)
#include "tst_livepreview.moc"
