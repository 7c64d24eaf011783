#include "settings/SettingsLogging.h"

Q_LOGGING_CATEGORY(lcSettings, "lsa.settings", QtInfoMsg)
