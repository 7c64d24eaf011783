#include "alarmview/AlarmViewLogging.h"

Q_LOGGING_CATEGORY(lcAlarmView, "lsa.alarmview", QtInfoMsg)
