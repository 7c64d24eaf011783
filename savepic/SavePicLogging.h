#pragma once

#include <QLoggingCategory>

// Saving pictures: the pool, the manager and failures.
Q_DECLARE_LOGGING_CATEGORY(lcSavePic)
