#pragma once

#include <QLoggingCategory>

// The settings store and the setup dialog.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
