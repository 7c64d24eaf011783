#pragma once

#include "alarmview/AlarmDetailView.h"

#include "history/HistoryRecord.h"

namespace LinkageSnapAlarm {

// A past linkage from the alarm history as the detail view shows records: the
// scene with the panoramic camera's name and time, and one record per card,
// newest first as in the strip, each pointing at the linkage's scene.
LinkageRecordSet DetailsOfHistory(const HistoryLinkageRecord& linkage);

} // namespace LinkageSnapAlarm
