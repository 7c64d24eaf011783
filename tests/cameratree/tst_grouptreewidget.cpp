#include "cameratree/GroupTreeView.h"
#include "cameratree/GroupTreeWidget.h"
#include "cameratree/LinkageCameraModel.h"
#include "cameratree/RightShrinkWid.h"
#include "tests/cameratree/TreeTestSite.h"

#include "TesselGUIToolkit/LocationViewWidget.h"
#include "TesselGUIToolkit/SecondarySortFilterModel.h"
#include "tessel/ICamera.h"
#include "tovaris/AITreeViewWithRightPixmapDelegate.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace LinkageSnapAlarm;
using namespace TesselGUIToolkit;
using TreeTest::Cam;

namespace {

// A shown panel over the base site, every group expanded.
struct Panel
{
    explicit Panel(const QString& strSecondary = "0|1")
    {
        TreeTest::Apply(TreeTest::BaseSite());
        widget.m_pProxy->SetSecondaryFilterRegExp(strSecondary);
        widget.resize(360, 600);
        widget.show();
        view()->expandAll();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
    }
    CGroupTreeView* view() const { return widget.findChild<CGroupTreeView*>("treeView"); }
    QModelIndex row(const QString& strId) const
    {
        return widget.m_pProxy->mapFromSource(TreeTest::Row(*widget.m_pModel, strId));
    }
    QPoint centre(const QString& strId) const { return view()->visualRect(row(strId)).center(); }

    CGroupTreeWidget widget;
};

QString Guids(const QSignalSpy& spy)
{
    QStringList lst;
    for (const QList<QVariant>& args : spy)
        lst << QString::fromStdString(args.at(0).value<tessel::StrGUID>());
    return lst.join(',');
}

} // namespace

class tst_GroupTreeWidget : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void form_data();
    void form();
    void collapseStrip_data();
    void collapseStrip();
    void dragPayload_data();
    void dragPayload();
    void doubleClick_data();
    void doubleClick();
    void pixmapClick_data();
    void pixmapClick();
    void removalReportsEachCamera_data();
    void removalReportsEachCamera();
    void playState_data();
    void playState();
    void search_data();
    void search();
    void searchKeys();
    void expandMenu();
};

void tst_GroupTreeWidget::cleanup()
{
    TreeTest::Apply({});
}

void tst_GroupTreeWidget::form_data()
{
    QTest::addColumn<QString>("strName");
    QTest::addColumn<QSize>("sizeMin");
    QTest::addColumn<QSize>("sizeMax");

    QTest::newRow("search box height fixed") << "pLocationViewWidget" << QSize(0, 32) << QSize(16777215, 32);
    QTest::newRow("strip width fixed") << "m_pWidgetShrink" << QSize(16, 0) << QSize(16, 16777215);
    QTest::newRow("strip button fixed") << "m_pBtnShrink" << QSize(12, 115) << QSize(12, 115);
}

void tst_GroupTreeWidget::form()
{
    QFETCH(QString, strName);
    QFETCH(QSize, sizeMin);
    QFETCH(QSize, sizeMax);

    CGroupTreeWidget panel;
    QCOMPARE(panel.objectName(), QString("GroupTreeWidget"));
    auto* pChild = panel.findChild<QWidget*>(strName);
    QVERIFY(pChild);
    QCOMPARE(pChild->minimumSize(), sizeMin);
    QCOMPARE(pChild->maximumSize(), sizeMax);

    auto* pView = panel.findChild<CGroupTreeView*>("treeView");
    QVERIFY(pView->isHeaderHidden());
    QCOMPARE(pView->model(), panel.m_pProxy);
    QCOMPARE(pView->frameShape(), QFrame::NoFrame);
    QCOMPARE(pView->dragDropMode(), QAbstractItemView::DragOnly);
    QCOMPARE(panel.findChild<TesselGUIToolkit::CLocationViewWidget*>("pLocationViewWidget")->View(), pView);
    auto* pButton = panel.findChild<QPushButton*>("m_pBtnShrink");
    QVERIFY(pButton->isCheckable());
    QCOMPARE(pButton->focusPolicy(), Qt::NoFocus);
    QCOMPARE(panel.m_pProxy->sourceModel(), panel.m_pModel);
}

void tst_GroupTreeWidget::collapseStrip_data()
{
    QTest::addColumn<QList<bool>>("lstStates");
    QTest::newRow("collapsed") << QList<bool>{true};
    QTest::newRow("collapsed then expanded") << QList<bool>{true, false};
    QTest::newRow("expanded twice") << QList<bool>{false, false};
}

void tst_GroupTreeWidget::collapseStrip()
{
    QFETCH(QList<bool>, lstStates);
    CGroupTreeWidget panel;
    auto* pButton = panel.findChild<QPushButton*>("m_pBtnShrink");
    QCOMPARE(pButton->property("bShrinkIn").toBool(), false);
    QSignalSpy spyShrink(&panel, SIGNAL(SignalBtnShrink()));
    for (bool bShrinkIn : lstStates) {
        panel.SetShrinkState(bShrinkIn);
        QCOMPARE(pButton->property("bShrinkIn").toBool(), bShrinkIn);
    }
    QCOMPARE(spyShrink.count(), 0); // the state is shown, not asked for
    pButton->click();
    QCOMPARE(spyShrink.count(), 1);
}

void tst_GroupTreeWidget::dragPayload_data()
{
    QTest::addColumn<QString>("strRow");
    QTest::addColumn<QString>("strPayload");
    QTest::addColumn<QString>("strPixmap");

    QTest::newRow("group") << "g1"
                           << "g1|"
                           << ":/public/btn/Public/Group.svg";
    QTest::newRow("online camera") << "c1"
                                   << "g1|c1"
                                   << ":/public/btn/Public/Camera.svg";
    QTest::newRow("offline camera not dragged") << "c2"
                                                << "<no drag>"
                                                << "";
    QTest::newRow("disabled but online camera") << "c3"
                                                << "g1|c3"
                                                << ":/public/btn/Public/Camera.svg";
    QTest::newRow("alarm input not dragged") << "a1"
                                             << "<no drag>"
                                             << "";
    QTest::newRow("no row") << ""
                            << "<no drag>"
                            << "";
}

void tst_GroupTreeWidget::dragPayload()
{
    QFETCH(QString, strRow);
    QFETCH(QString, strPayload);
    QFETCH(QString, strPixmap);

    Panel panel("0|1|2");
    std::unique_ptr<QMimeData> upData(panel.view()->CreateDragData(panel.row(strRow)));
    if (!upData) {
        QCOMPARE(QString("<no drag>"), strPayload);
        return;
    }
    QVERIFY(upData->formats().isEmpty());
    QCOMPARE(upData->property("GroupGUID").toString() + "|" + upData->property("CameraGUID").toString(), strPayload);
    QCOMPARE(CGroupTreeView::DragPixmapPath(upData.get()), strPixmap);
    QVERIFY(!QPixmap(strPixmap).isNull());
}

void tst_GroupTreeWidget::doubleClick_data()
{
    QTest::addColumn<QString>("strRow");
    QTest::addColumn<QString>("strElement");

    QTest::newRow("group with cameras") << "g1"
                                        << "";
    QTest::newRow("camera") << "c4"
                            << "c4";
    QTest::newRow("offline camera") << "c2"
                                    << "c2";
    QTest::newRow("alarm input leaf") << "a1"
                                      << "a1";
    QTest::newRow("empty group") << "g3"
                                 << "";
}

void tst_GroupTreeWidget::doubleClick()
{
    QFETCH(QString, strRow);
    QFETCH(QString, strElement);

    Panel panel("0|1|2");
    tessel::SiteData site = TreeTest::BaseSite();
    site.vecGroups.push_back({"g3", "Empty"});
    TreeTest::Apply(site);
    QSignalSpy spy(&panel.widget, SIGNAL(SignalCameraDClicked(void*)));
    // QTest's first double click of a run is not taken as one: click once before.
    QTest::mouseClick(panel.view()->viewport(), Qt::LeftButton, {}, panel.centre(strRow));
    QTest::mouseDClick(panel.view()->viewport(), Qt::LeftButton, {}, panel.centre(strRow));
    QCOMPARE(spy.count(), strElement.isEmpty() ? 0 : 1);
    if (!strElement.isEmpty()) {
        auto* pElement = static_cast<tessel::IElement*>(spy.at(0).at(0).value<void*>());
        QCOMPARE(QString::fromStdString(pElement->GetElementID()), strElement);
    }
}

void tst_GroupTreeWidget::pixmapClick_data()
{
    QTest::addColumn<QString>("strRow");
    QTest::addColumn<bool>("bOnPixmap");
    QTest::addColumn<bool>("bGroupPixmap");
    QTest::addColumn<int>("nStarts");

    QTest::newRow("camera pixmap") << "c1" << true << false << 1;
    QTest::newRow("camera text") << "c1" << false << false << 0;
    QTest::newRow("group without pixmap") << "g1" << true << false << 0;
    QTest::newRow("group with its pixmap") << "g1" << true << true << 1;
}

void tst_GroupTreeWidget::pixmapClick()
{
    QFETCH(QString, strRow);
    QFETCH(bool, bOnPixmap);
    QFETCH(bool, bGroupPixmap);
    QFETCH(int, nStarts);

    Panel panel;
    if (bGroupPixmap)
        panel.widget.m_pModel->setData(panel.widget.m_pModel->GetAreaIndexByAreaID("g1"),
                                       QPixmap(":/publicIcon/Images/public/PublicIcon/PlaywithBg.svg"),
                                       GroupRightPixmapRole);
    QSignalSpy spy(&panel.widget, SIGNAL(signalStartLiveView(const QModelIndex&)));
    const QRect rcRow = panel.view()->visualRect(panel.row(strRow));
    const QPoint ptClick = bOnPixmap ? tovaris::CAITreeViewWithRightPixmapDelegate::PixmapRect(rcRow).center()
                                     : rcRow.topLeft() + QPoint(4, rcRow.height() / 2);
    QTest::mouseClick(panel.view()->viewport(), Qt::LeftButton, {}, ptClick);
    QCOMPARE(spy.count(), nStarts);
    if (nStarts)
        QCOMPARE(spy.at(0).at(0).value<QModelIndex>(), panel.row(strRow));

    // A click that the delegate reports with another role starts nothing.
    spy.clear();
    panel.view()->OnItemClicked(panel.row("c1"), GroupRightPixmapRole);
    panel.view()->OnItemClicked(panel.row("g1"), CameraRightPixmapRole);
    QCOMPARE(spy.count(), 0);
}

void tst_GroupTreeWidget::removalReportsEachCamera_data()
{
    QTest::addColumn<QStringList>("lstRemove");
    QTest::addColumn<QString>("strReported");

    QTest::newRow("one camera") << QStringList{"c4"} << "c4";
    QTest::newRow("neighbours in one notice") << QStringList{"c1", "c2"} << "c1,c2";
    QTest::newRow("rows apart") << QStringList{"c1", "c3"} << "c3,c1";
    QTest::newRow("alarm input reported by id") << QStringList{"a1"} << "a1";
    QTest::newRow("whole group") << QStringList{"g2"} << "c4";
}

void tst_GroupTreeWidget::removalReportsEachCamera()
{
    QFETCH(QStringList, lstRemove);
    QFETCH(QString, strReported);

    Panel panel;
    QSignalSpy spy(&panel.widget, SIGNAL(SignalCameraRemoved(tessel::StrGUID)));
    tessel::SiteData site = TreeTest::BaseSite();
    auto gone = [&](const std::string& strId) { return lstRemove.contains(QString::fromStdString(strId)); };
    site.vecGroups.erase(std::remove_if(site.vecGroups.begin(), site.vecGroups.end(),
                                        [&](const tessel::GroupInfo& g) { return gone(g.strGUID); }),
                         site.vecGroups.end());
    site.vecCameras.erase(
        std::remove_if(site.vecCameras.begin(), site.vecCameras.end(),
                       [&](const tessel::CameraInfo& c) { return gone(c.strGUID) || gone(c.strGroupID); }),
        site.vecCameras.end());
    site.vecAlarmInputs.erase(std::remove_if(site.vecAlarmInputs.begin(), site.vecAlarmInputs.end(),
                                             [&](const tessel::AlarmInputInfo& a) { return gone(a.strGUID); }),
                              site.vecAlarmInputs.end());
    TreeTest::Apply(site);
    QCOMPARE(Guids(spy), strReported);
}

void tst_GroupTreeWidget::playState_data()
{
    QTest::addColumn<int>("nKind");
    QTest::addColumn<QString>("strGuid");
    QTest::addColumn<QString>("strIcon");

    QTest::newRow("kind 0 plays") << 0 << "c1"
                                  << "CameraPlaying.svg";
    QTest::newRow("kind 6 plays") << 6 << "c1"
                                  << "CameraPlaying.svg";
    QTest::newRow("kind 1 stops") << 1 << "c1"
                                  << "Camera.svg";
    QTest::newRow("other kind leaves the icon") << 3 << "c1"
                                                << "Camera.svg";
    QTest::newRow("camera without a row") << 0 << "c9"
                                          << "";
}

void tst_GroupTreeWidget::playState()
{
    QFETCH(int, nKind);
    QFETCH(QString, strGuid);
    QFETCH(QString, strIcon);

    Panel panel;
    panel.widget.UpdateCameraPlayState(TesselPlayWindow::CLiveViewEvent(nKind, strGuid.toStdString()));
    if (strIcon.isEmpty())
        return; // nothing to look at, and nothing broke
    QCOMPARE(TreeTest::IconImage(panel.row(strGuid).data(Qt::DecorationRole)), TreeTest::IconImage(strIcon));
}

void tst_GroupTreeWidget::search_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<QString>("strTree");
    QTest::addColumn<QString>("strColoured");

    QTest::newRow("nothing typed") << ""
                                   << "Gate[Front Door,Back Door,Lobby] Yard[Yard North]"
                                   << "";
    QTest::newRow("one word, any case") << "DOOR"
                                        << "Gate[Front Door,Back Door]"
                                        << "Front Door,Back Door";
    QTest::newRow("two words") << "lobby north"
                               << "Gate[Lobby] Yard[Yard North]"
                               << "Lobby,Yard North";
    QTest::newRow("group name shows its cameras") << "yard"
                                                  << "Yard[Yard North]"
                                                  << "Yard,Yard North";
    QTest::newRow("alarm input stays hidden") << "contact"
                                              << ""
                                              << "";
    QTest::newRow("markup typed as text") << "<b>"
                                          << ""
                                          << "";
}

void tst_GroupTreeWidget::search()
{
    QFETCH(QString, strText);
    QFETCH(QString, strTree);
    QFETCH(QString, strColoured);

    CGroupTreeWidget panel;
    QAbstractItemModelTester tester(panel.m_pProxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    TreeTest::Apply(TreeTest::BaseSite());
    panel.findChild<QLineEdit*>("m_pEditSearch")->setText(strText);
    QCOMPARE(TreeTest::Dump(*panel.m_pProxy), strTree);

    QStringList lstColoured;
    const QColor match(0xff, 0xa9, 0x2e);
    const QModelIndexList lstRows = panel.m_pProxy->match(panel.m_pProxy->index(0, 0), Qt::DisplayRole, QString(), -1,
                                                          Qt::MatchContains | Qt::MatchRecursive);
    for (const QModelIndex& row : lstRows) {
        if (row.data(Qt::ForegroundRole).value<QColor>() == match)
            lstColoured << row.data().toString();
    }
    lstColoured.removeAll("Gate");
    QCOMPARE(lstColoured.join(','), strColoured);

    // The search stays applied while the site changes under it.
    tessel::SiteData site = TreeTest::BaseSite();
    site.vecCameras.push_back(Cam("c5", "g2", "Yard Door"));
    site.vecCameras.erase(site.vecCameras.begin());
    TreeTest::Apply(site);
    if (strText == "DOOR")
        QCOMPARE(TreeTest::Dump(*panel.m_pProxy), QString("Gate[Back Door] Yard[Yard Door]"));
}

void tst_GroupTreeWidget::searchKeys()
{
    Panel panel;
    QApplication::setActiveWindow(&panel.widget);
    auto* pEdit = panel.widget.findChild<QLineEdit*>("m_pEditSearch");
    panel.view()->setFocus();
    QTest::keyClick(panel.view(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(pEdit->hasFocus());
    QTest::keyClicks(pEdit, "yard");
    QCOMPARE(TreeTest::Dump(*panel.widget.m_pProxy), QString("Yard[Yard North]"));
    QTest::keyClick(pEdit, Qt::Key_Down);
    QVERIFY(panel.view()->hasFocus());
    QVERIFY(panel.view()->currentIndex().isValid());
    pEdit->setFocus();
    QTest::keyClick(pEdit, Qt::Key_Escape);
    QCOMPARE(pEdit->text(), QString());
    QCOMPARE(TreeTest::Dump(*panel.widget.m_pProxy), QString("Gate[Front Door,Back Door,Lobby] Yard[Yard North]"));
}

void tst_GroupTreeWidget::expandMenu()
{
    Panel panel;
    CGroupTreeView* pView = panel.view();
    QVERIFY(pView->isExpanded(panel.row("g1")));
    emit pView->customContextMenuRequested(panel.centre("g1"));
    QMenu* pMenu = pView->ContextMenu();
    QVERIFY(pMenu);
    pMenu->findChild<QAction*>("m_pActionCollapseAll")->trigger();
    QVERIFY(!pView->isExpanded(panel.row("g1")));
    QVERIFY(!pView->isExpanded(panel.row("g2")));
    pMenu->findChild<QAction*>("m_pActionExpandAll")->trigger();
    QVERIFY(pView->isExpanded(panel.row("g2")));
    pMenu->hide();
}

QTEST_MAIN(tst_GroupTreeWidget)
#include "tst_grouptreewidget.moc"
