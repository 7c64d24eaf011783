#pragma once

#include <QLabel>
#include <QWidget>

namespace LinkageSnapAlarm {

// The 20 x 20 corner mark of the picture panels: a direct child outside any
// layout, kept at the bottom-right corner with 2 pixels outside the widget.
class CCornerMark
{
public:
    static constexpr int kSize = 20;
    static constexpr int kInset = 18;

    static QLabel* Create(QWidget* pOwner)
    {
        auto* pLabel = new QLabel(pOwner);
        pLabel->setObjectName("m_pLabelTriangle");
        pLabel->setFixedSize(kSize, kSize);
        // A panel not shown yet keeps its mark hidden until it has something to mark.
        if (pOwner->isHidden())
            pLabel->hide();
        return pLabel;
    }

    static void Place(QLabel* pLabel, const QSize& sizeOwner)
    {
        pLabel->move(sizeOwner.width() - kInset, sizeOwner.height() - kInset);
    }
};

} // namespace LinkageSnapAlarm
