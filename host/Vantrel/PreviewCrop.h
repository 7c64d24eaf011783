#pragma once

#include "HostExport.h"

#include <QRectF>

namespace Vantrel {

// Pixels to cut from each edge of a decoded picture.
struct CropMargins
{
    int nLeft = 0;
    int nRight = 0;
    int nTop = 0;
    int nBottom = 0;

    bool operator==(const CropMargins& o) const
    {
        return nLeft == o.nLeft && nRight == o.nRight && nTop == o.nTop && nBottom == o.nBottom;
    }
};

// The part of a picture a preview shows: first the camera's PTZ view (the part of
// the scene it looks at), then, inside it, the window's digital zoom. Both in
// fractions; rectangles outside 0..1 or empty count as the whole.
HOST_API QRectF ShownPart(const QRectF& rcPtzView, const QRectF& rcDigitalZoom);

// The margins that cut a picture of the given size down to a part (fractions).
// At least one pixel stays in each direction.
HOST_API CropMargins CropMarginsFor(const QRectF& rcPart, int nWidth, int nHeight);

} // namespace Vantrel
