#include "alarmview/LinkageSnapAlarmDlg.h"
#include "plugin/LinckageSnap.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QLayout>
#include <QMetaMethod>
#include <QTest>

using LinkageSnapAlarm::CLinckageSnap;
using StateList = quorra::AIWidgetStateList;
Q_DECLARE_METATYPE(StateList)

namespace {
QString Describe(const StateList& vecState)
{
    QStringList lst;
    for (const auto& item : vecState)
        lst << QString("'%1'/%2").arg(QString::fromStdString(item.strText)).arg(item.vecValues.size());
    return lst.join(' ');
}
} // namespace

class tst_LinckageSnap : public QObject
{
    Q_OBJECT
private slots:
    void stateRoundTrip_data();
    void stateRoundTrip();
    void dialogFillsTheScreen();
    void buttonSlotsDispatchThroughMetaObject();
};

void tst_LinckageSnap::stateRoundTrip_data()
{
    QTest::addColumn<StateList>("vecState");
    QTest::newRow("no items") << StateList{};
    QTest::newRow("three empty texts") << StateList{{"", {}}, {"", {}}, {"", {}}};
    QTest::newRow("more items than windows") << StateList{{"", {}}, {"", {}}, {"", {}}, {"d", {}}, {"e", {}}};
    QTest::newRow("stale items are replaced") << StateList{{"old", {1, 2}}, {"", {}}, {"x", {}}, {"y", {}}};
}

// A restore reads the host's list of any length and never rewrites it; a save
// replaces it with one item per window.
void tst_LinckageSnap::stateRoundTrip()
{
    QFETCH(StateList, vecState);
    CLinckageSnap widget;
    widget.stateList() = vecState;
    widget.readState();
    QCOMPARE(Describe(widget.stateList()), Describe(vecState));
    widget.saveState();
    QCOMPARE(Describe(widget.stateList()), QString("''/0 ''/0 ''/0"));
}

void tst_LinckageSnap::dialogFillsTheScreen()
{
    CLinckageSnap widget;
    QDesktopWidget* pDesktop = QApplication::desktop();
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QRect rcScreen = pDesktop->screenGeometry(pDesktop->screenNumber(&widget));
    QT_WARNING_POP
    QCOMPARE(widget.LinkageDlg()->geometry(), rcScreen);
    QCOMPARE(widget.LinkageDlg()->parentWidget(), &widget);
    QCOMPARE(widget.layout()->contentsMargins(), QMargins(0, 0, 0, 0));
}

void tst_LinckageSnap::buttonSlotsDispatchThroughMetaObject()
{
    CLinckageSnap widget;
    const QMetaObject* pMeta = widget.metaObject();
    QCOMPARE(QString(pMeta->className()), QString("LinkageSnapAlarm::CLinckageSnap"));
    for (const char* szSlot : {"onConfigBtnClicked()", "onMinmumBtnClicked()", "onCloseBtnClicked()"})
        QVERIFY2(pMeta->indexOfSlot(szSlot) >= 0, szSlot);
    const QRect rcBefore = widget.LinkageDlg()->geometry();
    QVERIFY(QMetaObject::invokeMethod(&widget, "onMinmumBtnClicked"));
    QCOMPARE(widget.LinkageDlg()->geometry(), rcBefore);
    QVERIFY(widget.LinkageDlg()->isVisibleTo(&widget));
}

QTEST_MAIN(tst_LinckageSnap)
#include "tst_linckagesnap.moc"
