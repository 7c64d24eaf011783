#pragma once

#include "playwindow/LiveViewMenuMgr.h"
#include "playwindow/PlayWindowEvent.h"
#include "playwindow/PlayWindowOverlays.h"
#include "playwindow/PlayWindowPtzZoom.h"
#include "playwindow/ptz/PtzPanelWindow.h"

#include <QFrame>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <string>

class CLiveViewController;
class CLiveViewControllerPlugin;
class CLiveViewPlaybackPlugin;
class CPlayWindowActions;
class CPlayWindowLiveView;
class CPlayWindowPlayback;
class CPTZControlWnd;
class QDropEvent;
class QMimeData;
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
// live view changes as CLiveViewEvent. The window lays out the video and takes
// the input; its parts do the rest: the live view (CPlayWindowLiveView), the
// overlays (CPlayWindowOverlays), the actions (CPlayWindowActions) and the
// mouse modes with PTZ and digital zoom (CPlayWindowPtzZoom).
class CStreamPlayWindowWithTask : public QFrame, public IPtzPanelWindow
{
    Q_OBJECT
public:
    // Mouse modes of the window.
    enum MouseMode {
        MousePlain = CPlayWindowPtzZoom::ModePlain,
        MousePTZ = CPlayWindowPtzZoom::ModePtz,
        MouseDigitalZoom = CPlayWindowPtzZoom::ModeDigitalZoom,
        MouseArea3 = CPlayWindowPtzZoom::ModeArea3,
        MouseArea4 = CPlayWindowPtzZoom::ModeArea4,
        MouseMode5 = CPlayWindowPtzZoom::Mode5,
        MouseArea7 = CPlayWindowPtzZoom::ModeArea7,
        MouseArea8 = CPlayWindowPtzZoom::ModeArea8
    };
    enum ScaleMode { ScaleFill = 0, Scale4To3 = 1, Scale16To9 = 2, ScaleOwnSize = 3 };
    // Height of the title bar over the video.
    static constexpr int kTitleHeight = CPlayWindowOverlays::kTitleHeight;
    // How often the title bar's stream line is refreshed while live.
    static constexpr int kStreamInfoIntervalMs = CPlayWindowOverlays::kStreamInfoIntervalMs;
    static constexpr int kToolBarHeight = CPlayWindowOverlays::kToolBarHeight;

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
    void SetShowToolBarOnHover(bool bShow) { m_pOverlays->SetShowToolBarOnHover(bShow); }
    void SetVideoScaleMode(int nMode);
    int GetVideoScaleMode() const { return m_nVideoScaleMode; }
    void DetachPlugins();
    bool IsSelected() const { return m_bSelected; }
    void SetSelected(bool bSelected);
    // What a click does: selected, announced (SignalPlayWindowSelected) and focused.
    void MarkSelectedAndFocus();

    // Runs a live view action as if chosen from the menu.
    void TriggerLiveViewAction(int nType);

    // Where the video surface sits in a window of the given size.
    static QRect VideoRect(const QSize& sizeWindow, int nScaleMode, const QSize& sizePicture);

    CLiveViewController* GetLiveViewController() const { return m_pLiveViewController; }
    Vantrel::CPreviewICamera* GetPreview() const;
    CLiveViewMenuMgr* GetMenuMgr() const { return m_pMenuMgr; }
    // Instant playback of the live stream's last seconds; none without its surface.
    CPlayWindowPlayback* GetInstantPlayback() const { return m_pPlayback; }
    bool IsInstantPlayback() const;
    QWidget* GetVideoSurface() const { return m_pLiveViewWindow; }
    QPushButton* GetCloseButton() const { return m_pOverlays->CloseButton(); }
    // The shared PTZ panel: the window opens it beside itself (action 10) and
    // leaves PTZ mode whenever the panel closes.
    void SetPTZControlWnd(CPTZControlWnd* pPanel) override;
    int GetMouseMode() const override { return m_pPtzZoom->MouseMode(); }
    QWidget* PtzWindowWidget() override { return this; }
    std::string GetPtzCameraGuid() const override;
    bool IsLiveViewRunning() const override { return IsPreviewing(); }
    bool IsFisheyeExpanded() const override { return false; }
    // The part of the picture digital zoom shows (fractions).
    QRectF GetDigitalZoomRect() const { return m_pPtzZoom->DigitalZoomRect(); }
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
    void BuildVideoSurfaces(bool bInstantPlaybackSurface);
    void LayoutVideo();
    bool IsAcceptedSource(QObject* pSource) const;
    void StartDrag();

    QWidget* m_pLiveViewWindow = nullptr;
    QWidget* m_pInstantPlaybackWindow = nullptr;
    CLiveViewMenuMgr* m_pMenuMgr = nullptr;
    CLiveViewController* m_pLiveViewController = nullptr;
    CPlayWindowOverlays* m_pOverlays = nullptr;
    CPlayWindowPtzZoom* m_pPtzZoom = nullptr;
    CPlayWindowActions* m_pActions = nullptr;
    CPlayWindowLiveView* m_pLiveView = nullptr;
    CPlayWindowPlayback* m_pPlayback = nullptr;
    int m_nGroupNumber = 0;
    int m_nPlayWindowIndex = -1;
    bool m_bSelected = false;
    int m_nVideoScaleMode = ScaleFill;
    bool m_bDragEnabled = true;
    QList<QWidget*> m_lstDragSourceWidgets;
    bool m_bFollowPtzPanel = true;
    QPoint m_ptPress;
    bool m_bPressed = false;
};
