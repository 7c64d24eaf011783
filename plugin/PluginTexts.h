#pragma once

#include "common/TranslationKeys.h"

namespace LinkageSnapAlarm {

// The texts the plug-in hands to the host, listed once so that lupdate finds them.
struct PluginTexts : TranslationKeys<PluginTexts>
{
    static constexpr const char* kContext = "QObject";
    static constexpr const char* LinkageSnapshotAlarm = QT_TRANSLATE_NOOP("QObject", "LinkageSnapshotAlarm");
};

} // namespace LinkageSnapAlarm
