#include "common/PictureHeader.h"

#include "common/CommonLogging.h"
#include "common/LinkageRules.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace LinkageSnapAlarm {
namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kStartOfScan = 0xDA;

bool IsStartOfFrame(unsigned char uMarker)
{
    // C4 (Huffman tables), C8 (reserved) and CC (arithmetic conditioning) share the range.
    return uMarker >= 0xC0 && uMarker <= 0xCF && uMarker != 0xC4 && uMarker != 0xC8 && uMarker != 0xCC;
}

bool IsProgressiveFrame(unsigned char uMarker)
{
    return uMarker == 0xC2 || uMarker == 0xC6 || uMarker == 0xCA || uMarker == 0xCE;
}

// Markers without a length: TEM, the restart markers, SOI and EOI.
bool IsStandalone(unsigned char uMarker)
{
    return uMarker == 0x01 || (uMarker >= 0xD0 && uMarker <= 0xD9);
}

// Walks a JPEG's segments up to its frame header: true for a progressive frame.
// Only segment lengths are followed, so the cost does not grow with the picture.
bool IsProgressiveJpeg(const QByteArray& baJpeg)
{
    const auto* pData = reinterpret_cast<const unsigned char*>(baJpeg.constData());
    const qint64 nSize = baJpeg.size();
    if (nSize < 4 || pData[0] != kMarker || pData[1] != kStartOfImage)
        return false;
    qint64 i = 2;
    while (i + 1 < nSize) {
        if (pData[i] != kMarker)
            return false; // not at a segment: damaged, left to the decoder
        while (i + 1 < nSize && pData[i + 1] == kMarker)
            ++i; // fill bytes
        if (i + 1 >= nSize)
            return false;
        const unsigned char uMarker = pData[i + 1];
        if (IsStartOfFrame(uMarker))
            return IsProgressiveFrame(uMarker);
        if (uMarker == kStartOfScan)
            return false;
        if (IsStandalone(uMarker)) {
            i += 2;
            continue;
        }
        if (i + 3 >= nSize)
            return false;
        i += 2 + ((qint64(pData[i + 2]) << 8) | pData[i + 3]);
    }
    return false;
}

} // namespace

PictureHeaderInfo ReadPictureHeader(const QByteArray& baEncoded)
{
    QBuffer buffer;
    buffer.setData(baEncoded);
    buffer.open(QIODevice::ReadOnly);
    return PictureHeaderInfo{QImageReader(&buffer).size(), IsProgressiveJpeg(baEncoded)};
}

qint64 MaxPicturePixels(bool bProgressive, DecodeOn eWhere)
{
    qint64 nMax = kMaxPicturePixels;
    if (eWhere == DecodeOn::GuiThread)
        nMax = std::min(nMax, kMaxDisplayPicturePixels);
    if (bProgressive)
        nMax = std::min(nMax, kMaxProgressivePicturePixels);
    return nMax;
}

bool IsPictureAllowed(const PictureHeaderInfo& header, DecodeOn eWhere)
{
    return header.size.isValid()
           && qint64(header.size.width()) * header.size.height() <= MaxPicturePixels(header.bProgressive, eWhere);
}

bool IsPictureSizeAllowed(const QSize& size)
{
    return IsPictureAllowed(PictureHeaderInfo{size, false}, DecodeOn::WorkerThread);
}

bool IsPictureSizeAllowed(const QByteArray& baEncoded, const char* szWhat, QSize* pSize, DecodeOn eWhere)
{
    const PictureHeaderInfo header = ReadPictureHeader(baEncoded);
    if (pSize)
        *pSize = header.size;
    if (IsPictureAllowed(header, eWhere))
        return true;
    qCWarning(lcPictures, "Refused to decode a %s%s of %lld bytes: its header claims %dx%d pixels (limit %lld)",
              header.bProgressive ? "progressive " : "", szWhat, static_cast<long long>(baEncoded.size()),
              header.size.width(), header.size.height(),
              static_cast<long long>(MaxPicturePixels(header.bProgressive, eWhere)));
    return false;
}

} // namespace LinkageSnapAlarm
