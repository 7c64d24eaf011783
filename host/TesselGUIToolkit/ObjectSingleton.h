#pragma once

#include "Fendra/SingletonRegistry.h"

#include <QObject>
#include <QPointer>

#include <type_traits>
#include <typeinfo>

namespace TesselGUIToolkit {

namespace detail {
// The guarded pointer of an installed instance owned elsewhere (by its Qt parent).
struct HOST_API GuardedInstance
{
    QPointer<QObject> pObject;
};
} // namespace detail

// Holds one shared object of type T. Either the holder owns it (CreateInstance),
// or an object owned by its Qt parent is installed and watched through a guarded
// pointer, so that it disappears from the holder when its parent deletes it.
template <class T>
class CObjectSingleton
{
public:
    // The live instance, or null.
    static T* Instance()
    {
        std::lock_guard<std::recursive_mutex> lock(Fendra::detail::RegistryMutex());
        auto& slot = Slot();
        if (!slot.spOwned)
            return nullptr;
        if constexpr (std::is_base_of_v<QObject, T>) {
            QObject* pObject = static_cast<detail::GuardedInstance*>(slot.spOwned.get())->pObject.data();
            if (!pObject)
                slot.spOwned.reset(); // deleted by its parent
            return static_cast<T*>(pObject);
        } else {
            return static_cast<T*>(slot.spOwned.get());
        }
    }

    // Creates the instance (held by the holder, no parent) unless one is live.
    static T* CreateInstance()
    {
        std::lock_guard<std::recursive_mutex> lock(Fendra::detail::RegistryMutex());
        if (T* pExisting = Instance())
            return pExisting;
        T* pInstance = new T();
        if constexpr (std::is_base_of_v<QObject, T>)
            Store(pInstance, true);
        else
            Slot().spOwned = std::shared_ptr<T>(pInstance);
        return pInstance;
    }

    // Installs an instance owned by its Qt parent; the holder only watches it.
    template <class U = T, std::enable_if_t<std::is_base_of_v<QObject, U>, int> = 0>
    static void InstallInstance(U* pInstance)
    {
        std::lock_guard<std::recursive_mutex> lock(Fendra::detail::RegistryMutex());
        Store(pInstance, false);
    }

    // Forgets the instance; one the holder created is deleted.
    static void DestroyInstance()
    {
        std::shared_ptr<void> spReleased;
        {
            std::lock_guard<std::recursive_mutex> lock(Fendra::detail::RegistryMutex());
            spReleased.swap(Slot().spOwned);
        }
    }

private:
    static Fendra::detail::SingletonSlot& Slot()
    {
        return Fendra::detail::FindSlot(Fendra::detail::SingletonScope::Object, typeid(T).name());
    }

    static void Store(QObject* pInstance, bool bHolderOwns)
    {
        auto* pGuard = new detail::GuardedInstance{pInstance};
        Slot().spOwned = std::shared_ptr<detail::GuardedInstance>(pGuard, [bHolderOwns](detail::GuardedInstance* p) {
            if (bHolderOwns)
                delete p->pObject.data();
            delete p;
        });
    }
};

// The UI singleton of T: created on first use, released when the application
// object goes (before static destruction, while widgets can still be deleted).
template <class T>
class CUiSingleton
{
public:
    static T& Instance()
    {
        std::lock_guard<std::recursive_mutex> lock(Fendra::detail::RegistryMutex());
        auto& slot = Fendra::detail::FindSlot(Fendra::detail::SingletonScope::Ui, typeid(T).name());
        if (!slot.spOwned)
            slot.spOwned = std::make_shared<T>();
        return *static_cast<T*>(slot.spOwned.get());
    }

    CUiSingleton() = delete;
};

} // namespace TesselGUIToolkit
