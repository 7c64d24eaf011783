#pragma once

#include <QEvent>
#include <QObject>
#include <QStyle>
#include <QVariant>
#include <QWidget>

namespace LinkageSnapAlarm {

// Marks a widget that holds the keyboard focus with the dynamic property
// "bFocused", so that style rules can draw the mark on the widget or on any of
// its children ("[bFocused=\"true\"] #m_pWidgetCardBack"). Style sheets read
// properties at polish time: the widget and its children are polished again.
class CFocusMark : public QObject
{
public:
    static constexpr const char* kProperty = "bFocused";

    // The mark follows the widget's focus from now on; the filter is its child.
    static void Install(QWidget* pWidget) { pWidget->installEventFilter(new CFocusMark(pWidget)); }

    static void SetMarked(QWidget* pWidget, bool bMarked)
    {
        if (pWidget->property(kProperty).toBool() == bMarked)
            return;
        pWidget->setProperty(kProperty, bMarked);
        Repolish(pWidget);
        for (QWidget* pChild : pWidget->findChildren<QWidget*>())
            Repolish(pChild);
    }

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::FocusIn || pEvent->type() == QEvent::FocusOut)
            SetMarked(static_cast<QWidget*>(pWatched), pEvent->type() == QEvent::FocusIn);
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    explicit CFocusMark(QObject* pParent)
        : QObject(pParent)
    {
    }

    static void Repolish(QWidget* pWidget)
    {
        pWidget->style()->unpolish(pWidget);
        pWidget->style()->polish(pWidget);
        pWidget->update();
    }
};

} // namespace LinkageSnapAlarm
