#pragma once

#include <QLibrary>
#include <QString>

namespace quorra {
class IAIInterface;
class IAIWidget;
} // namespace quorra

class QWidget;

// One AI dashboard plug-in, loaded the way the client does it: the library by
// its name, then its two exported entry points.
class CDashboardPlugin
{
public:
    explicit CDashboardPlugin(const QString& strLibraryName);
    // Deletes the interface object; the widget belongs to its Qt parent.
    ~CDashboardPlugin();
    CDashboardPlugin(const CDashboardPlugin&) = delete;
    CDashboardPlugin& operator=(const CDashboardPlugin&) = delete;

    // Loads the library from the given folder and asks it for its interface.
    bool Load(const QString& strFolder);
    QString ErrorString() const { return m_strError; }

    quorra::IAIInterface* Interface() const { return m_pInterface; }
    // The plug-in's widget, built on the first call.
    quorra::IAIWidget* Widget(QWidget* pParent);

private:
    using GetInterfaceFn = quorra::IAIInterface* (*)();
    using GetWidgetFn = quorra::IAIWidget* (*)(QWidget*);

    QString m_strLibraryName;
    QLibrary m_library;
    QString m_strError;
    GetInterfaceFn m_pfnGetInterface = nullptr;
    GetWidgetFn m_pfnGetWidget = nullptr;
    quorra::IAIInterface* m_pInterface = nullptr;
};
