#pragma once

#include "HostExport.h"

#include <string>

namespace Ostrel {

// The host's per-user data folders, reached through Fendra::CSingleton.
class HOST_API CUserDataPath
{
public:
    CUserDataPath();

    // The folder in which components keep their data, in the local 8-bit
    // encoding and ending in a separator; created when missing.
    std::string componentPath() const;
    // Screenshots, recordings and logs of the client, each in its own folder
    // under the user data path; same encoding and form as componentPath().
    std::string snapshotPath() const;
    std::string recordPath() const;
    std::string logPath() const;
};

} // namespace Ostrel
