#pragma once

#include "HostExport.h"

#include <QIcon>
#include <QString>

namespace TesselGUIToolkit {

// The icon of an image file, read (and an SVG parsed) only when it is first
// drawn or measured: menus, hidden tool bars and collapsed panels built before
// the first paint cost no file reads. Null when the file does not exist.
HOST_API QIcon LazyIcon(const QString& strFile);

} // namespace TesselGUIToolkit
