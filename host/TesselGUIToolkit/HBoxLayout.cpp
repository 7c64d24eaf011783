#include "TesselGUIToolkit/HBoxLayout.h"

namespace TesselGUIToolkit {

CHBoxLayout::CHBoxLayout(QWidget* pParent)
    : QHBoxLayout(pParent)
{
}

void CHBoxLayout::AddWidget(QWidget* pWidget, int nStretch, Qt::Alignment alignment)
{
    if (pWidget)
        addWidget(pWidget, nStretch, alignment);
}

void CHBoxLayout::AddItem(QLayoutItem* pItem)
{
    if (pItem)
        addItem(pItem);
}

void CHBoxLayout::SetLayoutContentsMargins(int nLeft, int nTop, int nRight, int nBottom)
{
    setContentsMargins(nLeft, nTop, nRight, nBottom);
}

} // namespace TesselGUIToolkit
