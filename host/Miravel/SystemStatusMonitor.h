#pragma once

#include "HostExport.h"

#include <QObject>

#include <cstdint>

namespace Miravel {

// The client's view of its own resources; screenshots ask it for disk space.
class HOST_API CSystemStatusMonitor : public QObject
{
    Q_OBJECT
public:
    // Free space below which no screenshot is taken.
    static constexpr std::uint64_t kMinSnapshotFreeMiB = 100;

    CSystemStatusMonitor();
    ~CSystemStatusMonitor() override;

    // True when the snapshot folder's file system has room for more pictures.
    bool IsSnapshotSpaceEnough() const;
};

} // namespace Miravel
