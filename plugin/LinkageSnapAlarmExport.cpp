// The library's two entry points, the only symbols it exports.

#include "LinkageSnapInterface.h"

#include <new>

namespace {
// The current interface object; earlier ones stay alive with their holders.
LinkageSnapAlarm::CLinkageSnapInterface* g_pAIInterface = nullptr;
} // namespace

extern "C" __attribute__((visibility("default"))) quorra::IAIInterface* getAIInterface()
{
    g_pAIInterface = new (std::nothrow) LinkageSnapAlarm::CLinkageSnapInterface();
    return g_pAIInterface;
}

extern "C" __attribute__((visibility("default"))) quorra::IAIWidget* getAIWidget(QWidget* parent)
{
    return g_pAIInterface ? g_pAIInterface->getAIWidget(parent) : nullptr;
}
