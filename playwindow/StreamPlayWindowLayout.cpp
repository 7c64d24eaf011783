#include "playwindow/StreamPlayWindowWithTask.h"

#include "playwindow/PlayWindowPlayback.h"

#include "Vantrel/PreviewICamera.h"

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
    if (m_nVideoScaleMode == ScaleOwnSize && GetPreview()->GetPictureSize(uWidth, uHeight))
        sizePicture = QSize(int(uWidth), int(uHeight));
    const QRect rcVideo = VideoRect(size(), m_nVideoScaleMode, sizePicture);
    m_pLiveViewWindow->setGeometry(rcVideo);
    if (m_pInstantPlaybackWindow)
        m_pInstantPlaybackWindow->setGeometry(rcVideo);
    m_pOverlays->Layout(rcVideo);
    if (m_pPlayback)
        m_pPlayback->Layout(rcVideo, kToolBarHeight);
}
