#pragma once

#include "HostExport.h"

namespace tessel {

class CVideoSystemConfig;

// The host's local data: what the preview logic and play windows read.
class HOST_API ILocalDataManager
{
public:
    virtual ~ILocalDataManager();
    // The video system configuration, or null when the host has none.
    virtual CVideoSystemConfig* GetVideoSystemConfig() const = 0;
};

} // namespace tessel
