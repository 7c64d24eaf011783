#pragma once
// Definition of the UI singleton holder, for host code only: a host source file
// names each type it provides with TESSEL_HOST_UI_SINGLETON, and everyone else
// links to that one instantiation.

#include "Fendra/SingletonRegistry.h"
#include "TesselGUIToolkit/ObjectSingleton.h"

#include <memory>
#include <typeinfo>

template <class T>
T& TesselGUIToolkit::CUiSingleton<T>::Instance()
{
    std::lock_guard<std::recursive_mutex> lock(Fendra::detail::RegistryMutex());
    auto& slot = Fendra::detail::FindSlot(Fendra::detail::SingletonScope::Ui, typeid(T).name());
    if (!slot.spOwned)
        slot.spOwned = std::make_shared<T>();
    return *static_cast<T*>(slot.spOwned.get());
}

#define TESSEL_HOST_UI_SINGLETON(T) template class TesselGUIToolkit::CUiSingleton<T>;
