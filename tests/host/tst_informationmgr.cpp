#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

class tst_InformationMgr : public QObject
{
    Q_OBJECT
private slots:
    void noticeIsRecordedAndShownBottomRight();
    void noticesStackUpwards();
    void atMostFiveNoticesAreVisible_data();
    void atMostFiveNoticesAreVisible();
};

static QList<QLabel*> VisibleNotices()
{
    QList<QLabel*> lstNotices;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (pWidget->objectName() == "m_pLabelNotice" && pWidget->isVisible())
            lstNotices << static_cast<QLabel*>(pWidget);
    return lstNotices;
}

void tst_InformationMgr::noticeIsRecordedAndShownBottomRight()
{
    auto& mgr = TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
    mgr.ClearShownNotices();
    QSignalSpy spy(&mgr, &Miravel::CInformationMgr::signalNoticeShown);
    mgr.ShowInformationAtScreenRightBottom("Saved", nullptr, false, false, false);
    QCOMPARE(mgr.ShownNotices(), QStringList{"Saved"});
    QCOMPARE(spy.count(), 1);
    const QList<QLabel*> lstNotices = VisibleNotices();
    QCOMPARE(lstNotices.size(), 1);
    const QRect rcArea = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect rcNotice = lstNotices.first()->geometry();
    QVERIFY(rcArea.contains(rcNotice));
    QVERIFY(rcNotice.right() > rcArea.center().x());
    QVERIFY(rcNotice.bottom() > rcArea.center().y());
    lstNotices.first()->close();
}

void tst_InformationMgr::noticesStackUpwards()
{
    auto& mgr = TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
    mgr.ShowInformationAtScreenRightBottom("first", nullptr, false, false, false);
    mgr.ShowInformationAtScreenRightBottom("second", nullptr, false, false, false);
    QLabel* pFirst = nullptr;
    QLabel* pSecond = nullptr;
    for (QLabel* pNotice : VisibleNotices())
        (pNotice->text() == "first" ? pFirst : pSecond) = pNotice;
    QVERIFY(pFirst && pSecond);
    QVERIFY(pFirst->geometry().bottom() < pSecond->geometry().top());
}

// An alarm storm must not fill the screen: the five newest notices stay.
void tst_InformationMgr::atMostFiveNoticesAreVisible_data()
{
    QTest::addColumn<int>("nShown");
    QTest::addColumn<QString>("strVisible");
    QTest::newRow("four") << 4 << "n1 n2 n3 n4";
    QTest::newRow("five") << 5 << "n1 n2 n3 n4 n5";
    QTest::newRow("seven: the two oldest go") << 7 << "n3 n4 n5 n6 n7";
}

void tst_InformationMgr::atMostFiveNoticesAreVisible()
{
    QFETCH(int, nShown);
    QFETCH(QString, strVisible);
    for (QLabel* pNotice : VisibleNotices())
        pNotice->close();
    auto& mgr = TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
    for (int i = 1; i <= nShown; ++i)
        mgr.ShowInformationAtScreenRightBottom(QStringLiteral("n%1").arg(i), nullptr, false, false, false);
    QStringList lstVisible;
    for (QLabel* pNotice : VisibleNotices())
        lstVisible << pNotice->text();
    lstVisible.sort();
    QCOMPARE(lstVisible.join(' '), strVisible);
}

QTEST_MAIN(tst_InformationMgr)
#include "tst_informationmgr.moc"
