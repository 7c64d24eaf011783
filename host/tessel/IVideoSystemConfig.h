#pragma once

#include "HostExport.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <utility>
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
    // Once this returns, the observer is never called again, and no call into it
    // runs on another thread: it may be destroyed. (From inside its own
    // notification it returns at once.)
    void UnregisterObserver(IVideoSystemConfigObserver* pObserver);
    int32_t GetVideoScaleMode() const;
    // Stores the mode and notifies every observer with code 0 when it changed,
    // outside the lock; an observer unregistered meanwhile is skipped.
    void SetVideoScaleMode(int32_t nMode);
    int ObserverCount() const;

private:
    mutable std::mutex m_mutex;
    std::vector<IVideoSystemConfigObserver*> m_vecObservers;
    // Calls in progress: the observer and the notifying thread.
    std::vector<std::pair<IVideoSystemConfigObserver*, std::thread::id>> m_vecCalling;
    std::condition_variable m_condCallDone;
    int32_t m_nScaleMode = 0;
};

} // namespace tessel
