#pragma once

#include <QObject>

class CLiveViewController;
class CLiveViewMenuMgr;
class CPlayWindowPlayback;
class CPlayWindowPtzZoom;
class QPoint;
class QWidget;

// Runs a play window's live-view actions, however chosen (context menu, tool
// bar, a direct call), and shows the context menu. Stopping live view is the
// window's own: it also tells its owner.
class CPlayWindowActions : public QObject
{
    Q_OBJECT
public:
    CPlayWindowActions(QWidget* pWindow, CLiveViewMenuMgr* pMenuMgr, CLiveViewController* pController,
                       CPlayWindowPtzZoom* pPtzZoom);

    // The actions are disabled while nothing plays; a direct call does nothing either.
    void Run(int nType);
    // Instant playback, when the window has a surface for it.
    void SetPlayback(CPlayWindowPlayback* pPlayback) { m_pPlayback = pPlayback; }
    void ShowContextMenu(const QPoint& ptPos);

private:
    void ToggleRecording();
    void ToggleSound();

    QWidget* m_pWindow = nullptr;
    CLiveViewMenuMgr* m_pMenuMgr = nullptr;
    CLiveViewController* m_pController = nullptr;
    CPlayWindowPtzZoom* m_pPtzZoom = nullptr;
    CPlayWindowPlayback* m_pPlayback = nullptr;
};
