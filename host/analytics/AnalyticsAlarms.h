#pragma once

// The alarms analytics raise, built as the host's alarm centre builds them.

#include "HostExport.h"
#include "analytics/AnalyticsModule.h"
#include "analytics/LinkageBoard.h"
#include "analytics/PersonDetector.h"

#include "quorra/IntelAlarmEventInfo.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace Analytics {

// A panoramic alarm opening linkage strUid: the scene with every person's box.
HOST_API quorra::IntelAlarmEventInfo MakePanoramicAlarm(const AnalyticsCamera& camera, const std::string& strUid,
                                                        const cv::Mat& matFrame,
                                                        const std::vector<cv::Rect>& vecBodies);
// A linkage alarm of linkage strUid for one person: the background with the
// person's box, the body close-up, and the face cut from the same picture when
// one was found.
HOST_API quorra::IntelAlarmEventInfo MakeLinkageAlarm(const AnalyticsCamera& camera, const std::string& strUid,
                                                      const cv::Mat& matFrame, const Detection& person);

} // namespace Analytics
