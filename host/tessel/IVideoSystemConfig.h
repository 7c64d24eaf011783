#pragma once

#include "HostExport.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace tessel {

class IVideoSystemConfigObserver;

// The host's video system configuration: the scale mode play windows take, and
// the observers told of its changes.
class HOST_API CVideoSystemConfig
{
public:
    static constexpr int32_t kScaleModeChanged = 0;

    void RegisterObserver(IVideoSystemConfigObserver* pObserver);
    void UnregisterObserver(IVideoSystemConfigObserver* pObserver);
    int32_t GetVideoScaleMode() const;
    // Stores the mode and notifies every observer with code 0 when it changed.
    void SetVideoScaleMode(int32_t nMode);
    int ObserverCount() const;

private:
    mutable std::mutex m_mutex;
    std::vector<IVideoSystemConfigObserver*> m_vecObservers;
    int32_t m_nScaleMode = 0;
};

} // namespace tessel
