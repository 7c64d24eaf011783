#include "Miravel/ErrorInfoMgr.h"

#include <QCoreApplication>

#include <mutex>

namespace Miravel {
namespace {
struct LastError
{
    std::mutex mutex;
    int nFirst = CErrorInfoMgr::ModulePreview;
    int nSecond = CErrorInfoMgr::ErrorNone;
    QString strText;
};

LastError& Last()
{
    static LastError s_last;
    return s_last;
}
} // namespace

void CErrorInfoMgr::SetLastError(int nFirst, int nSecond, const QString& strText)
{
    LastError& last = Last();
    std::lock_guard<std::mutex> lock(last.mutex);
    last.nFirst = nFirst;
    last.nSecond = nSecond;
    last.strText = strText;
}

QString CErrorInfoMgr::GetErrorInfo()
{
    LastError& last = Last();
    std::lock_guard<std::mutex> lock(last.mutex);
    return last.strText.isEmpty() ? GetErrorInfoByCode(last.nFirst, last.nSecond) : last.strText;
}

void CErrorInfoMgr::GetErrorCode(int& nFirst, int& nSecond)
{
    LastError& last = Last();
    std::lock_guard<std::mutex> lock(last.mutex);
    nFirst = last.nFirst;
    nSecond = last.nSecond;
}

QString CErrorInfoMgr::GetErrorInfoByCode(int nFirst, int nSecond)
{
    if (nFirst != ModulePreview)
        return QCoreApplication::translate("Miravel::CErrorInfoMgr", "UnknownError");
    switch (nSecond) {
    case ErrorNone:
        return QString();
    case ErrorBadAddress:
        return QCoreApplication::translate("Miravel::CErrorInfoMgr", "InvalidStreamAddress");
    case ErrorStreamFailed:
        return QCoreApplication::translate("Miravel::CErrorInfoMgr", "StreamFailed");
    case ErrorTimeout:
        return QCoreApplication::translate("Miravel::CErrorInfoMgr", "ConnectionTimedOut");
    case ErrorNoCamera:
        return QCoreApplication::translate("Miravel::CErrorInfoMgr", "NoCamera");
    case ErrorNoAudio:
        return QCoreApplication::translate("Miravel::CErrorInfoMgr", "StreamHasNoAudio");
    case ErrorNoStream:
        return QCoreApplication::translate("Miravel::CErrorInfoMgr", "NoLiveStream");
    case ErrorFileWrite:
        return QCoreApplication::translate("Miravel::CErrorInfoMgr", "CannotWriteFile");
    default:
        return QCoreApplication::translate("Miravel::CErrorInfoMgr", "UnknownError");
    }
}

} // namespace Miravel
