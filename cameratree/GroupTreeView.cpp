#include "cameratree/GroupTreeView.h"

#include "cameratree/LinkageCameraModel.h"

#include "common/LsaCheck.h"

#include "tessel/ICamera.h"
#include "tovaris/AITreeViewWithRightPixmapDelegate.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QSortFilterProxyModel>

namespace LinkageSnapAlarm {

using namespace TesselGUIToolkit;

namespace {
const char* const kDragCamera = ":/public/btn/Public/Camera.svg";
const char* const kDragGroup = ":/public/btn/Public/Group.svg";
} // namespace

CGroupTreeView::CGroupTreeView(QWidget* parent)
    : tovaris::CAIExpandTreeView(nullptr)
{
    Q_UNUSED(parent); // the panel's layout gives the view its parent
    setMouseTracking(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    CloseDefaultContextMenu(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(new tovaris::CAITreeViewWithRightPixmapDelegate(this, true));
    connect(this, SIGNAL(customContextMenuRequested(const QPoint&)), this, SLOT(OnShowMenu(const QPoint&)));
    connect(this, SIGNAL(SignalClicked(const QModelIndex&, TesselGUIToolkit::CItemDataRole)), this,
            SLOT(OnItemClicked(const QModelIndex&, TesselGUIToolkit::CItemDataRole)));
}

CGroupTreeView::~CGroupTreeView() = default;

void CGroupTreeView::OnItemClicked(const QModelIndex& miIndex, CItemDataRole enumTypeRole)
{
    const QVariant type = miIndex.data(ItemTypeRole);
    if (!type.isValid())
        return;
    if (type.toInt() == ItemTypeArea && miIndex.data(GroupRightPixmapRole).isValid()
        && enumTypeRole == GroupRightPixmapRole)
        emit signalStartLiveView(miIndex);
    else if (type.toInt() == ItemTypeElement && miIndex.data(CameraRightPixmapRole).isValid()
             && enumTypeRole == CameraRightPixmapRole)
        emit signalStartLiveView(miIndex);
}

void CGroupTreeView::mousePressEvent(QMouseEvent* event)
{
    tovaris::CAIExpandTreeView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_ptPress = event->pos();
    const QModelIndex row = indexAt(event->pos());
    if (row.isValid())
        setCurrentIndex(row);
}

void CGroupTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    m_ptPress = QPoint();
    tovaris::CAIExpandTreeView::mouseReleaseEvent(event);
}

void CGroupTreeView::mouseMoveEvent(QMouseEvent* event)
{
    // Hover and drag start are withheld over camera rows that cannot be dragged.
    const QModelIndex row = indexAt(event->pos());
    if (!row.isValid() || row.data(ItemTypeRole).toUInt() != ItemTypeElement) {
        tovaris::CAIExpandTreeView::mouseMoveEvent(event);
        return;
    }
    auto* pProxy = qobject_cast<QSortFilterProxyModel*>(model());
    LSA_CHECK(pProxy) return;
    auto* pModel = qobject_cast<CLinkageCameraModel*>(pProxy->sourceModel());
    if (!pModel) {
        tovaris::CAIExpandTreeView::mouseMoveEvent(event);
        return;
    }
    const tessel::IElement* pElement =
        pModel->FindElementByElementID(pModel->GetCameraIDByIndex(pProxy->mapToSource(row)));
    if (pElement && pElement->GetElementType() == tessel::ElementTypeCamera)
        tovaris::CAIExpandTreeView::mouseMoveEvent(event);
}

void CGroupTreeView::startDrag(Qt::DropActions supportedActions)
{
    Q_UNUSED(supportedActions);
    // The row under the press point, even when the pointer has moved on.
    const QModelIndex row = indexAt(m_ptPress);
    m_ptPress = QPoint();
    QMimeData* pMimeData = CreateDragData(row);
    if (!pMimeData)
        return;
    auto* pDrag = new QDrag(this);
    pDrag->setMimeData(pMimeData);
    pDrag->setPixmap(QPixmap(DragPixmapPath(pMimeData)));
    pDrag->exec(Qt::MoveAction);
}

QString CGroupTreeView::DragPixmapPath(const QMimeData* pMimeData)
{
    const bool bCamera = pMimeData && !pMimeData->property("CameraGUID").toString().isEmpty();
    return QString::fromLatin1(bCamera ? kDragCamera : kDragGroup);
}

QMimeData* CGroupTreeView::CreateDragData(const QModelIndex& row) const
{
    auto* pProxy = qobject_cast<QSortFilterProxyModel*>(model());
    LSA_CHECK(pProxy) return nullptr;
    auto* pModel = qobject_cast<CLinkageCameraModel*>(pProxy->sourceModel());
    const QVariant type = row.data(ItemTypeRole);
    if (!row.isValid() || !type.isValid())
        return nullptr;

    QString strGroupGUID;
    QString strCameraGUID;
    const QModelIndex source = pProxy->mapToSource(row);
    if (type.toUInt() == ItemTypeArea && pModel) {
        strGroupGUID = QString::fromStdString(pModel->GetAreaIDByIndex(source));
    } else if (type.toUInt() == ItemTypeElement && pModel) {
        strCameraGUID = QString::fromStdString(pModel->GetCameraIDByIndex(source));
        const tessel::ICamera* pCamera = tessel::AsCamera(pModel->FindElementByElementID(strCameraGUID.toStdString()));
        if (!pCamera || !pCamera->IsOnline())
            return nullptr;
        strGroupGUID = QString::fromStdString(pCamera->GetGroupID());
    }
    auto* pMimeData = new QMimeData;
    pMimeData->setProperty("GroupGUID", strGroupGUID);
    pMimeData->setProperty("CameraGUID", strCameraGUID);
    return pMimeData;
}

} // namespace LinkageSnapAlarm
