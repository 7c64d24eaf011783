#include "quorra/LocalDataManagerDelegate.h"

#include "Fendra/Singleton.h"
#include "tessel/IVideoSystemConfig.h"

#include <atomic>

namespace quorra {
namespace {
std::atomic<bool> g_bVideoConfigAvailable{true};
} // namespace

CLocalDataManagerDelegate::CLocalDataManagerDelegate() = default;
CLocalDataManagerDelegate::~CLocalDataManagerDelegate() = default;

tessel::CVideoSystemConfig* CLocalDataManagerDelegate::GetVideoSystemConfig() const
{
    if (!g_bVideoConfigAvailable)
        return nullptr;
    return &Fendra::CSingleton<tessel::CVideoSystemConfig>::Instance();
}

void CLocalDataManagerDelegate::SetVideoSystemConfigAvailable(bool bAvailable)
{
    g_bVideoConfigAvailable = bAvailable;
}

} // namespace quorra
