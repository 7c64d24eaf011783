#pragma once

#include "analytics/AnalyticsSettings.h"
#include "tessel/IElement.h"

#include <cstdint>
#include <string>

namespace tessel {

// The rights the current user holds on one camera, as a bit set.
enum CameraRight : uint32_t {
    CameraRightLiveView = 1u << 0,
    CameraRightPTZ = 1u << 1,
    CameraRightScreenshot = 1u << 2,
    CameraRightRecord = 1u << 3,
    CameraRightSound = 1u << 4,
    CameraRightPlayback = 1u << 5,
    CameraRightAll = CameraRightLiveView | CameraRightPTZ | CameraRightScreenshot | CameraRightRecord | CameraRightSound
                     | CameraRightPlayback,
};

// How much of a camera's encoded stream a playing window keeps in memory.
constexpr int32_t kDefaultBufferSeconds = 30;
constexpr int32_t kMaxBufferSeconds = 600;
constexpr int32_t kDefaultBufferMiB = 32;
constexpr int32_t kMaxBufferMiB = 1024;

// Everything the host knows of one camera, as the site file describes it.
struct HOST_API CameraInfo
{
    std::string strGUID;
    std::string strName;
    std::string strGroupID;
    bool bOnline = true;
    bool bEnabled = true;
    std::string strAlarmSourceID;
    std::string strDeviceName;
    int32_t nChannel = 1;
    // test:<pattern>, a local file path or file:// address, http(s):// or rtsp://.
    std::string strStreamUrl;
    bool bHasPTZ = false;
    bool bHasSound = false;
    uint32_t uRights = CameraRightAll;
    // The camera's part in an alarm linkage: "panoramic", "linked" or empty.
    std::string strLinkageRole;
    // Person and face detection on the camera's stream; off unless the site says.
    Analytics::AnalyticsSettings analytics;
    // The last seconds of the stream kept for instant playback and evidence
    // (0: none), and the memory they may take.
    int32_t nBufferSeconds = kDefaultBufferSeconds;
    int32_t nBufferMiB = kDefaultBufferMiB;

    bool operator==(const CameraInfo& other) const;
    bool operator!=(const CameraInfo& other) const { return !(*this == other); }
};

// A camera of the host's tree, reached from an element by a checked downcast.
class HOST_API ICamera : public IElement
{
public:
    ~ICamera() override;
    int32_t GetElementType() const override { return ElementTypeCamera; }

    virtual std::string GetGroupID() const = 0;
    virtual bool IsOnline() const = 0;
    virtual bool IsEnabled() const = 0;
    virtual std::string GetAlarmSourceID() const = 0;
    virtual std::string GetDeviceName() const = 0;
    virtual int32_t GetChannel() const = 0;
    virtual std::string GetStreamUrl() const = 0;
    virtual bool HasPTZ() const = 0;
    virtual bool HasSound() const = 0;
    virtual bool HasRight(CameraRight eRight) const = 0;
    virtual int32_t GetBufferSeconds() const { return kDefaultBufferSeconds; }
    virtual int32_t GetBufferMiB() const { return kDefaultBufferMiB; }
};

// The host's camera object: a record the group manager updates in place, so
// pointers handed out stay valid until the camera leaves the site.
class HOST_API CCamera : public ICamera
{
public:
    explicit CCamera(CameraInfo info);
    ~CCamera() override;

    const CameraInfo& Info() const { return m_info; }
    void SetInfo(const CameraInfo& info) { m_info = info; }

    std::string GetElementID() const override { return m_info.strGUID; }
    std::string GetElementName() const override { return m_info.strName; }
    std::string GetGroupID() const override { return m_info.strGroupID; }
    bool IsOnline() const override { return m_info.bOnline; }
    bool IsEnabled() const override { return m_info.bEnabled; }
    std::string GetAlarmSourceID() const override { return m_info.strAlarmSourceID; }
    std::string GetDeviceName() const override { return m_info.strDeviceName; }
    int32_t GetChannel() const override { return m_info.nChannel; }
    std::string GetStreamUrl() const override { return m_info.strStreamUrl; }
    bool HasPTZ() const override { return m_info.bHasPTZ; }
    bool HasSound() const override { return m_info.bHasSound; }
    bool HasRight(CameraRight eRight) const override { return (m_info.uRights & eRight) == eRight; }
    int32_t GetBufferSeconds() const override { return m_info.nBufferSeconds; }
    int32_t GetBufferMiB() const override { return m_info.nBufferMiB; }

private:
    CameraInfo m_info;
};

// The camera behind an element: null unless the element says it is a camera and is
// one. Every cast from an element to a camera goes through here.
inline ICamera* AsCamera(IElement* pElement)
{
    if (!pElement || pElement->GetElementType() != ElementTypeCamera)
        return nullptr;
    return dynamic_cast<ICamera*>(pElement);
}
inline const ICamera* AsCamera(const IElement* pElement)
{
    return AsCamera(const_cast<IElement*>(pElement));
}

} // namespace tessel
