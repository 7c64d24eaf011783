#include "playwindow/PlayWindowOverlays.h"

#include "playwindow/LiveViewController.h"
#include "playwindow/LiveViewMenuMgr.h"

#include "TesselGUIToolkit/LazyIcon.h"
#include "Vantrel/PreviewICamera.h"
#include "tessel/ICamera.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr int kCloseButtonSize = 20;
constexpr int kTitleSpacing = 4;

bool NativeWindows()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}
} // namespace

CPlayWindowOverlays::CPlayWindowOverlays(QWidget* pWindow, CLiveViewMenuMgr* pMenuMgr, CLiveViewController* pController)
    : QObject(pWindow)
    , m_pWindow(pWindow)
    , m_pMenuMgr(pMenuMgr)
    , m_pController(pController)
    , m_pStreamInfoTimer(new QTimer(this))
{
    m_pStreamInfoTimer->setInterval(kStreamInfoIntervalMs);
    connect(m_pStreamInfoTimer, &QTimer::timeout, this, &CPlayWindowOverlays::RefreshStreamInfo);
    // Creation order is stacking order: title, state bar, tip, tool bar.
    BuildTitleBar();
    m_pStateBar = new QWidget(pWindow);
    m_pStateBar->setObjectName("Windows_m_pStateBar");
    m_pStateBar->hide();

    m_pEventTip = new QLabel(pWindow);
    m_pEventTip->setObjectName("m_pLiveViewEventTip");
    m_pEventTip->setAlignment(Qt::AlignCenter);
    m_pEventTip->setWordWrap(true);
    m_pEventTip->hide();
}

void CPlayWindowOverlays::KeepAboveVideo()
{
    if (!NativeWindows())
        return;
    m_bAboveVideo = true;
    for (QWidget* pOverlay : {static_cast<QWidget*>(m_pTitleBar), static_cast<QWidget*>(m_pEventTip), m_pToolBar}) {
        if (!pOverlay || pOverlay->testAttribute(Qt::WA_NativeWindow))
            continue;
        pOverlay->setAttribute(Qt::WA_NativeWindow);
        pOverlay->raise();
    }
}

void CPlayWindowOverlays::BuildTitleBar()
{
    m_pTitleBar = new CLiveViewWndTitle(m_pWindow);
    m_pTitleBar->setObjectName("m_pTitleWidget");
    m_pTitleBar->SetElideStreamInfo(true);
    m_pTitleBar->SetStreamInfoVisible(false);
    auto* pTitleLayout = qobject_cast<QHBoxLayout*>(m_pTitleBar->layout());
    pTitleLayout->setSpacing(kTitleSpacing);
    m_pCloseBtn = new QPushButton(m_pTitleBar);
    m_pCloseBtn->setObjectName("m_pCloseBtn");
    m_pCloseBtn->setFixedSize(kCloseButtonSize, kCloseButtonSize);
    m_pCloseBtn->setFocusPolicy(Qt::NoFocus);
    pTitleLayout->addWidget(m_pCloseBtn);
}

void CPlayWindowOverlays::EnsureToolBar()
{
    if (m_pToolBar)
        return;
    m_pToolBar = new QWidget(m_pWindow);
    m_pToolBar->setObjectName("m_pToolBar");
    auto* pToolLayout = new QHBoxLayout(m_pToolBar);
    pToolLayout->setContentsMargins(4, 2, 4, 2);
    pToolLayout->addStretch(1);
    for (QAction* pAction : m_pMenuMgr->Actions()) {
        auto* pButton = new QToolButton(m_pToolBar);
        pButton->setObjectName(QStringLiteral("m_pToolBtn_") + pAction->objectName());
        pButton->setDefaultAction(pAction);
        BindToolBarIcon(pButton, pAction);
        pButton->setFocusPolicy(Qt::NoFocus);
        pToolLayout->addWidget(pButton);
    }
    m_pToolBar->hide();
    PlaceToolBar();
    if (m_bAboveVideo) {
        m_pToolBar->setAttribute(Qt::WA_NativeWindow);
        m_pToolBar->raise();
    }
}

void CPlayWindowOverlays::PlaceToolBar()
{
    if (m_pToolBar)
        m_pToolBar->setGeometry(m_rcVideo.x(), m_rcVideo.bottom() - kToolBarHeight + 1, m_rcVideo.width(),
                                kToolBarHeight);
}

void CPlayWindowOverlays::BindToolBarIcon(QToolButton* pButton, QAction* pAction)
{
    auto fnApply = [pButton, pAction] {
        const QIcon icon =
            TesselGUIToolkit::LazyIcon(pAction->property(CLiveViewMenuMgr::kToolBarIconProperty).toString());
        if (!icon.isNull())
            pButton->setIcon(icon);
    };
    // The button takes the action's menu icon first; the tool-bar icon replaces it.
    connect(pAction, &QAction::changed, pButton, fnApply);
    fnApply();
}

void CPlayWindowOverlays::Layout(const QRect& rcVideo)
{
    // Title on top, tool bar at the bottom, tip in the middle.
    m_rcVideo = rcVideo;
    m_pTitleBar->setGeometry(1, 1, qMax(0, m_pWindow->width() - 2), kTitleHeight);
    PlaceToolBar();
    m_pEventTip->setGeometry(rcVideo.x(), rcVideo.center().y() - kTitleHeight, rcVideo.width(), 2 * kTitleHeight);
    m_pStateBar->setGeometry(rcVideo.x(), rcVideo.y() + kTitleHeight, rcVideo.width(), kTitleHeight);
}

void CPlayWindowOverlays::ShowCamera(tessel::ICamera* pCamera)
{
    m_pTitleBar->SetTitleText(pCamera ? QString::fromStdString(pCamera->GetElementName()) : QString());
    m_pStreamInfoTimer->start();
    EnsureToolBar();
}

void CPlayWindowOverlays::ClearCamera()
{
    m_pStreamInfoTimer->stop();
    m_pTitleBar->ClearTitle();
    m_pTitleBar->SetStreamInfoVisible(false);
    HideToolBar();
}

void CPlayWindowOverlays::SetRecording(bool bRecording)
{
    m_pStateBar->setVisible(bRecording);
}

void CPlayWindowOverlays::ShowTip(const QString& strText)
{
    m_pEventTip->setText(strText);
    m_pEventTip->show();
    m_pEventTip->raise();
    UpdateToolBar();
}

void CPlayWindowOverlays::HideTip()
{
    m_pEventTip->clear();
    m_pEventTip->hide();
}

QString CPlayWindowOverlays::Tip() const
{
    return m_pEventTip->isVisible() ? m_pEventTip->text() : QString();
}

QString CPlayWindowOverlays::TipText() const
{
    return m_pEventTip->text();
}

void CPlayWindowOverlays::SetHovered(bool bHovered)
{
    m_bHovered = bHovered;
    UpdateToolBar();
}

void CPlayWindowOverlays::UpdateToolBar()
{
    const bool bShow = m_bShowToolBarOnHover && m_bHovered && IsPreviewing() && !m_pEventTip->isVisible();
    if (bShow)
        EnsureToolBar();
    if (m_pToolBar)
        m_pToolBar->setVisible(bShow);
    if (bShow)
        m_pToolBar->raise();
}

void CPlayWindowOverlays::HideToolBar()
{
    if (m_pToolBar)
        m_pToolBar->hide();
}

bool CPlayWindowOverlays::IsPreviewing() const
{
    return m_pController->GetPreview()->IsPreview();
}

void CPlayWindowOverlays::RefreshStreamInfo()
{
    if (!IsPreviewing()) {
        m_pStreamInfoTimer->stop();
        return;
    }
    const Vantrel::StreamInfo info = m_pController->GetPreview()->GetStreamInfo();
    // Until the stream's caps are known there is nothing true to show.
    if (info.uWidth == 0 || info.uHeight == 0 || !m_pTitleBar->isVisible())
        return;
    m_pTitleBar->SetStreamInfoVisible(true);
    m_pTitleBar->ShowStreamInfo(info, false, 0);
}
