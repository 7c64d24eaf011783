#pragma once

#include <QPointF>
#include <QRectF>

// A play window's digital zoom: the part of the picture shown, in fractions.
// Each wheel notch zooms in or out around the point under the mouse.
class CDigitalZoomState
{
public:
    static constexpr double kStepFactor = 1.25;
    static constexpr double kMaxZoom = 16.0;
    static constexpr int kNotch = 120; // one wheel step in eighths of a degree

    // ptAnchor: the mouse position in fractions of the shown picture.
    // Returns true when the shown part changed.
    bool Wheel(int nAngleDelta, const QPointF& ptAnchor);
    void Reset() { m_rcShown = QRectF(0.0, 0.0, 1.0, 1.0); }

    QRectF ShownRect() const { return m_rcShown; }
    bool IsZoomed() const { return m_rcShown != QRectF(0.0, 0.0, 1.0, 1.0); }
    double Zoom() const { return 1.0 / m_rcShown.width(); }

private:
    QRectF m_rcShown{0.0, 0.0, 1.0, 1.0};
};
