#pragma once
// The host's alarm event object, apart from the record it carries, so that the
// alarm transfer needs none of the record's types.

#include <cstdint>

namespace quorra {

struct IntelAlarmEventInfo;

// The object behind the pointer of AlarmTransfer::signalAlarmEventInfo. Its
// second virtual operation hands out a copy of the event's data.
class IAlarmEvent
{
public:
    virtual ~IAlarmEvent() = default;
    virtual IntelAlarmEventInfo GetIntelAlarmEventInfo() const = 0;
    // The event's kind as the host's alarm centre files it.
    virtual int32_t GetAlarmCategory() const { return 0; }
    // Bytes the event holds, which bound the host's backlog of undelivered events.
    virtual std::int64_t GetPayloadBytes() const { return 0; }
};

} // namespace quorra
