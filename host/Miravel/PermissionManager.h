#pragma once

#include "HostExport.h"

#include <QObject>

#include <mutex>
#include <set>
#include <string>
#include <tuple>

class QWidget;

namespace Miravel {

// How a refused permission is told to the user: 0 silently, 1 with a notice.
enum ShowNoPrivilegeWay { NoPrivilegeSilent = 0, NoPrivilegeNotice = 1 };

// Resource modules and the camera right codes that verityResPermission takes.
enum PermissionModule { PermissionModuleCamera = 2 };
enum CameraRightCode {
    RightCodeLiveView = 1,
    RightCodePTZ = 2,
    RightCodeScreenshot = 3,
    RightCodeRecord = 4,
    RightCodePlayback = 5,
    RightCodeSound = 6,
};

// The current user's rights on host resources. For cameras (module 2) the
// rights come from the camera's record in the site: a camera the site does not
// hold, or a right code it does not know, is refused. Beyond that the host (or
// a test) may deny any (module, right, resource) triple.
class HOST_API CPermissionManager : public QObject
{
    Q_OBJECT
public:
    CPermissionManager();
    ~CPermissionManager() override;

    // Refused with eWay 1 shows the host's "NoPermission" notice.
    bool verityResPermission(int nModule, int nRight, const std::string& strResGuid, QWidget* pParent,
                             ShowNoPrivilegeWay eWay);

    void Deny(int nModule, int nRight, const std::string& strResGuid);
    void GrantAll();

private:
    bool IsGranted(int nModule, int nRight, const std::string& strResGuid);

    std::mutex m_mutex;
    std::set<std::tuple<int, int, std::string>> m_setDenied;
};

} // namespace Miravel
