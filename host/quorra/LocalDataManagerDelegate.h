#pragma once

#include "tessel/ILocalDataManager.h"

namespace quorra {

// Access to the host's local data. Users default-construct one whenever they
// need it; every delegate reaches the same process-wide data.
class HOST_API CLocalDataManagerDelegate : public tessel::ILocalDataManager
{
public:
    CLocalDataManagerDelegate();
    ~CLocalDataManagerDelegate() override;

    // The video system configuration, or null when the host has none.
    tessel::CVideoSystemConfig* GetVideoSystemConfig() const override;

    // Lets the host application (or a test) take the configuration away or
    // bring it back; it is available by default.
    static void SetVideoSystemConfigAvailable(bool bAvailable);
};

} // namespace quorra
