#pragma once

#include "HostExport.h"

#include <QString>

namespace Miravel {

// The client's operation log: one line per operator action in a file under the
// user data path, callable from any thread.
class HOST_API CLocalLogManager
{
public:
    enum OperationLogType { LogStartLiveView = 200, LogStopLiveView = 201, LogSnapshot = 204 };

    static bool writeOperationLog(int nLogType, const QString& strCamera, const QString& strDevice = QString());
    // The log file's path (created with its folder on first write).
    static QString LogFilePath();

    CLocalLogManager() = delete;
};

} // namespace Miravel
