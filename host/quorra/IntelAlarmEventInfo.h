#pragma once
// The host's alarm event as a receiver copies it out of the event object.
// Header-only: the records it embeds belong to the protocol library, which the
// host library itself does not link.

#include "protocol/JSONStruct/AIOPAlarmInfo.h"
#include "protocol/JSONStruct/IntelAlarmInfoStruct.h"
#include "quorra/AlarmEvent.h"

#include <algorithm>
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

// What an event holds in memory: the record and its pictures' bytes, each
// block shared between pictures counted once.
inline std::int64_t AlarmPayloadBytes(const IntelAlarmEventInfo& info)
{
    std::vector<const protocol::PicBinary*> vecSeen;
    std::int64_t nBytes = std::int64_t(sizeof(IntelAlarmEventInfo));
    const auto add = [&](const protocol::AlarmPictureInfo& pic) {
        const protocol::PicBinary* pBinary = pic.pPicBinary.Peek();
        if (!pBinary || std::find(vecSeen.begin(), vecSeen.end(), pBinary) != vecSeen.end())
            return;
        vecSeen.push_back(pBinary);
        nBytes += std::int64_t(pBinary->strData.size());
    };
    add(info.IntelAlarmInfo.VCASmart.bkPic);
    for (const auto& human : info.IntelAlarmInfo.IntelAlarmHumanInfoList) {
        add(human.bkPic);
        add(human.SubPic);
    }
    for (const auto& face : info.IntelAlarmInfo.IntelAlarmFaceInfoList) {
        add(face.bkPic);
        add(face.SubPic);
    }
    return nBytes;
}

// The host's intelligent alarm event: holds the data it was made from.
class CIntelAlarmEvent : public IAlarmEvent
{
public:
    explicit CIntelAlarmEvent(IntelAlarmEventInfo info)
        : m_info(std::move(info))
        , m_nPayloadBytes(AlarmPayloadBytes(m_info))
    {
    }
    IntelAlarmEventInfo GetIntelAlarmEventInfo() const override { return m_info; }
    int32_t GetAlarmCategory() const override { return 1; }
    std::int64_t GetPayloadBytes() const override { return m_nPayloadBytes; }

private:
    IntelAlarmEventInfo m_info;
    std::int64_t m_nPayloadBytes = 0;
};

} // namespace quorra
