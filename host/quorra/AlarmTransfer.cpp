#include "quorra/AlarmTransfer.h"
#include "Fendra/SingletonImpl.h"

namespace quorra {

AlarmTransfer::AlarmTransfer() = default;
AlarmTransfer::~AlarmTransfer() = default;

} // namespace quorra

// The one holder of this type, in host code (see Fendra/Singleton.h).
FENDRA_HOST_SINGLETON(quorra::AlarmTransfer)
