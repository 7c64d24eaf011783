#include "playwindow/PlayWindowLibrary.h"

#include "playwindow/CameraVoiceTalkController.h"
#include "playwindow/PlayWindowContext.h"
#include "playwindow/PlayWindowEvent.h"

#include "TesselGUIToolkit/ObjectSingleton.h"

namespace {
// Handles are made and dropped by owners on the GUI thread.
int g_nHandles = 0;

void ReleaseSharedObjects()
{
    TesselGUIToolkit::CObjectSingleton<CCameraVoiceTalkController>::DestroyInstance();
    TesselGUIToolkit::CObjectSingleton<TesselPlayWindow::CPublicSignalManager>::DestroyInstance();
}

// The host's holders keep our objects, whose code goes when the host unloads
// the plug-in: they go first, even if an owner leaked its handle. Touching the
// holder at load makes it outlive this guard at exit.
struct CReleaseAtUnload
{
    CReleaseAtUnload() { TesselGUIToolkit::CObjectSingleton<CCameraVoiceTalkController>::Instance(); }
    ~CReleaseAtUnload() { ReleaseSharedObjects(); }
} g_releaseAtUnload;
} // namespace

CPlayWindowLibrary::CPlayWindowLibrary(std::shared_ptr<Kelmot::CGroupManagerDeletage> spGroupManager,
                                       std::shared_ptr<quorra::CLocalDataManagerDelegate> spLocalData)
{
    ++g_nHandles;
    TesselPlayWindow::CPlayWindowContext::Instance().SetDelegates(std::move(spGroupManager), std::move(spLocalData));
    TesselGUIToolkit::CObjectSingleton<TesselPlayWindow::CPublicSignalManager>::CreateInstance();
    TesselGUIToolkit::CObjectSingleton<CCameraVoiceTalkController>::CreateInstance();
    // Both spellings travel in queued signals: with and without the namespace.
    qRegisterMetaType<TesselPlayWindow::CLiveViewEvent>("TesselPlayWindow::CLiveViewEvent");
    qRegisterMetaType<TesselPlayWindow::CLiveViewEvent>("CLiveViewEvent");
}

CPlayWindowLibrary::~CPlayWindowLibrary()
{
    if (--g_nHandles > 0)
        return;
    TesselPlayWindow::CPlayWindowContext::Instance().SetDelegates(nullptr, nullptr);
    ReleaseSharedObjects();
}

int CPlayWindowLibrary::LiveHandles()
{
    return g_nHandles;
}
