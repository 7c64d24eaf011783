#include "TesselGUIToolkit/Label.h"

namespace TesselGUIToolkit {

CLabel::CLabel(QWidget* pParent)
    : QLabel(pParent)
{
    setTextFormat(Qt::PlainText);
}

} // namespace TesselGUIToolkit
