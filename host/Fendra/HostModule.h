#pragma once

#include "HostExport.h"

#include <QString>

// The host's optional modules: libraries loaded beside it on first use, so
// that what they link (and the time the loader spends on it) is paid for only
// by a start that needs them.

namespace Fendra {

// The module's file: $szEnvironment when set, else szFile beside the host library.
HOST_API QString HostModulePath(const char* szEnvironment, const char* szFile);

// Loads the module for good (its threads run its code until exit) and resolves
// its entry point; null with the reason in strError when the file is missing,
// is not a library or lacks the entry point.
HOST_API void* LoadHostModuleEntry(const QString& strPath, const char* szEntry, QString& strError);

// A module whose entry point takes the host's interface version and returns
// the module's one instance, or null when it was built for another version.
template <class Module>
Module* LoadHostModule(const QString& strPath, const char* szEntry, int nVersion, QString& strError)
{
    using Entry = Module* (*)(int);
    const auto fnEntry = reinterpret_cast<Entry>(LoadHostModuleEntry(strPath, szEntry, strError));
    Module* pModule = fnEntry ? fnEntry(nVersion) : nullptr;
    if (fnEntry && !pModule)
        strError = QStringLiteral("%1 was built for another version of the host").arg(strPath);
    return pModule;
}

} // namespace Fendra
