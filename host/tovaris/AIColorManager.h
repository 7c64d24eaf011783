#pragma once

#include "HostExport.h"

#include <QColor>

namespace tovaris {

// The colours of the AI dashboard's widgets, one place for all of them.
// Reached through TesselGUIToolkit::CUiSingleton<CAIColorManager>::Instance().
class HOST_API CAIColorManager
{
public:
    // Text that matches the current search keywords.
    QColor getFilterTextClr() const { return QColor(0xff, 0xa9, 0x2e); }
    // Text of rows that cannot be used (offline or disabled cameras).
    QColor getDisabledTextClr() const { return QColor(0x5b, 0x6b, 0x7c); }
    // Accent of hovered and selected rows.
    QColor getAccentClr() const { return QColor(0x3a, 0xb0, 0xff); }
};

} // namespace tovaris
