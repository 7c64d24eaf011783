#include "playwindow/PlayWindowLogging.h"

Q_LOGGING_CATEGORY(lcPlayWindow, "lsa.playwindow", QtInfoMsg)
