#include "LinckageSnap.h"
#include "LinkageSnapInterface.h"

#include <QApplication>
#include <QTest>

using LinkageSnapAlarm::CLinkageSnapInterface;

class tst_LinkageSnapInterface : public QObject
{
    Q_OBJECT
private slots:
    void getters_data();
    void getters();
    void widgetIsCreatedOncePerObject();
    void copiesShareTheWidget();
};

void tst_LinkageSnapInterface::getters_data()
{
    QTest::addColumn<QString>("strGetter");
    QTest::addColumn<QString>("strExpected");
    QTest::newRow("dll name") << "getAIDllName" << "LinkageSnapAlarm";
    QTest::newRow("icon url") << "getAIIconUrl" << ":/Images/Images/AIDashboard/linkage_alarm_btn.png";
    QTest::newRow("name untranslated") << "getAIName" << "LinkageSnapshotAlarm";
    QTest::newRow("object name") << "getObjectName" << "m_LinkageAlarmBtn";
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

void tst_LinkageSnapInterface::widgetIsCreatedOncePerObject()
{
    QWidget parentA;
    QWidget parentB;
    CLinkageSnapInterface iface;
    quorra::IAIWidget* pWidget = iface.getAIWidget(&parentA);
    QVERIFY(qobject_cast<LinkageSnapAlarm::CLinckageSnap*>(pWidget));
    QCOMPARE(pWidget->parentWidget(), &parentA);
    // A later parent is ignored: the same widget stays where it is.
    QCOMPARE(iface.getAIWidget(&parentB), pWidget);
    QCOMPARE(pWidget->parentWidget(), &parentA);
}

void tst_LinkageSnapInterface::copiesShareTheWidget()
{
    QWidget parent;
    CLinkageSnapInterface iface;
    quorra::IAIWidget* pWidget = iface.getAIWidget(&parent);
    CLinkageSnapInterface copy(iface);
    CLinkageSnapInterface assigned;
    assigned = iface;
    QCOMPARE(copy.getAIWidget(nullptr), pWidget);
    QCOMPARE(assigned.getAIWidget(nullptr), pWidget);
    QCOMPARE(parent.findChildren<LinkageSnapAlarm::CLinckageSnap*>().size(), 1);
}

QTEST_MAIN(tst_LinkageSnapInterface)
#include "tst_linkagesnapinterface.moc"
