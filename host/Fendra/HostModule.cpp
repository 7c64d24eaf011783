#include "Fendra/HostModule.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <dlfcn.h>

namespace Fendra {

QString HostModulePath(const char* szEnvironment, const char* szFile)
{
    const QString strOverride = qEnvironmentVariable(szEnvironment);
    if (!strOverride.isEmpty())
        return strOverride;
    // Beside the host library, wherever the program that loaded it lives.
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&HostModulePath), &info) || !info.dli_fname)
        return QString::fromLatin1(szFile);
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteDir().filePath(QString::fromLatin1(szFile));
}

void* LoadHostModuleEntry(const QString& strPath, const char* szEntry, QString& strError)
{
    QLibrary library(strPath);
    if (!library.load()) {
        strError = library.errorString();
        return nullptr;
    }
    const QFunctionPointer fnEntry = library.resolve(szEntry);
    if (!fnEntry)
        strError = QStringLiteral("%1 has no entry point %2").arg(strPath, QLatin1String(szEntry));
    return reinterpret_cast<void*>(fnEntry);
}

} // namespace Fendra
