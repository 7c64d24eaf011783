// The library's two entry points, the only symbols it exports.

#include "playwindow/CameraVoiceTalkController.h"
#include "playwindow/PlayWindowContext.h"
#include "plugin/EntryGuard.h"
#include "plugin/LinkageSnapInterface.h"

#include "TesselGUIToolkit/ObjectSingleton.h"

#include <new>

namespace {
// The current interface object; earlier ones stay alive with their holders.
LinkageSnapAlarm::CLinkageSnapInterface* g_pAIInterface = nullptr;

// Objects of the plug-in's own classes kept by the host's holders must go
// while their code is still loaded: when the host unloads the library, or at
// exit. Touching the holder first makes it outlive this object at exit.
struct CReleaseAtUnload
{
    CReleaseAtUnload() { TesselGUIToolkit::CObjectSingleton<CCameraVoiceTalkController>::Instance(); }
    ~CReleaseAtUnload()
    {
        TesselGUIToolkit::CObjectSingleton<CCameraVoiceTalkController>::DestroyInstance();
        TesselGUIToolkit::CObjectSingleton<TesselPlayWindow::CPublicSignalManager>::DestroyInstance();
    }
} g_releaseAtUnload;
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
