#pragma once
// Definition of the process singleton holder, for host code only: a host source
// file names each type it provides with FENDRA_HOST_SINGLETON, and everyone else
// links to that one instantiation. The GUI toolkit defines its UI singleton holder
// beside its own headers, on top of the same registry.

#include "Fendra/Singleton.h"

#include <memory>
#include <typeinfo>

template <class T>
T& Fendra::CSingleton<T>::Instance()
{
    std::lock_guard<std::recursive_mutex> lock(detail::RegistryMutex());
    detail::SingletonSlot& slot = detail::FindSlot(detail::SingletonScope::Process, typeid(T).name());
    if (!slot.spOwned)
        slot.spOwned = std::make_shared<T>();
    return *static_cast<T*>(slot.spOwned.get());
}

#define FENDRA_HOST_SINGLETON(T) template class Fendra::CSingleton<T>;
