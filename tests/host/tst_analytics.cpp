#include "analytics/AnalyticsHub.h"
#include "analytics/AnalyticsModule.h"
#include "analytics/CameraAnalytics.h"
#include "analytics/IouTracker.h"
#include "analytics/PersonDetector.h"
#include "tessel/GroupManager.h"
#include "tessel/Site.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

using namespace Analytics;

// The footage and stills Debian's OpenCV documentation ships; frames are read
// from it at test time.
static const QString kData = QStringLiteral("/usr/share/doc/opencv-doc/examples/data/");

namespace {

cv::Mat StreetFrame(int nIndex)
{
    cv::VideoCapture capture((kData + "vtest.avi").toStdString());
    capture.set(cv::CAP_PROP_POS_FRAMES, nIndex);
    cv::Mat mat;
    capture >> mat;
    return mat;
}

// A still scaled, with a border so persons touching its edge fit the detector's window.
cv::Mat Still(const QString& strFile, double dScale, int nBorder)
{
    cv::Mat mat = cv::imread((kData + strFile).toStdString());
    if (mat.empty())
        return mat;
    cv::resize(mat, mat, cv::Size(), dScale, dScale, cv::INTER_AREA);
    cv::copyMakeBorder(mat, mat, nBorder, nBorder, nBorder, nBorder, cv::BORDER_REPLICATE);
    return mat;
}

Detection Box(int x, int y, int w = 40, int h = 100)
{
    return Detection{cv::Rect(x, y, w, h), 1.0, {}};
}

AnalyticsCamera Camera(bool bPanoramic, bool bFaces = false)
{
    AnalyticsCamera camera{bPanoramic ? "{pano}" : "{linked}",
                           bPanoramic ? "Pano" : "Linked",
                           bPanoramic ? "AS-PANO" : "AS-LINKED",
                           "{group}",
                           bPanoramic,
                           {}};
    camera.settings.bPersons = true;
    camera.settings.bFaces = bFaces;
    camera.settings.nWidth = 1152;
    return camera;
}

} // namespace

class tst_Analytics : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void personsInStills_data();
    void personsInStills();
    void facesInStills_data();
    void facesInStills();
    void tracker_data();
    void tracker();
    void streetClipRaisesOneAlarmPerPerson_data();
    void streetClipRaisesOneAlarmPerPerson();
    void staticSceneRaisesNothing_data();
    void staticSceneRaisesNothing();
    void linkedCameraJoinsTheOpenLinkage();
    void siteSettings_data();
    void siteSettings();
    void badInput_data();
    void badInput();
    void moduleMissing_data();
    void moduleMissing();
};

void tst_Analytics::initTestCase()
{
    if (!QFile::exists(kData + "vtest.avi"))
        QSKIP("opencv-doc is not installed (scripts/setup.sh installs it)");
    cv::setNumThreads(1);
}

void tst_Analytics::personsInStills_data()
{
    QTest::addColumn<QString>("strSource");
    QTest::addColumn<int>("nFrame"); // of the street video; -1 for a still
    QTest::addColumn<double>("dScale");
    QTest::addColumn<int>("nBorder");
    QTest::addColumn<int>("nHandCount");
    QTest::addColumn<int>("nTolerance");
    // Hand-counted persons; the whole picture is searched (no motion gate), so a
    // parked van may count as one more.
    QTest::newRow("street 10 s, 1.5x") << "vtest.avi" << 100 << 1.5 << 0 << 7 << 1;
    QTest::newRow("street 30 s, 1.5x") << "vtest.avi" << 300 << 1.5 << 0 << 6 << 1;
    QTest::newRow("street 60 s, 1.5x") << "vtest.avi" << 600 << 1.5 << 0 << 6 << 1;
    QTest::newRow("basketball, player in full") << "basketball1.png" << -1 << 0.5 << 40 << 1 << 0;
}

void tst_Analytics::personsInStills()
{
    QFETCH(QString, strSource);
    QFETCH(int, nFrame);
    QFETCH(double, dScale);
    QFETCH(int, nBorder);
    QFETCH(int, nHandCount);
    QFETCH(int, nTolerance);
    cv::Mat mat = nFrame >= 0 ? StreetFrame(nFrame) : Still(strSource, dScale, nBorder);
    QVERIFY(!mat.empty());
    if (nFrame >= 0)
        cv::resize(mat, mat, cv::Size(), dScale, dScale);
    DetectorSettings settings;
    CPersonDetector detector(settings);
    const std::vector<Detection> vecFound = detector.Detect(mat);
    QVERIFY2(std::abs(int(vecFound.size()) - nHandCount) <= nTolerance,
             qPrintable(QString("found %1, hand count %2").arg(vecFound.size()).arg(nHandCount)));
    for (const Detection& d : vecFound) {
        QVERIFY(d.rcBody.height >= settings.nMinPersonHeight);
        QCOMPARE(d.rcBody & cv::Rect(cv::Point(), mat.size()), d.rcBody);
    }
}

void tst_Analytics::facesInStills_data()
{
    QTest::addColumn<QString>("strFile");
    QTest::addColumn<QRect>("rcBody");   // hand-drawn around the person
    QTest::addColumn<QRect>("rcFaceIn"); // the face must lie in here; empty: no face
    QTest::newRow("basketball player") << "basketball1.png" << QRect(30, 80, 150, 390) << QRect(55, 75, 80, 80);
    QTest::newRow("football player") << "messi5.jpg" << QRect(90, 80, 390, 262) << QRect(215, 70, 90, 90);
    QTest::newRow("empty wall") << "basketball1.png" << QRect(230, 60, 120, 300) << QRect();
}

void tst_Analytics::facesInStills()
{
    QFETCH(QString, strFile);
    QFETCH(QRect, rcBody);
    QFETCH(QRect, rcFaceIn);
    const cv::Mat mat = Still(strFile, 1.0, 0);
    QVERIFY(!mat.empty());
    CPersonDetector detector;
    std::string strError;
    QVERIFY2(detector.LoadFaceModel(DefaultFaceModelPath(), strError), strError.c_str());
    const cv::Rect rcFace = detector.FindFace(mat, cv::Rect(rcBody.x(), rcBody.y(), rcBody.width(), rcBody.height()));
    const QRect rcFound(rcFace.x, rcFace.y, rcFace.width, rcFace.height);
    if (rcFaceIn.isEmpty())
        QVERIFY2(rcFound.isEmpty(), qPrintable(QString("face at %1,%2").arg(rcFace.x).arg(rcFace.y)));
    else
        QVERIFY2(!rcFound.isEmpty() && rcFaceIn.contains(rcFound),
                 qPrintable(
                     QString("face at %1,%2 %3x%4").arg(rcFace.x).arg(rcFace.y).arg(rcFace.width).arg(rcFace.height)));
}

void tst_Analytics::tracker_data()
{
    // Per frame (250 ms apart): the x of each person's box; -1 for a frame without detections.
    QTest::addColumn<QVector<QVector<int>>>("vecFrames");
    QTest::addColumn<int>("nConfirmed");
    QVector<QVector<int>> vecWalker;
    for (int i = 0; i < 12; ++i)
        vecWalker << QVector<int>{100 + 6 * i};
    QTest::newRow("one walker") << vecWalker << 1;
    QTest::newRow("two walkers apart") << QVector<QVector<int>>{{100, 400}, {106, 394}, {112, 388}} << 2;
    QTest::newRow("one-frame fluke") << QVector<QVector<int>>{{300}, {}, {}, {}} << 0;
    QTest::newRow("missed for a second, same person")
        << QVector<QVector<int>>{{100}, {104}, {}, {}, {}, {}, {108}, {112}} << 1;
    QVector<QVector<int>> vecBack{{100}, {104}};
    for (int i = 0; i < 14; ++i) // 3.5 s away: past the timeout
        vecBack << QVector<int>{};
    vecBack << QVector<int>{104} << QVector<int>{108};
    QTest::newRow("leaves and comes back after the timeout") << vecBack << 2;
    QTest::newRow("jumps across the view: another person") << QVector<QVector<int>>{{100}, {104}, {500}, {504}} << 2;
    // 90 px between sightings is too far for a near centre, but where its velocity takes it.
    QTest::newRow("fast walker seen every third frame")
        << QVector<QVector<int>>{{100}, {130}, {}, {}, {220}, {}, {}, {310}} << 1;
}

void tst_Analytics::tracker()
{
    QFETCH(QVector<QVector<int>>, vecFrames);
    QFETCH(int, nConfirmed);
    CIouTracker tracker;
    int nCount = 0;
    int64_t nMs = 0;
    for (const QVector<int>& vecXs : vecFrames) {
        std::vector<Detection> vecFound;
        for (int x : vecXs)
            vecFound.push_back(Box(x, 50));
        nCount += int(tracker.Update(vecFound, nMs).size());
        nMs += 250;
    }
    QCOMPARE(nCount, nConfirmed);
}

void tst_Analytics::streetClipRaisesOneAlarmPerPerson_data()
{
    QTest::addColumn<int>("nDetectEvery");
    QTest::newRow("full detection every frame") << 1;
    QTest::newRow("full detection every 2nd frame") << 2;
    QTest::newRow("full detection every 3rd frame") << 3;
}

void tst_Analytics::streetClipRaisesOneAlarmPerPerson()
{
    QFETCH(int, nDetectEvery);
    AnalyticsCamera camera = Camera(true);
    camera.settings.nDetectEvery = nDetectEvery;
    // The first 20 s of the street at 4 frames a second through the whole chain
    // (motion gate, detector, tracker) of a panoramic camera.
    int nAlarms = 0;
    CLinkageBoard::Instance().Clear();
    CCameraAnalytics analytics(camera, [&](quorra::IntelAlarmEventInfo info) {
        ++nAlarms;
        QCOMPARE(info.AlarmType, int(quorra::AlarmTypePanoramicSmart));
        QVERIFY(!info.IntelAlarmInfo.VCASmart.bkPic.pPicBinary->strData.empty());
        for (const protocol::PictureRect& rc : info.IntelAlarmInfo.VCASmart.bkPic.PictureRectList)
            QVERIFY(rc.x >= 0 && rc.y >= 0 && rc.x + rc.width <= 1.0001 && rc.y + rc.height <= 1.0001);
    });
    cv::VideoCapture capture((kData + "vtest.avi").toStdString());
    cv::Mat mat;
    for (int nFrame = 0; nFrame < 200 && capture.read(mat); ++nFrame) {
        if (nFrame % 3 == 0) // 10 fps source: about 3 analysis frames a second
            analytics.Process(mat, nFrame * 100);
    }
    // Hand count from frames every 4 s: about 13 persons walk through or stand
    // in the first 20 s (itself uncertain by 2); the tracker may split a person
    // crossing another or miss one hidden behind the sign post or far away.
    const int kHandCount = 13;
    qInfo("%d alarms over the clip", nAlarms);
    QVERIFY2(nAlarms >= kHandCount - 4 && nAlarms <= kHandCount + 4, qPrintable(QString::number(nAlarms)));
}

void tst_Analytics::staticSceneRaisesNothing_data()
{
    QTest::addColumn<int>("nDetectEvery");
    QTest::newRow("full detection every frame") << 1;
    QTest::newRow("full detection every 3rd frame") << 3;
}

void tst_Analytics::staticSceneRaisesNothing()
{
    QFETCH(int, nDetectEvery);
    AnalyticsCamera camera = Camera(true);
    camera.settings.nDetectEvery = nDetectEvery;
    int nAlarms = 0;
    CCameraAnalytics analytics(camera, [&](quorra::IntelAlarmEventInfo) { ++nAlarms; });
    const cv::Mat mat = StreetFrame(300);
    for (int i = 0; i < 40; ++i)
        analytics.Process(mat, i * 250);
    QCOMPARE(nAlarms, 0);
    QCOMPARE(analytics.Counters().nDetectorRuns, uint64_t(0));
}

void tst_Analytics::linkedCameraJoinsTheOpenLinkage()
{
    CLinkageBoard::Instance().Clear();
    std::vector<quorra::IntelAlarmEventInfo> vecAlarms;
    auto sink = [&](quorra::IntelAlarmEventInfo info) { vecAlarms.push_back(std::move(info)); };
    CCameraAnalytics pano(Camera(true), sink);
    CCameraAnalytics linked(Camera(false, true), sink);
    QVERIFY(linked.IsUsable());
    cv::VideoCapture capture((kData + "vtest.avi").toStdString());
    cv::Mat mat;
    for (int nFrame = 0; nFrame < 120 && capture.read(mat); ++nFrame) {
        if (nFrame % 3)
            continue;
        pano.Process(mat, nFrame * 100);
        // The linked camera looks at the middle of the scene, twice as close.
        cv::Mat matZoom;
        cv::resize(mat(cv::Rect(192, 144, 384, 288)), matZoom, mat.size());
        linked.Process(matZoom, nFrame * 100);
    }
    std::string strUid;
    int nLinkage = 0;
    for (const quorra::IntelAlarmEventInfo& info : vecAlarms) {
        if (info.AlarmType == quorra::AlarmTypePanoramicSmart) {
            strUid = info.IntelAlarmInfo.LinkageUid;
            continue;
        }
        ++nLinkage;
        QVERIFY(!strUid.empty());
        QCOMPARE(info.IntelAlarmInfo.LinkageUid, strUid);
        QCOMPARE(info.AlarmSourceID, std::string("AS-LINKED"));
        const protocol::IntelAlarmHumanInfo& human = info.IntelAlarmInfo.IntelAlarmHumanInfoList.at(0);
        QVERIFY(!human.bkPic.pPicBinary->strData.empty() && !human.SubPic.pPicBinary->strData.empty());
        for (const protocol::PictureRect& rc : human.SubPic.PictureRectList)
            QVERIFY(rc.width > 0 && rc.x >= 0 && rc.x + rc.width <= 1.0001 && rc.y + rc.height <= 1.0001);
    }
    QVERIFY(nLinkage > 0);
}

void tst_Analytics::siteSettings_data()
{
    QTest::addColumn<QString>("strAnalytics");
    QTest::addColumn<bool>("bLoaded");
    QTest::addColumn<int>("nFps");
    QTest::addColumn<bool>("bFaces");
    QTest::newRow("absent: off") << QString() << true << AnalyticsSettings::kDefaultFps << false;
    QTest::newRow("persons and faces") << R"({"persons": true, "faces": true, "fps": 2})" << true << 2 << true;
    QTest::newRow("not an object") << R"(true)" << false << 0 << false;
    QTest::newRow("fps zero") << R"({"persons": true, "fps": 0})" << false << 0 << false;
    QTest::newRow("fps fractional") << R"({"persons": true, "fps": 2.5})" << false << 0 << false;
    QTest::newRow("fps huge") << R"({"persons": true, "fps": 1e300})" << false << 0 << false;
    QTest::newRow("unknown key") << R"({"persons": true, "cars": true})" << false << 0 << false;
    QTest::newRow("faces not a bool") << R"({"faces": "yes"})" << false << 0 << false;
    QTest::newRow("detectEvery 3") << R"({"persons": true, "detectEvery": 3})" << true << 4 << false;
    QTest::newRow("detectEvery zero") << R"({"persons": true, "detectEvery": 0})" << false << 0 << false;
}

void tst_Analytics::siteSettings()
{
    QFETCH(QString, strAnalytics);
    QFETCH(bool, bLoaded);
    QFETCH(int, nFps);
    QFETCH(bool, bFaces);
    const QString strCamera = R"({"guid": "{c}", "name": "C", "group": "g")"
                              + (strAnalytics.isEmpty() ? QString() : ", \"analytics\": " + strAnalytics) + "}";
    const tessel::SiteLoadResult result = tessel::ParseSite(
        QString(R"({"groups": [{"id": "g", "name": "G"}], "cameras": [%1]})").arg(strCamera).toUtf8(), "site.json");
    QCOMPARE(result.site.vecCameras.size(), size_t(bLoaded ? 1 : 0));
    if (!bLoaded) {
        QVERIFY(result.lstMessages.join('\n').contains("field \"analytics\""));
        return;
    }
    QCOMPARE(result.site.vecCameras[0].analytics.nFps, nFps);
    QCOMPARE(result.site.vecCameras[0].analytics.bFaces, bFaces);
}

void tst_Analytics::badInput_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::newRow("face model missing") << "model";
    QTest::newRow("picture size changes mid-stream") << "size";
    QTest::newRow("frames that are not BGR") << "format";
    QTest::newRow("camera with analytics but no stream") << "nostream";
    QTest::newRow("stream that is not video") << "notvideo";
}

void tst_Analytics::badInput()
{
    QFETCH(QString, strCase);
    int nAlarms = 0;
    auto sink = [&](quorra::IntelAlarmEventInfo) { ++nAlarms; };
    if (strCase == "model") {
        CCameraAnalytics analytics(Camera(false, true), sink, "/no/such/cascade.xml");
        QVERIFY(!analytics.IsUsable());
        QVERIFY(analytics.Error().find("/no/such/cascade.xml") != std::string::npos);
        analytics.Offer(StreetFrame(0), 0); // ignored, no crash
        QCOMPARE(analytics.Counters().nOffered, uint64_t(0));
        return;
    }
    if (strCase == "size" || strCase == "format") {
        CCameraAnalytics analytics(Camera(true), sink);
        const cv::Mat matStreet = StreetFrame(300);
        cv::Mat matOther;
        if (strCase == "size")
            cv::resize(matStreet, matOther, cv::Size(640, 360));
        else
            cv::cvtColor(matStreet, matOther, cv::COLOR_BGR2GRAY);
        for (int i = 0; i < 6; ++i)
            analytics.Offer(i % 2 ? matOther.clone() : matStreet.clone(), i * 250);
        analytics.WaitIdle();
        const AnalyticsCounters counters = analytics.Counters();
        QCOMPARE(counters.nOffered, uint64_t(6));
        if (strCase == "size")
            QCOMPARE(counters.nAnalysed + counters.nDropped, uint64_t(6));
        else
            QVERIFY(counters.nAnalysed <= 3); // grey frames are skipped
        QCOMPARE(nAlarms, 0);                 // every change of size starts the scene again
        return;
    }
    // Through the hub and the site: the camera's video is not touched; nothing crashes.
    QTemporaryDir dir;
    QFile file(dir.filePath("notes.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a video\n") > 0);
    file.close();
    tessel::SiteData site;
    site.vecGroups.push_back({"g", "G"});
    tessel::CameraInfo camera;
    camera.strGUID = "{bad}";
    camera.strName = "Bad";
    camera.strGroupID = "g";
    camera.strStreamUrl = strCase == "notvideo" ? file.fileName().toStdString() : std::string();
    camera.analytics.bPersons = true;
    site.vecCameras.push_back(camera);
    tessel::CGroupManager::Instance().ApplySite(site);
    CAnalyticsHub hub;
    hub.SetAlarmSink(sink);
    hub.Start();
    QVERIFY(hub.Find("{bad}"));
    if (strCase == "notvideo")
        QTRY_VERIFY_WITH_TIMEOUT(!hub.HasHeadlessStream("{bad}"), 20000);
    else
        QVERIFY(!hub.HasHeadlessStream("{bad}"));
    hub.Stop();
    tessel::CGroupManager::Instance().ApplySite(tessel::SiteData());
    QCOMPARE(nAlarms, 0);
}

void tst_Analytics::moduleMissing_data()
{
    QTest::addColumn<QString>("strPath");
    QTest::addColumn<bool>("bByEnvironment");
    QTest::newRow("no such file") << "/no/such/libLinkageAnalytics.so" << false;
    QTest::newRow("no such file, from the environment") << "/no/such/libLinkageAnalytics.so" << true;
    QTest::newRow("not a library") << QFINDTESTDATA("tst_analytics.cpp") << false;
    // The host library itself: loads, but has no entry point.
    QTest::newRow("no entry point") << QFileInfo(DefaultAnalyticsModulePath()).dir().filePath("libLinkageHost.so")
                                    << false;
}

void tst_Analytics::moduleMissing()
{
    QFETCH(QString, strPath);
    QFETCH(bool, bByEnvironment);
    tessel::SiteData site;
    site.vecGroups.push_back({"g", "G"});
    tessel::CameraInfo camera;
    camera.strGUID = "{cam}";
    camera.strName = "Cam";
    camera.strGroupID = "g";
    camera.strStreamUrl = (kData + "vtest.avi").toStdString();
    camera.analytics.bPersons = true;
    site.vecCameras = {camera, camera};
    site.vecCameras[1].strGUID = "{cam2}";
    tessel::CGroupManager::Instance().ApplySite(site);
    CAnalyticsHub hub;
    if (bByEnvironment)
        qputenv("LSA_ANALYTICS_MODULE", strPath.toUtf8());
    else
        hub.SetModulePath(strPath);
    // One line for the whole site, not one per camera.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^analytics off: module not loaded: .+"));
    hub.Start();
    qunsetenv("LSA_ANALYTICS_MODULE");
    QVERIFY(!hub.Find("{cam}") && !hub.Find("{cam2}"));
    QVERIFY(!hub.HasHeadlessStream("{cam}"));
    hub.Stop();
    tessel::CGroupManager::Instance().ApplySite(tessel::SiteData());
}

QTEST_MAIN(tst_Analytics)
#include "tst_analytics.moc"
