#pragma once

#include "HostExport.h"

#include <QFrame>
#include <QPoint>

namespace TesselGUIToolkit {

// A title strip. When moving is enabled, dragging it with the left button moves
// the top-level window it belongs to (the usual behaviour of frameless windows).
class HOST_API CFancyTitle : public QFrame
{
    Q_OBJECT
public:
    explicit CFancyTitle(QWidget* pParent = nullptr);

    void SetOpenWidgetMoveEnable(bool bEnable) { m_bMoveEnabled = bEnable; }
    bool IsOpenWidgetMoveEnable() const { return m_bMoveEnabled; }

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    bool m_bMoveEnabled = true;
    bool m_bDragging = false;
    QPoint m_ptPressOffset;
};

} // namespace TesselGUIToolkit
