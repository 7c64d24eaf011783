#pragma once

#include "HostExport.h"

#include <QIcon>
#include <QString>

namespace TesselGUIToolkit {

// The lazy icon (LazyIcon) of an image file, made once for the process: every
// model and search box shares it, so the file is read and an SVG parsed once,
// when the first of them draws it, rather than once by each. A copy of an icon
// is a reference. The icons live as long as the process. GUI thread only.
HOST_API QIcon SharedIcon(const QString& strFile);

} // namespace TesselGUIToolkit
