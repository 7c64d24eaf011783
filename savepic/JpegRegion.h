#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>

// Decoding part of a JPEG without decoding all of it.
namespace LinkageSnapAlarm::JpegRegion {

// Decodes rcRegion (inside the picture) of a JPEG: the rows above it are skipped,
// only the block columns it covers are converted, and decoding stops after its
// last row. A null image on any failure, and for colour spaces other than
// YCbCr, RGB and grey (callers then decode the usual way).
QImage Decode(const QByteArray& baJpeg, const QRect& rcRegion);

} // namespace LinkageSnapAlarm::JpegRegion
