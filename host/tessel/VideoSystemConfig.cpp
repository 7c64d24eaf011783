#include "tessel/IVideoSystemConfig.h"
#include "Fendra/SingletonImpl.h"
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
    std::lock_guard<std::mutex> lock(m_mutex);
    m_vecObservers.erase(std::remove(m_vecObservers.begin(), m_vecObservers.end(), pObserver), m_vecObservers.end());
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
    // Observers are called without the lock: they read the mode back.
    const int32_t nCode = kScaleModeChanged;
    for (IVideoSystemConfigObserver* pObserver : vecObservers)
        pObserver->OnVideoSystemConfigChanged(&nCode);
}

int CVideoSystemConfig::ObserverCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_vecObservers.size());
}

} // namespace tessel

// The one holder of this type, in host code (see Fendra/Singleton.h).
FENDRA_HOST_SINGLETON(tessel::CVideoSystemConfig)
