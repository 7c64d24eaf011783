#include "Fendra/SingletonRegistry.h"

#include <QCoreApplication>

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
