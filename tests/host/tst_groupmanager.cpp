#include "Kelmot/GroupManagerDeletage.h"
#include "Miravel/InformationMgr.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "tessel/GroupManager.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {

// Writes every notification as one short line.
class CRecorder : public tessel::IGroupManagerObserver
{
public:
    QStringList lstLog;

    static QString Ids(const std::vector<tessel::IElement*>& vec)
    {
        QStringList lst;
        for (tessel::IElement* p : vec)
            lst << QString::fromStdString(p->GetElementID());
        return lst.join(',');
    }
    void OnGroupsAdded(const std::vector<tessel::StrGUID>& vec) override
    {
        QStringList lst;
        for (const auto& id : vec)
            lst << QString::fromStdString(id) + "[" + Ids(tessel::CGroupManager::Instance().GetElementsOfGroup(id))
                       + "]";
        lstLog << "groups+ " + lst.join(',');
    }
    void OnGroupChanged(const tessel::StrGUID& id) override { lstLog << "group~ " + QString::fromStdString(id); }
    void OnGroupRemoved(const tessel::StrGUID& id) override { lstLog << "group- " + QString::fromStdString(id); }
    void OnElementsAdded(const tessel::StrGUID& id, const std::vector<tessel::IElement*>& vec) override
    {
        lstLog << QString::fromStdString(id) + " + " + Ids(vec);
    }
    void OnElementsRemoved(const tessel::StrGUID& id, const std::vector<tessel::IElement*>& vec) override
    {
        lstLog << QString::fromStdString(id) + " - " + Ids(vec);
    }
    void OnElementChanged(tessel::IElement* p) override { lstLog << "~ " + QString::fromStdString(p->GetElementID()); }
};

tessel::CameraInfo Cam(const std::string& strGuid, const std::string& strGroup, bool bOnline = true)
{
    tessel::CameraInfo info;
    info.strGUID = strGuid;
    info.strName = "Camera " + strGuid;
    info.strGroupID = strGroup;
    info.bOnline = bOnline;
    return info;
}

tessel::SiteData BaseSite()
{
    tessel::SiteData site;
    site.vecGroups = {{"g1", "Gate"}, {"g2", "Yard"}};
    site.vecCameras = {Cam("c1", "g1"), Cam("c2", "g1"), Cam("c3", "g2")};
    site.vecAlarmInputs = {{"a1", "Door", "g2"}};
    return site;
}

} // namespace

Q_DECLARE_METATYPE(tessel::SiteData)

class tst_GroupManager : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void siteChanges_data();
    void siteChanges();
    void siteChangesInSequence_data();
    void siteChangesInSequence();
    void elementsKeepTheirAddressWhenChanged();
    void delegateReachesTheProcessWideGroups();
    void cameraRights_data();
    void cameraRights();

private:
    CRecorder m_recorder;
};

void tst_GroupManager::init()
{
    tessel::CGroupManager::Instance().ApplySite(BaseSite());
    m_recorder.lstLog.clear();
    tessel::CGroupManager::Instance().RegisterObserver(&m_recorder);
}

void tst_GroupManager::cleanup()
{
    tessel::CGroupManager::Instance().UnregisterObserver(&m_recorder);
    tessel::CGroupManager::Instance().ApplySite({});
}

void tst_GroupManager::siteChanges_data()
{
    QTest::addColumn<tessel::SiteData>("site");
    QTest::addColumn<QString>("strLog");

    tessel::SiteData site = BaseSite();
    QTest::newRow("same site tells nothing") << site << "";

    site = BaseSite();
    site.vecCameras.push_back(Cam("c4", "g1"));
    site.vecCameras.push_back(Cam("c5", "g1"));
    QTest::newRow("two cameras added in one notice") << site << "g1 + c4,c5";

    site = BaseSite();
    site.vecCameras = {Cam("c3", "g2")};
    QTest::newRow("two cameras removed in one notice") << site << "g1 - c1,c2";

    site = BaseSite();
    site.vecCameras[1].bOnline = false;
    QTest::newRow("camera switched offline") << site << "~ c2";

    site = BaseSite();
    site.vecCameras[0].strGroupID = "g2";
    QTest::newRow("camera moved to another group") << site << "g1 - c1|g2 + c1";

    site = BaseSite();
    site.vecGroups[0].strName = "Front gate";
    QTest::newRow("group renamed") << site << "group~ g1";

    site = BaseSite();
    site.vecGroups.erase(site.vecGroups.begin() + 1);
    site.vecCameras.pop_back();
    site.vecAlarmInputs.clear();
    QTest::newRow("group removed after its elements") << site << "g2 - c3,a1|group- g2";

    site = BaseSite();
    site.vecGroups.push_back({"g3", "Dock"});
    site.vecCameras.push_back(Cam("c6", "g3"));
    site.vecCameras.push_back(Cam("c7", "g3"));
    QTest::newRow("new group arrives with its cameras") << site << "groups+ g3[c6,c7]";

    site = BaseSite();
    site.vecCameras.push_back(Cam("c8", "g9"));
    QTest::newRow("camera of a missing group ignored") << site << "";
}

void tst_GroupManager::siteChanges()
{
    QFETCH(tessel::SiteData, site);
    QFETCH(QString, strLog);
    tessel::CGroupManager::Instance().ApplySite(site);
    QCOMPARE(m_recorder.lstLog.join('|'), strLog);
}

// Each group and its elements, as the manager holds them: "g1[c1,c2] g2[c3,a1]".
static QString State()
{
    auto& groups = tessel::CGroupManager::Instance();
    QStringList lst;
    for (const tessel::GroupInfo& group : groups.GetAllGroups())
        lst << QString::fromStdString(group.strGUID) + "[" + CRecorder::Ids(groups.GetElementsOfGroup(group.strGUID))
                   + "]";
    return lst.join(' ');
}

// Two changes in a row: the second site is compared with what the first left,
// whatever order either lists its elements in.
void tst_GroupManager::siteChangesInSequence_data()
{
    QTest::addColumn<tessel::SiteData>("first");
    QTest::addColumn<tessel::SiteData>("second");
    QTest::addColumn<QString>("strLog");
    QTest::addColumn<QString>("strState");

    const tessel::SiteData base = BaseSite();
    tessel::SiteData reversed = base;
    std::reverse(reversed.vecCameras.begin(), reversed.vecCameras.end());
    QTest::newRow("reordered site tells nothing") << reversed << base << ""
                                                  << "g1[c1,c2] g2[c3,a1]";

    tessel::SiteData front = base;
    front.vecCameras.insert(front.vecCameras.begin(), Cam("c0", "g1"));
    QTest::newRow("camera put in front, then gone") << front << base << "g1 - c0"
                                                    << "g1[c1,c2] g2[c3,a1]";

    tessel::SiteData middle = base;
    middle.vecCameras.erase(middle.vecCameras.begin() + 1);
    tessel::SiteData changed = base;
    changed.vecCameras[2].bOnline = false;
    QTest::newRow("middle camera gone, back and one changed") << middle << changed << "g1 + c2|~ c3"
                                                              << "g1[c1,c2] g2[c3,a1]";

    tessel::SiteData twice = base;
    twice.vecCameras.insert(twice.vecCameras.begin() + 1, Cam("c1", "g1", false));
    // The later record of a GUID named twice wins, as a site built in code may do.
    QTest::newRow("camera named twice, then once") << twice << base << "~ c1"
                                                   << "g1[c1,c2] g2[c3,a1]";

    tessel::SiteData moved = reversed;
    moved.vecCameras[0].strGroupID = "g1"; // c3
    tessel::SiteData movedBack = moved;
    movedBack.vecCameras[0].strGroupID = "g2";
    movedBack.vecCameras[1].bOnline = false; // c2
    QTest::newRow("camera moved and back in a reordered site") << moved << movedBack << "g1 - c3|g2 + c3|~ c2"
                                                               << "g1[c1,c2] g2[a1,c3]";

    QTest::newRow("emptied and refilled") << tessel::SiteData() << reversed << "groups+ g1[c2,c1],g2[c3,a1]"
                                          << "g1[c2,c1] g2[c3,a1]";
}

void tst_GroupManager::siteChangesInSequence()
{
    QFETCH(tessel::SiteData, first);
    QFETCH(tessel::SiteData, second);
    QFETCH(QString, strLog);
    QFETCH(QString, strState);
    auto& groups = tessel::CGroupManager::Instance();
    groups.ApplySite(first);
    m_recorder.lstLog.clear();
    groups.ApplySite(second);
    QCOMPARE(m_recorder.lstLog.join('|'), strLog);
    QCOMPARE(State(), strState);
    size_t nHeld = 0;
    for (const tessel::GroupInfo& group : groups.GetAllGroups())
        nHeld += groups.GetElementsOfGroup(group.strGUID).size();
    QCOMPARE(groups.ElementCount(), nHeld);
}

void tst_GroupManager::elementsKeepTheirAddressWhenChanged()
{
    auto& groups = tessel::CGroupManager::Instance();
    tessel::ICamera* pCamera = groups.FindCamera("c2");
    QVERIFY(pCamera);
    QVERIFY(!groups.FindCamera("a1")); // an alarm input is an element, not a camera
    QCOMPARE(groups.FindElement("a1")->GetElementType(), int32_t(tessel::ElementTypeAlarmInput));

    QSignalSpy spyChanged(&groups, &tessel::CGroupManager::signalElementChanged);
    tessel::SiteData site = BaseSite();
    site.vecCameras[1].bEnabled = false;
    groups.ApplySite(site);
    QCOMPARE(groups.FindCamera("c2"), pCamera);
    QVERIFY(!pCamera->IsEnabled());
    QCOMPARE(spyChanged.count(), 1);
    QCOMPARE(spyChanged.at(0).at(0).toString(), QString("c2"));
}

void tst_GroupManager::delegateReachesTheProcessWideGroups()
{
    Kelmot::CGroupManagerDeletage delegate;
    tessel::IGroupManager& groups = delegate;
    QCOMPARE(groups.ElementCount(), size_t(4));
    QCOMPARE(groups.FindElement("c3"), tessel::CGroupManager::Instance().FindElement("c3"));
    QCOMPARE(groups.GetGroupIDOfElement("a1"), std::string("g2"));
    QCOMPARE(groups.GetElementsOfGroup("g1").size(), size_t(2));
    QCOMPARE(groups.GetAllGroups().at(1).strName, std::string("Yard"));
    tessel::GroupInfo info;
    QVERIFY(groups.FindGroup("g1", &info));
    QVERIFY(!groups.FindGroup("g9", &info));

    CRecorder other;
    groups.RegisterObserver(&other);
    tessel::SiteData site = BaseSite();
    site.vecCameras.pop_back();
    tessel::CGroupManager::Instance().ApplySite(site);
    groups.UnregisterObserver(&other);
    QCOMPARE(other.lstLog, QStringList{"g2 - c3"});
}

void tst_GroupManager::cameraRights_data()
{
    QTest::addColumn<int>("nRight");
    QTest::addColumn<QString>("strGuid");
    QTest::addColumn<int>("nWay");
    QTest::addColumn<bool>("bGranted");
    QTest::addColumn<int>("nNotices");

    // The camera c1 holds live view and sound only.
    QTest::newRow("live view held") << 1 << "c1" << 1 << true << 0;
    QTest::newRow("sound held") << 6 << "c1" << 1 << true << 0;
    QTest::newRow("PTZ refused with notice") << 2 << "c1" << 1 << false << 1;
    QTest::newRow("PTZ refused silently") << 2 << "c1" << 0 << false << 0;
    QTest::newRow("screenshot refused") << 3 << "c1" << 1 << false << 1;
    QTest::newRow("recording refused") << 4 << "c1" << 1 << false << 1;
    QTest::newRow("playback refused") << 5 << "c1" << 0 << false << 0;
    QTest::newRow("unknown right code refused") << 7 << "c1" << 0 << false << 0;
    QTest::newRow("camera not in the site refused") << 1 << "c9" << 1 << false << 1;
    QTest::newRow("alarm input is no camera") << 1 << "a1" << 0 << false << 0;
    QTest::newRow("full rights by default") << 4 << "c2" << 1 << true << 0;
}

void tst_GroupManager::cameraRights()
{
    QFETCH(int, nRight);
    QFETCH(QString, strGuid);
    QFETCH(int, nWay);
    QFETCH(bool, bGranted);
    QFETCH(int, nNotices);

    tessel::SiteData site = BaseSite();
    site.vecCameras[0].uRights = tessel::CameraRightLiveView | tessel::CameraRightSound;
    tessel::CGroupManager::Instance().ApplySite(site);
    auto* pPermissions = TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::CreateInstance();
    auto& notices = TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
    notices.ClearShownNotices();

    QCOMPARE(pPermissions->verityResPermission(Miravel::PermissionModuleCamera, nRight, strGuid.toStdString(), nullptr,
                                               static_cast<Miravel::ShowNoPrivilegeWay>(nWay)),
             bGranted);
    QCOMPARE(notices.ShownNotices().size(), nNotices);
}

QTEST_GUILESS_MAIN(tst_GroupManager)
#include "tst_groupmanager.moc"
