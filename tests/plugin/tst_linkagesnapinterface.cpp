#include "plugin/EntryGuard.h"
#include "plugin/LinckageSnap.h"
#include "plugin/LinkageSnapInterface.h"

#include <QApplication>
#include <QTest>

#include <stdexcept>

using LinkageSnapAlarm::CLinkageSnapInterface;

class tst_LinkageSnapInterface : public QObject
{
    Q_OBJECT
private slots:
    void getters_data();
    void getters();
    void widgetIsCreatedOnceAndShared();
    void widgetGoneWithParentIsMadeAnew();
    void entryGuardTurnsExceptionsIntoNull_data();
    void entryGuardTurnsExceptionsIntoNull();
};

void tst_LinkageSnapInterface::getters_data()
{
    QTest::addColumn<QString>("strGetter");
    QTest::addColumn<QString>("strExpected");
    QTest::newRow("dll name") << "getAIDllName"
                              << "LinkageSnapAlarm";
    QTest::newRow("icon url") << "getAIIconUrl"
                              << ":/Images/Images/AIDashboard/linkage_alarm_btn.png";
    QTest::newRow("name untranslated") << "getAIName"
                                       << "LinkageSnapshotAlarm";
    QTest::newRow("object name") << "getObjectName"
                                 << "m_LinkageAlarmBtn";
}

void tst_LinkageSnapInterface::getters()
{
    QFETCH(QString, strGetter);
    QFETCH(QString, strExpected);
    const CLinkageSnapInterface iface;
    const QString strValue = strGetter == "getAIDllName"   ? iface.getAIDllName()
                             : strGetter == "getAIIconUrl" ? iface.getAIIconUrl()
                             : strGetter == "getAIName"    ? iface.getAIName()
                                                           : iface.getObjectName();
    QCOMPARE(strValue, strExpected);
}

void tst_LinkageSnapInterface::widgetIsCreatedOnceAndShared()
{
    QWidget parentA;
    QWidget parentB;
    CLinkageSnapInterface iface;
    quorra::IAIWidget* pWidget = iface.getAIWidget(&parentA);
    QVERIFY(qobject_cast<LinkageSnapAlarm::CLinckageSnap*>(pWidget));
    QCOMPARE(pWidget->parentWidget(), &parentA);
    // A later parent is ignored: the same widget stays where it is, and copies
    // of the interface hand out that widget too.
    CLinkageSnapInterface copy(iface);
    CLinkageSnapInterface assigned;
    assigned = iface;
    QCOMPARE(iface.getAIWidget(&parentB), pWidget);
    QCOMPARE(copy.getAIWidget(nullptr), pWidget);
    QCOMPARE(assigned.getAIWidget(nullptr), pWidget);
    QCOMPARE(pWidget->parentWidget(), &parentA);
    QCOMPARE(parentA.findChildren<LinkageSnapAlarm::CLinckageSnap*>().size(), 1);
}

// The parent owns the widget: once it has deleted it, the next call must not hand
// out the dead pointer but make a new widget.
void tst_LinkageSnapInterface::widgetGoneWithParentIsMadeAnew()
{
    CLinkageSnapInterface iface;
    auto* pFirstParent = new QWidget;
    QVERIFY(iface.getAIWidget(pFirstParent));
    delete pFirstParent;
    QWidget parent;
    quorra::IAIWidget* pWidget = iface.getAIWidget(&parent);
    QVERIFY(pWidget);
    QCOMPARE(pWidget->parentWidget(), &parent);
}

void tst_LinkageSnapInterface::entryGuardTurnsExceptionsIntoNull_data()
{
    QTest::addColumn<int>("kind"); // 0: none, 1: std::exception, 2: anything else
    QTest::addColumn<QString>("log");
    QTest::newRow("no exception") << 0 << "";
    QTest::newRow("standard exception") << 1 << "getAIWidget failed: broken";
    QTest::newRow("other exception") << 2 << "getAIWidget failed with an unknown exception";
}

void tst_LinkageSnapInterface::entryGuardTurnsExceptionsIntoNull()
{
    QFETCH(int, kind);
    QFETCH(QString, log);
    QWidget widget;
    if (!log.isEmpty())
        QTest::ignoreMessage(QtCriticalMsg, qPrintable(log));
    QWidget* pResult = LinkageSnapAlarm::GuardedEntry("getAIWidget", [&]() -> QWidget* {
        if (kind == 1)
            throw std::runtime_error("broken");
        if (kind == 2)
            throw 42;
        return &widget;
    });
    QCOMPARE(pResult, kind == 0 ? &widget : nullptr);
}

QTEST_MAIN(tst_LinkageSnapInterface)
#include "tst_linkagesnapinterface.moc"
