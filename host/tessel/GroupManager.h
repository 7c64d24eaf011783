#pragma once

#include "tessel/IGroupManager.h"
#include "tessel/Site.h"

#include <QObject>

#include <memory>
#include <unordered_map>
#include <vector>

namespace tessel {

class ICamera;

// The host's process-wide groups and elements. ApplySite brings it to a new
// site and tells the observers only what changed: elements updated in place
// keep their address, so pointers handed out stay valid until the element
// leaves. Used from the GUI thread; the Qt signals mirror the observer calls
// for code that prefers connections.
class HOST_API CGroupManager : public QObject, public IGroupManager
{
    Q_OBJECT
public:
    CGroupManager();
    ~CGroupManager() override;

    static CGroupManager& Instance();

    void ApplySite(const SiteData& site);

    std::vector<GroupInfo> GetAllGroups() const override;
    bool FindGroup(const StrGUID& strGroupID, GroupInfo* pGroup) const override;
    std::vector<IElement*> GetElementsOfGroup(const StrGUID& strGroupID) const override;
    IElement* FindElement(const StrGUID& strGUID) const override;
    StrGUID GetGroupIDOfElement(const StrGUID& strGUID) const override;
    size_t ElementCount() const override { return m_mapElements.size(); }
    void RegisterObserver(IGroupManagerObserver* pObserver) override;
    void UnregisterObserver(IGroupManagerObserver* pObserver) override;

    // The camera with this GUID, or null.
    ICamera* FindCamera(const StrGUID& strGUID) const;

signals:
    void signalElementAdded(const QString& strGUID);
    void signalElementRemoved(const QString& strGUID);
    // Online, enabled or any other field of the element changed.
    void signalElementChanged(const QString& strGUID);

private:
    struct Group;
    struct SiteChanges;
    struct SiteElement;
    struct Located
    {
        IElement* pElement = nullptr;
        Group* pGroup = nullptr;
        // The site change that last found the element in the new site.
        uint64_t nSeen = 0;
        // Where the element stood in the last site applied: where the next site's
        // walk looks first.
        size_t nSitePos = 0;
    };
    using ElementEntry = std::unordered_map<StrGUID, Located>::value_type;

    ElementEntry* FindInSite(const std::string& strGUID, size_t nExpected);
    void RememberSiteOrder(const SiteData& site, std::vector<ElementEntry*>& vecOrder);
    void RemoveElements(size_t nSeen);
    void RemoveGroups(const SiteData& site);
    void UpdateAndAddGroups(const SiteData& site, SiteChanges& changes);
    void AddElements(const SiteChanges& changes);
    void UpdateElements(const SiteChanges& changes);
    IElement* Insert(Group* pGroup, const std::string& strGUID, const SiteElement& element);
    std::unique_ptr<IElement> TakeElement(Group& group, IElement* pElement);
    template <class F>
    void Notify(F fnCall);

    std::vector<std::unique_ptr<Group>> m_vecGroups;
    std::unordered_map<StrGUID, Group*> m_mapGroups;
    std::unordered_map<StrGUID, Located> m_mapElements;
    // The elements in the order of the last site applied (null where it named one
    // twice): sites mostly come back in the same order, so the walk over a new
    // site checks the element expected next before hashing its GUID.
    std::vector<ElementEntry*> m_vecSiteOrder;
    std::vector<IGroupManagerObserver*> m_vecObservers;
    uint64_t m_nGeneration = 0;
};

} // namespace tessel
