#pragma once

#include "tessel/IElement.h"

#include <string>
#include <vector>

namespace tessel {

// One group (area) of the host's resource tree.
struct HOST_API GroupInfo
{
    StrGUID strGUID;
    std::string strName;

    bool operator==(const GroupInfo& other) const { return strGUID == other.strGUID && strName == other.strName; }
};

// Base of every host observer interface.
class HOST_API IBaseObserver
{
public:
    virtual ~IBaseObserver();
};

// Told of every change of the host's groups and their elements, synchronously
// on the thread that applies the change (the GUI thread). Element pointers stay
// valid until OnElementsRemoved for them has returned to every observer.
class HOST_API IGroupManagerObserver : public IBaseObserver
{
public:
    // New groups, appended after the existing ones in this order, each already
    // holding its elements (GetElementsOfGroup).
    virtual void OnGroupsAdded(const std::vector<StrGUID>& vecGroupIDs) = 0;
    // A group's name changed.
    virtual void OnGroupChanged(const StrGUID& strGroupID) = 0;
    // A group is about to go; its elements have been removed before.
    virtual void OnGroupRemoved(const StrGUID& strGroupID) = 0;
    // Elements appended to an existing group, in this order.
    virtual void OnElementsAdded(const StrGUID& strGroupID, const std::vector<IElement*>& vecElements) = 0;
    // Elements about to leave a group; they are destroyed once this returns.
    virtual void OnElementsRemoved(const StrGUID& strGroupID, const std::vector<IElement*>& vecElements) = 0;
    // An element changed in place: its name, online or enabled state, rights...
    virtual void OnElementChanged(IElement* pElement) = 0;
};

// The host's groups and the elements (cameras, alarm inputs) in them.
class HOST_API IGroupManager
{
public:
    virtual ~IGroupManager();

    // Every group, in the site's order.
    virtual std::vector<GroupInfo> GetAllGroups() const = 0;
    virtual bool FindGroup(const StrGUID& strGroupID, GroupInfo* pGroup) const = 0;
    // The elements of a group in their order; empty for an unknown group.
    virtual std::vector<IElement*> GetElementsOfGroup(const StrGUID& strGroupID) const = 0;
    // The element with this GUID, or null.
    virtual IElement* FindElement(const StrGUID& strGUID) const = 0;
    // The group that holds the element, or empty.
    virtual StrGUID GetGroupIDOfElement(const StrGUID& strGUID) const = 0;
    virtual size_t ElementCount() const = 0;

    virtual void RegisterObserver(IGroupManagerObserver* pObserver) = 0;
    virtual void UnregisterObserver(IGroupManagerObserver* pObserver) = 0;
};

} // namespace tessel
