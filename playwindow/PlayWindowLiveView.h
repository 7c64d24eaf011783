#pragma once

#include "playwindow/PlayWindowEvent.h"

#include <QObject>

#include <string>

class CLiveViewController;
class CLiveViewControllerPlugin;
class CLiveViewMenuMgr;
class CPlayWindowOverlays;
class CPlayWindowPtzZoom;
class QWidget;

namespace tessel {
class ICamera;
} // namespace tessel

// A play window's live view: starting a camera (with the user's live-view
// right) into the video surface, stopping it, and how the window's look
// follows the controller's events (tips, tool bar, recording mark, modes).
class CPlayWindowLiveView : public QObject
{
    Q_OBJECT
public:
    CPlayWindowLiveView(QWidget* pWindow, QWidget* pVideoSurface, CLiveViewController* pController,
                        CLiveViewMenuMgr* pMenuMgr, CPlayWindowOverlays* pOverlays, CPlayWindowPtzZoom* pPtzZoom);

    bool Start(const std::string& strCameraGuid, int nStreamType);
    void Stop();
    void Forget(const std::string& strCameraGuid);
    // The camera lookup goes: events are no longer followed nor passed on.
    void DetachPlugin();

    bool IsPreviewing() const;
    tessel::ICamera* Camera() const;

    // Follows an event; false when it is not to be passed on (the lookup is
    // gone, or the camera is unknown to it).
    bool FollowEvent(const CLiveViewEvent& eventLiveView);

signals:
    // The picture's size is known: the video's place may change.
    void SignalPictureSizeChanged();

private:
    bool MayLiveView(const std::string& strCameraGuid);
    void ShowIdleLook();

    QWidget* m_pWindow = nullptr;
    QWidget* m_pVideoSurface = nullptr;
    CLiveViewController* m_pController = nullptr;
    CLiveViewMenuMgr* m_pMenuMgr = nullptr;
    CPlayWindowOverlays* m_pOverlays = nullptr;
    CPlayWindowPtzZoom* m_pPtzZoom = nullptr;
};
