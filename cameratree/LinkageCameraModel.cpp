#include "cameratree/LinkageCameraModel.h"

#include "Kelmot/GroupManagerDeletage.h"
#include "TesselGUIToolkit/ItemDataRole.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "tessel/ICamera.h"
#include "tovaris/AIColorManager.h"

#include <QIcon>
#include <QPixmap>
#include <QSignalBlocker>

#include <numeric>
#include <vector>

namespace LinkageSnapAlarm {

using namespace TesselGUIToolkit;

namespace {

constexpr int kAlignLeftVCenter = Qt::AlignLeft | Qt::AlignVCenter; // 129

const char* const kPreviewPixmap = ":/publicIcon/Images/public/PublicIcon/PlaywithBg.svg";
const char* const kIconCamera = ":/publicIcon/Images/public/PublicIcon/Camera.svg";
const char* const kIconPlaying = ":/publicIcon/Images/public/PublicIcon/CameraPlaying.svg";
const char* const kIconOffline = ":/publicIcon/Images/public/PublicIcon/CameraOffline.svg";

Miravel::LogicNodeParam NodeParam(unsigned int nMode)
{
    Miravel::LogicNodeParam param;
    param.bCheckable = false;
    param.bDragEnabled = true;
    param.bEditable = false;
    param.bShowElementState = nMode != 2;
    return param;
}

// Held in a variant once: rows share it instead of each wrapping a copy.
const QVariant& PreviewPixmap()
{
    static const QVariant s_pixmap = QPixmap(QString::fromLatin1(kPreviewPixmap));
    return s_pixmap;
}

// Sets the preview pixmap and its text on a row of any model of the tree.
void DecorateRow(QAbstractItemModel* pModel, const QModelIndex& index, const QString& strTip)
{
    pModel->setData(index, PreviewPixmap(), CameraRightPixmapRole);
    pModel->setData(index, strTip, RightPixmapTipRole);
}

// The two values of a decorated row, as one list that rows share.
Miravel::CAreaModel::RoleValues RowDecoration(const QString& strTip)
{
    return {{CameraRightPixmapRole, PreviewPixmap()}, {RightPixmapTipRole, strTip}};
}

} // namespace

CLinkageCameraModel::CLinkageCameraModel(QObject* parent, unsigned int mode, bool bShowPreview)
    : Miravel::CLogicModel(NodeParam(mode), std::make_shared<Kelmot::CGroupManagerDeletage>(), parent,
                           Miravel::StruResouceOfElementParam())
    , m_nMode(mode)
    , m_bShowPreview(bShowPreview)
{
    SetColumnCount(1);
    setHeaderData(0, Qt::Horizontal, tr("All"), Qt::EditRole);
    setHeaderData(0, Qt::Horizontal, kAlignLeftVCenter, Qt::TextAlignmentRole);
    connect(this, SIGNAL(rowsAboutToBeRemoved(const QModelIndex&, int, int)), this,
            SLOT(OnRowsAboutToBeRemoved(const QModelIndex&, int, int)));
    if (!m_bShowPreview)
        return;
    QVector<Miravel::CAreaModel*> vecAreas;
    GetAllAreaModels(vecAreas);
    // Read when there is a row to decorate: a view started before its site
    // loads has none, and loading the picture would hold up its first paint.
    Miravel::CAreaModel::RoleValues vecDecoration;
    std::vector<int> vecRows;
    for (Miravel::CAreaModel* pArea : vecAreas) {
        if (pArea->rowCount() == 0)
            continue;
        if (vecDecoration.isEmpty())
            vecDecoration = RowDecoration(tr("Preview"));
        // Nobody can listen to a model still being built: no change notices.
        const QSignalBlocker blocker(pArea);
        vecRows.resize(size_t(pArea->rowCount()));
        std::iota(vecRows.begin(), vecRows.end(), 0);
        pArea->SetRoleValues(vecRows, vecDecoration);
    }
    connect(this, SIGNAL(rowsInserted(const QModelIndex&, int, int)), this,
            SLOT(OnGroupRowsAdd(const QModelIndex&, int, int)));
}

CLinkageCameraModel::~CLinkageCameraModel() = default;

void CLinkageCameraModel::OnGroupRowsAdd(const QModelIndex& miParent, int iStart, int iEnd)
{
    // One notice may carry several rows (a site change adds cameras or groups
    // in one go): every one of them is decorated.
    for (int nRow = iStart; nRow <= iEnd; ++nRow) {
        const QModelIndex row = index(nRow, 0, miParent);
        const QVariant type = row.data(ItemTypeRole);
        if (!row.isValid() || !type.isValid())
            continue;
        if (type.toInt() == ItemTypeArea)
            DecorateGroupCameras(GetAreaIDByIndex(row));
        else if (type.toInt() == ItemTypeElement)
            DecorateRow(this, row, tr("ViewAllCamerasInGroup"));
    }
}

void CLinkageCameraModel::DecorateGroupCameras(const std::string& strAreaID)
{
    QVector<tessel::IElement*> vecElements;
    GetAllElementsByAreaID(vecElements, strAreaID);
    Miravel::CAreaModel* pArea = FindAreaModelByAreaID(strAreaID);
    if (!pArea)
        return;
    std::vector<int> vecRows;
    for (tessel::IElement* pElement : vecElements) {
        const tessel::ICamera* pCamera = tessel::AsCamera(pElement);
        if (!pCamera)
            continue;
        const QModelIndex row = pArea->GetElementIndexByElementID(pCamera->GetElementID());
        if (row.isValid())
            vecRows.push_back(row.row());
    }
    pArea->SetRoleValues(vecRows, RowDecoration(tr("ViewAllCamerasInGroup")));
}

QVariant CLinkageCameraModel::data(const QModelIndex& index, int role) const
{
    const QVariant value = Miravel::CLogicModel::data(index, role);
    if (role != Qt::ForegroundRole)
        return value;
    const QVariant keywords = headerData(0, Qt::Horizontal, FilterKeywordsRole);
    if (!keywords.isValid())
        return value;
    const QString strText = index.data(Qt::DisplayRole).toString();
    for (const QString& strKeyword : keywords.toStringList()) {
        if (!strKeyword.isNull() && strText.contains(strKeyword, Qt::CaseInsensitive))
            return CUiSingleton<tovaris::CAIColorManager>::Instance().getFilterTextClr();
    }
    return value;
}

void CLinkageCameraModel::SetCameraPlayIcon(const QModelIndex& index, bool bPlaying)
{
    if (!index.isValid())
        return;
    const tessel::ICamera* pCamera = tessel::AsCamera(FindElementByElementIndex(index));
    if (!pCamera)
        return;
    static const QIcon s_iconCamera(QString::fromLatin1(kIconCamera));
    static const QIcon s_iconPlaying(QString::fromLatin1(kIconPlaying));
    static const QIcon s_iconOffline(QString::fromLatin1(kIconOffline));
    const QIcon& icon = !pCamera->IsOnline() || !pCamera->IsEnabled() ? s_iconOffline
                        : bPlaying                                    ? s_iconPlaying
                                                                      : s_iconCamera;
    setData(index, icon, Qt::DecorationRole);
}

std::string CLinkageCameraModel::IdByIndex(const QModelIndex& index, unsigned nType, int nIdRole) const
{
    if (!index.isValid())
        return std::string();
    const QVariant type = index.data(ItemTypeRole);
    const QVariant id = index.data(nIdRole);
    if (!type.isValid() || type.toUInt() != nType || !id.isValid())
        return std::string();
    return id.toString().toStdString();
}

std::string CLinkageCameraModel::GetCameraIDByIndex(const QModelIndex& index) const
{
    return IdByIndex(index, ItemTypeElement, ElementIDRole);
}

std::string CLinkageCameraModel::GetAreaIDByIndex(const QModelIndex& index) const
{
    return IdByIndex(index, ItemTypeArea, AreaIDRole);
}

} // namespace LinkageSnapAlarm
