// Camera assignment of the linkage dialog: cameras from the tree into play
// windows, closing and removal, the tree's icons and selection, and the window
// cameras kept across runs.

#include "cameratree/GroupTreeView.h"
#include "cameratree/GroupTreeWidget.h"
#include "cameratree/LinkageCameraModel.h"
#include "settings/LinkageSetupDlg.h"
#include "alarmview/LinkageSnapAlarmDlg.h"
#include "playwindow/StreamPlayWindowWithTask.h"

#include "TesselGUIToolkit/SecondarySortFilterModel.h"
#include "Vantrel/PreviewICamera.h"
#include "Vantrel/Vantrel.h"
#include "tessel/GroupManager.h"

#include <QDropEvent>
#include <QIcon>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using LinkageSnapAlarm::CLinkageSetupDlg;
using LinkageSnapAlarm::CLinkageSnapAlarmDlg;

namespace {
constexpr int kWaitMs = 10000;

tessel::SiteData DemoSite(bool bWithA = true, bool bLiveViewOnA = true)
{
    tessel::SiteData site;
    site.vecGroups = {{"g1", "Gate"}, {"g2", "Yard"}};
    auto camera = [](const char* szGUID, const char* szGroup, const char* szUrl) {
        tessel::CameraInfo info;
        info.strGUID = szGUID;
        info.strName = std::string("Camera ") + szGUID;
        info.strGroupID = szGroup;
        info.strStreamUrl = szUrl;
        return info;
    };
    if (bWithA) {
        site.vecCameras.push_back(camera("A", "g1", "test:ball"));
        if (!bLiveViewOnA)
            site.vecCameras.back().uRights &= ~tessel::CameraRightLiveView;
    }
    site.vecCameras.push_back(camera("B", "g1", "test:smpte"));
    site.vecCameras.push_back(camera("C", "g2", "test:snow"));
    tessel::AlarmInputInfo input;
    input.strGUID = "IN";
    input.strName = "Door contact";
    input.strGroupID = "g2";
    site.vecAlarmInputs.push_back(input);
    return site;
}

// "<window 0>,<window 1>,<window 2>|sel <n>|<camera 0>,<camera 1>,<camera 2>"
QString State(const CLinkageSnapAlarmDlg& dlg)
{
    QStringList lstPlaying, lstCameras;
    for (int i = 0; i < 3; ++i) {
        tessel::ICamera* pPlaying = dlg.PlayWindows().at(i)->GetLiveViewCamera();
        lstPlaying << (pPlaying ? QString::fromStdString(pPlaying->GetElementID()) : "-");
        tessel::ICamera* pCamera = dlg.WindowCamera(i);
        lstCameras << (pCamera ? QString::fromStdString(pCamera->GetElementID()) : "-");
    }
    return lstPlaying.join(',') + QString("|sel %1|").arg(dlg.SelectedPlayWindow()) + lstCameras.join(',');
}

void SaveMode(CLinkageSnapAlarmDlg& dlg, int nMode)
{
    auto* pSetup = dlg.SetupDialog();
    pSetup->findChild<QRadioButton*>(nMode == 2 ? "radio2View" : "radio3View")->click();
    pSetup->findChild<QPushButton*>("m_pBtnSave")->click();
}

tessel::IElement* Element(const char* szGUID)
{
    return tessel::CGroupManager::Instance().FindElement(szGUID);
}

QModelIndex ProxyIndex(CLinkageSnapAlarmDlg& dlg, const char* szGUID)
{
    auto* pPanel = dlg.GroupTreeWidget();
    return pPanel->m_pProxy->mapFromSource(pPanel->m_pModel->GetElementIndexByElementID(szGUID));
}

bool ShowsPlaying(CLinkageSnapAlarmDlg& dlg, const char* szGUID)
{
    const QIcon icon = ProxyIndex(dlg, szGUID).data(Qt::DecorationRole).value<QIcon>();
    const QIcon iconPlaying(":/publicIcon/Images/public/PublicIcon/CameraPlaying.svg");
    return icon.pixmap(16).toImage() == iconPlaying.pixmap(16).toImage();
}

void Drop(CStreamPlayWindowWithTask* pWindow, const QString& strGroup, const QString& strCamera,
          bool bProperties = true)
{
    QMimeData mime;
    if (bProperties) {
        mime.setProperty("GroupGUID", strGroup);
        mime.setProperty("CameraGUID", strCamera);
    } else {
        mime.setText(strCamera);
    }
    QDropEvent event(QPointF(5, 5), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    emit pWindow->SignalDropEvent(&event);
}

// One user action per step: "click A" double-clicks tree element A, "start B"
// plays tree row B from its play pixmap ("start g1" a group row, "start" no
// row), "drop 2 g1 A" drops camera A of group g1 on window 2 ("-" for an
// empty group, "text" instead of "drop" for foreign data), "close 0" clicks
// window 0's close button.
void Apply(CLinkageSnapAlarmDlg& dlg, const QString& strStep)
{
    const QStringList lst = strStep.split(' ');
    const QString strAction = lst.value(0);
    const QString strArg = lst.value(1);
    if (strAction == "click") {
        emit dlg.GroupTreeWidget()->SignalCameraDClicked(Element(strArg.toUtf8().constData()));
    } else if (strAction == "start") {
        QModelIndex index;
        if (strArg == "g1")
            index = dlg.GroupTreeWidget()->m_pProxy->index(0, 0);
        else if (!strArg.isEmpty())
            index = ProxyIndex(dlg, strArg.toUtf8().constData());
        emit dlg.GroupTreeWidget()->signalStartLiveView(index);
    } else if (strAction == "drop" || strAction == "text") {
        const QString strGroup = lst.value(2) == "-" ? QString() : lst.value(2);
        Drop(dlg.PlayWindows().at(strArg.toInt()), strGroup, lst.value(3), strAction == "drop");
    } else if (strAction == "close") {
        QTest::mouseClick(dlg.PlayWindows().at(strArg.toInt())->GetCloseButton(), Qt::LeftButton);
    }
}
} // namespace

class tst_LinkageDlgCameras : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void assignment_data();
    void assignment();
    void removal_data();
    void removal();
    void treeFollowsWindows();
    void collectAndRestore_data();
    void collectAndRestore();
    void destroyWhilePlaying();
};

void tst_LinkageDlgCameras::initTestCase()
{
    Vantrel::InitVantrel(nullptr, nullptr);
}

void tst_LinkageDlgCameras::init()
{
    tessel::CGroupManager::Instance().ApplySite(DemoSite());
}

void tst_LinkageDlgCameras::cleanup()
{
    QVERIFY(Vantrel::WaitForTeardowns(kWaitMs));
}

void tst_LinkageDlgCameras::assignment_data()
{
    QTest::addColumn<int>("nMode");
    QTest::addColumn<QString>("strSteps");
    QTest::addColumn<QString>("strState");
    QTest::newRow("dual: A then B fill both windows") << 2 << "click A;click B" << "A,B,-|sel 1|A,B,-";
    QTest::newRow("three: B moves the selection on to window 2") << 3 << "click A;click B" << "A,B,-|sel 2|A,B,-";
    QTest::newRow("three: all windows full keeps the selection")
        << 3 << "click A;click B;click C" << "A,B,C|sel 2|A,B,C";
    QTest::newRow("the camera the window plays changes nothing")
        << 2 << "click A;click B;click B" << "A,B,-|sel 1|A,B,-";
    QTest::newRow("an alarm input is no camera") << 2 << "click IN" << "-,-,-|sel 0|-,-,-";
    QTest::newRow("no element") << 2 << "click" << "-,-,-|sel 0|-,-,-";
    QTest::newRow("play pixmap of a camera row") << 2 << "start B" << "B,-,-|sel 1|B,-,-";
    QTest::newRow("play pixmap of a group row") << 2 << "start g1" << "-,-,-|sel 0|-,-,-";
    QTest::newRow("play pixmap of no row") << 2 << "start" << "-,-,-|sel 0|-,-,-";
    QTest::newRow("drop A onto window 2") << 3 << "drop 2 g1 A" << "-,-,A|sel 2|-,-,A";
    QTest::newRow("drop B onto window 1") << 3 << "drop 1 g1 B" << "-,B,-|sel 1|-,B,-";
    QTest::newRow("drop with an empty group GUID") << 3 << "drop 1 - B" << "-,-,-|sel 0|-,-,-";
    QTest::newRow("drop of foreign data") << 3 << "text 1 g1 B" << "-,-,-|sel 0|-,-,-";
    QTest::newRow("drop of an unknown camera") << 3 << "drop 1 g1 nobody" << "-,-,-|sel 1|-,-,-";
    QTest::newRow("drop of an alarm input") << 3 << "drop 1 g2 IN" << "-,-,-|sel 1|-,-,-";
    QTest::newRow("close button") << 3 << "drop 0 g1 A;drop 1 g1 B;close 0" << "-,B,-|sel 0|-,B,-";
}

void tst_LinkageDlgCameras::assignment()
{
    QFETCH(int, nMode);
    QFETCH(QString, strSteps);
    QFETCH(QString, strState);
    CLinkageSnapAlarmDlg dlg;
    dlg.show();
    SaveMode(dlg, nMode);
    for (const QString& strStep : strSteps.split(';'))
        Apply(dlg, strStep);
    QCOMPARE(State(dlg), strState);
}

void tst_LinkageDlgCameras::removal_data()
{
    QTest::addColumn<bool>("bWaitForPictures");
    QTest::addColumn<bool>("bLiveViewRight");
    QTest::newRow("removed while it plays") << true << true;
    QTest::newRow("removed while it starts") << false << true;
    // The window never played it, yet its camera is forgotten with it.
    QTest::newRow("removed after its start was refused") << false << false;
}

void tst_LinkageDlgCameras::removal()
{
    QFETCH(bool, bWaitForPictures);
    QFETCH(bool, bLiveViewRight);
    tessel::CGroupManager::Instance().ApplySite(DemoSite(true, bLiveViewRight));
    CLinkageSnapAlarmDlg dlg;
    dlg.show();
    SaveMode(dlg, 3);
    Drop(dlg.PlayWindows().at(0), "g1", "A");
    Drop(dlg.PlayWindows().at(1), "g1", "B");
    QCOMPARE(dlg.WindowCamera(0) != nullptr, true);
    if (bWaitForPictures)
        QTRY_VERIFY_WITH_TIMEOUT(dlg.PlayWindows().at(0)->GetPreview()->IsPlaying(), kWaitMs);
    tessel::CGroupManager::Instance().ApplySite(DemoSite(false));
    QCOMPARE(State(dlg), QString("-,B,-|sel 1|-,B,-"));
}

void tst_LinkageDlgCameras::treeFollowsWindows()
{
    CLinkageSnapAlarmDlg dlg;
    dlg.show();
    SaveMode(dlg, 3);
    Drop(dlg.PlayWindows().at(0), "g1", "A");
    Drop(dlg.PlayWindows().at(1), "g1", "A");
    QTRY_VERIFY_WITH_TIMEOUT(ShowsPlaying(dlg, "A"), kWaitMs);
    // A stop in one window leaves the icon on while the other still plays A.
    dlg.PlayWindows().at(0)->StopLiveView();
    QTest::qWait(50);
    QVERIFY(ShowsPlaying(dlg, "A"));
    dlg.PlayWindows().at(1)->StopLiveView();
    QTRY_VERIFY(!ShowsPlaying(dlg, "A"));

    Drop(dlg.PlayWindows().at(2), "g2", "C");
    dlg.SelectPlayWindow(0);
    dlg.SelectPlayWindow(2);
    QCOMPARE(dlg.GroupTreeWidget()->TreeView()->currentIndex(), ProxyIndex(dlg, "C"));
}

void tst_LinkageDlgCameras::collectAndRestore_data()
{
    QTest::addColumn<int>("nMode");
    QTest::addColumn<QStringList>("lstRestore");
    QTest::addColumn<QString>("strRestored");
    QTest::newRow("nothing to restore") << 2 << QStringList{"", "", ""} << "-,-,-|sel 0|-,-,-";
    QTest::newRow("window 2 in dual mode") << 2 << QStringList{"A", "", "C"} << "A,-,C|sel 2|A,-,C";
    QTest::newRow("more entries than windows") << 3 << QStringList{"A", "B", "C", "A"} << "A,B,C|sel 2|A,B,C";
    QTest::newRow("a camera that left the site") << 3 << QStringList{"", "gone", ""} << "-,-,-|sel 1|-,-,-";
}

void tst_LinkageDlgCameras::collectAndRestore()
{
    QFETCH(int, nMode);
    QFETCH(QStringList, lstRestore);
    QFETCH(QString, strRestored);
    CLinkageSnapAlarmDlg dlg;
    dlg.show();
    SaveMode(dlg, nMode);
    std::vector<std::string> vecGuid;
    for (const QString& str : lstRestore)
        vecGuid.push_back(str.toStdString());
    dlg.RestoreLiveCameras(vecGuid);
    QCOMPARE(State(dlg), strRestored);

    std::vector<std::string> vecCollected{"stale"};
    dlg.CollectLiveCameras(vecCollected);
    QStringList lstCollected;
    for (const std::string& str : vecCollected)
        lstCollected << QString::fromStdString(str);
    QStringList lstExpected = strRestored.section('|', 0, 0).replace('-', "").split(',');
    QCOMPARE(lstCollected, lstExpected);
    QCOMPARE(State(dlg).section('|', 0, 0), QString("-,-,-"));
    QCOMPARE(State(dlg).section('|', 2, 2), QString("-,-,-"));
}

void tst_LinkageDlgCameras::destroyWhilePlaying()
{
    auto upDlg = std::make_unique<CLinkageSnapAlarmDlg>();
    upDlg->show();
    emit upDlg->GroupTreeWidget()->SignalCameraDClicked(Element("A"));
    emit upDlg->GroupTreeWidget()->SignalCameraDClicked(Element("B"));
    upDlg.reset();
    QTest::qWait(50);
}

QTEST_MAIN(tst_LinkageDlgCameras)
#include "tst_linkagedlgcameras.moc"
