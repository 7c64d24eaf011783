#include "protocol/ProtocolLogging.h"

Q_LOGGING_CATEGORY(lcProtocol, "lsa.protocol", QtInfoMsg)
