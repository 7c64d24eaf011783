#pragma once

#include "HostExport.h"

#include <memory>
#include <mutex>

namespace Fendra::detail {

// One slot per held type, keyed by the type's mangled name: templates are
// instantiated in every library, but the slots live once, in the host library.
struct HOST_API SingletonSlot
{
    std::shared_ptr<void> spOwned;
};

enum class SingletonScope { Process, Ui, Object };

// Returns the slot of a type, creating it empty. Call with the registry mutex held.
HOST_API SingletonSlot& FindSlot(SingletonScope eScope, const char* szTypeName);
HOST_API std::recursive_mutex& RegistryMutex();

} // namespace Fendra::detail
