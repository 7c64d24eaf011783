#pragma once

#include <QtGlobal>

namespace LinkageSnapAlarm {

// Free space a picture save needs on the target drive, in MiB.
constexpr quint64 kMinFreeSpaceMiB = 2048;

// Preview modes of the settings: two live windows, or three (any other value).
constexpr int kPreviewModeDual = 2;
constexpr int kPreviewModeTriple = 3;

// The largest picture any path decodes, in pixels: well above two 8K frames
// (2 x 7680 x 4320); a header claiming more is refused before any allocation.
constexpr qint64 kMaxPicturePixels = 100'000'000;

} // namespace LinkageSnapAlarm
