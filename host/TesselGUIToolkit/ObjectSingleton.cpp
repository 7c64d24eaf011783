#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QPointer>

#include <memory>
#include <utility>

namespace TesselGUIToolkit::detail {
namespace {

using Fendra::detail::FindSlot;
using Fendra::detail::RegistryMutex;
using Fendra::detail::SingletonScope;

struct GuardedInstance
{
    QPointer<QObject> pObject;
    bool bOwned = false;
    ~GuardedInstance()
    {
        if (bOwned)
            delete pObject.data();
    }
};

} // namespace

QObject* HeldObject(const char* szType)
{
    std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
    auto& slot = FindSlot(SingletonScope::Object, szType);
    if (!slot.spOwned)
        return nullptr;
    QObject* pObject = static_cast<GuardedInstance*>(slot.spOwned.get())->pObject.data();
    if (!pObject)
        slot.spOwned.reset(); // deleted by its parent
    return pObject;
}

void HoldObject(const char* szType, QObject* pObject, bool bOwned)
{
    std::shared_ptr<void> spReplaced;
    std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
    auto& slot = FindSlot(SingletonScope::Object, szType);
    spReplaced.swap(slot.spOwned);
    auto spGuard = std::make_shared<GuardedInstance>();
    spGuard->pObject = pObject;
    spGuard->bOwned = bOwned;
    slot.spOwned = std::move(spGuard);
}

void ReleaseObject(const char* szType)
{
    std::shared_ptr<void> spReleased;
    {
        std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
        spReleased.swap(FindSlot(SingletonScope::Object, szType).spOwned);
    }
}

} // namespace TesselGUIToolkit::detail
