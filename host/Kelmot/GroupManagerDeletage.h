#pragma once

#include "tessel/IGroupManager.h"

namespace Kelmot {

// Gives the plug-in's models and play windows access to the host's group
// manager. Default-constructed by its users and held by shared pointer; every
// delegate reaches the same process-wide groups (tessel::CGroupManager).
class HOST_API CGroupManagerDeletage : public tessel::IGroupManager
{
public:
    CGroupManagerDeletage();
    ~CGroupManagerDeletage() override;

    std::vector<tessel::GroupInfo> GetAllGroups() const override;
    bool FindGroup(const tessel::StrGUID& strGroupID, tessel::GroupInfo* pGroup) const override;
    std::vector<tessel::IElement*> GetElementsOfGroup(const tessel::StrGUID& strGroupID) const override;
    tessel::IElement* FindElement(const tessel::StrGUID& strGUID) const override;
    tessel::StrGUID GetGroupIDOfElement(const tessel::StrGUID& strGUID) const override;
    size_t ElementCount() const override;
    void RegisterObserver(tessel::IGroupManagerObserver* pObserver) override;
    void UnregisterObserver(tessel::IGroupManagerObserver* pObserver) override;
};

} // namespace Kelmot
