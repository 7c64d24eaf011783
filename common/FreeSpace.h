#pragma once

#include <QString>

#include <optional>

namespace LinkageSnapAlarm::FreeSpace {

enum class SpaceCheck { Enough, NotEnough, Unknown };

// The free space of the file system that holds strFolder (or would hold it),
// against the least that saving pictures needs.
SpaceCheck CheckFreeSpace(const QString& strFolder);
// The bytes free on the file system that holds strFolder; empty when unknown.
std::optional<qint64> FreeBytes(const QString& strFolder);

} // namespace LinkageSnapAlarm::FreeSpace
