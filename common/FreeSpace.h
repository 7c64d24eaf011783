#pragma once

#include <QString>

namespace LinkageSnapAlarm::FreeSpace {

enum class SpaceCheck { Enough, NotEnough, Unknown };

// The free space of the file system that holds strFolder (or would hold it),
// against the least that saving pictures needs.
SpaceCheck CheckFreeSpace(const QString& strFolder);

} // namespace LinkageSnapAlarm::FreeSpace
