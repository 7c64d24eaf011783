#include "tessel/Site.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* kGroups = R"("groups":[{"id":"g1","name":"Gate"},{"id":"g2","name":"Yard"}])";

QByteArray Site(const QString& strCameras, const QString& strExtra = QString())
{
    return QStringLiteral("{%1,\"cameras\":[%2]%3}").arg(QLatin1String(kGroups), strCameras, strExtra).toUtf8();
}

QString Camera(const QString& strGuid, const QString& strMore = QString(), const QString& strGroup = "g1")
{
    return QStringLiteral(R"({"guid":"%1","name":"Cam %1","group":"%2"%3})").arg(strGuid, strGroup, strMore);
}

QString Guids(const tessel::SiteData& site)
{
    QStringList lst;
    for (const auto& camera : site.vecCameras)
        lst << QString::fromStdString(camera.strGUID);
    for (const auto& input : site.vecAlarmInputs)
        lst << "in:" + QString::fromStdString(input.strGUID);
    return lst.join(',');
}

} // namespace

class tst_Site : public QObject
{
    Q_OBJECT
private slots:
    void badItems_data();
    void badItems();
    void fileProblems_data();
    void fileProblems();
    void fieldsReadIntoTheRecord();
    void hugeSiteIsCapped();
};

void tst_Site::badItems_data()
{
    QTest::addColumn<QByteArray>("baJson");
    QTest::addColumn<bool>("bUsable");
    QTest::addColumn<QString>("strLoaded");
    QTest::addColumn<QString>("strMessage");

    const QString c1 = Camera("c1");
    QTest::newRow("not JSON") << QByteArray("{\"groups\":[") << false << ""
                              << "site.json: not JSON";
    QTest::newRow("no group list") << QByteArray(R"({"cameras":[]})") << false << ""
                                   << "site.json: field \"groups\": missing or not a list; site not loaded";
    QTest::newRow("top level is a list") << QByteArray("[1,2]") << false << ""
                                         << "field \"groups\"";
    QTest::newRow("missing name") << Site(R"({"guid":"c0","group":"g1"},)" + c1) << true << "c1"
                                  << "site.json: camera 1 \"c0\": field \"name\": missing; skipped";
    QTest::newRow("duplicate GUID") << Site(c1 + "," + Camera("c1", "", "g2")) << true << "c1"
                                    << "site.json: camera 2 \"c1\": field \"guid\": used twice; skipped";
    QTest::newRow("unknown group") << Site(Camera("c0", "", "g9") + "," + c1) << true << "c1"
                                   << "camera 1 \"c0\": field \"group\": no such group; skipped";
    QTest::newRow("online not a flag") << Site(Camera("c0", R"(,"online":"yes")") + "," + c1) << true << "c1"
                                       << "camera 1 \"c0\": field \"online\": expected true or false; skipped";
    QTest::newRow("channel out of range") << Site(Camera("c0", R"(,"channel":0)") + "," + c1) << true << "c1"
                                          << "field \"channel\": expected a whole number";
    QTest::newRow("channel not whole") << Site(Camera("c0", R"(,"channel":1.5)") + "," + c1) << true << "c1"
                                       << "field \"channel\"";
    QTest::newRow("buffer seconds over the limit")
        << Site(Camera("c0", R"(,"bufferSeconds":601)") + "," + c1) << true << "c1"
        << "field \"bufferSeconds\": expected a whole number from 0 to 600";
    QTest::newRow("buffer of no memory") << Site(Camera("c0", R"(,"bufferMiB":0)") + "," + c1) << true << "c1"
                                         << "field \"bufferMiB\": expected a whole number from 1 to 1024";
    QTest::newRow("unknown right") << Site(Camera("c0", R"(,"rights":["liveView","fly"])") + "," + c1) << true << "c1"
                                   << "field \"rights\": unknown right";
    QTest::newRow("bad linkage role") << Site(Camera("c0", R"(,"linkageRole":"main")") + "," + c1) << true << "c1"
                                      << "field \"linkageRole\"";
    QTest::newRow("unknown stream scheme") << Site(Camera("c0", R"(,"stream":"ftp://x/y")") + "," + c1) << true << "c1"
                                           << "field \"stream\": not a test:";
    QTest::newRow("empty GUID") << Site(R"({"guid":" ","name":"n","group":"g1"},)" + c1) << true << "c1"
                                << "camera 1: field \"guid\": empty; skipped";
    QTest::newRow("10,000-character name")
        << Site(QStringLiteral(R"({"guid":"c0","name":"%1","group":"g1"},)").arg(QString(10000, 'x')) + c1) << true
        << "c1"
        << "field \"name\": longer than 256 characters; skipped";
    QTest::newRow("control character in name")
        << Site(R"({"guid":"c0","name":"a\u0007b","group":"g1"},)" + c1) << true << "c1"
        << "field \"name\": holds control characters";
    QTest::newRow("markup and right-to-left names kept")
        << Site(R"({"guid":"c0","name":"<b>Gate</b><img src=x>","group":"g1"},)"
                R"({"guid":"c1","name":"\u05E9\u05E2\u05E8 \u0628\u0648\u0627\u0628\u0629","group":"g1"})")
        << true << "c0,c1"
        << "";
    QTest::newRow("item not an object") << Site("42," + c1) << true << "c1"
                                        << "camera 1: expected an object; skipped";
    QTest::newRow("unknown field reported, camera kept") << Site(Camera("c1", R"(,"onlne":false)")) << true << "c1"
                                                         << "camera 1 \"c1\": field \"onlne\": unknown; ignored";
    QTest::newRow("alarm input reusing a camera GUID") << Site(
        c1, R"(,"alarmInputs":[{"guid":"c1","name":"Door","group":"g1"},{"guid":"a1","name":"D","group":"g2"}])")
                                                       << true << "c1,in:a1"
                                                       << "alarm input 1 \"c1\": field \"guid\": used twice; skipped";
    QTest::newRow("group id used twice") << QByteArray(
        R"({"groups":[{"id":"g1","name":"A"},{"id":"g1","name":"B"}],"cameras":[{"guid":"c1","name":"n","group":"g1"}]})")
                                         << true << "c1"
                                         << "group 2 \"g1\": field \"id\": used twice; skipped";
    QTest::newRow("GUID again in another case") << Site(c1 + "," + Camera("C1", "", "g2")) << true << "c1"
                                                << "camera 2 \"C1\": field \"guid\": used twice; skipped";
    QTest::newRow("group named in another case") << Site(Camera("c1", "", "G1")) << true << "c1"
                                                 << "";
    QTest::newRow("long stream address") << Site(Camera("c0", ",\"stream\":\"rtsp://h/" + QString(5000, 'a') + "\"")
                                                 + "," + c1)
                                         << true << "c1"
                                         << "field \"stream\": longer than 2048 characters; skipped";
    QTest::newRow("empty group list") << QByteArray(R"({"groups":[],"cameras":[]})") << true << ""
                                      << "site.json: field \"groups\": no group; the camera tree is empty";
    QTest::newRow("forged line in a GUID, escaped")
        << Site(R"({"guid":"c0\n12:00:00 forged\u202e","name":"n","group":"g1"},)" + c1) << true << "c1"
        << "camera 1 \"c0\\n12:00:00 forged\\u{202e}\": field \"guid\": holds control characters";
    QTest::newRow("camera list not a list") << Site("", R"(,"alarmInputs":{})") << true << ""
                                            << "field \"alarmInputs\": expected a list; ignored";
}

void tst_Site::badItems()
{
    QFETCH(QByteArray, baJson);
    QFETCH(bool, bUsable);
    QFETCH(QString, strLoaded);
    QFETCH(QString, strMessage);

    const tessel::SiteLoadResult result = tessel::ParseSite(baJson, "site.json");
    QCOMPARE(result.bUsable, bUsable);
    QCOMPARE(Guids(result.site), strLoaded);
    if (strMessage.isEmpty()) {
        QCOMPARE(result.lstMessages, QStringList());
    } else {
        QCOMPARE(result.lstMessages.size(), 1);
        QVERIFY2(result.lstMessages.first().contains(strMessage), qPrintable(result.lstMessages.first()));
        QVERIFY(result.lstMessages.first().startsWith("site.json: "));
    }
}

void tst_Site::fileProblems_data()
{
    QTest::addColumn<QString>("strFile");
    QTest::addColumn<QString>("strMessageEnd");
    QTest::newRow("missing file") << "absent.json"
                                  << ": missing; site not loaded";
    QTest::newRow("unreadable (a folder)") << "folder.json"
                                           << "site not loaded";
    QTest::newRow("empty file") << "empty.json"
                                << "site not loaded";
}

void tst_Site::fileProblems()
{
    QFETCH(QString, strFile);
    QFETCH(QString, strMessageEnd);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("folder.json");
    QFile empty(dir.filePath("empty.json"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();

    const tessel::SiteLoadResult result = tessel::LoadSiteFile(dir.filePath(strFile));
    QVERIFY(!result.bUsable);
    QCOMPARE(result.lstMessages.size(), 1);
    QVERIFY2(result.lstMessages.first().startsWith(dir.filePath(strFile)), qPrintable(result.lstMessages.first()));
    QVERIFY2(result.lstMessages.first().endsWith(strMessageEnd), qPrintable(result.lstMessages.first()));
}

void tst_Site::fieldsReadIntoTheRecord()
{
    const tessel::SiteLoadResult result = tessel::ParseSite(
        Site(Camera("c1",
                    R"(,"online":false,"enabled":false,"alarmSource":"AS1","device":"NVR","channel":7,)"
                    R"("stream":"rtsp://127.0.0.1/s","ptz":true,"sound":true,"rights":["liveView","sound","playback"],)"
                    R"("linkageRole":"panoramic","bufferSeconds":0,"bufferMiB":64)")),
        "site.json");
    QCOMPARE(result.lstMessages, QStringList());
    QCOMPARE(result.site.vecGroups.size(), size_t(2));
    QCOMPARE(result.site.vecGroups[1].strName, std::string("Yard"));
    const tessel::CameraInfo& camera = result.site.vecCameras.at(0);
    QCOMPARE(camera.strName, std::string("Cam c1"));
    QVERIFY(!camera.bOnline);
    QVERIFY(!camera.bEnabled);
    QCOMPARE(camera.strAlarmSourceID, std::string("AS1"));
    QCOMPARE(camera.strDeviceName, std::string("NVR"));
    QCOMPARE(camera.nChannel, 7);
    QCOMPARE(camera.strStreamUrl, std::string("rtsp://127.0.0.1/s"));
    QVERIFY(camera.bHasPTZ && camera.bHasSound);
    QCOMPARE(camera.uRights,
             uint32_t(tessel::CameraRightLiveView | tessel::CameraRightSound | tessel::CameraRightPlayback));
    QCOMPARE(camera.nBufferSeconds, 0);
    QCOMPARE(camera.nBufferMiB, 64);
    QCOMPARE(camera.strLinkageRole, std::string("panoramic"));

    // Fields left out take the defaults: online, enabled, every right.
    const tessel::CameraInfo plain = tessel::ParseSite(Site(Camera("c2")), "s").site.vecCameras.at(0);
    QVERIFY(plain.bOnline && plain.bEnabled);
    QCOMPARE(plain.uRights, uint32_t(tessel::CameraRightAll));
    QCOMPARE(plain.nBufferSeconds, tessel::kDefaultBufferSeconds);
}

void tst_Site::hugeSiteIsCapped()
{
    // 100,000 cameras, every one with a bad field too: the site keeps the
    // first ones up to the limit, and the messages stay a readable list.
    QStringList lstCameras;
    lstCameras.reserve(100000);
    for (int i = 0; i < 100000; ++i)
        lstCameras << QStringLiteral(R"({"guid":"c%1","name":"n","group":"g1","x":1})").arg(i);
    const tessel::SiteLoadResult result = tessel::ParseSite(Site(lstCameras.join(',')), "big.json");
    QVERIFY(result.bUsable);
    QCOMPARE(result.site.vecCameras.size(), size_t(tessel::kMaxSiteElements));
    QCOMPARE(result.lstMessages.size(), tessel::kMaxSiteMessages + 1);
    QVERIFY(result.lstMessages.last().endsWith("more problems not listed"));
}

QTEST_GUILESS_MAIN(tst_Site)
#include "tst_site.moc"
