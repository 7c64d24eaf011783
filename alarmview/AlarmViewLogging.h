#pragma once

#include <QLoggingCategory>

// The linkage dialog: alarms, cards and saving.
Q_DECLARE_LOGGING_CATEGORY(lcAlarmView)
