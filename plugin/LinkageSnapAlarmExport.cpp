// The library's two entry points, the only symbols it exports.

#include "plugin/EntryGuard.h"
#include "plugin/LinkageSnapInterface.h"

#include <new>

namespace {
// The current interface object; earlier ones stay alive with their holders.
LinkageSnapAlarm::CLinkageSnapInterface* g_pAIInterface = nullptr;
} // namespace

extern "C" __attribute__((visibility("default"))) quorra::IAIInterface* getAIInterface()
{
    return LinkageSnapAlarm::GuardedEntry("getAIInterface", []() -> quorra::IAIInterface* {
        g_pAIInterface = new (std::nothrow) LinkageSnapAlarm::CLinkageSnapInterface();
        return g_pAIInterface;
    });
}

extern "C" __attribute__((visibility("default"))) quorra::IAIWidget* getAIWidget(QWidget* parent)
{
    return LinkageSnapAlarm::GuardedEntry("getAIWidget", [parent]() -> quorra::IAIWidget* {
        return g_pAIInterface ? g_pAIInterface->getAIWidget(parent) : nullptr;
    });
}
