// Feeds arbitrary text to the site parser and the parsed site to the group
// manager. Aborts when a loaded site breaks its own rules (empty or repeated
// GUIDs in any case, elements of unknown groups, names over the limit, an unbounded list of
// messages), or when applying the same site twice is not quiet the second time.

#include <cstdint>
#include <cstdlib>
#include <set>

#include "tessel/GroupManager.h"
#include "tessel/Site.h"

namespace {

class CCounter : public tessel::IGroupManagerObserver
{
public:
    int nNotices = 0;
    void OnGroupsAdded(const std::vector<tessel::StrGUID>&) override { ++nNotices; }
    void OnGroupChanged(const tessel::StrGUID&) override { ++nNotices; }
    void OnGroupRemoved(const tessel::StrGUID&) override { ++nNotices; }
    void OnElementsAdded(const tessel::StrGUID&, const std::vector<tessel::IElement*>&) override { ++nNotices; }
    void OnElementsRemoved(const tessel::StrGUID&, const std::vector<tessel::IElement*>&) override { ++nNotices; }
    void OnElementChanged(tessel::IElement*) override { ++nNotices; }
};

void Check(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

void CheckSite(const tessel::SiteLoadResult& result)
{
    Check(result.lstMessages.size() <= tessel::kMaxSiteMessages + 1);
    Check(result.bUsable || (result.site.vecGroups.empty() && result.site.vecCameras.empty()));
    std::set<std::string> setGroups;
    for (const auto& group : result.site.vecGroups) {
        Check(!group.strGUID.empty() && setGroups.insert(group.strGUID).second);
        Check(QString::fromStdString(group.strName).size() <= tessel::kMaxSiteNameLength);
    }
    std::set<std::string> setElements;
    auto checkElement = [&](const std::string& strGUID, const std::string& strGroup, const std::string& strName) {
        // GUIDs are one whatever their case.
        Check(!strGUID.empty()
              && setElements.insert(QString::fromStdString(strGUID).toCaseFolded().toStdString()).second);
        Check(setGroups.count(strGroup) == 1);
        Check(QString::fromStdString(strName).size() <= tessel::kMaxSiteNameLength);
    };
    for (const auto& camera : result.site.vecCameras)
        checkElement(camera.strGUID, camera.strGroupID, camera.strName);
    for (const auto& input : result.site.vecAlarmInputs)
        checkElement(input.strGUID, input.strGroupID, input.strName);
    Check(setElements.size() <= size_t(tessel::kMaxSiteElements));
}

} // namespace

// Qt's per-thread data and the manager itself are made once, before the first
// input, so that the leak check of each input sees only what that input did.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    tessel::CGroupManager::Instance().ApplySite({});
    // Qt keeps the locale data that numbers in messages are written with.
    const char* const kWarmUp[] = {
        "{", R"({"groups":[{"id":"g","name":"n"}],"cameras":[{"guid":"c","name":"n","group":"g","channel":0},)"
             R"({"guid":"d","name":"n","group":"g","rights":["x"],"y":1},{"guid":"e","name":"n","group":"h"}]})"};
    for (const char* pszJson : kWarmUp)
        (void)tessel::ParseSite(QByteArray(pszJson), QStringLiteral("warm-up.json"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const QByteArray baJson(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
    const tessel::SiteLoadResult result = tessel::ParseSite(baJson, QStringLiteral("fuzz.json"));
    CheckSite(result);

    tessel::CGroupManager& groups = tessel::CGroupManager::Instance();
    groups.ApplySite(result.site);
    Check(groups.ElementCount() == result.site.vecCameras.size() + result.site.vecAlarmInputs.size());
    CCounter counter;
    groups.RegisterObserver(&counter);
    groups.ApplySite(result.site);
    groups.UnregisterObserver(&counter);
    Check(counter.nNotices == 0);
    groups.ApplySite({});
    Check(groups.ElementCount() == 0 && groups.GetAllGroups().empty());
    return 0;
}
