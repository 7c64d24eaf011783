#include "mqtt/MqttModule.h"

#include "Fendra/HostModule.h"

namespace mqtt {

IAlarmIntake::~IAlarmIntake() = default;
IAlarmPublisher::~IAlarmPublisher() = default;
IMqttModule::~IMqttModule() = default;

QString DefaultMqttModulePath()
{
    return Fendra::HostModulePath("LSA_MQTT_MODULE", LSA_MQTT_MODULE_FILE);
}

IMqttModule* LoadMqttModule(const QString& strPath, QString& strError)
{
    return Fendra::LoadHostModule<IMqttModule>(strPath, kMqttModuleEntry, kMqttModuleVersion, strError);
}

} // namespace mqtt
