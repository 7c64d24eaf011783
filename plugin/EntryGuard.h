#pragma once

#include "plugin/PluginLogging.h"

#include <exception>

namespace LinkageSnapAlarm {

// Runs the body of an extern "C" entry point: no C++ exception may cross into
// the host, so any is caught and logged, and the host gets null.
template <class Body>
auto GuardedEntry(const char* szEntry, Body fnBody) noexcept -> decltype(fnBody())
{
    try {
        return fnBody();
    } catch (const std::exception& error) {
        qCCritical(lcPlugin, "%s failed: %s", szEntry, error.what());
    } catch (...) {
        qCCritical(lcPlugin, "%s failed with an unknown exception", szEntry);
    }
    return nullptr;
}

} // namespace LinkageSnapAlarm
