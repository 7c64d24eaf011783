// Loads the built plug-in library by name, as the dashboard host does, and
// checks what the two entry points give and that both sides share the host's
// process-wide objects.

#include "Fendra/Singleton.h"
#include "Kelmot/ConfigMgr.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "quorra/IAIInterface.h"
#include "quorra/IAIWidget.h"
#include "quorra/LocalDataManagerDelegate.h"
#include "tessel/IVideoSystemConfig.h"

#include <QApplication>
#include <QDir>
#include <QLibrary>
#include <QTest>

#include <memory>
#include <vector>

class tst_PluginLibrary : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void widgetBeforeInterfaceIsNull();
    void eachInterfaceCallMakesANewObject();
    void singletonsAreSharedWithTheHost_data();
    void singletonsAreSharedWithTheHost();

private:
    QLibrary m_library;
    quorra::GetAIInterfaceFn m_pfnInterface = nullptr;
    quorra::GetAIWidgetFn m_pfnWidget = nullptr;
    QWidget m_container;
    // The host owns the interface objects it asked for.
    std::vector<std::unique_ptr<quorra::IAIInterface>> m_vecInterfaces;
    quorra::IAIInterface* NewInterface()
    {
        m_vecInterfaces.emplace_back(m_pfnInterface());
        return m_vecInterfaces.back().get();
    }
};

void tst_PluginLibrary::initTestCase()
{
    m_library.setFileName(QDir(LSA_PLUGIN_DIR).filePath("LinkageSnapAlarm"));
    QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
    m_pfnInterface = reinterpret_cast<quorra::GetAIInterfaceFn>(m_library.resolve("getAIInterface"));
    m_pfnWidget = reinterpret_cast<quorra::GetAIWidgetFn>(m_library.resolve("getAIWidget"));
    QVERIFY(m_pfnInterface && m_pfnWidget);
}

// The host unloads plug-ins before it exits: nothing the host keeps may still
// need the plug-in's code then (the process must exit cleanly afterwards).
void tst_PluginLibrary::cleanupTestCase()
{
    m_vecInterfaces.clear();
    QVERIFY(m_library.unload());
    QVERIFY(!m_library.isLoaded());
}

void tst_PluginLibrary::widgetBeforeInterfaceIsNull()
{
    QCOMPARE(m_pfnWidget(&m_container), nullptr);
}

void tst_PluginLibrary::eachInterfaceCallMakesANewObject()
{
    quorra::IAIInterface* pFirst = NewInterface();
    QWidget* pFirstWidget = m_pfnWidget(&m_container);
    QVERIFY(pFirstWidget);
    quorra::IAIInterface* pSecond = NewInterface();
    QVERIFY(pFirst && pSecond && pFirst != pSecond);
    QCOMPARE(pSecond->getAIDllName(), QString("LinkageSnapAlarm"));
    // The free function now forwards to the second object, which has no widget yet.
    QWidget* pSecondWidget = m_pfnWidget(&m_container);
    QVERIFY(pSecondWidget && pSecondWidget != pFirstWidget);
    QCOMPARE(pFirst->getAIWidget(nullptr), pFirstWidget);
    QCOMPARE(qobject_cast<quorra::IAIWidget*>(pSecondWidget), pSecond->getAIWidget(nullptr));
    delete pFirstWidget;
    delete pSecondWidget;
}

void tst_PluginLibrary::singletonsAreSharedWithTheHost_data()
{
    QTest::addColumn<int>("nStyleVariant");
    QTest::addColumn<QString>("strHolderName");
    QTest::newRow("host setting 0 renames the holders") << 0 << "m_pWidgetLive1ZV";
    QTest::newRow("host setting non-zero keeps the names") << 1 << "m_pWidgetLive1";
}

void tst_PluginLibrary::singletonsAreSharedWithTheHost()
{
    QFETCH(int, nStyleVariant);
    QFETCH(QString, strHolderName);
    Fendra::CSingleton<Kelmot::CConfigMgr>::Instance().SetSetting(Kelmot::CConfigMgr::StyleVariant, nStyleVariant);
    TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::DestroyInstance();
    tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig();
    const int nObserversBefore = pConfig->ObserverCount();

    NewInterface();
    QWidget* pWidget = m_pfnWidget(&m_container);
    QVERIFY(pWidget);
    QVERIFY(pWidget->findChild<QWidget*>(strHolderName));
    QVERIFY(TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::Instance());
    QCOMPARE(pConfig->ObserverCount(), nObserversBefore + 1);
    delete pWidget;
    QCOMPARE(pConfig->ObserverCount(), nObserversBefore);
}

QTEST_MAIN(tst_PluginLibrary)
#include "tst_pluginlibrary.moc"
