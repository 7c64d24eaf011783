#pragma once

#include "history/HistorySource.h"

#include <QByteArray>
#include <QSize>

namespace LinkageSnapAlarm::HistoryThumbnail {

// JPEG quality of the history's thumbnails: small files, faces still readable.
constexpr int kJpegQuality = 75;

// What the view shows of a picture (the whole picture, or the card's cut of a
// target rectangle), fitted into sizeMax with its aspect kept, as a small JPEG;
// empty when the picture cannot be decoded. Safe on any thread.
QByteArray Make(const HistoryPictureSource& picture, const QSize& sizeMax);

} // namespace LinkageSnapAlarm::HistoryThumbnail
