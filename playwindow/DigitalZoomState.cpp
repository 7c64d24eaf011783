#include "playwindow/DigitalZoomState.h"

#include <algorithm>
#include <cmath>

bool CDigitalZoomState::Wheel(int nAngleDelta, const QPointF& ptAnchor)
{
    if (nAngleDelta == 0)
        return false;
    const double dSteps = double(nAngleDelta) / kNotch;
    const double dZoom = std::clamp(Zoom() * std::pow(kStepFactor, dSteps), 1.0, kMaxZoom);
    const double dSize = 1.0 / dZoom;
    // The picture point under the mouse stays under the mouse.
    const double dAx = std::clamp(ptAnchor.x(), 0.0, 1.0);
    const double dAy = std::clamp(ptAnchor.y(), 0.0, 1.0);
    const double dPictureX = m_rcShown.x() + dAx * m_rcShown.width();
    const double dPictureY = m_rcShown.y() + dAy * m_rcShown.height();
    const double dX = std::clamp(dPictureX - dAx * dSize, 0.0, 1.0 - dSize);
    const double dY = std::clamp(dPictureY - dAy * dSize, 0.0, 1.0 - dSize);
    const QRectF rcNew(dX, dY, dSize, dSize);
    if (rcNew == m_rcShown)
        return false;
    m_rcShown = rcNew;
    return true;
}
