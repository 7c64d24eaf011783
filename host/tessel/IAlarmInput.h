#pragma once

#include "tessel/IElement.h"

#include <string>

namespace tessel {

// An alarm input of the site: an element of a group that is not a camera.
struct HOST_API AlarmInputInfo
{
    std::string strGUID;
    std::string strName;
    std::string strGroupID;

    bool operator==(const AlarmInputInfo& other) const
    {
        return strGUID == other.strGUID && strName == other.strName && strGroupID == other.strGroupID;
    }
    bool operator!=(const AlarmInputInfo& other) const { return !(*this == other); }
};

class HOST_API CAlarmInput : public IElement
{
public:
    explicit CAlarmInput(AlarmInputInfo info);
    ~CAlarmInput() override;

    const AlarmInputInfo& Info() const { return m_info; }
    void SetInfo(const AlarmInputInfo& info) { m_info = info; }

    std::string GetElementID() const override { return m_info.strGUID; }
    int32_t GetElementType() const override { return ElementTypeAlarmInput; }
    std::string GetElementName() const override { return m_info.strName; }

private:
    AlarmInputInfo m_info;
};

} // namespace tessel
