#pragma once

#include <QByteArray>
#include <QSize>

namespace LinkageSnapAlarm {

// What the header of an encoded picture tells, read without decoding it.
struct PictureHeaderInfo
{
    QSize size; // invalid when the bytes tell no size
    // A JPEG of progressive scans (frame types SOF2, SOF6, SOF10, SOF14).
    bool bProgressive = false;
};

PictureHeaderInfo ReadPictureHeader(const QByteArray& baEncoded);

// Where a picture is decoded: the GUI thread decodes only to show.
enum class DecodeOn { WorkerThread, GuiThread };

// The most pixels a picture of that kind may have when decoded there: the
// tighter of kMaxPicturePixels, kMaxDisplayPicturePixels (GUI thread) and
// kMaxProgressivePicturePixels (progressive JPEG).
qint64 MaxPicturePixels(bool bProgressive, DecodeOn eWhere);
bool IsPictureAllowed(const PictureHeaderInfo& header, DecodeOn eWhere);

// The guard every decode path calls first: reads only the header of an encoded
// picture and allows decoding when the header tells a size within the limit for
// its kind and place. A header that claims more, or tells no size, is refused
// with a log line naming strWhat (e.g. "crop", "scene picture"). The size read
// is stored in *pSize when given.
bool IsPictureSizeAllowed(const QByteArray& baEncoded, const char* szWhat, QSize* pSize = nullptr,
                          DecodeOn eWhere = DecodeOn::WorkerThread);

// The rule for a size already read from the header of a baseline picture
// decoded on a worker thread.
bool IsPictureSizeAllowed(const QSize& size);

} // namespace LinkageSnapAlarm
