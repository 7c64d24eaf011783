#pragma once

// A site: the groups, cameras and alarm inputs the host shows in its resource
// tree, read from a site file (JSON; the README describes the format).
//
// How to load one:
//   - the dashboard: tessel::ApplySiteFile(path) once at start (its embedded
//     demo site is a resource path such as ":/demo/site.json"), then a
//     tessel::CSiteFileWatcher on a file given with --site keeps the tree in
//     step with the file while the dashboard runs;
//   - tests: build a tessel::SiteData in code (or ParseSite over JSON text) and
//     hand it to tessel::CGroupManager::Instance().ApplySite(site); apply an
//     empty SiteData to clear the process-wide site again.
// Every bad item is skipped with a message naming the file, the item and the
// field; the rest of the site still loads. GUIDs are compared without regard to
// case, as the host compares them.

#include "tessel/IAlarmInput.h"
#include "tessel/ICamera.h"
#include "tessel/IGroupManager.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace tessel {

struct HOST_API SiteData
{
    std::vector<GroupInfo> vecGroups;
    std::vector<CameraInfo> vecCameras;
    std::vector<AlarmInputInfo> vecAlarmInputs;
};

struct HOST_API SiteLoadResult
{
    SiteData site;
    // False when the file as a whole could not be used (missing, unreadable,
    // not JSON, no groups): the caller keeps the site it has.
    bool bUsable = false;
    // One line per problem: "<file>: <item>: field "<key>": <what>; <consequence>".
    QStringList lstMessages;
};

// Limits that keep a broken or hostile file from freezing the dashboard.
constexpr int kMaxSiteElements = 50000;
constexpr int kMaxSiteNameLength = 256;
constexpr int kMaxSiteIdLength = 128;
// A stream address longer than this is no camera's: it is refused before it reaches a server.
constexpr int kMaxSiteStreamLength = 2048;
constexpr qint64 kMaxSiteFileBytes = 64 * 1024 * 1024;
constexpr int kMaxSiteMessages = 200;

// Parses site JSON; strSource names the file in the messages.
HOST_API SiteLoadResult ParseSite(const QByteArray& baJson, const QString& strSource);
// Reads and parses a site file (a path or a Qt resource path).
HOST_API SiteLoadResult LoadSiteFile(const QString& strPath);
// Loads a site file into the process-wide group manager when it is usable.
HOST_API SiteLoadResult ApplySiteFile(const QString& strPath);

} // namespace tessel
