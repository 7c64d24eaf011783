#include "analytics/AnalyticsHub.h"
#include "analytics/AnalyticsModule.h"
#include "analytics/CameraAnalytics.h"
#include "analytics/IouTracker.h"
#include "analytics/PersonDetector.h"
#include "analytics/StreamPicture.h"
#include "tessel/GroupManager.h"
#include "tessel/Site.h"

#include <QDir>
#include <QMutex>
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

// A colour in the decoder's terms and as BGR (OpenCV's own conversion of it).
struct YuvColour
{
    uint8_t y, u, v;
    cv::Vec3b Bgr() const
    {
        cv::Mat matYuv = (cv::Mat_<uint8_t>(3, 2) << y, y, y, y, u, v), matBgr;
        cv::cvtColor(matYuv, matBgr, cv::COLOR_YUV2BGR_I420);
        return matBgr.at<cv::Vec3b>(0, 0);
    }
};
// Within what BGR can show: the two conversions clip differently outside it.
const YuvColour kQuadrants[4] = {{102, 98, 191}, {126, 95, 92}, {93, 178, 103}, {126, 128, 128}};

// Which quadrant a pixel is in; the split is at odd offsets, so chroma samples straddle it.
int Quadrant(int x, int y, int nWidth, int nHeight)
{
    return (x < (nWidth / 2 | 1) ? 0 : 1) + (y < (nHeight / 2 | 1) ? 0 : 2);
}

// A picture of four coloured quadrants in a YUV format, each sample written
// where the format puts it (strides, planes, subsampling).
GstBuffer* QuadrantPicture(GstVideoInfo& info)
{
    GstBuffer* pBuffer = gst_buffer_new_allocate(nullptr, info.size, nullptr);
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, pBuffer, GST_MAP_WRITE))
        return pBuffer;
    for (guint c = 0; c < GST_VIDEO_FRAME_N_COMPONENTS(&frame); ++c) {
        auto* pData = static_cast<uint8_t*>(GST_VIDEO_FRAME_COMP_DATA(&frame, c));
        const int nWSub = GST_VIDEO_FORMAT_INFO_W_SUB(info.finfo, c),
                  nHSub = GST_VIDEO_FORMAT_INFO_H_SUB(info.finfo, c);
        for (int y = 0; y < GST_VIDEO_FRAME_COMP_HEIGHT(&frame, c); ++y)
            for (int x = 0; x < GST_VIDEO_FRAME_COMP_WIDTH(&frame, c); ++x) {
                const YuvColour& colour =
                    kQuadrants[Quadrant(x << nWSub, y << nHSub, int(info.width), int(info.height))];
                pData[y * GST_VIDEO_FRAME_COMP_STRIDE(&frame, c) + x * GST_VIDEO_FRAME_COMP_PSTRIDE(&frame, c)] =
                    c == 0   ? colour.y
                    : c == 1 ? colour.u
                             : colour.v;
            }
    }
    gst_video_frame_unmap(&frame);
    return pBuffer;
}

// Keeps what the analysis branch offers: the grey picture and the full picture as BGR.
class CRecordingAnalytics : public ICameraAnalytics
{
public:
    bool IsUsable() const override { return true; }
    const std::string& Error() const override { return m_strError; }
    void OfferFrame(const GreyPicture& grey, std::shared_ptr<const IStreamPicture> spFull, int64_t) override
    {
        cv::Mat matFull(spFull->Height(), spFull->Width(), CV_8UC3);
        if (!spFull->ToBgr(matFull.data, matFull.step))
            matFull.release();
        cv::Mat matGrey(grey.nHeight, grey.nWidth, CV_8UC1, const_cast<uint8_t*>(grey.pData), grey.nStride);
        // Levels as OpenCV's BGR to grey gives them.
        if (grey.bStudioRange)
            matGrey.convertTo(matGrey, CV_8U, 255.0 / 219, -16 * 255.0 / 219);
        QMutexLocker lock(&m_mutex);
        vecFrames.push_back({matGrey.clone(), matFull});
    }
    AnalyticsCounters Counters() const override { return {}; }
    void SetReportObserver(ReportObserver) override { }
    void WaitIdle() override { }
    void Shutdown() override { }

    std::vector<std::pair<cv::Mat, cv::Mat>> vecFrames;

private:
    std::string m_strError;
    QMutex m_mutex;
};

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
    void streamPictureToBgr_data();
    void streamPictureToBgr();
    void analysisBranchPairsPictures_data();
    void analysisBranchPairsPictures();
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

void tst_Analytics::streamPictureToBgr_data()
{
    QTest::addColumn<QString>("strFormat");
    QTest::addColumn<int>("nWidth");
    QTest::addColumn<int>("nHeight");
    QTest::newRow("I420") << "I420" << 160 << 96;
    // Odd sizes: padded rows, a last chroma sample covering one pixel.
    QTest::newRow("I420, odd size") << "I420" << 161 << 97;
    QTest::newRow("YV12 (chroma planes swapped), odd size") << "YV12" << 161 << 97;
    QTest::newRow("NV12 (chroma interleaved), odd size") << "NV12" << 161 << 97;
}

void tst_Analytics::streamPictureToBgr()
{
    QFETCH(QString, strFormat);
    QFETCH(int, nWidth);
    QFETCH(int, nHeight);
    gst_init(nullptr, nullptr);
    GstVideoInfo info;
    QVERIFY(gst_video_info_set_format(&info, gst_video_format_from_string(qPrintable(strFormat)), guint(nWidth),
                                      guint(nHeight)));
    GstBuffer* pBuffer = QuadrantPicture(info);
    const std::shared_ptr<const IStreamPicture> spPicture = WrapStreamPicture(pBuffer, info);
    gst_buffer_unref(pBuffer); // the picture holds its own reference
    QVERIFY(spPicture);
    QCOMPARE(spPicture->Width(), nWidth);
    cv::Mat matBgr(nHeight, nWidth, CV_8UC3);
    QVERIFY(spPicture->ToBgr(matBgr.data, matBgr.step));
    // The corners (the last row and column of an odd size among them) and each
    // quadrant's middle, away from where chroma is shared across the split.
    const int nRight = nWidth - 1, nBottom = nHeight - 1;
    const cv::Point arrPoints[] = {{0, 0},
                                   {nRight, 0},
                                   {0, nBottom},
                                   {nRight, nBottom},
                                   {nWidth / 4, nHeight / 4},
                                   {3 * nWidth / 4, 3 * nHeight / 4}};
    constexpr int kTolerance = 4; // rounding of the two conversions
    for (const cv::Point& pt : arrPoints) {
        const cv::Vec3b expected = kQuadrants[Quadrant(pt.x, pt.y, nWidth, nHeight)].Bgr();
        const cv::Vec3b got = matBgr.at<cv::Vec3b>(pt);
        for (int c = 0; c < 3; ++c)
            QVERIFY2(std::abs(int(got[c]) - int(expected[c])) <= kTolerance,
                     qPrintable(QString("(%1, %2) channel %3: %4, expected %5")
                                    .arg(pt.x)
                                    .arg(pt.y)
                                    .arg(c)
                                    .arg(got[c])
                                    .arg(expected[c])));
    }
    QVERIFY(!spPicture->ToBgr(matBgr.data, size_t(nWidth))); // rows too short for BGR
}

void tst_Analytics::analysisBranchPairsPictures_data()
{
    QTest::addColumn<QString>("strFormat");
    QTest::addColumn<int>("nWidth");
    QTest::addColumn<int>("nHeight");
    QTest::addColumn<int>("nAnalysisWidth");
    QTest::newRow("I420, odd size, analysed as it is") << "I420" << 161 << 97 << 161;
    QTest::newRow("NV12, scaled down") << "NV12" << 320 << 180 << 160;
    QTest::newRow("I420, scaled up") << "I420" << 160 << 120 << 240;
}

void tst_Analytics::analysisBranchPairsPictures()
{
    QFETCH(QString, strFormat);
    QFETCH(int, nWidth);
    QFETCH(int, nHeight);
    QFETCH(int, nAnalysisWidth);
    gst_init(nullptr, nullptr);
    // Noise: every picture differs from the next, so a picture paired with
    // another instant's does not look alike. The sink paces the source, as a
    // window's does.
    const QString strLine =
        QString("videotestsrc pattern=snow num-buffers=15 ! video/x-raw,format=%1,width=%2,"
                "height=%3,framerate=25/1 ! tee name=t allow-not-linked=true t. ! fakesink sync=true")
            .arg(strFormat)
            .arg(nWidth)
            .arg(nHeight);
    GstElement* pPipeline = gst_parse_launch(qPrintable(strLine), nullptr);
    QVERIFY(pPipeline);
    GstElement* pTee = gst_bin_get_by_name(GST_BIN(pPipeline), "t");
    auto spAnalytics = std::make_shared<CRecordingAnalytics>();
    QVERIFY(AttachAnalysisBranch(pPipeline, pTee, 25, nAnalysisWidth, spAnalytics));
    QVERIFY(AttachAnalysisBranch(pPipeline, pTee, 25, nAnalysisWidth, spAnalytics)); // one branch a stream
    gst_object_unref(pTee);
    gst_element_set_state(pPipeline, GST_STATE_PLAYING);
    GstBus* pBus = gst_element_get_bus(pPipeline);
    GstMessage* pMessage =
        gst_bus_timed_pop_filtered(pBus, 20 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    QVERIFY(pMessage && GST_MESSAGE_TYPE(pMessage) == GST_MESSAGE_EOS);
    gst_message_unref(pMessage);
    gst_object_unref(pBus);
    gst_element_set_state(pPipeline, GST_STATE_NULL);
    gst_object_unref(pPipeline);
    QVERIFY(spAnalytics->vecFrames.size() >= 3);
    const cv::Size sizeAnalysis(nAnalysisWidth, cvRound(double(nHeight) * nAnalysisWidth / nWidth));
    for (const auto& [matGrey, matFull] : spAnalytics->vecFrames) {
        QCOMPARE(matFull.size(), cv::Size(nWidth, nHeight));
        QVERIFY(std::abs(matGrey.cols - sizeAnalysis.width) <= 1 && std::abs(matGrey.rows - sizeAnalysis.height) <= 1);
        // The grey picture is the full one, scaled: alike only when of the same instant.
        cv::Mat matExpected, matScore;
        cv::cvtColor(matFull, matExpected, cv::COLOR_BGR2GRAY);
        cv::resize(matExpected, matExpected, matGrey.size(), 0, 0, cv::INTER_AREA);
        cv::matchTemplate(matGrey, matExpected, matScore, cv::TM_CCOEFF_NORMED);
        QVERIFY2(matScore.at<float>(0, 0) > 0.5f, qPrintable(QString::number(matScore.at<float>(0, 0))));
        // Unscaled, the levels match too (the detectors' thresholds assume 0 to 255).
        if (matGrey.size() == matFull.size())
            QVERIFY(cv::norm(matGrey, matExpected, cv::NORM_L1) / double(matGrey.total()) < 3);
    }
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
