#pragma once

// The alarms analytics raise, built as the host's alarm centre builds them, and
// the process-wide board of open linkages that panoramic cameras open and
// linked cameras of the same group join.

#include "HostExport.h"
#include "analytics/AnalyticsSettings.h"
#include "analytics/PersonDetector.h"

#include "quorra/IntelAlarmEventInfo.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace Analytics {

struct AnalyticsCamera
{
    std::string strGUID;
    std::string strName;
    std::string strAlarmSource;
    std::string strGroup;
    bool bPanoramic = false; // else a linked camera (or one without a part)
    AnalyticsSettings settings;
};

// A panoramic alarm opening linkage strUid: the scene with every person's box.
HOST_API quorra::IntelAlarmEventInfo MakePanoramicAlarm(const AnalyticsCamera& camera, const std::string& strUid,
                                                        const cv::Mat& matFrame,
                                                        const std::vector<cv::Rect>& vecBodies);
// A linkage alarm of linkage strUid for one person: the background with the
// person's box, the body close-up, and the face cut from the same picture when
// one was found.
HOST_API quorra::IntelAlarmEventInfo MakeLinkageAlarm(const AnalyticsCamera& camera, const std::string& strUid,
                                                      const cv::Mat& matFrame, const Detection& person);

// Linkages opened by panoramic cameras, one per camera group, each open for its window.
class HOST_API CLinkageBoard
{
public:
    static CLinkageBoard& Instance();

    static std::string NewLinkageUid();
    // Opens linkage strUid for the group, replacing any open one. Call it once the
    // panoramic alarm is on its way, so no linkage alarm can overtake it.
    void Open(const std::string& strGroup, const std::string& strUid, int64_t nNowMs, int nWindowS);
    // The group's linkage still open at nNowMs, or empty.
    std::string Current(const std::string& strGroup, int64_t nNowMs) const;
    void Clear();

private:
    struct Open_
    {
        std::string strUid;
        int64_t nUntilMs = 0;
    };
    mutable std::mutex m_mutex;
    std::map<std::string, Open_> m_mapOpen;
};

} // namespace Analytics
