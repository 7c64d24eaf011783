#pragma once

#include "playwindow/DigitalZoomState.h"
#include "playwindow/LiveViewMenuMgr.h"
#include "playwindow/PlayWindowEvent.h"
#include "playwindow/ptz/PtzPanelWindow.h"

#include <QFrame>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <string>

class CLiveViewController;
class CLiveViewControllerPlugin;
class CLiveViewPlaybackPlugin;
class CLiveViewWndTitle;
class CPTZControlWnd;
class QTimer;
class QToolButton;
class QAction;
class QDropEvent;
class QMimeData;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace tessel {
class ICamera;
} // namespace tessel
namespace Vantrel {
class CPreviewICamera;
} // namespace Vantrel

// A play window: a video surface into which the host preview draws, a title
// bar with the camera's name and a close button, an event tip, a tool bar and
// a context menu of live view actions. It accepts camera drops and reports
// live view changes as CLiveViewEvent.
class CStreamPlayWindowWithTask : public QFrame, public IPtzPanelWindow
{
    Q_OBJECT
public:
    // Mouse modes of the window.
    enum MouseMode {
        MousePlain = 0,
        MousePTZ = 1,
        MouseDigitalZoom = 2,
        MouseArea3 = 3,
        MouseArea4 = 4,
        MouseMode5 = 5,
        MouseArea7 = 7,
        MouseArea8 = 8
    };
    enum ScaleMode { ScaleFill = 0, Scale4To3 = 1, Scale16To9 = 2, ScaleOwnSize = 3 };
    // Height of the title bar over the video.
    static constexpr int kTitleHeight = 32;
    // How often the title bar's stream line is refreshed while live.
    static constexpr int kStreamInfoIntervalMs = 1000;
    static constexpr int kToolBarHeight = 30;

    CStreamPlayWindowWithTask(QList<CLiveViewMenuMgr::LiveViewActionType>& lstLiveActions,
                              QList<TesselPlayWindow::PlaybackMenuParam::PlaybackActionType>& lstPlaybackActions,
                              CLiveViewControllerPlugin* pLiveViewPlugin, CLiveViewPlaybackPlugin* pPlaybackPlugin,
                              QWidget* parent, bool bInstantPlaybackSurface, int nWindowMode, bool bTaskMenu);
    ~CStreamPlayWindowWithTask() override;

    bool StartLiveView(const std::string& strCameraGuid, int nStreamType, bool bFlag);
    void StopLiveView();
    void ForgetCamera(const std::string& strCameraGuid);
    tessel::ICamera* GetLiveViewCamera() const override;
    bool IsPreviewing() const;

    void SetDragSourceWidgets(const QList<QWidget*>& lstWidgets) { m_lstDragSourceWidgets = lstWidgets; }
    void SetPlayWindowIndex(int nIndex) { m_nPlayWindowIndex = nIndex; }
    int GetPlayWindowIndex() const { return m_nPlayWindowIndex; }
    void SetGroupNumber(int nGroup) { m_nGroupNumber = nGroup; }
    int GetGroupNumber() const { return m_nGroupNumber; }
    void SetDragEnabled(bool bEnabled) { m_bDragEnabled = bEnabled; }
    void SetFollowPtzPanel(bool bFollow) { m_bFollowPtzPanel = bFollow; }
    bool IsFollowPtzPanel() const { return m_bFollowPtzPanel; }
    void SetShowToolBarOnHover(bool bShow) { m_bShowToolBarOnHover = bShow; }
    void SetVideoScaleMode(int nMode);
    int GetVideoScaleMode() const { return m_nVideoScaleMode; }
    void DetachPlugins();
    bool IsSelected() const { return m_bSelected; }
    void SetSelected(bool bSelected);

    // Runs a live view action as if chosen from the menu.
    void TriggerLiveViewAction(int nType);

    // Where the video surface sits in a window of the given size.
    static QRect VideoRect(const QSize& sizeWindow, int nScaleMode, const QSize& sizePicture);

    // For the title bar, the PTZ panel and the action states.
    CLiveViewController* GetLiveViewController() const { return m_pLiveViewController; }
    Vantrel::CPreviewICamera* GetPreview() const;
    CLiveViewMenuMgr* GetMenuMgr() const { return m_pMenuMgr; }
    QWidget* GetTitleWidget() const { return m_pTitleWidget; }
    QHBoxLayout* GetTitleLayout() const { return m_pTitleLayout; }
    QWidget* GetVideoSurface() const { return m_pLiveViewWindow; }
    QPushButton* GetCloseButton() const { return m_pCloseBtn; }
    QWidget* GetToolBar() const { return m_pToolBar; }
    CLiveViewWndTitle* GetTitleBar() const;
    // The shared PTZ panel: the window opens it beside itself (action 10) and
    // leaves PTZ mode whenever the panel closes.
    void SetPTZControlWnd(CPTZControlWnd* pPanel) override;
    CPTZControlWnd* GetPTZControlWnd() const;
    int GetMouseMode() const override { return m_nMouseMode; }
    QWidget* PtzWindowWidget() override { return this; }
    std::string GetPtzCameraGuid() const override;
    bool IsLiveViewRunning() const override { return IsPreviewing(); }
    bool IsFisheyeExpanded() const override { return false; }
    // The part of the picture digital zoom shows (fractions).
    QRectF GetDigitalZoomRect() const { return m_digitalZoom.ShownRect(); }
    void SetMouseMode(int nMode);
    QString GetEventTip() const;

signals:
    void SignalOpenManualTrack(bool bOpen);
    void SignalPlayWindowSelected();
    void SignalPlayTypeChanged(bool bPlayback);
    void SignalExchangePlayWindow(int nPlayWindowFrom, int iPlayWindowTo);
    void SignalDropEvent(QDropEvent* pEvent);
    void SignalUpdateLiveViewState(const CLiveViewEvent& eventLiveView);
    void SignalPlayClosedByBtn();
    // The PTZ panel should re-read this window's fisheye state.
    void SignalRefreshPtzFisheyeState();

protected:
    bool event(QEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dragMoveEvent(QDragMoveEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    // The drag and drop decisions, with the drag's source passed in.
    bool AcceptDragFrom(QObject* pSource, const QMimeData* pMime) const;
    bool DropFrom(QObject* pSource, QDropEvent* pEvent);

private slots:
    void OnCloseBtnClicked();
    void OnLiveViewEvent(const CLiveViewEvent& eventLiveView);
    void OnContextMenu(const QPoint& ptPos);

private:
    void BuildForm(bool bInstantPlaybackSurface);
    void LayoutVideo();
    void ShowEventTip(const QString& strText);
    void HideEventTip();
    void ShowIdleLook();
    void UpdateToolBarVisibility();
    void MarkSelectedAndFocus();
    bool IsAcceptedSource(QObject* pSource) const;
    void StartDrag();
    // PTZ panel, digital zoom and the stream line (StreamPlayWindowPtz.cpp).
    void TogglePtzPanel();
    void ToggleDigitalZoom();
    void OnMouseModeLeft(int nOldMode);
    void OnPtzPanelHidden();
    bool DigitalZoomWheel(QWheelEvent* pEvent);
    void RefreshStreamInfo();
    // A tool-bar button shows its action's tool-bar icon, which follows the action's look.
    static void BindToolBarIcon(QToolButton* pButton, QAction* pAction);

    // Declaration order follows the window's data model.
    QWidget* m_pLiveViewWindow = nullptr;
    CLiveViewMenuMgr* m_pMenuMgr = nullptr;
    CLiveViewController* m_pLiveViewController = nullptr;
    int m_nGroupNumber = 0;
    int m_nPlayWindowIndex = -1;
    bool m_bShowToolBarOnHover = true;
    bool m_bSelected = false;
    QPushButton* m_pCloseBtn = nullptr;
    int m_nVideoWidth = 0;
    int m_nVideoHeight = 0;
    int m_nVideoX = 0;
    int m_nVideoY = 0;
    int m_nVideoScaleMode = ScaleFill;
    bool m_bDragEnabled = true;
    QList<QWidget*> m_lstDragSourceWidgets;
    QWidget* m_pToolBar = nullptr;
    CLiveViewControllerPlugin* m_pLiveViewPlugin = nullptr;
    bool m_bFollowPtzPanel = true;
    QPointer<CPTZControlWnd> m_pPTZControlWnd; // shared; owned by the window's owner
    QLabel* m_pLiveViewEventTip = nullptr;
    int m_nMouseMode = MousePlain;
    QWidget* m_pInstantPlaybackWindow = nullptr;
    CLiveViewPlaybackPlugin* m_pPlaybackPlugin = nullptr;
    int m_nWindowMode = 0;
    QWidget* m_pTitleWidget = nullptr;
    QList<CLiveViewMenuMgr::LiveViewActionType> m_lstLiveViewActions;
    QList<TesselPlayWindow::PlaybackMenuParam::PlaybackActionType> m_lstPlaybackActions;

    QHBoxLayout* m_pTitleLayout = nullptr;
    QLabel* m_pTitleLabel = nullptr;
    QWidget* m_pStateBar = nullptr;
    bool m_bPluginsDetached = false;
    int m_nMouseModeAtStop = MousePlain;
    QPoint m_ptPress;
    bool m_bPressed = false;
    bool m_bHovered = false;
    CDigitalZoomState m_digitalZoom;
    QTimer* m_pStreamInfoTimer = nullptr;
};
