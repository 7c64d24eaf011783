#include "dashboard/DashboardLogging.h"

Q_LOGGING_CATEGORY(lcDashboard, "lsa.dashboard", QtInfoMsg)
