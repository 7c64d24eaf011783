#pragma once

#include <QString>

// The save worker's failures in the log: the first of a run with the system's
// reason, the rest only counted, and the run's count once a picture is written
// again. A full disk under an alarm storm thus costs two log lines, not hundreds.
namespace LinkageSnapAlarm::SaveFailureLog {

void Failed(const QString& strReason);
void Succeeded();

} // namespace LinkageSnapAlarm::SaveFailureLog
