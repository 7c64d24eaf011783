#pragma once

#include "protocol/JSONStruct/AlarmPictureInfo.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <optional>
#include <string>
#include <vector>

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

// The whole picture, or the part a card shows for optCut (DisplayCut), as
// large as fits sizeBox with its aspect kept: reduced while decoding when
// larger, smoothly enlarged when smaller. Null when the box is empty.
QImage DecodeToFit(const std::string& strBytes, const std::optional<protocol::PictureRect>& optCut,
                   const QSize& sizeBox);

// One part a card shows of a picture: its display cut for a target rectangle,
// reduced to sizeShown when larger in either direction (as DecodeCut).
struct CutRequest
{
    protocol::PictureRect rect;
    QSize sizeShown;
};

// Every requested part of one picture from a single decode: the region that
// covers all the cuts, at the smallest scale that still covers each cut at its
// shown size; each result equals DecodeCut's for that request. Null images
// where DecodeCut gives null.
std::vector<QImage> DecodeCuts(const std::string& strBytes, const std::vector<CutRequest>& vecCuts);

// The largest reduction (1, 2, 4 or 8) at which every cut (in pixels of the
// whole picture) still has the pixels its shown size needs.
int CoveringReduction(const std::vector<QRect>& vecCuts, const std::vector<QSize>& vecShown);

// The part of a picture of the given size that shows a target rectangle given
// in fractions: the rectangle grown by a fifth of its size on every side, its
// corner and size snapped down to a 16-pixel grid and clipped at the right and
// bottom. The whole picture when the rectangle reaches outside it or is not a
// usable rectangle; an empty rectangle when the cut holds no pixels.
QRect DisplayCut(const QSize& sizeImage, const protocol::PictureRect& rect);

} // namespace LinkageSnapAlarm::AlarmPicture
