#include "alarmview/HistoryThumbnail.h"

#include "alarmview/AlarmPictureDecoder.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace LinkageSnapAlarm::HistoryThumbnail {
namespace {

QSize Fitted(const QSize& size, const QSize& sizeMax)
{
    if (size.width() <= sizeMax.width() && size.height() <= sizeMax.height())
        return size;
    return size.scaled(sizeMax, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

} // namespace

QByteArray Make(const HistoryPictureSource& picture, const QSize& sizeMax)
{
    if (!picture.spBytes || picture.spBytes->strData.empty())
        return QByteArray();
    const std::string& strBytes = picture.spBytes->strData;
    const QSize sizeWhole = AlarmPicture::HeaderSize(strBytes);
    if (!sizeWhole.isValid())
        return QByteArray();
    QImage image;
    if (picture.optCut) {
        const QRect rcCut = AlarmPicture::DisplayCut(sizeWhole, *picture.optCut);
        if (rcCut.isEmpty())
            return QByteArray();
        image = AlarmPicture::DecodeCut(strBytes, *picture.optCut, Fitted(rcCut.size(), sizeMax));
    } else {
        image = AlarmPicture::DecodeFitted(strBytes, Fitted(sizeWhole, sizeMax));
    }
    if (image.isNull())
        return QByteArray();
    QByteArray baJpeg;
    QBuffer buffer(&baJpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(kJpegQuality);
    return writer.write(image) ? baJpeg : QByteArray();
}

} // namespace LinkageSnapAlarm::HistoryThumbnail
