#include "analytics/AnalyticsModule.h"

#include "analytics/AnalyticsLogging.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <dlfcn.h>

Q_LOGGING_CATEGORY(lcAnalytics, "lsa.host.analytics", QtInfoMsg)

namespace Analytics {

IStreamPicture::~IStreamPicture() = default;
ICameraAnalytics::~ICameraAnalytics() = default;
IAnalyticsModule::~IAnalyticsModule() = default;

QString DefaultAnalyticsModulePath()
{
    const QString strOverride = qEnvironmentVariable("LSA_ANALYTICS_MODULE");
    if (!strOverride.isEmpty())
        return strOverride;
    // Beside the host library, wherever the program that loaded it lives.
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&DefaultAnalyticsModulePath), &info) || !info.dli_fname)
        return QStringLiteral(LSA_ANALYTICS_MODULE_FILE);
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteDir().filePath(LSA_ANALYTICS_MODULE_FILE);
}

IAnalyticsModule* LoadAnalyticsModule(const QString& strPath, QString& strError)
{
    // Never unloaded: cameras' analytics and their threads run its code until exit.
    QLibrary library(strPath);
    if (!library.load()) {
        strError = library.errorString();
        return nullptr;
    }
    const auto fnEntry = reinterpret_cast<AnalyticsModuleEntry>(library.resolve(kAnalyticsModuleEntry));
    if (!fnEntry) {
        strError = QStringLiteral("%1 has no entry point %2").arg(strPath, kAnalyticsModuleEntry);
        return nullptr;
    }
    IAnalyticsModule* pModule = fnEntry(kAnalyticsModuleVersion);
    if (!pModule)
        strError = QStringLiteral("%1 was built for another version of the host").arg(strPath);
    return pModule;
}

} // namespace Analytics
