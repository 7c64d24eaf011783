#pragma once

#include "HostExport.h"
#include "TesselGUIToolkit/ItemDataRole.h"

#include <QTreeView>

class QMenu;

namespace tovaris {

// What the AI toolkit's delegates need of the view they draw for.
class HOST_API CAIAbstractItemView
{
public:
    virtual ~CAIAbstractItemView();
    virtual QAbstractItemView* ItemView() = 0;
    // A delegate saw a click on the right-hand pixmap of a row shown under this role.
    virtual void ReportPixmapClicked(const QModelIndex& index, TesselGUIToolkit::CItemDataRole eRole) = 0;
};

// The AI toolkit's tree view: reports clicks on right-hand pixmaps.
class HOST_API CAITreeView : public QTreeView, public CAIAbstractItemView
{
    Q_OBJECT
public:
    explicit CAITreeView(QWidget* parent = nullptr);
    ~CAITreeView() override;

    QAbstractItemView* ItemView() override { return this; }
    void ReportPixmapClicked(const QModelIndex& index, TesselGUIToolkit::CItemDataRole eRole) override;

signals:
    void SignalClicked(const QModelIndex& index, TesselGUIToolkit::CItemDataRole eRole);
};

// A tree view with the toolkit's expand and collapse menu. Its own context
// menu (the default one) can be closed for views that show the menu through
// OnShowMenu from a custom context menu request instead.
class HOST_API CAIExpandTreeView : public CAITreeView
{
    Q_OBJECT
public:
    explicit CAIExpandTreeView(QWidget* parent = nullptr);
    ~CAIExpandTreeView() override;

    void CloseDefaultContextMenu(bool bClose) { m_bDefaultMenuClosed = bClose; }
    bool IsDefaultContextMenuClosed() const { return m_bDefaultMenuClosed; }
    // The menu last shown, or null.
    QMenu* ContextMenu() const { return m_pMenu; }

public slots:
    // Shows the expand/collapse menu at a point of the viewport.
    void OnShowMenu(const QPoint& ptPos);

protected:
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    QMenu* m_pMenu = nullptr;
    bool m_bDefaultMenuClosed = false;
};

} // namespace tovaris
