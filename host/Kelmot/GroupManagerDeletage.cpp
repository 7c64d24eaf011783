#include "Kelmot/GroupManagerDeletage.h"

#include "tessel/GroupManager.h"

namespace Kelmot {
namespace {
// The process-wide manager lives until exit: found once, not on every call.
tessel::CGroupManager& Groups()
{
    static tessel::CGroupManager& s_groups = tessel::CGroupManager::Instance();
    return s_groups;
}
} // namespace

CGroupManagerDeletage::CGroupManagerDeletage() = default;
CGroupManagerDeletage::~CGroupManagerDeletage() = default;

std::vector<tessel::GroupInfo> CGroupManagerDeletage::GetAllGroups() const
{
    return Groups().GetAllGroups();
}

bool CGroupManagerDeletage::FindGroup(const tessel::StrGUID& strGroupID, tessel::GroupInfo* pGroup) const
{
    return Groups().FindGroup(strGroupID, pGroup);
}

std::vector<tessel::IElement*> CGroupManagerDeletage::GetElementsOfGroup(const tessel::StrGUID& strGroupID) const
{
    return Groups().GetElementsOfGroup(strGroupID);
}

tessel::IElement* CGroupManagerDeletage::FindElement(const tessel::StrGUID& strGUID) const
{
    return Groups().FindElement(strGUID);
}

tessel::StrGUID CGroupManagerDeletage::GetGroupIDOfElement(const tessel::StrGUID& strGUID) const
{
    return Groups().GetGroupIDOfElement(strGUID);
}

size_t CGroupManagerDeletage::ElementCount() const
{
    return Groups().ElementCount();
}

void CGroupManagerDeletage::RegisterObserver(tessel::IGroupManagerObserver* pObserver)
{
    Groups().RegisterObserver(pObserver);
}

void CGroupManagerDeletage::UnregisterObserver(tessel::IGroupManagerObserver* pObserver)
{
    Groups().UnregisterObserver(pObserver);
}

} // namespace Kelmot
