#include "playwindow/PlayWindowPlayback.h"

#include "playwindow/LiveViewController.h"
#include "playwindow/LiveViewMenuMgr.h"
#include "playwindow/PlayWindowLogging.h"
#include "playwindow/PlayWindowTexts.h"

#include "Miravel/InformationMgr.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/InstantPlayback.h"
#include "Vantrel/PreviewICamera.h"
#include "tessel/ICamera.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr const char* kPauseGlyph = "\u275A\u275A";
constexpr const char* kPlayGlyph = "\u25B6";
constexpr const char* kLiveGlyph = "\u25CF";

bool NativeWindows()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QString Clock(qint64 nMs)
{
    const qint64 nSeconds = qMax(qint64(0), nMs) / 1000;
    return QStringLiteral("%1:%2").arg(nSeconds / 60).arg(nSeconds % 60, 2, 10, QLatin1Char('0'));
}

Miravel::CInformationMgr& Notices()
{
    return TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
}
} // namespace

CPlayWindowPlayback::CPlayWindowPlayback(QWidget* pWindow, QWidget* pLiveSurface, QWidget* pPlaybackSurface,
                                         CLiveViewController* pController, CLiveViewMenuMgr* pMenuMgr)
    : QObject(pWindow)
    , m_pWindow(pWindow)
    , m_pLiveSurface(pLiveSurface)
    , m_pPlaybackSurface(pPlaybackSurface)
    , m_pController(pController)
    , m_pMenuMgr(pMenuMgr)
    , m_pPlayer(new Vantrel::CInstantPlayback(this))
    , m_pPositionTimer(new QTimer(this))
{
    m_pPositionTimer->setInterval(kPositionIntervalMs);
    connect(m_pPositionTimer, &QTimer::timeout, this, &CPlayWindowPlayback::RefreshPosition);
    // Queued: a stop of the pipeline a seek replaced must not end the playback.
    connect(
        m_pPlayer, &Vantrel::CBasePreview::signalPreviewNotify, this,
        [this](const Vantrel::CPreviewObserver::Param& param) { OnPlayerNotify(param.nKind); }, Qt::QueuedConnection);
    pWindow->installEventFilter(this);
}

// Built for the first playback: a window that never plays back its buffer
// (most, and all of them at start) has no bar to build, polish or lay out.
void CPlayWindowPlayback::BuildBar()
{
    if (m_pBar)
        return;
    m_pBar = new QWidget(m_pWindow);
    m_pBar->setObjectName("m_pInstantPlaybackBar");
    m_pBar->setAutoFillBackground(true);
    auto* pLayout = new QHBoxLayout(m_pBar);
    pLayout->setContentsMargins(4, 2, 4, 2);
    m_pPauseBtn = new QToolButton(m_pBar);
    m_pPauseBtn->setObjectName("m_pPlaybackPauseBtn");
    m_pPauseBtn->setCheckable(true);
    m_pSlider = new QSlider(Qt::Horizontal, m_pBar);
    m_pSlider->setObjectName("m_pPlaybackSlider");
    m_pSlider->setAccessibleName(PlayWindowTexts::Text(PlayWindowTexts::PlaybackPosition));
    m_pSlider->setSingleStep(int(kKeyStepMs));
    m_pSlider->setPageStep(int(kStartBeforeEndMs));
    m_pTimeLabel = new QLabel(m_pBar);
    m_pTimeLabel->setObjectName("m_pPlaybackTimeLabel");
    m_pLiveBtn = new QToolButton(m_pBar);
    m_pLiveBtn->setObjectName("m_pPlaybackLiveBtn");
    m_pLiveBtn->setText(QString::fromUtf8(kLiveGlyph));
    m_pLiveBtn->setToolTip(PlayWindowTexts::Text(PlayWindowTexts::BackToLive));
    for (QWidget* pControl :
         {static_cast<QWidget*>(m_pPauseBtn), static_cast<QWidget*>(m_pSlider), static_cast<QWidget*>(m_pLiveBtn)})
        pControl->setFocusPolicy(Qt::NoFocus); // the window keeps the keys
    pLayout->addWidget(m_pPauseBtn);
    pLayout->addWidget(m_pSlider, 1);
    pLayout->addWidget(m_pTimeLabel);
    pLayout->addWidget(m_pLiveBtn);
    connect(m_pPauseBtn, &QToolButton::toggled, this, &CPlayWindowPlayback::SetPaused);
    connect(m_pLiveBtn, &QToolButton::clicked, this, &CPlayWindowPlayback::Leave);
    connect(m_pSlider, &QSlider::sliderReleased, this, [this] { SeekTo(m_pSlider->value()); });
    // Clicks beside the handle and keys move it without a drag.
    connect(m_pSlider, &QSlider::valueChanged, this, [this](int nValue) {
        if (!m_pSlider->isSliderDown())
            SeekTo(nValue);
    });
    m_pBar->setGeometry(m_rcBar);
    m_pBar->hide();
}

bool CPlayWindowPlayback::Enter()
{
    if (m_bActive)
        return true;
    Vantrel::CPreviewICamera* pPreview = m_pController->GetPreview();
    tessel::ICamera* pCamera = pPreview->GetPreviewCamera();
    if (!m_pPlaybackSurface || !pPreview->IsPreview() || !pCamera)
        return false;
    auto* pPermissions = TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::Instance();
    if (pPermissions
        && !pPermissions->verityResPermission(Miravel::PermissionModuleCamera, Miravel::RightCodePlayback,
                                              pCamera->GetElementID(), m_pWindow, Miravel::NoPrivilegeNotice))
        return false;
    Vantrel::EncodedFrames vecFrames = pPreview->GetPreAlarmBuffer()->Snapshot();
    if (vecFrames.empty()) {
        Notices().ShowInformationAtScreenRightBottom(PlayWindowTexts::Text(PlayWindowTexts::NothingBufferedYet),
                                                     m_pWindow, false, false, false);
        return false;
    }
    ShowSurface(true);
    // The handle is read here, on the GUI thread, as for live view.
    if (!m_pPlayer->Play(m_pPlaybackSurface->winId(), std::move(vecFrames), -kStartBeforeEndMs, pCamera->GetElementID(),
                         pCamera->GetElementName())) {
        ShowSurface(false);
        Notices().ShowInformationAtScreenRightBottom(PlayWindowTexts::Text(PlayWindowTexts::InstantPlaybackFailed),
                                                     m_pWindow, false, false, false);
        return false;
    }
    m_bActive = true;
    BuildBar();
    {
        const QSignalBlocker blocker(m_pPauseBtn);
        m_pPauseBtn->setChecked(false);
    }
    SetPaused(false);
    m_pSlider->setEnabled(true);
    if (NativeWindows())
        m_pBar->setAttribute(Qt::WA_NativeWindow); // over the native video
    m_pBar->show();
    m_pBar->raise();
    RefreshPosition();
    m_pPositionTimer->start();
    m_pMenuMgr->SetInstantPlaybackState(true);
    qCDebug(lcPlayWindow) << "instant playback of" << m_pPlayer->DurationMs() << "ms";
    emit SignalActiveChanged(true);
    return true;
}

void CPlayWindowPlayback::Leave()
{
    if (!m_bActive)
        return;
    m_bActive = false;
    m_pPositionTimer->stop();
    m_pPlayer->Stop();
    m_pBar->hide();
    ShowSurface(false);
    m_pMenuMgr->SetInstantPlaybackState(false);
    emit SignalActiveChanged(false);
}

void CPlayWindowPlayback::Toggle()
{
    if (m_bActive)
        Leave();
    else
        Enter();
    // A refused start leaves the action in its off look.
    m_pMenuMgr->SetInstantPlaybackState(m_bActive);
}

void CPlayWindowPlayback::ShowSurface(bool bPlayback)
{
    if (!m_pPlaybackSurface)
        return;
    m_pPlaybackSurface->setVisible(bPlayback);
    m_pLiveSurface->setVisible(!bPlayback);
    if (bPlayback)
        m_pPlaybackSurface->raise();
    // The title, tip and tool bar stay over whichever video shows.
    for (QObject* pChild : m_pWindow->children()) {
        auto* pWidget = qobject_cast<QWidget*>(pChild);
        if (pWidget && pWidget != m_pLiveSurface && pWidget != m_pPlaybackSurface && pWidget->isVisible())
            pWidget->raise();
    }
}

void CPlayWindowPlayback::SetPaused(bool bPaused)
{
    if (m_bActive)
        m_pPlayer->SetPaused(bPaused);
    if (!m_pPauseBtn)
        return;
    const QSignalBlocker blocker(m_pPauseBtn);
    m_pPauseBtn->setChecked(bPaused);
    m_pPauseBtn->setText(QString::fromUtf8(bPaused ? kPlayGlyph : kPauseGlyph));
    m_pPauseBtn->setToolTip(
        PlayWindowTexts::Text(bPaused ? PlayWindowTexts::ResumePlayback : PlayWindowTexts::PausePlayback));
}

bool CPlayWindowPlayback::IsPaused() const
{
    return m_pPlayer->IsPaused();
}

void CPlayWindowPlayback::SeekTo(qint64 nMs)
{
    if (!m_bActive)
        return;
    m_pPlayer->SeekTo(qBound(qint64(0), nMs, m_pPlayer->DurationMs()));
    RefreshPosition();
}

void CPlayWindowPlayback::SeekBy(qint64 nDeltaMs)
{
    SeekTo(PositionMs() + nDeltaMs);
}

qint64 CPlayWindowPlayback::PositionMs() const
{
    return m_pPlayer->PositionMs();
}

qint64 CPlayWindowPlayback::DurationMs() const
{
    return m_pPlayer->DurationMs();
}

void CPlayWindowPlayback::RefreshPosition()
{
    const qint64 nDuration = m_pPlayer->DurationMs();
    const qint64 nPosition = m_pPlayer->PositionMs();
    if (!m_pSlider->isSliderDown()) {
        const QSignalBlocker blocker(m_pSlider);
        m_pSlider->setRange(0, int(nDuration));
        m_pSlider->setValue(int(nPosition));
    }
    m_pTimeLabel->setText(Clock(nPosition) + QStringLiteral(" / ") + Clock(nDuration));
}

void CPlayWindowPlayback::OnPlayerNotify(int nKind)
{
    // The end of the buffered frames (or a failed replay) goes back to live.
    if (nKind == Vantrel::NotifyStopped && m_bActive && !m_pPlayer->IsPreview())
        Leave();
}

void CPlayWindowPlayback::Layout(const QRect& rcVideo, int nToolBarHeight)
{
    m_rcBar = QRect(rcVideo.x(), rcVideo.bottom() - nToolBarHeight - kBarHeight + 1, rcVideo.width(), kBarHeight);
    if (m_pBar)
        m_pBar->setGeometry(m_rcBar);
}

bool CPlayWindowPlayback::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched != m_pWindow || !m_bActive || pEvent->type() != QEvent::KeyPress)
        return QObject::eventFilter(pWatched, pEvent);
    switch (static_cast<QKeyEvent*>(pEvent)->key()) {
    case Qt::Key_Space:
        SetPaused(!IsPaused());
        return true;
    case Qt::Key_Left:
        SeekBy(-kKeyStepMs);
        return true;
    case Qt::Key_Right:
        SeekBy(kKeyStepMs);
        return true;
    case Qt::Key_Escape:
        Leave();
        return true;
    default:
        return false;
    }
}
