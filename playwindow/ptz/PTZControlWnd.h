#pragma once

#include "Vantrel/PtzControl.h"

#include <QFrame>
#include <QMap>
#include <QPointer>

#include <string>

class QAbstractButton;
class QLabel;
class QSlider;
class QToolButton;

namespace tessel {
class ICamera;
} // namespace tessel

// The shared PTZ panel: a direction pad (held buttons or the arrow keys move the
// camera), zoom in and out, home, and a speed slider; Escape closes it. It acts on the camera it is
// given, and only while its controls are enabled (the user holds the PTZ right).
class CPTZControlWnd : public QFrame
{
    Q_OBJECT
public:
    // bFloating: a tool window of its own instead of a child panel; bCompact: no
    // speed slider; bPtzPart: the PTZ controls are on from the start.
    CPTZControlWnd(QWidget* pParent, bool bFloating, bool bCompact, bool bPtzPart);
    // A panel kept hidden until asked for may build its controls when first
    // shown (or EnsureForm asks); its camera and state are kept all along.
    enum class Form { Now, OnFirstShow };
    CPTZControlWnd(QWidget* pParent, bool bFloating, bool bCompact, bool bPtzPart, Form eForm);
    ~CPTZControlWnd() override;

    void EnsureForm();
    bool IsFormBuilt() const { return m_bFormBuilt; }
    void setVisible(bool bVisible) override;

    void SetCamera(tessel::ICamera* pCamera, const std::string& strGuid);
    tessel::ICamera* GetCamera() const { return m_pCamera; }
    const std::string& GetCameraGuid() const { return m_strGuid; }

    // The user's PTZ right on the camera: without it nothing can be pressed.
    void SetControlsEnabled(bool bEnabled);
    bool IsControlsEnabled() const { return m_bControlsEnabled; }
    // Off for cameras whose channel cannot turn.
    void SetPtzPartEnabled(bool bEnabled);
    bool IsPtzPartEnabled() const { return m_bPtzPart; }
    void SetFisheyeMode(bool bFisheye);
    bool IsFisheyeMode() const { return m_bFisheye; }
    // The window's area mouse mode (3, 4, 7 or 8) that the mode indicators mirror; 0 for none.
    void SetMouseModeState(int nMouseMode);
    int GetMouseModeState() const { return m_nMouseMode; }

    int Speed() const;

    // Shows the panel next to a window (right of it where there is room, else
    // left, else over its right edge) and remembers the window.
    void ShowBeside(QWidget* pWindow);
    QWidget* GetShownBeside() const { return m_pShownBeside; }

signals:
    // The user closed the panel with its own close button.
    void SignalPanelClosed();
    // The panel was hidden, however that came about.
    void SignalPanelHidden();

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void keyReleaseEvent(QKeyEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    void BuildForm();
    QToolButton* AddCommandButton(Vantrel::PtzCommand eCommand, const char* pszObjectName, const QString& strGlyph,
                                  const char* pszName);
    // Its close button and Escape.
    void ClosePanel();
    void SendCommand(Vantrel::PtzCommand eCommand, bool bStop);
    bool HandleKey(QKeyEvent* pEvent, bool bStop);
    void StopMotion();
    void UpdateLook();

    bool m_bCompact = false;
    bool m_bFormBuilt = false;
    tessel::ICamera* m_pCamera = nullptr;
    std::string m_strGuid;
    bool m_bControlsEnabled = false;
    bool m_bPtzPart = true;
    bool m_bFisheye = false;
    int m_nMouseMode = 0;

    QLabel* m_pLabelCamera = nullptr;
    QLabel* m_pLabelState = nullptr;
    QSlider* m_pSliderSpeed = nullptr;
    QToolButton* m_pBtnHome = nullptr;
    QToolButton* m_pBtnClose = nullptr;
    QMap<Vantrel::PtzCommand, QToolButton*> m_mapCommandButtons;
    QMap<int, QToolButton*> m_mapModeIndicators;
    QPointer<QWidget> m_pShownBeside;
};
