#pragma once

#include "common/TranslationKeys.h"

// The dashboard's texts (context "Dashboard"), listed once so that lupdate finds
// the keys the window passes around by variable.
struct DashboardTexts : LinkageSnapAlarm::TranslationKeys<DashboardTexts>
{
    static constexpr const char* kContext = "Dashboard";
    static constexpr const char* AIDashboard = QT_TRANSLATE_NOOP("Dashboard", "AIDashboard");
    static constexpr const char* Configure = QT_TRANSLATE_NOOP("Dashboard", "Configure");
    static constexpr const char* Minimise = QT_TRANSLATE_NOOP("Dashboard", "Minimise");
    static constexpr const char* Close = QT_TRANSLATE_NOOP("Dashboard", "Close");
    static constexpr const char* PluginLoadFailed = QT_TRANSLATE_NOOP("Dashboard", "PluginLoadFailed");
    static constexpr const char* BrokerConnecting = QT_TRANSLATE_NOOP("Dashboard", "BrokerConnecting");
    static constexpr const char* BrokerConnected = QT_TRANSLATE_NOOP("Dashboard", "BrokerConnected");
    static constexpr const char* BrokerRetrying = QT_TRANSLATE_NOOP("Dashboard", "BrokerRetrying");
    static constexpr const char* BrokerFailed = QT_TRANSLATE_NOOP("Dashboard", "BrokerFailed");
    static constexpr const char* BrokerStopped = QT_TRANSLATE_NOOP("Dashboard", "BrokerStopped");
    static constexpr const char* BrokerAlarmsDropped = QT_TRANSLATE_NOOP("Dashboard", "BrokerAlarmsDropped");
};
