#pragma once

#include "quorra/IntelAlarmEventInfo.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <string>

namespace AlarmSim {

// An alarm that came from a broker; publishers leave these out, so that
// alarms do not go round between stations.
class CBrokerAlarmEvent : public quorra::CIntelAlarmEvent
{
public:
    using quorra::CIntelAlarmEvent::CIntelAlarmEvent;
};

// One alarm as one JSON object of the replay format, for a message broker: its
// pictures inline as "base64" (receivers read no files). An alarm without an
// id gets a fresh one, so that receivers can drop a repeated delivery.
QByteArray EncodeAlarmPayload(const quorra::IntelAlarmEventInfo& info);

// The publisher's view: the event's payload, or nothing for an alarm that came from a broker.
QByteArray EncodeRaisedAlarm(const quorra::IAlarmEvent& event);

// The intake's view: the event of one broker message with its "AlarmID", or null with a reason.
// Pictures come inline ("base64"); a "file" picture is refused: no file is read for the network.
std::shared_ptr<quorra::IAlarmEvent> DecodeAlarmPayload(const QByteArray& baPayload, std::string& strAlarmId,
                                                        QString& strError);

} // namespace AlarmSim
