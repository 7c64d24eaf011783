#include "tessel/GroupManager.h"

#include "Fendra/SingletonImpl.h"
#include "tessel/IAlarmInput.h"
#include "tessel/ICamera.h"

#include <algorithm>
#include <string_view>

namespace tessel {

IBaseObserver::~IBaseObserver() = default;
IGroupManager::~IGroupManager() = default;

struct CGroupManager::Group
{
    GroupInfo info;
    std::vector<std::unique_ptr<IElement>> vecElements;
    // The site change that last found the group in the new site.
    uint64_t nSeen = 0;
};

// Where an element of the new site is described.
struct CGroupManager::SiteElement
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
    bool Differs(const IElement* pElement) const
    {
        if (pCamera)
            return static_cast<const CCamera*>(pElement)->Info() != *pCamera;
        return static_cast<const CAlarmInput*>(pElement)->Info() != *pAlarmInput;
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

// What a new site changes, found in one pass over it.
struct CGroupManager::SiteChanges
{
    struct Added
    {
        const std::string* pGUID; // null once placed in a new group
        SiteElement element;
    };
    struct Changed
    {
        IElement* pElement;
        SiteElement element;
    };
    std::vector<Added> vecAdded;
    std::vector<Changed> vecChanged;
};

namespace {

// The GUID of an element the manager made, without a copy.
const std::string& IdOf(const IElement* pElement)
{
    if (pElement->GetElementType() == ElementTypeCamera)
        return static_cast<const CCamera*>(pElement)->Info().strGUID;
    return static_cast<const CAlarmInput*>(pElement)->Info().strGUID;
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
    // At most one look-up per element of the new site (none when it stands where
    // the last site had it): what stays is marked, what changed is remembered,
    // what is new waits until the old has gone.
    ++m_nGeneration;
    SiteChanges changes;
    std::vector<ElementEntry*> vecOrder;
    vecOrder.reserve(site.vecCameras.size() + site.vecAlarmInputs.size());
    size_t nExpected = 0; // where the last site had the element expected next
    size_t nSeen = 0;
    auto visit = [&](const std::string& strGUID, const SiteElement& element) {
        ElementEntry* pEntry = FindInSite(strGUID, nExpected);
        if (pEntry)
            nExpected = pEntry->second.nSitePos + 1;
        Located* pLocated = pEntry ? &pEntry->second : nullptr;
        if (!pLocated || pLocated->pGroup->info.strGUID != element.GroupID()
            || pLocated->pElement->GetElementType() != element.Type()) {
            // New, or moved to another group or kind: it leaves (if there) and comes back.
            changes.vecAdded.push_back({&strGUID, element});
            vecOrder.push_back(nullptr); // found again once placed
            return;
        }
        if (pLocated->nSeen != m_nGeneration)
            ++nSeen;
        pLocated->nSeen = m_nGeneration;
        vecOrder.push_back(pEntry);
        if (element.Differs(pLocated->pElement))
            changes.vecChanged.push_back({pLocated->pElement, element});
    };
    for (const CameraInfo& camera : site.vecCameras)
        visit(camera.strGUID, SiteElement{&camera, nullptr});
    for (const AlarmInputInfo& input : site.vecAlarmInputs)
        visit(input.strGUID, SiteElement{nullptr, &input});

    RemoveElements(nSeen);
    RemoveGroups(site);
    UpdateAndAddGroups(site, changes);
    AddElements(changes);
    UpdateElements(changes);
    RememberSiteOrder(site, vecOrder);
}

CGroupManager::ElementEntry* CGroupManager::FindInSite(const std::string& strGUID, size_t nExpected)
{
    if (nExpected < m_vecSiteOrder.size()) {
        ElementEntry* pEntry = m_vecSiteOrder[nExpected];
        if (pEntry && pEntry->first == strGUID)
            return pEntry;
    }
    const auto it = m_mapElements.find(strGUID);
    return it == m_mapElements.end() ? nullptr : &*it;
}

void CGroupManager::RememberSiteOrder(const SiteData& site, std::vector<ElementEntry*>& vecOrder)
{
    // Entries of elements that stayed are still valid (map nodes do not move);
    // those placed in this change are looked up once.
    const size_t nCameras = site.vecCameras.size();
    for (size_t i = 0; i < vecOrder.size(); ++i) {
        if (!vecOrder[i]) {
            const std::string& strGUID =
                i < nCameras ? site.vecCameras[i].strGUID : site.vecAlarmInputs[i - nCameras].strGUID;
            const auto it = m_mapElements.find(strGUID);
            if (it != m_mapElements.end())
                vecOrder[i] = &*it;
        }
        if (vecOrder[i])
            vecOrder[i]->second.nSitePos = i;
    }
    m_vecSiteOrder = std::move(vecOrder);
}

void CGroupManager::RemoveElements(size_t nSeen)
{
    if (nSeen == m_mapElements.size())
        return; // every element is still in the site
    for (const auto& upGroup : m_vecGroups) {
        std::vector<IElement*> vecGone;
        for (const auto& upElement : upGroup->vecElements) {
            if (m_mapElements[IdOf(upElement.get())].nSeen != m_nGeneration)
                vecGone.push_back(upElement.get());
        }
        if (vecGone.empty())
            continue;
        Notify([&](IGroupManagerObserver* p) { p->OnElementsRemoved(upGroup->info.strGUID, vecGone); });
        for (IElement* pElement : vecGone) {
            const QString strGUID = QString::fromStdString(IdOf(pElement));
            m_mapElements.erase(IdOf(pElement));
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
    for (const GroupInfo& group : site.vecGroups) {
        const auto it = m_mapGroups.find(group.strGUID);
        if (it != m_mapGroups.end())
            it->second->nSeen = m_nGeneration;
    }
    for (size_t i = m_vecGroups.size(); i-- > 0;) {
        Group& group = *m_vecGroups[i];
        if (group.nSeen == m_nGeneration)
            continue;
        // Elements of a group that leaves have left before (they are not in the new site under it).
        Notify([&](IGroupManagerObserver* p) { p->OnGroupRemoved(group.info.strGUID); });
        m_mapGroups.erase(group.info.strGUID);
        m_vecGroups.erase(m_vecGroups.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

IElement* CGroupManager::Insert(Group* pGroup, const std::string& strGUID, const SiteElement& element)
{
    if (m_mapElements.count(strGUID))
        return nullptr; // named twice in a site built in code
    pGroup->vecElements.push_back(element.Create());
    IElement* pElement = pGroup->vecElements.back().get();
    m_mapElements.emplace(strGUID, Located{pElement, pGroup, m_nGeneration});
    return pElement;
}

void CGroupManager::UpdateAndAddGroups(const SiteData& site, SiteChanges& changes)
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
    for (auto& added : changes.vecAdded) {
        const auto it = mapAdded.find(added.element.GroupID());
        if (it != mapAdded.end() && Insert(it->second, *added.pGUID, added.element))
            added.pGUID = nullptr; // done
    }
    Notify([&](IGroupManagerObserver* p) { p->OnGroupsAdded(vecAdded); });
    for (const StrGUID& strGroupID : vecAdded) {
        for (const auto& upElement : mapAdded[strGroupID]->vecElements)
            emit signalElementAdded(QString::fromStdString(IdOf(upElement.get())));
    }
}

void CGroupManager::AddElements(const SiteChanges& changes)
{
    std::unordered_map<Group*, std::vector<IElement*>> mapAdded;
    std::vector<Group*> vecOrder;
    for (const auto& added : changes.vecAdded) {
        if (!added.pGUID)
            continue;
        const auto itGroup = m_mapGroups.find(added.element.GroupID());
        if (itGroup == m_mapGroups.end())
            continue; // a site built in code may name a group it lacks
        IElement* pElement = Insert(itGroup->second, *added.pGUID, added.element);
        if (!pElement)
            continue;
        auto& vecAdded = mapAdded[itGroup->second];
        if (vecAdded.empty())
            vecOrder.push_back(itGroup->second);
        vecAdded.push_back(pElement);
    }
    for (Group* pGroup : vecOrder) {
        const std::vector<IElement*>& vecAdded = mapAdded[pGroup];
        Notify([&](IGroupManagerObserver* p) { p->OnElementsAdded(pGroup->info.strGUID, vecAdded); });
        for (IElement* pElement : vecAdded)
            emit signalElementAdded(QString::fromStdString(IdOf(pElement)));
    }
}

void CGroupManager::UpdateElements(const SiteChanges& changes)
{
    for (const auto& changed : changes.vecChanged) {
        if (!changed.element.Update(changed.pElement))
            continue;
        Notify([&](IGroupManagerObserver* p) { p->OnElementChanged(changed.pElement); });
        emit signalElementChanged(QString::fromStdString(IdOf(changed.pElement)));
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
    return AsCamera(FindElement(strGUID));
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

FENDRA_HOST_SINGLETON(tessel::CGroupManager)
