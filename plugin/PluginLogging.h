#pragma once

#include <QLoggingCategory>

// The plug-in entry points.
Q_DECLARE_LOGGING_CATEGORY(lcPlugin)
