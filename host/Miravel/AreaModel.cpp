#include "Miravel/AreaModel.h"

#include "TesselGUIToolkit/ItemDataRole.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "tessel/ICamera.h"
#include "tessel/IGroupManager.h"
#include "tovaris/AIColorManager.h"

#include <algorithm>

namespace Miravel {

using namespace TesselGUIToolkit;

namespace {
constexpr size_t kScannedRows = 64; // groups up to this size look rows up by a scan
} // namespace

CAreaModel::CAreaModel(std::string strAreaID, const AreaLook* pLook, QObject* parent)
    : CCombinationPart(parent)
    , m_strAreaID(std::move(strAreaID))
    , m_pLook(pLook)
{
}

CAreaModel::~CAreaModel() = default;

bool CAreaModel::Accepts(const tessel::IElement* pElement) const
{
    const int nMask = m_pLook->param.nElementTypeMask;
    return pElement && (nMask == 0 || (nMask & (1 << pElement->GetElementType())) != 0);
}

bool CAreaModel::GetAllElements(QVector<tessel::IElement*>& vecElements) const
{
    vecElements.clear();
    vecElements.reserve(static_cast<int>(m_vecRows.size()));
    for (const Row& row : m_vecRows)
        vecElements.append(row.pElement);
    return true;
}

QModelIndex CAreaModel::GetElementIndexByElementID(const std::string& strElementID)
{
    if (!m_pLook->pGroupManager)
        return QModelIndex();
    return index(RowOf(m_pLook->pGroupManager->FindElement(strElementID)), 0);
}

tessel::IElement* CAreaModel::ElementAt(int nRow) const
{
    return nRow >= 0 && nRow < rowCount() ? m_vecRows[static_cast<size_t>(nRow)].pElement : nullptr;
}

int CAreaModel::RowOf(const tessel::IElement* pElement) const
{
    if (m_vecRows.size() <= kScannedRows) {
        const auto it = std::find_if(m_vecRows.begin(), m_vecRows.end(),
                                     [pElement](const Row& row) { return row.pElement == pElement; });
        return it == m_vecRows.end() ? -1 : static_cast<int>(it - m_vecRows.begin());
    }
    if (!m_bRowIndexBuilt) {
        m_hashRows.clear();
        m_hashRows.reserve(static_cast<int>(m_vecRows.size()));
        for (size_t i = 0; i < m_vecRows.size(); ++i)
            m_hashRows.insert(m_vecRows[i].pElement, static_cast<int>(i));
        m_bRowIndexBuilt = true;
    }
    return m_hashRows.value(pElement, -1);
}

void CAreaModel::AppendElements(const std::vector<tessel::IElement*>& vecElements)
{
    std::vector<tessel::IElement*> vecShown;
    vecShown.reserve(vecElements.size());
    std::copy_if(vecElements.begin(), vecElements.end(), std::back_inserter(vecShown),
                 [this](const tessel::IElement* p) { return Accepts(p) && (m_vecRows.empty() || RowOf(p) < 0); });
    if (vecShown.empty())
        return;
    const int nFirst = rowCount();
    const int nLast = nFirst + static_cast<int>(vecShown.size()) - 1;
    BeginInsertPartRows(nFirst, nLast);
    m_vecRows.reserve(m_vecRows.size() + vecShown.size());
    for (tessel::IElement* pElement : vecShown) {
        if (m_bRowIndexBuilt)
            m_hashRows.insert(pElement, static_cast<int>(m_vecRows.size()));
        m_vecRows.push_back(Row{pElement, {}, pElement->GetElementType()});
    }
    EndInsertPartRows(nFirst, nLast);
}

void CAreaModel::RemoveElements(const std::vector<tessel::IElement*>& vecElements)
{
    std::vector<int> vecRows;
    for (const tessel::IElement* pElement : vecElements) {
        const int nRow = RowOf(pElement);
        if (nRow >= 0)
            vecRows.push_back(nRow);
    }
    if (vecRows.empty())
        return;
    std::sort(vecRows.begin(), vecRows.end());
    // One notice per run of neighbouring rows, the last run first, so the
    // rows of the runs before keep their numbers.
    size_t nEnd = vecRows.size();
    while (nEnd > 0) {
        size_t nBegin = nEnd - 1;
        while (nBegin > 0 && vecRows[nBegin - 1] == vecRows[nBegin] - 1)
            --nBegin;
        const int nFirst = vecRows[nBegin];
        const int nLast = vecRows[nEnd - 1];
        BeginRemovePartRows(nFirst, nLast);
        m_vecRows.erase(m_vecRows.begin() + nFirst, m_vecRows.begin() + nLast + 1);
        m_bRowIndexBuilt = false; // the rows after the run moved up
        EndRemovePartRows();
        nEnd = nBegin;
    }
}

void CAreaModel::ElementChanged(tessel::IElement* pElement)
{
    const int nRow = RowOf(pElement);
    if (nRow < 0)
        return;
    // A state icon set from outside (playing, idle) must not hide that the
    // camera became unavailable.
    const tessel::ICamera* pCamera = tessel::AsCamera(pElement);
    if (pCamera && (!pCamera->IsOnline() || !pCamera->IsEnabled())) {
        RoleValues& vecData = OwnData(m_vecRows[static_cast<size_t>(nRow)]);
        vecData.erase(std::remove_if(vecData.begin(), vecData.end(),
                                     [](const auto& entry) { return entry.first == Qt::DecorationRole; }),
                      vecData.end());
    }
    const QModelIndex changed = index(nRow, 0);
    NotifyDataChanged(changed, changed);
}

QModelIndex CAreaModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column != 0 || row >= rowCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex CAreaModel::parent(const QModelIndex&) const
{
    return QModelIndex();
}

int CAreaModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_vecRows.size());
}

int CAreaModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant CAreaModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const Row& row = m_vecRows[static_cast<size_t>(index.row())];
    for (const auto& entry : DataOf(row)) {
        if (entry.first == role)
            return entry.second;
    }
    return ElementData(row, role);
}

QVariant CAreaModel::ElementData(const Row& row, int role) const
{
    const tessel::IElement* pElement = row.pElement;
    // Only the state roles need the camera behind the element.
    const tessel::ICamera* pCamera = nullptr;
    if (role == Qt::ForegroundRole || role == Qt::DecorationRole)
        pCamera = tessel::AsCamera(pElement);
    const bool bAvailable = !pCamera || (pCamera->IsOnline() && pCamera->IsEnabled());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(pElement->GetElementName());
    case ItemTypeRole:
        return static_cast<unsigned>(ItemTypeElement);
    case ElementIDRole:
        return QString::fromStdString(pElement->GetElementID());
    case SecondaryFilterRole:
        return row.nElementType;
    case Qt::ForegroundRole:
        if (bAvailable)
            return QVariant();
        return CUiSingleton<tovaris::CAIColorManager>::Instance().getDisabledTextClr();
    case Qt::DecorationRole:
        if (!m_pLook->param.bShowElementState)
            return QVariant();
        if (!pCamera)
            return m_pLook->iconAlarmInput;
        if (!pCamera->IsEnabled())
            return m_pLook->iconCameraDisabled;
        return pCamera->IsOnline() ? m_pLook->iconCamera : m_pLook->iconCameraOffline;
    default:
        return QVariant();
    }
}

// One shared list per role: a change notice then costs no allocation.
const QVector<int>& CAreaModel::RoleList(int nRole)
{
    static QHash<int, QVector<int>> s_hashLists;
    auto it = s_hashLists.find(nRole);
    if (it == s_hashLists.end())
        it = s_hashLists.insert(nRole, QVector<int>{nRole});
    return it.value();
}

void CAreaModel::SetRoleValue(RoleValues& vecData, int nRole, const QVariant& value)
{
    auto it = std::find_if(vecData.begin(), vecData.end(), [nRole](const auto& entry) { return entry.first == nRole; });
    if (it != vecData.end())
        it->second = value;
    else
        vecData.append({nRole, value});
}

CAreaModel::RoleValues& CAreaModel::OwnData(Row& row)
{
    if (row.bSharedData) {
        row.vecData = m_vecSharedData;
        row.bSharedData = false;
    }
    return row.vecData;
}

bool CAreaModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.model() != this || index.row() >= rowCount())
        return false;
    SetRoleValue(OwnData(m_vecRows[static_cast<size_t>(index.row())]), role, value);
    NotifyDataChanged(index, index, RoleList(role));
    return true;
}

void CAreaModel::SetRoleValues(const std::vector<int>& vecRows, const RoleValues& vecValues)
{
    if (vecValues.isEmpty())
        return;
    const int nRows = rowCount();
    int nFirst = nRows;
    int nLast = -1;
    // The first list set on rows becomes the area's shared one; it never changes.
    if (m_vecSharedData.isEmpty())
        m_vecSharedData = vecValues;
    const bool bShareable = m_vecSharedData.constData() == vecValues.constData();
    for (int nRow : vecRows) {
        if (nRow < 0 || nRow >= nRows)
            continue;
        Row& row = m_vecRows[static_cast<size_t>(nRow)];
        if (bShareable && (row.bSharedData || row.vecData.isEmpty())) {
            row.bSharedData = true;
        } else if (row.vecData.isEmpty() && !row.bSharedData) {
            row.vecData = vecValues;
        } else {
            RoleValues& vecData = OwnData(row);
            for (const auto& entry : vecValues)
                SetRoleValue(vecData, entry.first, entry.second);
        }
        nFirst = std::min(nFirst, nRow);
        nLast = std::max(nLast, nRow);
    }
    // Blocked signals tell nobody: no notice to build.
    if (nLast < 0 || signalsBlocked())
        return;
    QVector<int> vecRoles;
    for (const auto& entry : vecValues)
        vecRoles.append(entry.first);
    NotifyDataChanged(index(nFirst, 0), index(nLast, 0), vecRoles);
}

Qt::ItemFlags CAreaModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_pLook->param.bDragEnabled)
        flags |= Qt::ItemIsDragEnabled;
    if (m_pLook->param.bCheckable)
        flags |= Qt::ItemIsUserCheckable;
    if (m_pLook->param.bEditable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

} // namespace Miravel
