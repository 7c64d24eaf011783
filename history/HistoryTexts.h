#pragma once

#include "common/TranslationKeys.h"

namespace LinkageSnapAlarm {

// The texts the alarm history shows from code, listed once so that lupdate finds
// every key (the panel form's own texts are in HistoryPanel.ui).
struct HistoryTexts : TranslationKeys<HistoryTexts>
{
    static constexpr const char* kContext = "LinkageSnapAlarm::CAlarmHistory";
    static constexpr const char* HistoryDatabaseDamaged =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "HistoryDatabaseDamaged");
    static constexpr const char* HistoryDatabaseLocked =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "HistoryDatabaseLocked");
    static constexpr const char* HistoryDiskFull =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "HistoryDiskFull");
    static constexpr const char* HistoryAlarmsNotKept =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "HistoryAlarmsNotKept");
    // Column titles of the history list.
    static constexpr const char* ColumnTime = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "Time");
    static constexpr const char* ColumnCamera = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "Cameras");
    static constexpr const char* ColumnLinkageUid = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "LinkageId");
    static constexpr const char* ColumnAlarms = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "Alarms");
    static constexpr const char* ColumnCards = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "Cards");
    // %1: how many linkages the list shows so far.
    static constexpr const char* LinkagesListed =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "LinkagesListed");
    static constexpr const char* AlarmHistory = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CAlarmHistory", "AlarmHistory");
};

} // namespace LinkageSnapAlarm
