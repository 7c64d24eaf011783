// The MQTT module's entry point: the host finds lsa_mqtt_module by name once a
// broker is asked for.

#include "mqtt/AlarmIntake.h"
#include "mqtt/AlarmPublisher.h"
#include "mqtt/MqttModule.h"

namespace mqtt {
namespace {

class CMqttModule : public IMqttModule
{
public:
    std::unique_ptr<IAlarmIntake> NewIntake(BrokerSettings settings, IAlarmIntake::Decoder decoder) override
    {
        return std::make_unique<CAlarmIntake>(std::move(settings), std::move(decoder));
    }

    std::unique_ptr<IAlarmPublisher> NewPublisher(BrokerSettings settings) override
    {
        return std::make_unique<CAlarmPublisher>(std::move(settings));
    }
};

} // namespace
} // namespace mqtt

extern "C" HOST_API mqtt::IMqttModule* lsa_mqtt_module(int nVersion)
{
    static mqtt::CMqttModule module;
    return nVersion == mqtt::kMqttModuleVersion ? &module : nullptr;
}
