#pragma once

#include "HostExport.h"

#include <QHBoxLayout>

namespace TesselGUIToolkit {

// A horizontal layout with the toolkit's spelling of the few calls title bars use.
class HOST_API CHBoxLayout : public QHBoxLayout
{
    Q_OBJECT
public:
    CHBoxLayout() = default;
    explicit CHBoxLayout(QWidget* pParent);

    void AddWidget(QWidget* pWidget, int nStretch = 0, Qt::Alignment alignment = Qt::Alignment());
    void AddItem(QLayoutItem* pItem);
    void SetLayoutContentsMargins(int nLeft, int nTop, int nRight, int nBottom);
};

} // namespace TesselGUIToolkit
