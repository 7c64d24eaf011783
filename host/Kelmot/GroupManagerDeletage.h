#pragma once

#include "HostExport.h"

namespace Kelmot {

// Gives the plug-in's models and play windows access to the host's group
// manager. Default-constructed by its users and held by shared pointer; every
// delegate reaches the same process-wide groups.
class HOST_API CGroupManagerDeletage
{
public:
    CGroupManagerDeletage();
    ~CGroupManagerDeletage();
};

} // namespace Kelmot
