#include "plugin/PluginLogging.h"

Q_LOGGING_CATEGORY(lcPlugin, "lsa.plugin", QtInfoMsg)
