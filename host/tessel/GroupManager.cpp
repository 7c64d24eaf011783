#include "tessel/GroupManager.h"

#include "Fendra/Singleton.h"
#include "tessel/IAlarmInput.h"
#include "tessel/ICamera.h"

#include <algorithm>
#include <unordered_set>

namespace tessel {

IBaseObserver::~IBaseObserver() = default;
IGroupManager::~IGroupManager() = default;

struct CGroupManager::Group
{
    GroupInfo info;
    std::vector<std::unique_ptr<IElement>> vecElements;
};

namespace {

// Where an element of the new site is described.
struct SiteElement
{
    const CameraInfo* pCamera = nullptr;
    const AlarmInputInfo* pAlarmInput = nullptr;

    const std::string& GroupID() const { return pCamera ? pCamera->strGroupID : pAlarmInput->strGroupID; }
    int32_t Type() const { return pCamera ? ElementTypeCamera : ElementTypeAlarmInput; }
    std::unique_ptr<IElement> Create() const
    {
        if (pCamera)
            return std::make_unique<CCamera>(*pCamera);
        return std::make_unique<CAlarmInput>(*pAlarmInput);
    }
    // Brings an existing element of the same type up to date; true if it changed.
    bool Update(IElement* pElement) const
    {
        if (pCamera) {
            auto* pExisting = static_cast<CCamera*>(pElement);
            if (pExisting->Info() == *pCamera)
                return false;
            pExisting->SetInfo(*pCamera);
            return true;
        }
        auto* pExisting = static_cast<CAlarmInput*>(pElement);
        if (pExisting->Info() == *pAlarmInput)
            return false;
        pExisting->SetInfo(*pAlarmInput);
        return true;
    }
};

std::unordered_map<StrGUID, SiteElement> IndexElements(const SiteData& site)
{
    std::unordered_map<StrGUID, SiteElement> mapElements;
    mapElements.reserve(site.vecCameras.size() + site.vecAlarmInputs.size());
    for (const CameraInfo& camera : site.vecCameras)
        mapElements.emplace(camera.strGUID, SiteElement{&camera, nullptr});
    for (const AlarmInputInfo& input : site.vecAlarmInputs)
        mapElements.emplace(input.strGUID, SiteElement{nullptr, &input});
    return mapElements;
}

} // namespace

CGroupManager::CGroupManager() = default;

CGroupManager::~CGroupManager() = default;

CGroupManager& CGroupManager::Instance()
{
    return Fendra::CSingleton<CGroupManager>::Instance();
}

template <class F>
void CGroupManager::Notify(F fnCall)
{
    // An observer may unregister itself (or another) while being told.
    const std::vector<IGroupManagerObserver*> vecObservers = m_vecObservers;
    for (IGroupManagerObserver* pObserver : vecObservers) {
        if (std::find(m_vecObservers.begin(), m_vecObservers.end(), pObserver) != m_vecObservers.end())
            fnCall(pObserver);
    }
}

void CGroupManager::ApplySite(const SiteData& site)
{
    RemoveElements(site);
    RemoveGroups(site);
    UpdateAndAddGroups(site);
    AddAndUpdateElements(site);
}

void CGroupManager::RemoveElements(const SiteData& site)
{
    const auto mapNew = IndexElements(site);
    for (const auto& upGroup : m_vecGroups) {
        std::vector<IElement*> vecGone;
        for (const auto& upElement : upGroup->vecElements) {
            const auto it = mapNew.find(upElement->GetElementID());
            // A camera that moves to another group or changes kind leaves and comes back.
            if (it == mapNew.end() || it->second.GroupID() != upGroup->info.strGUID
                || it->second.Type() != upElement->GetElementType())
                vecGone.push_back(upElement.get());
        }
        if (vecGone.empty())
            continue;
        Notify([&](IGroupManagerObserver* p) { p->OnElementsRemoved(upGroup->info.strGUID, vecGone); });
        for (IElement* pElement : vecGone) {
            const QString strGUID = QString::fromStdString(pElement->GetElementID());
            m_mapElements.erase(pElement->GetElementID());
            TakeElement(*upGroup, pElement);
            emit signalElementRemoved(strGUID);
        }
    }
}

std::unique_ptr<IElement> CGroupManager::TakeElement(Group& group, IElement* pElement)
{
    auto it = std::find_if(group.vecElements.begin(), group.vecElements.end(),
                           [pElement](const std::unique_ptr<IElement>& up) { return up.get() == pElement; });
    std::unique_ptr<IElement> upTaken = std::move(*it);
    group.vecElements.erase(it);
    return upTaken;
}

void CGroupManager::RemoveGroups(const SiteData& site)
{
    std::unordered_set<StrGUID> setNew;
    for (const GroupInfo& group : site.vecGroups)
        setNew.insert(group.strGUID);
    for (size_t i = m_vecGroups.size(); i-- > 0;) {
        Group& group = *m_vecGroups[i];
        if (setNew.count(group.info.strGUID))
            continue;
        // Elements of a group that leaves have left before (they are not in the new site under it).
        Notify([&](IGroupManagerObserver* p) { p->OnGroupRemoved(group.info.strGUID); });
        m_mapGroups.erase(group.info.strGUID);
        m_vecGroups.erase(m_vecGroups.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CGroupManager::UpdateAndAddGroups(const SiteData& site)
{
    std::vector<StrGUID> vecAdded;
    std::unordered_map<StrGUID, Group*> mapAdded;
    for (const GroupInfo& info : site.vecGroups) {
        const auto it = m_mapGroups.find(info.strGUID);
        if (it != m_mapGroups.end()) {
            if (it->second->info.strName != info.strName) {
                it->second->info = info;
                Notify([&](IGroupManagerObserver* p) { p->OnGroupChanged(info.strGUID); });
            }
            continue;
        }
        if (mapAdded.count(info.strGUID))
            continue;
        m_vecGroups.push_back(std::make_unique<Group>());
        Group* pGroup = m_vecGroups.back().get();
        pGroup->info = info;
        m_mapGroups.emplace(info.strGUID, pGroup);
        mapAdded.emplace(info.strGUID, pGroup);
        vecAdded.push_back(info.strGUID);
    }
    if (vecAdded.empty())
        return;
    // New groups arrive holding their elements.
    auto addTo = [&](const std::string& strGUID, const std::string& strGroupID, const SiteElement& element) {
        const auto it = mapAdded.find(strGroupID);
        if (it == mapAdded.end() || m_mapElements.count(strGUID))
            return;
        it->second->vecElements.push_back(element.Create());
        m_mapElements.emplace(strGUID, Located{it->second->vecElements.back().get(), it->second});
    };
    for (const CameraInfo& camera : site.vecCameras)
        addTo(camera.strGUID, camera.strGroupID, SiteElement{&camera, nullptr});
    for (const AlarmInputInfo& input : site.vecAlarmInputs)
        addTo(input.strGUID, input.strGroupID, SiteElement{nullptr, &input});
    Notify([&](IGroupManagerObserver* p) { p->OnGroupsAdded(vecAdded); });
    for (const StrGUID& strGroupID : vecAdded) {
        for (const auto& upElement : mapAdded[strGroupID]->vecElements)
            emit signalElementAdded(QString::fromStdString(upElement->GetElementID()));
    }
}

void CGroupManager::AddAndUpdateElements(const SiteData& site)
{
    std::unordered_map<Group*, std::vector<IElement*>> mapAdded;
    std::vector<Group*> vecOrder;
    auto apply = [&](const std::string& strGUID, const SiteElement& element) {
        const auto itElement = m_mapElements.find(strGUID);
        if (itElement != m_mapElements.end()) {
            IElement* pElement = itElement->second.pElement;
            if (element.Update(pElement)) {
                Notify([&](IGroupManagerObserver* p) { p->OnElementChanged(pElement); });
                emit signalElementChanged(QString::fromStdString(strGUID));
            }
            return;
        }
        const auto itGroup = m_mapGroups.find(element.GroupID());
        if (itGroup == m_mapGroups.end())
            return; // a site built in code may name a group it lacks
        Group* pGroup = itGroup->second;
        pGroup->vecElements.push_back(element.Create());
        m_mapElements.emplace(strGUID, Located{pGroup->vecElements.back().get(), pGroup});
        auto& vecAdded = mapAdded[pGroup];
        if (vecAdded.empty())
            vecOrder.push_back(pGroup);
        vecAdded.push_back(pGroup->vecElements.back().get());
    };
    for (const CameraInfo& camera : site.vecCameras)
        apply(camera.strGUID, SiteElement{&camera, nullptr});
    for (const AlarmInputInfo& input : site.vecAlarmInputs)
        apply(input.strGUID, SiteElement{nullptr, &input});
    for (Group* pGroup : vecOrder) {
        const std::vector<IElement*>& vecAdded = mapAdded[pGroup];
        Notify([&](IGroupManagerObserver* p) { p->OnElementsAdded(pGroup->info.strGUID, vecAdded); });
        for (IElement* pElement : vecAdded)
            emit signalElementAdded(QString::fromStdString(pElement->GetElementID()));
    }
}

std::vector<GroupInfo> CGroupManager::GetAllGroups() const
{
    std::vector<GroupInfo> vecGroups;
    vecGroups.reserve(m_vecGroups.size());
    for (const auto& upGroup : m_vecGroups)
        vecGroups.push_back(upGroup->info);
    return vecGroups;
}

bool CGroupManager::FindGroup(const StrGUID& strGroupID, GroupInfo* pGroup) const
{
    const auto it = m_mapGroups.find(strGroupID);
    if (it == m_mapGroups.end())
        return false;
    if (pGroup)
        *pGroup = it->second->info;
    return true;
}

std::vector<IElement*> CGroupManager::GetElementsOfGroup(const StrGUID& strGroupID) const
{
    std::vector<IElement*> vecElements;
    const auto it = m_mapGroups.find(strGroupID);
    if (it == m_mapGroups.end())
        return vecElements;
    vecElements.reserve(it->second->vecElements.size());
    for (const auto& upElement : it->second->vecElements)
        vecElements.push_back(upElement.get());
    return vecElements;
}

IElement* CGroupManager::FindElement(const StrGUID& strGUID) const
{
    const auto it = m_mapElements.find(strGUID);
    return it == m_mapElements.end() ? nullptr : it->second.pElement;
}

StrGUID CGroupManager::GetGroupIDOfElement(const StrGUID& strGUID) const
{
    const auto it = m_mapElements.find(strGUID);
    return it == m_mapElements.end() ? StrGUID() : it->second.pGroup->info.strGUID;
}

ICamera* CGroupManager::FindCamera(const StrGUID& strGUID) const
{
    return dynamic_cast<ICamera*>(FindElement(strGUID));
}

void CGroupManager::RegisterObserver(IGroupManagerObserver* pObserver)
{
    if (pObserver && std::find(m_vecObservers.begin(), m_vecObservers.end(), pObserver) == m_vecObservers.end())
        m_vecObservers.push_back(pObserver);
}

void CGroupManager::UnregisterObserver(IGroupManagerObserver* pObserver)
{
    m_vecObservers.erase(std::remove(m_vecObservers.begin(), m_vecObservers.end(), pObserver), m_vecObservers.end());
}

} // namespace tessel
