#pragma once

#include "TesselGUIToolkit/ItemDataRole.h"
#include "tovaris/AITreeView.h"

#include <QPoint>

class QMimeData;

namespace LinkageSnapAlarm {

// The tree of the camera panel: starts live view from a row's play pixmap and
// drags cameras and groups to the play windows. The drag carries a QMimeData
// without formats whose QString properties "GroupGUID" and "CameraGUID" name
// the group and the camera; a camera that is not online is not dragged.
class CGroupTreeView : public tovaris::CAIExpandTreeView
{
    Q_OBJECT
public:
    explicit CGroupTreeView(QWidget* parent = nullptr);
    ~CGroupTreeView() override;

    // The drag payload of a row of the view (a proxy index), or null when the
    // row cannot be dragged; the caller owns it.
    QMimeData* CreateDragData(const QModelIndex& row) const;
    // The drag pixmap for a payload: the camera's or the group's.
    static QString DragPixmapPath(const QMimeData* pMimeData);

signals:
    void signalStartLiveView(const QModelIndex& miIndex);

public slots:
    void OnItemClicked(const QModelIndex& miIndex, TesselGUIToolkit::CItemDataRole enumTypeRole);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    QPoint m_ptPress;
};

} // namespace LinkageSnapAlarm
