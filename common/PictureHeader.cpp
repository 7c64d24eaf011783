#include "PictureHeader.h"

#include "LinkageRules.h"
#include "LsaLogging.h"

#include <QBuffer>
#include <QImageReader>

namespace LinkageSnapAlarm {

bool IsPictureSizeAllowed(const QSize& size)
{
    return size.isValid() && qint64(size.width()) * size.height() <= kMaxPicturePixels;
}

bool IsPictureSizeAllowed(const QByteArray& baEncoded, const char* szWhat, QSize* pSize)
{
    QBuffer buffer;
    buffer.setData(baEncoded);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    if (pSize)
        *pSize = size;
    if (IsPictureSizeAllowed(size))
        return true;
    qCWarning(lcPictures, "Refused to decode a %s of %lld bytes: its header claims %dx%d pixels (limit %lld)", szWhat,
              static_cast<long long>(baEncoded.size()), size.width(), size.height(),
              static_cast<long long>(kMaxPicturePixels));
    return false;
}

} // namespace LinkageSnapAlarm
