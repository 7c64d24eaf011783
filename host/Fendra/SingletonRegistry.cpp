#include "Fendra/SingletonRegistry.h"

#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QCoreApplication>
#include <QPointer>

#include <map>
#include <string>
#include <utility>

namespace Fendra::detail {
namespace {

using SlotMap = std::map<std::pair<SingletonScope, std::string>, SingletonSlot>;

SlotMap& Slots()
{
    static SlotMap s_slots;
    return s_slots;
}

// UI singletons hold widgets and timers: they go while the application object
// still exists, not at static destruction.
void ReleaseUiSingletons()
{
    SlotMap released;
    {
        std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
        for (auto it = Slots().begin(); it != Slots().end();) {
            if (it->first.first == SingletonScope::Ui)
                released.insert(Slots().extract(it++));
            else
                ++it;
        }
    }
    // Destructors run outside the lock so they may use other singletons.
}

} // namespace

std::recursive_mutex& RegistryMutex()
{
    static std::recursive_mutex s_mutex;
    return s_mutex;
}

SingletonSlot& FindSlot(SingletonScope eScope, const char* szTypeName)
{
    static bool s_bPostRoutine = false;
    if (eScope == SingletonScope::Ui && !s_bPostRoutine && QCoreApplication::instance()) {
        qAddPostRoutine(ReleaseUiSingletons);
        s_bPostRoutine = true;
    }
    return Slots()[{eScope, szTypeName}];
}

} // namespace Fendra::detail

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
