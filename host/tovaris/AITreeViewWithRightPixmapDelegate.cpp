#include "tovaris/AITreeViewWithRightPixmapDelegate.h"

#include "tovaris/AITreeView.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

namespace tovaris {

using namespace TesselGUIToolkit;

CAITreeViewWithRightPixmapDelegate::CAITreeViewWithRightPixmapDelegate(CAIAbstractItemView* pView, bool bHoverOnly)
    : QStyledItemDelegate(pView ? pView->ItemView() : nullptr)
    , m_pView(pView)
    , m_bHoverOnly(bHoverOnly)
{
}

CAITreeViewWithRightPixmapDelegate::~CAITreeViewWithRightPixmapDelegate() = default;

QRect CAITreeViewWithRightPixmapDelegate::PixmapRect(const QRect& rcRow)
{
    return QRect(rcRow.right() - kRightMargin - kPixmapSize + 1, rcRow.center().y() - kPixmapSize / 2 + 1, kPixmapSize,
                 kPixmapSize);
}

int CAITreeViewWithRightPixmapDelegate::PixmapRole(const QModelIndex& index)
{
    const QVariant type = index.data(ItemTypeRole);
    if (!type.isValid())
        return 0;
    const int nRole = type.toUInt() == ItemTypeArea ? GroupRightPixmapRole : CameraRightPixmapRole;
    return index.data(nRole).isValid() ? nRole : 0;
}

void CAITreeViewWithRightPixmapDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const
{
    const int nRole = PixmapRole(index);
    const bool bShow =
        nRole != 0 && (!m_bHoverOnly || option.state & (QStyle::State_MouseOver | QStyle::State_Selected));
    if (!bShow) {
        QStyledItemDelegate::paint(pPainter, option, index);
        return;
    }
    // The row's background across its width, its text kept clear of the pixmap.
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QWidget* pWidget = option.widget;
    QStyle* pStyle = pWidget ? pWidget->style() : QApplication::style();
    pStyle->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, pPainter, pWidget);
    QStyleOptionViewItem optText(option);
    optText.rect.setRight(PixmapRect(option.rect).left() - 4);
    QStyledItemDelegate::paint(pPainter, optText, index);
    const QPixmap pixmap = qvariant_cast<QPixmap>(index.data(nRole));
    if (!pixmap.isNull())
        pPainter->drawPixmap(PixmapRect(option.rect), pixmap);
}

bool CAITreeViewWithRightPixmapDelegate::editorEvent(QEvent* pEvent, QAbstractItemModel* pModel,
                                                     const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const bool bPress = pEvent->type() == QEvent::MouseButtonPress;
    const bool bRelease = pEvent->type() == QEvent::MouseButtonRelease;
    if (bPress || bRelease) {
        auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        const int nRole = PixmapRole(index);
        if (nRole != 0 && pMouse->button() == Qt::LeftButton && PixmapRect(option.rect).contains(pMouse->pos())) {
            if (bRelease && m_pView)
                m_pView->ReportPixmapClicked(index, static_cast<CItemDataRole>(nRole));
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(pEvent, pModel, option, index);
}

bool CAITreeViewWithRightPixmapDelegate::helpEvent(QHelpEvent* pEvent, QAbstractItemView* pView,
                                                   const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (pEvent->type() == QEvent::ToolTip && PixmapRole(index) != 0
        && PixmapRect(option.rect).contains(pEvent->pos())) {
        const QString strTip = index.data(RightPixmapTipRole).toString();
        if (!strTip.isEmpty()) {
            QToolTip::showText(pEvent->globalPos(), strTip.toHtmlEscaped(), pView);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(pEvent, pView, option, index);
}

} // namespace tovaris
