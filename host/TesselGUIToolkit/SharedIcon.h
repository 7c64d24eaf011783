#pragma once

#include "HostExport.h"

#include <QIcon>
#include <QString>

namespace TesselGUIToolkit {

// The icon of a picture file, made once for the process: a picture is read (an
// SVG parsed) when its icon is made, and a copy of an icon is a reference. The
// icons live as long as the process, as the pictures do. GUI thread only.
HOST_API QIcon SharedIcon(const QString& strPath);

} // namespace TesselGUIToolkit
