#include "TesselGUIToolkit/FancyTitle.h"

#include <QMouseEvent>

namespace TesselGUIToolkit {

CFancyTitle::CFancyTitle(QWidget* pParent)
    : QFrame(pParent)
{
}

void CFancyTitle::mousePressEvent(QMouseEvent* pEvent)
{
    m_bDragging = m_bMoveEnabled && pEvent->button() == Qt::LeftButton;
    if (m_bDragging)
        m_ptPressOffset = pEvent->globalPos() - window()->frameGeometry().topLeft();
    QFrame::mousePressEvent(pEvent);
}

void CFancyTitle::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (m_bDragging && m_bMoveEnabled && (pEvent->buttons() & Qt::LeftButton))
        window()->move(pEvent->globalPos() - m_ptPressOffset);
    QFrame::mouseMoveEvent(pEvent);
}

void CFancyTitle::mouseReleaseEvent(QMouseEvent* pEvent)
{
    m_bDragging = false;
    QFrame::mouseReleaseEvent(pEvent);
}

} // namespace TesselGUIToolkit
