#include "playwindow/LiveViewMenuMgr.h"

#include <QAction>
#include <QSvgRenderer>
#include <QtTest>

// Every look of the play windows' actions names an icon the host application carries.
class tst_ActionIcons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(dashboard); }
    void everyLookHasItsIcons_data();
    void everyLookHasItsIcons();
};

void tst_ActionIcons::everyLookHasItsIcons_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("on");
    for (int nType : {3, 4, 9, 10, 11, 15, 18})
        for (bool bOn : {false, true})
            QTest::newRow(qPrintable(QString("type %1 %2").arg(nType).arg(bOn ? "on" : "off"))) << nType << bOn;
}

void tst_ActionIcons::everyLookHasItsIcons()
{
    QFETCH(int, type);
    QFETCH(bool, on);
    CLiveViewMenuMgr menu({CLiveViewMenuMgr::LiveViewActionType(type)});
    menu.SetRecordingState(on);
    menu.SetPtzState(on);
    menu.SetDigitalZoomState(on);
    menu.SetSoundState(on);
    menu.SetInstantPlaybackState(on);
    QAction* pAction = menu.Action(type);
    QVERIFY(pAction);
    const QString strMenuIcon = pAction->property(CLiveViewMenuMgr::kMenuIconProperty).toString();
    QVERIFY(QSvgRenderer(strMenuIcon).isValid());
    const QString strToolBarIcon = pAction->property(CLiveViewMenuMgr::kToolBarIconProperty).toString();
    QVERIFY(type == CLiveViewMenuMgr::AudioOn || QSvgRenderer(strToolBarIcon).isValid());
}

QTEST_MAIN(tst_ActionIcons)
#include "tst_actionicons.moc"
