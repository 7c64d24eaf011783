#pragma once

#include "JSONStruct/AlarmPictureInfo.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <string>

// Alarm pictures decoded only as far as they are shown: at the size of the
// place that shows them, and only the region a card shows. Bytes that are not
// a picture, are cut short or claim more than the GUI thread's limits
// (kMaxDisplayPicturePixels, kMaxProgressivePicturePixels) give a null image and
// one log line, before anything is decoded.
namespace LinkageSnapAlarm::AlarmPicture {

// The picture's pixel size from its header alone; invalid when refused.
QSize HeaderSize(const std::string& strBytes);

// The whole picture at exactly sizeShown (aspect ignored, smooth); null when
// sizeShown is empty.
QImage DecodeScaled(const std::string& strBytes, const QSize& sizeShown);

// The whole picture, reduced to sizeShown when larger in either direction.
QImage DecodeFitted(const std::string& strBytes, const QSize& sizeShown);

// The part of the picture a card shows for a target rectangle (DisplayCut),
// reduced to sizeShown when larger in either direction.
QImage DecodeCut(const std::string& strBytes, const protocol::PictureRect& rect, const QSize& sizeShown);

// The part of a picture of the given size that shows a target rectangle given
// in fractions: the rectangle grown by a fifth of its size on every side, its
// corner and size snapped down to a 16-pixel grid and clipped at the right and
// bottom. The whole picture when the rectangle reaches outside it or is not a
// usable rectangle; an empty rectangle when the cut holds no pixels.
QRect DisplayCut(const QSize& sizeImage, const protocol::PictureRect& rect);

} // namespace LinkageSnapAlarm::AlarmPicture
