#pragma once

#include <QString>

namespace LinkageSnapAlarm::DatabaseFiles {

// Moves a damaged SQLite file and whatever journal belongs to it aside under a
// time-stamped name beside it ("<file>.damaged-yyyyMMdd-HHmmss"), so that a
// fresh database can take its place and the user's data is never deleted.
// Returns the new name, or an empty text when the file could not be moved.
QString SetAside(const QString& strPath);

} // namespace LinkageSnapAlarm::DatabaseFiles
