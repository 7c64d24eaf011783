#pragma once

#include "playwindow/DigitalZoomState.h"

#include <QObject>
#include <QPointer>

class CLiveViewController;
class CLiveViewMenuMgr;
class CPTZControlWnd;
class QWheelEvent;
class QWidget;

// A play window's mouse modes: PTZ opens the shared PTZ panel beside the window,
// digital zoom zooms the picture by the wheel. Leaving a mode closes its panel
// or shows the whole picture again; the menu's check marks follow the mode.
class CPlayWindowPtzZoom : public QObject
{
    Q_OBJECT
public:
    enum Mode {
        ModePlain = 0,
        ModePtz = 1,
        ModeDigitalZoom = 2,
        ModeArea3 = 3,
        ModeArea4 = 4,
        Mode5 = 5,
        ModeArea7 = 7,
        ModeArea8 = 8
    };

    CPlayWindowPtzZoom(QWidget* pWindow, QWidget* pVideoSurface, CLiveViewController* pController,
                       CLiveViewMenuMgr* pMenuMgr);

    int MouseMode() const { return m_nMouseMode; }
    void SetMouseMode(int nMode);

    // The shared PTZ panel (owned by the window's owner); none detaches it.
    void SetPanel(CPTZControlWnd* pPanel);
    void TogglePanel();
    void ToggleDigitalZoom();
    // A wheel turn over the window; true when digital zoom took it.
    bool Wheel(QWheelEvent* pEvent);
    // The part of the picture digital zoom shows (fractions).
    QRectF DigitalZoomRect() const { return m_digitalZoom.ShownRect(); }

    // Live view stops: an active mode other than 5 is left and remembered...
    void LeaveForStop();
    // ...and an area mode among them comes back with the next start.
    void RestoreAfterStart();

signals:
    // The panel opens for this window: the window is selected and takes focus.
    void SignalSelectWindow();

private:
    void OnModeLeft(int nOldMode);
    void OnPanelHidden();
    bool IsPreviewing() const;

    QWidget* m_pWindow = nullptr;
    QWidget* m_pVideoSurface = nullptr;
    CLiveViewController* m_pController = nullptr;
    CLiveViewMenuMgr* m_pMenuMgr = nullptr;
    QPointer<CPTZControlWnd> m_pPanel;
    int m_nMouseMode = ModePlain;
    int m_nMouseModeAtStop = ModePlain;
    CDigitalZoomState m_digitalZoom;
};
