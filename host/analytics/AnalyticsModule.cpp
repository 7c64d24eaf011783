#include "analytics/AnalyticsModule.h"

#include "Fendra/HostModule.h"
#include "analytics/AnalyticsLogging.h"

Q_LOGGING_CATEGORY(lcAnalytics, "lsa.host.analytics", QtInfoMsg)

namespace Analytics {

ICameraAnalytics::~ICameraAnalytics() = default;
IAnalyticsModule::~IAnalyticsModule() = default;

QString DefaultAnalyticsModulePath()
{
    return Fendra::HostModulePath("LSA_ANALYTICS_MODULE", LSA_ANALYTICS_MODULE_FILE);
}

IAnalyticsModule* LoadAnalyticsModule(const QString& strPath, QString& strError)
{
    return Fendra::LoadHostModule<IAnalyticsModule>(strPath, kAnalyticsModuleEntry, kAnalyticsModuleVersion, strError);
}

} // namespace Analytics
