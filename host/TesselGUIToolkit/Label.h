#pragma once

#include "HostExport.h"

#include <QLabel>

namespace TesselGUIToolkit {

// The toolkit's text label: plain text only, so camera names never render as markup.
class HOST_API CLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CLabel(QWidget* pParent = nullptr);
};

} // namespace TesselGUIToolkit
