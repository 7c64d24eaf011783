#include "playwindow/StreamPlayWindowWithTask.h"

#include "Vantrel/PreviewICamera.h"

#include <QLabel>

// The video keeps the chosen ratio inside the window less a 1-pixel border.
QRect CStreamPlayWindowWithTask::VideoRect(const QSize& sizeWindow, int nScaleMode, const QSize& sizePicture)
{
    const int nW = qMax(0, sizeWindow.width() - 2);
    const int nH = qMax(0, sizeWindow.height() - 2);
    int nRatioW = 0, nRatioH = 0;
    switch (nScaleMode) {
    case Scale4To3:
        nRatioW = 4;
        nRatioH = 3;
        break;
    case Scale16To9:
        nRatioW = 16;
        nRatioH = 9;
        break;
    case ScaleOwnSize:
        nRatioW = sizePicture.width();
        nRatioH = sizePicture.height();
        break;
    default:
        break;
    }
    int nWidth = nW, nHeight = nH;
    if (nRatioW > 0 && nRatioH > 0) {
        const int nFitW = nRatioW * nH / nRatioH;
        if (nW > nFitW) {
            nWidth = nFitW;
        } else {
            nHeight = nRatioH * nW / nRatioW;
        }
    }
    return QRect((nW - nWidth) / 2 + 1, (nH - nHeight) / 2 + 1, nWidth, nHeight);
}

void CStreamPlayWindowWithTask::SetVideoScaleMode(int nMode)
{
    m_nVideoScaleMode = nMode;
    LayoutVideo();
}

void CStreamPlayWindowWithTask::LayoutVideo()
{
    QSize sizePicture;
    unsigned uWidth = 0, uHeight = 0;
    if (m_nVideoScaleMode == ScaleOwnSize && GetPreview() && GetPreview()->GetPictureSize(uWidth, uHeight))
        sizePicture = QSize(int(uWidth), int(uHeight));
    const QRect rcVideo = VideoRect(size(), m_nVideoScaleMode, sizePicture);
    m_nVideoWidth = rcVideo.width();
    m_nVideoHeight = rcVideo.height();
    m_nVideoX = rcVideo.x();
    m_nVideoY = rcVideo.y();
    if (m_pLiveViewWindow)
        m_pLiveViewWindow->setGeometry(rcVideo);
    if (m_pInstantPlaybackWindow)
        m_pInstantPlaybackWindow->setGeometry(rcVideo);
    // Overlays: title on top, tool bar at the bottom, tip in the middle.
    if (m_pTitleWidget)
        m_pTitleWidget->setGeometry(1, 1, qMax(0, width() - 2), kTitleHeight);
    if (m_pToolBar)
        m_pToolBar->setGeometry(rcVideo.x(), rcVideo.bottom() - kToolBarHeight + 1, rcVideo.width(), kToolBarHeight);
    if (m_pLiveViewEventTip)
        m_pLiveViewEventTip->setGeometry(rcVideo.x(), rcVideo.center().y() - kTitleHeight, rcVideo.width(),
                                         2 * kTitleHeight);
    if (m_pStateBar)
        m_pStateBar->setGeometry(rcVideo.x(), rcVideo.y() + kTitleHeight, rcVideo.width(), kTitleHeight);
}
