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

// The current user's rights on host resources. Everything is granted unless the
// host (or a test) denies a (module, right, resource) triple.
class HOST_API CPermissionManager : public QObject
{
    Q_OBJECT
public:
    CPermissionManager();
    ~CPermissionManager() override;

    bool verityResPermission(int nModule, int nRight, const std::string& strResGuid, QWidget* pParent,
                             ShowNoPrivilegeWay eWay);

    void Deny(int nModule, int nRight, const std::string& strResGuid);
    void GrantAll();

private:
    std::mutex m_mutex;
    std::set<std::tuple<int, int, std::string>> m_setDenied;
};

} // namespace Miravel
