#pragma once

#include <QLoggingCategory>

// The dashboard host application logs under "lsa.dashboard": what the site file,
// the replay and the demo scripts met while the window runs.
Q_DECLARE_LOGGING_CATEGORY(lcDashboard)
