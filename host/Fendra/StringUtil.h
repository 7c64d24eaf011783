#pragma once

#include "HostExport.h"

#include <string>

namespace Fendra {

class HOST_API StringUtil
{
public:
    // A copy of strText with every occurrence of strFrom replaced by strTo.
    static std::string StringReplace(const std::string& strText, const std::string& strFrom, const std::string& strTo);

    // A copy of the UTF-8 text with every character that a file name may not hold
    // (control characters, bidirectional marks and overrides, and \ / : * ? " < > |)
    // replaced by '_'.
    static std::string StringReplaceInvalidChar(const std::string& strText);

    StringUtil() = delete;
};

// Converts text from the local 8-bit encoding to UTF-8.
HOST_API std::string LocalToUTF8(const std::string& strLocal);

} // namespace Fendra
