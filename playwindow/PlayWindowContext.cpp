#include "playwindow/PlayWindowContext.h"

namespace TesselPlayWindow {

CPublicSignalManager::CPublicSignalManager() = default;
CPublicSignalManager::~CPublicSignalManager() = default;

CPlayWindowContext& CPlayWindowContext::Instance()
{
    // Created on first use; thread-safe since C++11.
    static CPlayWindowContext s_context;
    return s_context;
}

void CPlayWindowContext::SetDelegates(std::shared_ptr<Kelmot::CGroupManagerDeletage> spGroupManager,
                                      std::shared_ptr<quorra::CLocalDataManagerDelegate> spLocalData)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_spGroupManager = std::move(spGroupManager);
    m_spLocalData = std::move(spLocalData);
}

std::shared_ptr<Kelmot::CGroupManagerDeletage> CPlayWindowContext::GroupManager() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_spGroupManager;
}

std::shared_ptr<quorra::CLocalDataManagerDelegate> CPlayWindowContext::LocalDataManager() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_spLocalData;
}

} // namespace TesselPlayWindow
