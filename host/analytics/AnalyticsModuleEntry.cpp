// The analytics module's entry point: the host finds lsa_analytics_module by
// name once a camera asks for analytics.

#include "analytics/AnalyticsModule.h"
#include "analytics/CameraAnalytics.h"

#include <opencv2/core/utility.hpp>

namespace Analytics {
namespace {

class CAnalyticsModule : public IAnalyticsModule
{
public:
    CAnalyticsModule()
    {
        // The detectors of several cameras already run side by side; OpenCV's own
        // threads on top would only contend for the same cores.
        cv::setNumThreads(1);
    }

    std::shared_ptr<ICameraAnalytics> CreateCamera(const AnalyticsCamera& camera, AlarmSink fnSink,
                                                   const std::string& strFaceModel,
                                                   const DetectorSettings& detector) override
    {
        return std::make_shared<CCameraAnalytics>(
            camera, std::move(fnSink), strFaceModel.empty() ? DefaultFaceModelPath() : strFaceModel, detector);
    }
};

} // namespace
} // namespace Analytics

extern "C" HOST_API Analytics::IAnalyticsModule* lsa_analytics_module(int nVersion)
{
    static Analytics::CAnalyticsModule module;
    return nVersion == Analytics::kAnalyticsModuleVersion ? &module : nullptr;
}
