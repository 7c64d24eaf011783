#pragma once

#include "HostExport.h"

#include <memory>

namespace tessel {
class IAbstractSMSManager;
} // namespace tessel
namespace quorra {
class CLocalDataManagerDelegate;
} // namespace quorra

namespace Vantrel {

// Starts the preview logic (the media framework) once per process; later calls
// do nothing. Safe from any thread.
HOST_API void InitVantrel(tessel::IAbstractSMSManager* pSMSManager,
                          const std::shared_ptr<quorra::CLocalDataManagerDelegate>& spLocalData);
HOST_API bool IsVantrelInitialised();

// Waits until every stream handed off for teardown is gone; false on timeout.
HOST_API bool WaitForTeardowns(int nTimeoutMs);

} // namespace Vantrel
