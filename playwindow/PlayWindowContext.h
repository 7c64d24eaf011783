#pragma once

#include <QObject>

#include <memory>
#include <mutex>

namespace Kelmot {
class CGroupManagerDeletage;
} // namespace Kelmot
namespace quorra {
class CLocalDataManagerDelegate;
} // namespace quorra

namespace TesselPlayWindow {

// Signals that concern every play window of the process.
class CPublicSignalManager : public QObject
{
    Q_OBJECT
public:
    CPublicSignalManager();
    ~CPublicSignalManager() override;
};

// The library's process-wide context: the host delegates the owner handed
// over, set and cleared by CPlayWindowLibrary.
class CPlayWindowContext
{
public:
    static CPlayWindowContext& Instance();

    void SetDelegates(std::shared_ptr<Kelmot::CGroupManagerDeletage> spGroupManager,
                      std::shared_ptr<quorra::CLocalDataManagerDelegate> spLocalData);
    std::shared_ptr<Kelmot::CGroupManagerDeletage> GroupManager() const;
    std::shared_ptr<quorra::CLocalDataManagerDelegate> LocalDataManager() const;

private:
    CPlayWindowContext() = default;
    mutable std::mutex m_mutex;
    std::shared_ptr<Kelmot::CGroupManagerDeletage> m_spGroupManager;
    std::shared_ptr<quorra::CLocalDataManagerDelegate> m_spLocalData;
};

} // namespace TesselPlayWindow
