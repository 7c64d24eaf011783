#pragma once

#include "playwindow/LiveViewWndTitle.h"

#include <QObject>
#include <QRect>

class CLiveViewController;
class CLiveViewMenuMgr;
class QAction;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;
class QWidget;

namespace tessel {
class ICamera;
} // namespace tessel

// What a play window shows over its video: the title bar (camera name, stream
// line, close button), the event tip, the recording state bar and the tool bar
// of live-view actions. The widgets are the window's children.
class CPlayWindowOverlays : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTitleHeight = CLiveViewWndTitle::kTitleHeight;
    static constexpr int kToolBarHeight = 30;
    // How often the title bar's stream line is refreshed while live.
    static constexpr int kStreamInfoIntervalMs = 1000;

    CPlayWindowOverlays(QWidget* pWindow, CLiveViewMenuMgr* pMenuMgr, CLiveViewController* pController);

    // Places the overlays over the video's rectangle.
    void Layout(const QRect& rcVideo);
    // Over a native video window only native windows stay visible: once the
    // video has its window, the overlays get theirs, above it. Until then they
    // cost the first paint no windows of their own.
    void KeepAboveVideo();

    QPushButton* CloseButton() const { return m_pCloseBtn; }

    // The camera that now plays: its name in the title, the stream line once known.
    void ShowCamera(tessel::ICamera* pCamera);
    // Nothing plays: an empty title, no stream line, no tool bar.
    void ClearCamera();
    void SetRecording(bool bRecording);

    void ShowTip(const QString& strText);
    void HideTip();
    // The tip shown, or empty.
    QString Tip() const;
    // The tip's text, shown or not.
    QString TipText() const;

    void SetShowToolBarOnHover(bool bShow) { m_bShowToolBarOnHover = bShow; }
    void SetHovered(bool bHovered);
    // The tool bar shows while the mouse is over a playing window without a tip.
    void UpdateToolBar();
    void HideToolBar();

private:
    void BuildTitleBar();
    // The tool bar shows only over a playing window: it is built when the
    // window first plays, not for the first picture.
    void EnsureToolBar();
    void PlaceToolBar();
    void RefreshStreamInfo();
    bool IsPreviewing() const;
    // A tool-bar button shows its action's tool-bar icon, which follows the action's look.
    static void BindToolBarIcon(QToolButton* pButton, QAction* pAction);

    QWidget* m_pWindow = nullptr;
    CLiveViewMenuMgr* m_pMenuMgr = nullptr;
    CLiveViewController* m_pController = nullptr;
    CLiveViewWndTitle* m_pTitleBar = nullptr;
    QPushButton* m_pCloseBtn = nullptr;
    QWidget* m_pStateBar = nullptr;
    QLabel* m_pEventTip = nullptr;
    QWidget* m_pToolBar = nullptr;
    QTimer* m_pStreamInfoTimer = nullptr;
    QRect m_rcVideo;
    bool m_bAboveVideo = false;
    bool m_bShowToolBarOnHover = true;
    bool m_bHovered = false;
};
