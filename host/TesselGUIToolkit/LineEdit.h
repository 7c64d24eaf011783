#pragma once

#include "HostExport.h"

#include <QLineEdit>

namespace TesselGUIToolkit {

// A line edit that reports clicks: SignalCursorPosition carries the cursor
// position under the mouse when the left button is pressed on it.
class HOST_API CLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CLineEdit(QWidget* pParent = nullptr);

signals:
    void SignalCursorPosition(int nPosition);

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
};

} // namespace TesselGUIToolkit
