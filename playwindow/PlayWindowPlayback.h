#pragma once

#include <QObject>
#include <QRect>

class CLiveViewController;
class CLiveViewMenuMgr;
class QLabel;
class QRect;
class QSlider;
class QTimer;
class QToolButton;
class QWidget;

namespace Vantrel {
class CInstantPlayback;
} // namespace Vantrel

// A play window's instant playback: the last seconds its live stream left in
// the pre-alarm buffer play in a second surface over the live one, with a bar
// to pause, move (slider; Left and Right keys step, Space pauses) and go back
// to live (the bar's button, the action again, Escape, or the end of the
// buffered frames). The live stream and its buffer run on meanwhile.
class CPlayWindowPlayback : public QObject
{
    Q_OBJECT
public:
    // Playback starts this far before the newest buffered moment; the slider
    // reaches back through the whole buffer.
    static constexpr qint64 kStartBeforeEndMs = 10000;
    static constexpr qint64 kKeyStepMs = 5000;
    static constexpr int kBarHeight = 28;
    static constexpr int kPositionIntervalMs = 250;

    CPlayWindowPlayback(QWidget* pWindow, QWidget* pLiveSurface, QWidget* pPlaybackSurface,
                        CLiveViewController* pController, CLiveViewMenuMgr* pMenuMgr);

    bool IsActive() const { return m_bActive; }
    // Plays the buffer of the camera that plays live, with the user's playback
    // right; false (with a notice when there is something to say) otherwise.
    bool Enter();
    void Leave();
    void Toggle();

    void SetPaused(bool bPaused);
    bool IsPaused() const;
    void SeekTo(qint64 nMs);
    void SeekBy(qint64 nDeltaMs);
    qint64 PositionMs() const;
    qint64 DurationMs() const;

    // Places the bar at the bottom of the video, above the tool bar.
    void Layout(const QRect& rcVideo, int nToolBarHeight);

    Vantrel::CInstantPlayback* Player() const { return m_pPlayer; }

signals:
    void SignalActiveChanged(bool bActive);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void BuildBar();
    void RefreshPosition();
    void ShowSurface(bool bPlayback);
    void OnPlayerNotify(int nKind);

    QWidget* m_pWindow = nullptr;
    QWidget* m_pLiveSurface = nullptr;
    QWidget* m_pPlaybackSurface = nullptr;
    CLiveViewController* m_pController = nullptr;
    CLiveViewMenuMgr* m_pMenuMgr = nullptr;
    Vantrel::CInstantPlayback* m_pPlayer = nullptr;
    QWidget* m_pBar = nullptr; // built for the first playback
    QRect m_rcBar;
    QToolButton* m_pPauseBtn = nullptr;
    QSlider* m_pSlider = nullptr;
    QLabel* m_pTimeLabel = nullptr;
    QToolButton* m_pLiveBtn = nullptr;
    QTimer* m_pPositionTimer = nullptr;
    bool m_bActive = false;
};
