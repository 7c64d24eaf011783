#include "tovaris/AITreeView.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace tovaris {

CAIAbstractItemView::~CAIAbstractItemView() = default;

CAITreeView::CAITreeView(QWidget* parent)
    : QTreeView(parent)
{
    static const int s_nRoleType = qRegisterMetaType<TesselGUIToolkit::CItemDataRole>();
    Q_UNUSED(s_nRoleType);
}

CAITreeView::~CAITreeView() = default;

void CAITreeView::ReportPixmapClicked(const QModelIndex& index, TesselGUIToolkit::CItemDataRole eRole)
{
    emit SignalClicked(index, eRole);
}

CAIExpandTreeView::CAIExpandTreeView(QWidget* parent)
    : CAITreeView(parent)
{
}

CAIExpandTreeView::~CAIExpandTreeView() = default;

void CAIExpandTreeView::OnShowMenu(const QPoint& ptPos)
{
    if (!m_pMenu) {
        m_pMenu = new QMenu(this);
        m_pMenu->setObjectName("m_pMenuExpand");
        QAction* pExpand = m_pMenu->addAction(tr("ExpandAll"));
        pExpand->setObjectName("m_pActionExpandAll");
        connect(pExpand, &QAction::triggered, this, &QTreeView::expandAll);
        QAction* pCollapse = m_pMenu->addAction(tr("CollapseAll"));
        pCollapse->setObjectName("m_pActionCollapseAll");
        connect(pCollapse, &QAction::triggered, this, &QTreeView::collapseAll);
    }
    m_pMenu->popup(viewport()->mapToGlobal(ptPos));
}

void CAIExpandTreeView::contextMenuEvent(QContextMenuEvent* pEvent)
{
    if (m_bDefaultMenuClosed || contextMenuPolicy() != Qt::DefaultContextMenu) {
        CAITreeView::contextMenuEvent(pEvent);
        return;
    }
    OnShowMenu(viewport()->mapFromGlobal(pEvent->globalPos()));
    pEvent->accept();
}

} // namespace tovaris
