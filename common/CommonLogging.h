#pragma once

#include <QLoggingCategory>

// Every library logs under the prefix "lsa.", so that QT_LOGGING_RULES="lsa.*=true"
// turns on everything.

// Pictures refused before decoding, whichever folder asked.
Q_DECLARE_LOGGING_CATEGORY(lcPictures)
// Soft checks that failed: a missing object where the code goes on without it.
Q_DECLARE_LOGGING_CATEGORY(lcChecks)
