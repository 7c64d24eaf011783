#pragma once

#include "HostExport.h"

#include <QString>

namespace Miravel {

// The host's last error, process-wide: set by whichever host call failed last,
// read by the caller that shows it.
class HOST_API CErrorInfoMgr
{
public:
    // Error code pairs of the preview logic (first: module, second: reason).
    enum { ModulePreview = 4 };
    enum PreviewError {
        ErrorNone = 0,
        ErrorBadAddress = 1,
        ErrorStreamFailed = 2,
        ErrorTimeout = 3,
        ErrorNoCamera = 4,
        ErrorNoAudio = 5,
        ErrorNoStream = 6,
        ErrorFileWrite = 7,
    };

    static void SetLastError(int nFirst, int nSecond, const QString& strText);
    static QString GetErrorInfo();
    static void GetErrorCode(int& nFirst, int& nSecond);
    static QString GetErrorInfoByCode(int nFirst, int nSecond);

    CErrorInfoMgr() = delete;
};

} // namespace Miravel
