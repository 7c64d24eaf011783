#include "Vantrel/PreviewCrop.h"

#include <algorithm>
#include <cmath>

namespace Vantrel {
namespace {

const QRectF kWhole(0.0, 0.0, 1.0, 1.0);

QRectF Sane(const QRectF& rc)
{
    const QRectF rcInside = rc.intersected(kWhole);
    return rcInside.isEmpty() ? kWhole : rcInside;
}

} // namespace

QRectF ShownPart(const QRectF& rcPtzView, const QRectF& rcDigitalZoom)
{
    const QRectF rcView = Sane(rcPtzView);
    const QRectF rcZoom = Sane(rcDigitalZoom);
    return QRectF(rcView.x() + rcZoom.x() * rcView.width(), rcView.y() + rcZoom.y() * rcView.height(),
                  rcZoom.width() * rcView.width(), rcZoom.height() * rcView.height());
}

CropMargins CropMarginsFor(const QRectF& rcPart, int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0)
        return {};
    const QRectF rc = Sane(rcPart);
    CropMargins margins;
    margins.nLeft = std::clamp(int(std::lround(rc.left() * nWidth)), 0, nWidth - 1);
    margins.nTop = std::clamp(int(std::lround(rc.top() * nHeight)), 0, nHeight - 1);
    margins.nRight = std::clamp(int(std::lround((1.0 - rc.right()) * nWidth)), 0, nWidth - 1 - margins.nLeft);
    margins.nBottom = std::clamp(int(std::lround((1.0 - rc.bottom()) * nHeight)), 0, nHeight - 1 - margins.nTop);
    return margins;
}

} // namespace Vantrel
