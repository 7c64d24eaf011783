#pragma once

// The process-wide board of open linkages that panoramic cameras open and
// linked cameras of the same group join.

#include "HostExport.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace Analytics {

// Linkages opened by panoramic cameras, one per camera group, each open for its window.
class HOST_API CLinkageBoard
{
public:
    static CLinkageBoard& Instance();

    static std::string NewLinkageUid();
    // Opens linkage strUid for the group, replacing any open one. Call it once the
    // panoramic alarm is on its way, so no linkage alarm can overtake it.
    void Open(const std::string& strGroup, const std::string& strUid, int64_t nNowMs, int nWindowS);
    // The group's linkage still open at nNowMs, or empty.
    std::string Current(const std::string& strGroup, int64_t nNowMs) const;
    void Clear();

private:
    struct Open_
    {
        std::string strUid;
        int64_t nUntilMs = 0;
    };
    mutable std::mutex m_mutex;
    std::map<std::string, Open_> m_mapOpen;
};

} // namespace Analytics
