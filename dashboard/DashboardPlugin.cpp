#include "dashboard/DashboardPlugin.h"

#include "quorra/IAIInterface.h"

#include <QDir>

CDashboardPlugin::CDashboardPlugin(const QString& strLibraryName)
    : m_strLibraryName(strLibraryName)
{
}

CDashboardPlugin::~CDashboardPlugin()
{
    delete m_pInterface;
}

bool CDashboardPlugin::Load(const QString& strFolder)
{
    m_library.setFileName(QDir(strFolder).filePath(m_strLibraryName));
    if (!m_library.load()) {
        m_strError = m_library.errorString();
        return false;
    }
    m_pfnGetInterface = reinterpret_cast<GetInterfaceFn>(m_library.resolve("getAIInterface"));
    m_pfnGetWidget = reinterpret_cast<GetWidgetFn>(m_library.resolve("getAIWidget"));
    if (!m_pfnGetInterface || !m_pfnGetWidget) {
        m_strError = QStringLiteral("missing entry point: %1").arg(m_library.errorString());
        return false;
    }
    m_pInterface = m_pfnGetInterface();
    if (!m_pInterface) {
        m_strError = QStringLiteral("getAIInterface returned no interface");
        return false;
    }
    return true;
}

quorra::IAIWidget* CDashboardPlugin::Widget(QWidget* pParent)
{
    return m_pfnGetWidget ? m_pfnGetWidget(pParent) : nullptr;
}
