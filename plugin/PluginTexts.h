#pragma once

#include <QCoreApplication>

namespace LinkageSnapAlarm {

// The texts the plug-in hands to the host, listed once so that lupdate finds them.
struct PluginTexts
{
    static constexpr const char* kContext = "QObject";
    static constexpr const char* LinkageSnapshotAlarm = QT_TRANSLATE_NOOP("QObject", "LinkageSnapshotAlarm");

    static QString Text(const char* szKey) { return QCoreApplication::translate(kContext, szKey); }
};

} // namespace LinkageSnapAlarm
