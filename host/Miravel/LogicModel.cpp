#include "Miravel/LogicModel.h"

#include "TesselGUIToolkit/ItemDataRole.h"
#include "TesselGUIToolkit/SharedIcon.h"

namespace Miravel {

using namespace TesselGUIToolkit;

CLogicModel::CLogicModel(const LogicNodeParam& param, std::shared_ptr<tessel::IGroupManager> spGroupManager,
                         QObject* parent, const StruResouceOfElementParam& resources)
    : CCombination_Model(parent)
    , m_iconGroup(SharedIcon(resources.strGroupIcon))
    , m_spGroupManager(std::move(spGroupManager))
{
    m_look.param = param;
    m_look.pGroupManager = m_spGroupManager.get();
    m_look.iconCamera = SharedIcon(resources.strCameraIcon);
    m_look.iconCameraOffline = SharedIcon(resources.strCameraOfflineIcon);
    m_look.iconCameraDisabled = SharedIcon(resources.strCameraDisabledIcon);
    m_look.iconAlarmInput = SharedIcon(resources.strAlarmInputIcon);
    Qt::ItemFlags topFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (param.bDragEnabled)
        topFlags |= Qt::ItemIsDragEnabled;
    SetTopRowFlags(topFlags);
    if (!m_spGroupManager)
        return;
    std::vector<tessel::StrGUID> vecGroups;
    for (const tessel::GroupInfo& group : m_spGroupManager->GetAllGroups())
        vecGroups.push_back(group.strGUID);
    OnGroupsAdded(vecGroups);
    m_spGroupManager->RegisterObserver(this);
}

CLogicModel::~CLogicModel()
{
    if (m_spGroupManager)
        m_spGroupManager->UnregisterObserver(this);
}

CCombination_Model::TopRow CLogicModel::GroupRow(const tessel::GroupInfo& group)
{
    TopRow row;
    auto* pArea = new CAreaModel(group.strGUID, &m_look, this);
    pArea->AppendElements(m_spGroupManager->GetElementsOfGroup(group.strGUID));
    m_mapAreas[group.strGUID] = pArea;
    row.pPart = pArea;
    row.data = {{Qt::DisplayRole, QString::fromStdString(group.strName)},
                {ItemTypeRole, static_cast<unsigned>(ItemTypeArea)},
                {AreaIDRole, QString::fromStdString(group.strGUID)},
                {SecondaryFilterRole, 0},
                {Qt::DecorationRole, m_iconGroup}};
    return row;
}

void CLogicModel::OnGroupsAdded(const std::vector<tessel::StrGUID>& vecGroupIDs)
{
    std::vector<TopRow> vecRows;
    for (const tessel::StrGUID& strGroupID : vecGroupIDs) {
        tessel::GroupInfo group;
        const QString& strRoot = m_look.param.strRootAreaID;
        if (m_mapAreas.count(strGroupID) || !m_spGroupManager->FindGroup(strGroupID, &group)
            || (!strRoot.isEmpty() && strRoot.toStdString() != strGroupID))
            continue;
        vecRows.push_back(GroupRow(group));
    }
    InsertTopRows(TopRowCount(), std::move(vecRows));
}

void CLogicModel::OnGroupChanged(const tessel::StrGUID& strGroupID)
{
    tessel::GroupInfo group;
    const QModelIndex area = GetAreaIndexByAreaID(strGroupID);
    if (area.isValid() && m_spGroupManager->FindGroup(strGroupID, &group))
        setData(area, QString::fromStdString(group.strName), Qt::DisplayRole);
}

void CLogicModel::OnGroupRemoved(const tessel::StrGUID& strGroupID)
{
    const QModelIndex area = GetAreaIndexByAreaID(strGroupID);
    if (!area.isValid())
        return;
    auto* pPart = qobject_cast<CAreaModel*>(PartAt(area.row()));
    RemoveTopRows(area.row(), 1);
    m_mapAreas.erase(strGroupID);
    delete pPart;
}

void CLogicModel::OnElementsAdded(const tessel::StrGUID& strGroupID, const std::vector<tessel::IElement*>& vecElements)
{
    if (CAreaModel* pArea = FindAreaModelByAreaID(strGroupID))
        pArea->AppendElements(vecElements);
}

void CLogicModel::OnElementsRemoved(const tessel::StrGUID& strGroupID,
                                    const std::vector<tessel::IElement*>& vecElements)
{
    if (CAreaModel* pArea = FindAreaModelByAreaID(strGroupID))
        pArea->RemoveElements(vecElements);
}

void CLogicModel::OnElementChanged(tessel::IElement* pElement)
{
    if (!pElement)
        return;
    if (CAreaModel* pArea = AreaOf(pElement))
        pArea->ElementChanged(pElement);
}

void CLogicModel::OnRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last)
{
    if (parent.isValid())
        return;
    for (int nRow = first; nRow <= last; ++nRow) {
        if (const auto* pArea = qobject_cast<const CAreaModel*>(PartAt(nRow)))
            m_mapAreas.erase(pArea->AreaID());
    }
}

CAreaModel* CLogicModel::AreaOf(const tessel::IElement* pElement) const
{
    if (!pElement || !m_spGroupManager)
        return nullptr;
    CAreaModel* pArea = FindAreaModelByAreaID(m_spGroupManager->GetGroupIDOfElement(pElement->GetElementID()));
    return pArea && pArea->RowOf(pElement) >= 0 ? pArea : nullptr;
}

tessel::IElement* CLogicModel::FindElementByElementID(const std::string& strElementID) const
{
    if (strElementID.empty() || !m_spGroupManager)
        return nullptr;
    tessel::IElement* pElement = m_spGroupManager->FindElement(strElementID);
    return pElement && AreaOf(pElement) ? pElement : nullptr;
}

tessel::IElement* CLogicModel::FindElementByElementIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || !index.parent().isValid())
        return nullptr;
    const auto* pArea = qobject_cast<const CAreaModel*>(PartAt(index.parent().row()));
    return pArea ? pArea->ElementAt(index.row()) : nullptr;
}

QModelIndex CLogicModel::GetElementIndexByElementID(const std::string& strElementID)
{
    return GetElementIndexByElement(m_spGroupManager ? m_spGroupManager->FindElement(strElementID) : nullptr);
}

QModelIndex CLogicModel::GetElementIndexByElement(const tessel::IElement* pElement)
{
    CAreaModel* pArea = pElement ? AreaOf(pElement) : nullptr;
    return pArea ? MapFromPart(pArea->index(pArea->RowOf(pElement), 0)) : QModelIndex();
}

QModelIndex CLogicModel::GetAreaIndexByAreaID(const std::string& strAreaID) const
{
    const CAreaModel* pArea = FindAreaModelByAreaID(strAreaID);
    return pArea ? index(TopRowOfPart(pArea), 0) : QModelIndex();
}

CAreaModel* CLogicModel::FindAreaModelByAreaID(const std::string& strAreaID) const
{
    const auto it = m_mapAreas.find(strAreaID);
    return it == m_mapAreas.end() ? nullptr : it->second;
}

bool CLogicModel::GetAllAreaModels(QVector<CAreaModel*>& vecAreas) const
{
    vecAreas.clear();
    for (int nRow = 0; nRow < TopRowCount(); ++nRow) {
        if (auto* pArea = qobject_cast<CAreaModel*>(PartAt(nRow)))
            vecAreas.append(pArea);
    }
    return true;
}

bool CLogicModel::GetAllElementsByAreaID(QVector<tessel::IElement*>& vecElements, const std::string& strAreaID) const
{
    vecElements.clear();
    const CAreaModel* pArea = FindAreaModelByAreaID(strAreaID);
    return pArea && pArea->GetAllElements(vecElements);
}

} // namespace Miravel
