#pragma once

#include "Fendra/SingletonRegistry.h"

#include <typeinfo>

namespace Fendra {

// The process-wide instance of T, created on first use and kept until exit.
template <class T>
class CSingleton
{
public:
    static T& Instance()
    {
        std::lock_guard<std::recursive_mutex> lock(detail::RegistryMutex());
        detail::SingletonSlot& slot = detail::FindSlot(detail::SingletonScope::Process, typeid(T).name());
        if (!slot.spOwned)
            slot.spOwned = std::make_shared<T>();
        return *static_cast<T*>(slot.spOwned.get());
    }

    CSingleton() = delete;
};

} // namespace Fendra
