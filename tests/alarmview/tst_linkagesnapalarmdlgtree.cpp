#include "alarmview/LinkageSnapAlarmDlg.h"
#include "cameratree/GroupTreeWidget.h"
#include "cameratree/LiveViewPlugin.h"

#include "tessel/GroupManager.h"
#include "tessel/ICamera.h"

#include <QPushButton>
#include <QTest>

using LinkageSnapAlarm::CLinkageSnapAlarmDlg;

class tst_LinkageSnapAlarmDlgTree : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void panelPlacement_data();
    void panelPlacement();
    void cameraLookupOverThePanelModel();
};

void tst_LinkageSnapAlarmDlgTree::initTestCase()
{
    tessel::SiteData site;
    site.vecGroups = {{"g1", "Gate"}};
    tessel::CameraInfo camera;
    camera.strGUID = "c1";
    camera.strName = "Front Door";
    camera.strGroupID = "g1";
    site.vecCameras = {camera};
    tessel::CGroupManager::Instance().ApplySite(site);
}

void tst_LinkageSnapAlarmDlgTree::cleanupTestCase()
{
    tessel::CGroupManager::Instance().ApplySite({});
}

void tst_LinkageSnapAlarmDlgTree::panelPlacement_data()
{
    QTest::addColumn<QSize>("sizeScreen");
    QTest::addColumn<int>("nStripClicks");
    QTest::addColumn<QRect>("rcPanel");
    QTest::addColumn<bool>("bShrinkIn");

    QTest::newRow("fitted, collapsed") << QSize(1920, 1080) << 0 << QRect(-343, 72, 369, 1007) << true;
    QTest::newRow("one click expands") << QSize(1920, 1080) << 1 << QRect(1, 72, 369, 1007) << false;
    QTest::newRow("two clicks return") << QSize(1920, 1080) << 2 << QRect(-343, 72, 369, 1007) << true;
    QTest::newRow("small screen expanded") << QSize(1280, 720) << 1 << QRect(1, 48, 246, 671) << false;
    QTest::newRow("large screen collapsed") << QSize(2560, 1440) << 0 << QRect(-466, 97, 492, 1342) << true;
    QTest::newRow("1366x768 expanded") << QSize(1366, 768) << 1 << QRect(1, 51, 262, 716) << false;
}

void tst_LinkageSnapAlarmDlgTree::panelPlacement()
{
    QFETCH(QSize, sizeScreen);
    QFETCH(int, nStripClicks);
    QFETCH(QRect, rcPanel);
    QFETCH(bool, bShrinkIn);

    CLinkageSnapAlarmDlg dlg;
    dlg.FitToScreen(QRect(QPoint(0, 0), sizeScreen));
    auto* pPanel = dlg.GroupTreeWidget();
    QVERIFY(pPanel);
    QCOMPARE(pPanel->parentWidget(), &dlg);
    auto* pButton = pPanel->findChild<QPushButton*>("m_pBtnShrink");
    for (int i = 0; i < nStripClicks; ++i)
        pButton->click();
    QCOMPARE(pPanel->geometry(), rcPanel);
    QCOMPARE(pButton->property("bShrinkIn").toBool(), bShrinkIn);
    QCOMPARE(dlg.IsCameraPanelExpanded(), !bShrinkIn);
    QVERIFY(!pPanel->isHidden());
}

void tst_LinkageSnapAlarmDlgTree::cameraLookupOverThePanelModel()
{
    CLinkageSnapAlarmDlg dlg;
    QVERIFY(dlg.LiveViewPlugin());
    tessel::IElement* pElement = dlg.LiveViewPlugin()->GetElementByGUID("c1");
    QCOMPARE(pElement, tessel::CGroupManager::Instance().FindElement("c1"));
    QVERIFY(!dlg.LiveViewPlugin()->GetElementByGUID("g1"));
}

QTEST_MAIN(tst_LinkageSnapAlarmDlgTree)
#include "tst_linkagesnapalarmdlgtree.moc"
