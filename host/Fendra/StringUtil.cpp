#include "Fendra/StringUtil.h"

#include <QString>

#include <cstring>

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
    std::string strResult = strText;
    for (char& ch : strResult) {
        // Bytes of multi-byte UTF-8 sequences are >= 0x80 and never match.
        const auto uch = static_cast<unsigned char>(ch);
        if (uch < 0x20 || uch == 0x7f || std::strchr("\\/:*?\"<>|", ch))
            ch = '_';
    }
    return strResult;
}

std::string LocalToUTF8(const std::string& strLocal)
{
    return QString::fromLocal8Bit(strLocal.data(), int(strLocal.size())).toStdString();
}

} // namespace Fendra
