#pragma once

#include <QLoggingCategory>

// The alarm history: its database, writer and reader.
Q_DECLARE_LOGGING_CATEGORY(lcHistory)
