#pragma once

#include <QLoggingCategory>

// The broker connections of the host stand-in log under "lsa.mqtt".
Q_DECLARE_LOGGING_CATEGORY(lcMqtt)
