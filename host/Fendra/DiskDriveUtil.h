#pragma once

#include "HostExport.h"

#include <cstdint>
#include <functional>
#include <string>

namespace Fendra {

// A 64-bit byte count that can also be read as two 32-bit halves.
union U_LARGE_PART
{
    struct
    {
        std::uint32_t LowPart;
        std::uint32_t HighPart;
    } u;
    std::uint64_t QuadPart;
};

class HOST_API DiskDriveUtil
{
public:
    // Answers a free-space query for a location: returns 0 and fills nFreeBytes on
    // success, anything else for a failing query.
    using FreeSpaceQuery = std::function<int(const std::string& strLocation, std::uint64_t& nFreeBytes)>;

    // Reports the space of the file system holding szLocation, a path in the local
    // encoding: the location itself or, when it does not exist yet, its nearest
    // existing parent. pTotal receives the size and pFree the bytes available to
    // this user. Returns 0 on success.
    static int GetLocalDriveSpace(const char* szLocation, U_LARGE_PART* pTotal, U_LARGE_PART* pFree);

    // Replaces the real query, for tests; an empty function restores it. The total
    // size then reads as the free size.
    static void SetFreeSpaceOverride(FreeSpaceQuery fnQuery);

    DiskDriveUtil() = delete;
};

} // namespace Fendra
