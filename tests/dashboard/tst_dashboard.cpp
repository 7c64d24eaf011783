#include "dashboard/DashboardPlugin.h"
#include "dashboard/DashboardStateStore.h"
#include "dashboard/DashboardWindow.h"

#include "quorra/IAIInterface.h"
#include "quorra/IAIWidget.h"

#include <QDir>
#include <QIcon>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

using StateList = quorra::AIWidgetStateList;
Q_DECLARE_METATYPE(StateList)

namespace {
QString Describe(const StateList& vecState)
{
    QStringList lst;
    for (const auto& item : vecState) {
        QStringList lstValues;
        for (int nValue : item.vecValues)
            lstValues << QString::number(nValue);
        lst << QString("'%1'[%2]").arg(QString::fromStdString(item.strText), lstValues.join(','));
    }
    return lst.join(' ');
}
} // namespace

class tst_Dashboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void stateStoreRoundTrip_data();
    void stateStoreRoundTrip();
    void missingPluginIsReported();
    void embedsThePluginAndKeepsItsState();
    void deferredStateIsKeptUntilRestored_data();
    void deferredStateIsKeptUntilRestored();

private:
    QTemporaryDir m_dir;
};

void tst_Dashboard::initTestCase()
{
    Q_INIT_RESOURCE(dashboard);
    QVERIFY(m_dir.isValid());
}

void tst_Dashboard::stateStoreRoundTrip_data()
{
    QTest::addColumn<StateList>("vecState");
    QTest::newRow("nothing stored") << StateList{};
    QTest::newRow("three windows, middle idle") << StateList{{"{A-GUID}", {}}, {"", {}}, {"{C-GUID}", {}}};
    QTest::newRow("integers and odd text") << StateList{{"a=b;c, 'd'", {1, -2, 3}}};
}

void tst_Dashboard::stateStoreRoundTrip()
{
    QFETCH(StateList, vecState);
    CDashboardStateStore store(m_dir.filePath(QString("state-%1.ini").arg(QTest::currentDataTag())));
    QVERIFY(store.Save("LinkageSnapAlarm", {{"stale", {9}}, {"stale", {}}, {"x", {}}, {"y", {}}}));
    QVERIFY(store.Save("LinkageSnapAlarm", vecState));
    QVERIFY(store.Save("Other", {{"other", {}}}));
    QCOMPARE(Describe(store.Load("LinkageSnapAlarm")), Describe(vecState));
}

void tst_Dashboard::missingPluginIsReported()
{
    CDashboardPlugin plugin("LinkageSnapAlarm");
    QVERIFY(!plugin.Load(m_dir.filePath("no-such-folder")));
    QVERIFY(!plugin.ErrorString().isEmpty());
    QCOMPARE(plugin.Interface(), nullptr);
    QCOMPARE(plugin.Widget(nullptr), nullptr);
}

void tst_Dashboard::embedsThePluginAndKeepsItsState()
{
    CDashboardStateStore store(m_dir.filePath("dashboard.ini"));
    store.Save("LinkageSnapAlarm", {{"", {}}, {"", {}}, {"", {}}});
    {
        CDashboardWindow window(store);
        auto upPlugin = std::make_unique<CDashboardPlugin>("LinkageSnapAlarm");
        QVERIFY2(upPlugin->Load(LSA_PLUGIN_DIR), qPrintable(upPlugin->ErrorString()));
        QVERIFY(window.AddPlugin(std::move(upPlugin)));

        auto* pButton = window.findChild<QPushButton*>("m_LinkageAlarmBtn");
        QVERIFY(pButton);
        QCOMPARE(pButton->text(), QString("LinkageSnapshotAlarm"));
        QVERIFY(!pButton->icon().isNull()); // the host's resource behind the plug-in's icon path
        QVERIFY(pButton->isChecked());
        quorra::IAIWidget* pWidget = window.CurrentWidget();
        QVERIFY(pWidget);
        QCOMPARE(QString(pWidget->metaObject()->className()), QString("LinkageSnapAlarm::CLinckageSnap"));

        // The dashboard's buttons reach the widget's slots.
        window.findChild<QPushButton*>("m_pBtnDashboardConfig")->click();
        QWidget* pSetup = pWidget->findChild<QWidget*>("LinkageSetupDlg");
        QVERIFY(pSetup && pSetup->isVisible());
        window.findChild<QPushButton*>("m_pBtnDashboardClose")->click();
        QVERIFY(!pSetup->isVisible());

        store.Save("LinkageSnapAlarm", {});
        window.SaveStates();
    }
    QCOMPARE(Describe(store.Load("LinkageSnapAlarm")), QString("''[] ''[] ''[]"));
}

void tst_Dashboard::deferredStateIsKeptUntilRestored_data()
{
    QTest::addColumn<bool>("bRestore");
    QTest::addColumn<QString>("strSaved");
    // Quitting before the state was handed over must not overwrite it with the empty windows.
    QTest::newRow("quit before the restore") << false << QString("'{NO-SUCH-CAMERA}'[]");
    QTest::newRow("restored after the first paint") << true << QString("''[] ''[] ''[]");
}

void tst_Dashboard::deferredStateIsKeptUntilRestored()
{
    QFETCH(bool, bRestore);
    QFETCH(QString, strSaved);
    CDashboardStateStore store(m_dir.filePath(QString("deferred-%1.ini").arg(QTest::currentDataTag())));
    store.Save("LinkageSnapAlarm", {{"{NO-SUCH-CAMERA}", {}}});
    CDashboardWindow window(store);
    auto upPlugin = std::make_unique<CDashboardPlugin>("LinkageSnapAlarm");
    QVERIFY2(upPlugin->Load(LSA_PLUGIN_DIR), qPrintable(upPlugin->ErrorString()));
    QVERIFY(window.AddPlugin(std::move(upPlugin), false));
    QVERIFY(window.CurrentWidget()->stateList().empty());
    if (bRestore)
        window.RestoreStates();
    window.SaveStates();
    QCOMPARE(Describe(store.Load("LinkageSnapAlarm")), strSaved);
}

QTEST_MAIN(tst_Dashboard)
#include "tst_dashboard.moc"
