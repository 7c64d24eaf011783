#pragma once
// The host's alarm event as a receiver copies it out of the event object.
// Header-only: the records it embeds belong to the protocol library, which the
// host library itself does not link.

#include "JSONStruct/AIOPAlarmInfo.h"
#include "JSONStruct/IntelAlarmInfoStruct.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorra {

// Alarm type codes the linkage view handles.
enum IntelAlarmType : int32_t {
    AlarmTypePanoramicSmart = 100009,
    AlarmTypePanoramicSmartEx = 100010,
    AlarmTypeLinkageChannel = 100509,
};

struct IntelAlarmEventInfo
{
    std::string AlarmID;       // the host's identifier of this event
    std::string DeviceID;      // the device that reported it
    std::string AlarmSourceID; // the camera that raised it
    int32_t ChannelNo = 0;
    int32_t AlarmType = 0;
    int32_t AlarmLevel = 0;
    int64_t AlarmTime = 0; // milliseconds since the epoch
    std::string AlarmDescription;
    std::vector<std::string> PictureUrls;
    std::string AlarmSourceName; // the camera's name; folder of saved pictures
    std::vector<std::string> LinkedSourceIDs;
    protocol::IntelAlarmInfoStruct IntelAlarmInfo;
    protocol::AIOPAlarmInfo AIOPAlarmInfo;
};

// The object behind the pointer of AlarmTransfer::signalAlarmEventInfo. Its
// second virtual operation hands out a copy of the event's data.
class IAlarmEvent
{
public:
    virtual ~IAlarmEvent() = default;
    virtual IntelAlarmEventInfo GetIntelAlarmEventInfo() const = 0;
    // The event's kind as the host's alarm centre files it.
    virtual int32_t GetAlarmCategory() const { return 0; }
};

// The host's intelligent alarm event: holds the data it was made from.
class CIntelAlarmEvent : public IAlarmEvent
{
public:
    explicit CIntelAlarmEvent(IntelAlarmEventInfo info)
        : m_info(std::move(info))
    {
    }
    IntelAlarmEventInfo GetIntelAlarmEventInfo() const override { return m_info; }
    int32_t GetAlarmCategory() const override { return 1; }

private:
    IntelAlarmEventInfo m_info;
};

} // namespace quorra
