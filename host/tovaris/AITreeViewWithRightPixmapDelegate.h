#pragma once

#include "HostExport.h"
#include "TesselGUIToolkit/ItemDataRole.h"

#include <QStyledItemDelegate>

namespace tovaris {

class CAIAbstractItemView;

// Draws a row as usual and, at its right end, the pixmap the row carries under
// CameraRightPixmapRole (element rows) or GroupRightPixmapRole (group rows).
// A click on the pixmap is reported to the view with the pixmap's role; its
// tool tip is the row's RightPixmapTipRole text. With bHoverOnly the pixmap
// shows only on the hovered or selected row, as the dashboard's trees do.
class HOST_API CAITreeViewWithRightPixmapDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kPixmapSize = 16;
    static constexpr int kRightMargin = 8;

    CAITreeViewWithRightPixmapDelegate(CAIAbstractItemView* pView, bool bHoverOnly);
    ~CAITreeViewWithRightPixmapDelegate() override;

    // Where the pixmap of a row drawn in rcRow sits.
    static QRect PixmapRect(const QRect& rcRow);
    // The role of the row's right-hand pixmap, or 0 when it has none.
    static int PixmapRole(const QModelIndex& index);

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* pEvent, QAbstractItemModel* pModel, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* pEvent, QAbstractItemView* pView, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    CAIAbstractItemView* m_pView;
    bool m_bHoverOnly;
};

} // namespace tovaris
