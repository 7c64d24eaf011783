#include "history/HistoryLogging.h"

Q_LOGGING_CATEGORY(lcHistory, "lsa.history", QtInfoMsg)
