#include "Fendra/StringUtil.h"

#include "protocol/LogText.h"

#include <QString>

#include <cstring>
#include <string_view>

namespace Fendra {

std::string StringUtil::StringReplace(const std::string& strText, const std::string& strFrom, const std::string& strTo)
{
    if (strFrom.empty())
        return strText;
    std::string strResult;
    strResult.reserve(strText.size());
    std::string::size_type nStart = 0;
    for (auto nHit = strText.find(strFrom); nHit != std::string::npos; nHit = strText.find(strFrom, nStart)) {
        strResult.append(strText, nStart, nHit - nStart).append(strTo);
        nStart = nHit + strFrom.size();
    }
    return strResult.append(strText, nStart, std::string::npos);
}

std::string StringUtil::StringReplaceInvalidChar(const std::string& strText)
{
    std::string strResult;
    strResult.reserve(strText.size());
    std::string_view svRest(strText);
    while (!svRest.empty()) {
        char32_t ucChar = 0;
        const std::size_t nLength = protocol::DecodeUtf8Char(svRest, ucChar);
        if (nLength == 0) {
            strResult += svRest.front(); // not UTF-8: left as it is
            svRest.remove_prefix(1);
            continue;
        }
        // Control characters and bidirectional overrides would make a folder
        // name read differently from what it is.
        // (NUL is among them, so strchr never meets its own terminator.)
        const bool bInvalid =
            protocol::IsUnsafeTextChar(ucChar) || (ucChar < 0x80 && std::strchr("\\/:*?\"<>|", int(ucChar)));
        if (bInvalid)
            strResult += '_';
        else
            strResult.append(svRest.data(), nLength);
        svRest.remove_prefix(nLength);
    }
    return strResult;
}

std::string LocalToUTF8(const std::string& strLocal)
{
    return QString::fromLocal8Bit(strLocal.data(), int(strLocal.size())).toStdString();
}

} // namespace Fendra
