#pragma once

#include <QLoggingCategory>

// The alarm simulator and replay log under "lsa.sim".
Q_DECLARE_LOGGING_CATEGORY(lcSim)
