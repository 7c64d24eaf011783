#pragma once

#include <QLoggingCategory>

// The protocol library sits below common/, so it declares its own category, under
// the plug-in's one prefix "lsa.".
Q_DECLARE_LOGGING_CATEGORY(lcProtocol)
