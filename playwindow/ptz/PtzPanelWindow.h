#pragma once

#include <string>

class CPTZControlWnd;
class QWidget;

namespace tessel {
class ICamera;
} // namespace tessel

// What the shared PTZ panel's manager needs of a play window. The window widget
// also carries the signals "SignalPlayWindowSelected()" and
// "SignalUpdateLiveViewState(const CLiveViewEvent&)" that the manager follows.
class IPtzPanelWindow
{
public:
    virtual ~IPtzPanelWindow() = default;

    virtual QWidget* PtzWindowWidget() = 0;
    // The camera that plays, or none.
    virtual tessel::ICamera* GetLiveViewCamera() const = 0;
    // The GUID of the camera the window's controller holds.
    virtual std::string GetPtzCameraGuid() const = 0;
    virtual bool IsLiveViewRunning() const = 0;
    virtual bool IsFisheyeExpanded() const = 0;
    virtual int GetMouseMode() const = 0;
    virtual void SetPTZControlWnd(CPTZControlWnd* pPanel) = 0;
};
