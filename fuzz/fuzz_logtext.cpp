// Feeds arbitrary bytes to the escaping every outside text goes through before
// it reaches a log line. Aborts when the result could still start or forge a
// line: a control byte, bytes that are not UTF-8, or an unsafe character left.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "protocol/LogText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string strEscaped =
        protocol::EscapeForLog(std::string_view(reinterpret_cast<const char*>(pData), nSize));
    std::string_view svRest(strEscaped);
    while (!svRest.empty()) {
        char32_t ucChar = 0;
        const std::size_t nLength = protocol::DecodeUtf8Char(svRest, ucChar);
        if (nLength == 0 || protocol::IsUnsafeTextChar(ucChar))
            std::abort();
        svRest.remove_prefix(nLength);
    }
    // Nothing is lost: every input byte is kept or stands for itself in an escape.
    if (strEscaped.size() < nSize)
        std::abort();
    return 0;
}
