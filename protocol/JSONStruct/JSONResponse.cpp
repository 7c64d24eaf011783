#include "protocol/JSONStruct/JSONResponse.h"

#include "protocol/JSONStruct/JSONLimits.h"
#include "protocol/LogText.h"
#include "protocol/ProtocolLogging.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace protocol {

std::string QuotedPrefix(const char* pText, std::size_t nLength)
{
    const std::size_t nQuoted = std::min(nLength, kMaxQuotedChars);
    std::string strQuoted = "[" + EscapeForLog(std::string_view(pText, nQuoted)) + "]";
    if (nQuoted < nLength)
        strQuoted += "... (" + std::to_string(nLength) + " bytes)";
    return strQuoted;
}

int ErrorCodeFromText(const std::string& strCode)
{
    const bool bHex = strCode.size() > 2 && strCode[0] == '0' && (strCode[1] == 'x' || strCode[1] == 'X');
    const char* pBegin = strCode.data() + (bHex ? 2 : 0);
    const char* pEnd = strCode.data() + strCode.size();
    long long llValue = 0;
    const auto result = std::from_chars(pBegin, pEnd, llValue, bHex ? 16 : 10);
    if (pBegin == pEnd || result.ptr != pEnd)
        return kUnknownErrorCode;
    if (result.ec == std::errc::result_out_of_range)
        return *pBegin == '-' ? INT_MIN : INT_MAX;
    if (result.ec != std::errc())
        return kUnknownErrorCode;
    return static_cast<int>(std::clamp<long long>(llValue, INT_MIN, INT_MAX));
}

cJSON* ParseResponseText(const std::string& strText)
{
    if (strText.empty())
        return nullptr;
    if (strText.size() > kMaxBodyBytes) {
        qCWarning(lcProtocol, "Refused a response of %zu bytes (limit %zu): %s", strText.size(), kMaxBodyBytes,
                  QuotedPrefix(strText.data(), strText.size()).c_str());
        return nullptr;
    }
    const char* szErrorAt = nullptr;
    cJSON* pRoot = cJSON_ParseWithLengthOpts(strText.c_str(), strText.size(), &szErrorAt, false);
    if (!pRoot) {
        const std::size_t nAt = szErrorAt ? std::size_t(szErrorAt - strText.data()) : 0;
        qCWarning(lcProtocol, "Failed to cJSON_Parse( %s ). Error at byte %zu.",
                  QuotedPrefix(strText.data(), strText.size()).c_str(), nAt);
    }
    return pRoot;
}

}  // namespace protocol
