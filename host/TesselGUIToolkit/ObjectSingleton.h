#pragma once

#include "Fendra/SingletonRegistry.h"

#include <QObject>

#include <type_traits>
#include <typeinfo>

namespace TesselGUIToolkit {

namespace detail {
// The holder's storage, in host code so that what it keeps never depends on a
// plug-in's code: the live instance or null (a deleted one is forgotten), holding
// an instance (deleted on release when bOwned), and releasing it.
HOST_API QObject* HeldObject(const char* szType);
HOST_API void HoldObject(const char* szType, QObject* pObject, bool bOwned);
HOST_API void ReleaseObject(const char* szType);
} // namespace detail

// Holds one shared QObject of type T. Either the holder owns it (CreateInstance),
// or an object owned by its Qt parent is installed and watched through a guarded
// pointer, so that it disappears from the holder when its parent deletes it.
template <class T>
class CObjectSingleton
{
public:
    // The live instance, or null.
    static T* Instance()
    {
        static_assert(std::is_base_of_v<QObject, T>, "CObjectSingleton holds QObjects");
        return static_cast<T*>(detail::HeldObject(typeid(T).name()));
    }

    // Creates the instance (held by the holder, no parent) unless one is live.
    static T* CreateInstance()
    {
        std::lock_guard<std::recursive_mutex> lock(Fendra::detail::RegistryMutex());
        if (T* pExisting = Instance())
            return pExisting;
        T* pInstance = new T();
        detail::HoldObject(typeid(T).name(), pInstance, true);
        return pInstance;
    }

    // Installs an instance owned by its Qt parent; the holder only watches it.
    static void InstallInstance(T* pInstance) { detail::HoldObject(typeid(T).name(), pInstance, false); }

    // Forgets the instance; one the holder created is deleted.
    static void DestroyInstance() { detail::ReleaseObject(typeid(T).name()); }
};

// The UI singleton of T: created on first use, released when the application
// object goes (before static destruction, while widgets can still be deleted).
// Instance() is defined in the host library only (TESSEL_HOST_UI_SINGLETON).
template <class T>
class HOST_API CUiSingleton
{
public:
    static T& Instance();

    CUiSingleton() = delete;
};

} // namespace TesselGUIToolkit
