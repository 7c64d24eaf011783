#include "Fendra/SingletonImpl.h"
#include "tessel/IVideoSystemConfig.h"
#include "tessel/IVideoSystemConfigObserver.h"

#include <algorithm>

namespace tessel {

IVideoSystemConfigObserver::~IVideoSystemConfigObserver() = default;

void CVideoSystemConfig::RegisterObserver(IVideoSystemConfigObserver* pObserver)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (pObserver && std::find(m_vecObservers.begin(), m_vecObservers.end(), pObserver) == m_vecObservers.end())
        m_vecObservers.push_back(pObserver);
}

void CVideoSystemConfig::UnregisterObserver(IVideoSystemConfigObserver* pObserver)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_vecObservers.erase(std::remove(m_vecObservers.begin(), m_vecObservers.end(), pObserver), m_vecObservers.end());
    const std::thread::id idSelf = std::this_thread::get_id();
    m_condCallDone.wait(lock, [&] {
        return std::none_of(m_vecCalling.begin(), m_vecCalling.end(),
                            [&](const auto& call) { return call.first == pObserver && call.second != idSelf; });
    });
}

int32_t CVideoSystemConfig::GetVideoScaleMode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nScaleMode;
}

void CVideoSystemConfig::SetVideoScaleMode(int32_t nMode)
{
    std::vector<IVideoSystemConfigObserver*> vecObservers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_nScaleMode == nMode)
            return;
        m_nScaleMode = nMode;
        vecObservers = m_vecObservers;
    }
    // Observers are called without the lock: they read the mode back, and may
    // unregister themselves or others.
    const int32_t nCode = kScaleModeChanged;
    const std::thread::id idSelf = std::this_thread::get_id();
    for (IVideoSystemConfigObserver* pObserver : vecObservers) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (std::find(m_vecObservers.begin(), m_vecObservers.end(), pObserver) == m_vecObservers.end())
                continue; // unregistered since the copy
            m_vecCalling.emplace_back(pObserver, idSelf);
        }
        pObserver->OnVideoSystemConfigChanged(&nCode);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_vecCalling.erase(std::find(m_vecCalling.begin(), m_vecCalling.end(), std::make_pair(pObserver, idSelf)));
        }
        m_condCallDone.notify_all();
    }
}

int CVideoSystemConfig::ObserverCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_vecObservers.size());
}

} // namespace tessel

// The one holder of this type, in host code (see Fendra/Singleton.h).
FENDRA_HOST_SINGLETON(tessel::CVideoSystemConfig)
