#pragma once

#include <QLoggingCategory>

// The play windows and the live-view controller.
Q_DECLARE_LOGGING_CATEGORY(lcPlayWindow)
