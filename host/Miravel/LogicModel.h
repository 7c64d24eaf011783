#pragma once

#include "Miravel/AreaModel.h"
#include "Miravel/LogicModelParams.h"
#include "TesselGUIToolkit/Combination_Model.h"
#include "tessel/IGroupManager.h"

#include <QIcon>
#include <QVector>

#include <memory>
#include <string>
#include <unordered_map>

namespace Miravel {

// The host's observer of the site as the UI models see it.
class HOST_API IUiSiteObserver : public tessel::IGroupManagerObserver
{
};

// The host's item model of the resource tree: one row per group (area) with
// its elements below, built from a group manager and kept up to date with it.
// Group rows: display name, ItemTypeRole 1, AreaIDRole, SecondaryFilterRole 0
// and the group icon. Element rows: display name, ItemTypeRole 2,
// ElementIDRole, SecondaryFilterRole = the element type, state icon and, for
// an unavailable camera, a dimmed foreground.
class HOST_API CLogicModel : public TesselGUIToolkit::CCombination_Model, public IUiSiteObserver
{
    Q_OBJECT
public:
    CLogicModel(const LogicNodeParam& param, std::shared_ptr<tessel::IGroupManager> spGroupManager, QObject* parent,
                const StruResouceOfElementParam& resources);
    ~CLogicModel() override;

    tessel::IElement* FindElementByElementID(const std::string& strElementID) const;
    tessel::IElement* FindElementByElementIndex(const QModelIndex& index) const;
    QModelIndex GetElementIndexByElementID(const std::string& strElementID);
    // The same for an element at hand: no GUID text to hash.
    QModelIndex GetElementIndexByElement(const tessel::IElement* pElement);
    QModelIndex GetAreaIndexByAreaID(const std::string& strAreaID) const;
    CAreaModel* FindAreaModelByAreaID(const std::string& strAreaID) const;
    bool GetAllAreaModels(QVector<CAreaModel*>& vecAreas) const;
    bool GetAllElementsByAreaID(QVector<tessel::IElement*>& vecElements, const std::string& strAreaID) const;

    // tessel::IGroupManagerObserver
    void OnGroupsAdded(const std::vector<tessel::StrGUID>& vecGroupIDs) override;
    void OnGroupChanged(const tessel::StrGUID& strGroupID) override;
    void OnGroupRemoved(const tessel::StrGUID& strGroupID) override;
    void OnElementsAdded(const tessel::StrGUID& strGroupID, const std::vector<tessel::IElement*>& vecElements) override;
    void OnElementsRemoved(const tessel::StrGUID& strGroupID,
                           const std::vector<tessel::IElement*>& vecElements) override;
    void OnElementChanged(tessel::IElement* pElement) override;

public slots:
    // Connected by subclasses to their own rowsAboutToBeRemoved: forgets the
    // groups whose rows go, so lookups never reach a group being removed.
    void OnRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);

private:
    TopRow GroupRow(const tessel::GroupInfo& group);
    // The area showing an element: its group's, when that shows it. Nothing is
    // kept per element, so a large site costs no index of its own here.
    CAreaModel* AreaOf(const tessel::IElement* pElement) const;

    AreaLook m_look;
    QIcon m_iconGroup;
    std::shared_ptr<tessel::IGroupManager> m_spGroupManager;
    std::unordered_map<std::string, CAreaModel*> m_mapAreas;
};

} // namespace Miravel
