#include "common/CommonLogging.h"

Q_LOGGING_CATEGORY(lcPictures, "lsa.pictures", QtInfoMsg)
Q_LOGGING_CATEGORY(lcChecks, "lsa.check", QtInfoMsg)

namespace LinkageSnapAlarm {

void LogFailedCheck(const char* szCondition, const char* szFile, int nLine)
{
    qCWarning(lcChecks, "%s is false at %s:%d", szCondition, szFile, nLine);
}

} // namespace LinkageSnapAlarm
