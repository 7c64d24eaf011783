#include "LinckageSnap.h"
#include "LinkageSnapAlarmDlg.h"

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
    void saveStateStoresOneItemPerWindow_data();
    void saveStateStoresOneItemPerWindow();
    void readStateAcceptsAnyLength_data();
    void readStateAcceptsAnyLength();
    void dialogFillsTheScreen();
    void buttonSlotsDispatchThroughMetaObject();
};

void tst_LinckageSnap::saveStateStoresOneItemPerWindow_data()
{
    QTest::addColumn<StateList>("vecBefore");
    QTest::newRow("empty list") << StateList{};
    QTest::newRow("stale items are replaced") << StateList{{"old", {1, 2}}, {"", {}}, {"x", {}}, {"y", {}}};
}

void tst_LinckageSnap::saveStateStoresOneItemPerWindow()
{
    QFETCH(StateList, vecBefore);
    CLinckageSnap widget;
    widget.stateList() = vecBefore;
    widget.saveState();
    QCOMPARE(Describe(widget.stateList()), QString("''/0 ''/0 ''/0"));
}

void tst_LinckageSnap::readStateAcceptsAnyLength_data()
{
    QTest::addColumn<StateList>("vecState");
    QTest::newRow("no items") << StateList{};
    QTest::newRow("three empty texts") << StateList{{"", {}}, {"", {}}, {"", {}}};
    QTest::newRow("more items than windows") << StateList{{"", {}}, {"", {}}, {"", {}}, {"d", {}}, {"e", {}}};
}

void tst_LinckageSnap::readStateAcceptsAnyLength()
{
    QFETCH(StateList, vecState);
    CLinckageSnap widget;
    widget.stateList() = vecState;
    widget.readState();
    // The host's list is read, never rewritten, by a restore.
    QCOMPARE(Describe(widget.stateList()), Describe(vecState));
    widget.saveState();
    QCOMPARE(widget.stateList().size(), size_t(3));
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
