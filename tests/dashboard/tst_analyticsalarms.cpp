#include "dashboard/DashboardPlugin.h"
#include "dashboard/DashboardStateStore.h"
#include "dashboard/DashboardWindow.h"

#include "Fendra/Singleton.h"
#include "analytics/AnalyticsHub.h"
#include "quorra/AlarmTransfer.h"
#include "quorra/IAIWidget.h"
#include "tessel/GroupManager.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <mutex>

// A panoramic camera playing the street video and a linked camera looking at
// part of it, both in the plug-in's windows: real persons must open a linkage
// and fill the cards, with nothing but the video to go on.
class tst_AnalyticsAlarms : public QObject
{
    Q_OBJECT
private slots:
    void streetVideoFillsTheCards();
};

void tst_AnalyticsAlarms::streetVideoFillsTheCards()
{
    const std::string strVideo = "/usr/share/doc/opencv-doc/examples/data/vtest.avi";
    if (!QFile::exists(QString::fromStdString(strVideo)))
        QSKIP("opencv-doc is not installed (scripts/setup.sh installs it)");
    tessel::SiteData site;
    site.vecGroups.push_back({"street", "Street"});
    tessel::CameraInfo pano;
    pano.strGUID = "{pano}";
    pano.strName = "Street Panorama";
    pano.strGroupID = "street";
    pano.strAlarmSourceID = "AS-STREET-PANO";
    pano.strStreamUrl = strVideo;
    pano.strLinkageRole = "panoramic";
    pano.analytics.bPersons = true;
    pano.analytics.nWidth = 1152;
    tessel::CameraInfo linked = pano;
    linked.strGUID = "{linked}";
    linked.strName = "Street Middle";
    linked.strAlarmSourceID = "AS-STREET-MIDDLE";
    linked.strStreamUrl = "file://" + strVideo + "?crop=0.2,0.2,0.6,0.6&size=768x576";
    linked.strLinkageRole = "linked";
    linked.analytics.bFaces = true;
    linked.analytics.nWidth = 768;
    // In no window: analysed from a stream of its own.
    tessel::CameraInfo headless = linked;
    headless.strGUID = "{headless}";
    headless.strName = "Street Headless";
    headless.strAlarmSourceID = "AS-STREET-HEADLESS";
    site.vecCameras = {pano, linked, headless};
    tessel::CGroupManager::Instance().ApplySite(site);

    // Every alarm raised, as the host's alarm stream carries it.
    std::mutex mutex;
    std::vector<quorra::IntelAlarmEventInfo> vecAlarms;
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    QObject::connect(
        &transfer, &quorra::AlarmTransfer::signalAlarmEventInfo, this,
        [&](void* pEvent) {
            std::lock_guard<std::mutex> lock(mutex);
            vecAlarms.push_back(static_cast<quorra::IAlarmEvent*>(pEvent)->GetIntelAlarmEventInfo());
        },
        Qt::DirectConnection);

    QTemporaryDir dir;
    CDashboardStateStore store(dir.filePath("dashboard.ini"));
    CDashboardWindow window(store);
    auto upPlugin = std::make_unique<CDashboardPlugin>("LinkageSnapAlarm");
    QVERIFY2(upPlugin->Load(LSA_PLUGIN_DIR), qPrintable(upPlugin->ErrorString()));
    QVERIFY(window.AddPlugin(std::move(upPlugin)));
    window.resize(1600, 900);
    window.show();
    Analytics::CAnalyticsHub& hub = Analytics::CAnalyticsHub::Instance();
    hub.Start();
    QVERIFY(hub.Find("{pano}") && hub.Find("{linked}"));
    quorra::IAIWidget* pWidget = window.CurrentWidget();
    pWidget->stateList() = {{"{pano}", {}}, {"{linked}", {}}};
    pWidget->readState();

    auto cards = [&] {
        int n = 0;
        for (QLabel* pLabel : window.findChildren<QLabel*>("m_pLabelHumanPic"))
            n += !pLabel->pixmap(Qt::ReturnByValue).isNull();
        return n;
    };
    QTRY_VERIFY_WITH_TIMEOUT(cards() > 0, 120000);
    // The windows' streams feed the analytics: no second connection.
    QVERIFY(!hub.HasHeadlessStream("{pano}") && !hub.HasHeadlessStream("{linked}"));
    QVERIFY(hub.HasHeadlessStream("{headless}"));
    QTRY_VERIFY_WITH_TIMEOUT(hub.Find("{headless}")->Counters().nAnalysed > 0, 30000);
    const QLabel* pScene = window.findChild<QLabel*>("m_pLabelPic");
    QVERIFY(pScene && !pScene->pixmap(Qt::ReturnByValue).isNull());

    std::unique_lock<std::mutex> lock(mutex);
    std::set<std::string> setLinkages;
    int nLinkageAlarms = 0;
    auto inside = [](const protocol::PictureRect& rc) {
        return rc.width > 0 && rc.height > 0 && rc.x >= 0 && rc.y >= 0 && rc.x + rc.width <= 1.0001
               && rc.y + rc.height <= 1.0001;
    };
    for (const quorra::IntelAlarmEventInfo& info : vecAlarms) {
        const auto& alarm = info.IntelAlarmInfo;
        if (info.AlarmType == quorra::AlarmTypePanoramicSmart) {
            QCOMPARE(info.AlarmSourceID, pano.strAlarmSourceID);
            setLinkages.insert(alarm.LinkageUid);
            for (const protocol::PictureRect& rc : alarm.VCASmart.bkPic.PictureRectList)
                QVERIFY(inside(rc));
            continue;
        }
        ++nLinkageAlarms;
        QCOMPARE(info.AlarmType, int(quorra::AlarmTypeLinkageChannel));
        QVERIFY(info.AlarmSourceID == linked.strAlarmSourceID || info.AlarmSourceID == headless.strAlarmSourceID);
        QVERIFY2(setLinkages.count(alarm.LinkageUid), "a linkage alarm of a linkage no panoramic alarm opened");
        for (const protocol::PictureRect& rc : alarm.IntelAlarmHumanInfoList.at(0).SubPic.PictureRectList)
            QVERIFY(inside(rc));
    }
    QVERIFY(!setLinkages.empty() && nLinkageAlarms > 0);
    lock.unlock(); // the workers may still be raising alarms
    pWidget->saveState();
    hub.Stop();
    tessel::CGroupManager::Instance().ApplySite(tessel::SiteData());
}

QTEST_MAIN(tst_AnalyticsAlarms)
#include "tst_analyticsalarms.moc"
