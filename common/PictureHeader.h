#pragma once

#include <QByteArray>
#include <QSize>

namespace LinkageSnapAlarm {

// The guard every decode path calls first: reads only the header of an encoded
// picture and allows decoding when the header tells a size of at most
// kMaxPicturePixels. A header that claims more, or tells no size, is refused with
// a log line naming strWhat (e.g. "crop", "scene picture"). The size read is
// stored in *pSize when given.
bool IsPictureSizeAllowed(const QByteArray& baEncoded, const char* szWhat, QSize* pSize = nullptr);

// The same rule for a size already read from a header.
bool IsPictureSizeAllowed(const QSize& size);

} // namespace LinkageSnapAlarm
