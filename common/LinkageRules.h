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

// The largest picture decoded on the GUI thread, to be shown: 8K UHD. A larger
// one would freeze the window for seconds.
constexpr qint64 kMaxDisplayPicturePixels = 7680LL * 4320;

// The largest progressive JPEG decoded anywhere: 4K UHD. Progressive decoding
// keeps every coefficient of the whole picture in memory and cannot be cut short
// by region or scale, so it costs several times a baseline decode of that size.
constexpr qint64 kMaxProgressivePicturePixels = 3840LL * 2160;

} // namespace LinkageSnapAlarm
