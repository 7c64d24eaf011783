#include "mqtt/MqttLogging.h"

Q_LOGGING_CATEGORY(lcMqtt, "lsa.mqtt", QtInfoMsg)
