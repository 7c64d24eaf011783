#include "savepic/SaveFailureLog.h"

#include "protocol/LogText.h"
#include "savepic/SavePicLogging.h"

#include <mutex>

namespace LinkageSnapAlarm::SaveFailureLog {
namespace {

struct Run
{
    std::mutex mutex;
    int nFailed = 0;
    QString strFirstReason;
};

Run& CurrentRun()
{
    static Run s_run;
    return s_run;
}

} // namespace

void Failed(const QString& strReason)
{
    Run& run = CurrentRun();
    std::lock_guard<std::mutex> lock(run.mutex);
    if (run.nFailed++ > 0)
        return;
    run.strFirstReason = protocol::EscapeForLog(strReason);
    qCWarning(lcSavePic, "Picture not saved: %s", qUtf8Printable(run.strFirstReason));
}

void Succeeded()
{
    Run& run = CurrentRun();
    std::lock_guard<std::mutex> lock(run.mutex);
    if (run.nFailed > 1)
        qCWarning(lcSavePic, "%d pictures were not saved (first: %s); saving works again", run.nFailed,
                  qUtf8Printable(run.strFirstReason));
    run.nFailed = 0;
}

} // namespace LinkageSnapAlarm::SaveFailureLog
