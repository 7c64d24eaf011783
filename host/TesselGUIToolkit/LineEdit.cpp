#include "TesselGUIToolkit/LineEdit.h"

#include <QMouseEvent>

namespace TesselGUIToolkit {

CLineEdit::CLineEdit(QWidget* pParent)
    : QLineEdit(pParent)
{
}

void CLineEdit::mousePressEvent(QMouseEvent* pEvent)
{
    QLineEdit::mousePressEvent(pEvent);
    if (pEvent->button() == Qt::LeftButton)
        emit SignalCursorPosition(cursorPositionAt(pEvent->pos()));
}

} // namespace TesselGUIToolkit
