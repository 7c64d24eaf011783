#include "JSONStruct/JSONResponse.h"

#include <algorithm>
#include <charconv>
#include <climits>

Q_LOGGING_CATEGORY(lcProtocolJson, "lsa.protocol.json")

namespace protocol {

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
    const char* szErrorAt = nullptr;
    cJSON* pRoot = cJSON_ParseWithLengthOpts(strText.c_str(), strText.size(), &szErrorAt, false);
    if (!pRoot) {
        qCWarning(lcProtocolJson, "Failed to cJSON_Parse( [%s] ). Error info: [%s].", strText.c_str(),
                  szErrorAt ? szErrorAt : "");
    }
    return pRoot;
}

}  // namespace protocol
