#include "alarmview/AlarmPictureDecoder.h"

#include "alarmview/AlarmViewLogging.h"
#include "common/PictureHeader.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <cmath>

namespace LinkageSnapAlarm::AlarmPicture {
namespace {

constexpr int kGrid = 16;
// Fractions beyond this are no rectangle of the picture; it also keeps every
// product below within int range for pictures up to kMaxPicturePixels.
constexpr float kMaxFraction = 16.0f;

int SnapDown(int n)
{
    return n - n % kGrid;
}

bool Usable(float f)
{
    return std::isfinite(f) && std::fabs(f) <= kMaxFraction;
}

// A JPEG stream ends with the end-of-image marker; one cut short would decode
// into a picture whose lower part is grey filler.
bool IsCutShortJpeg(const QByteArray& baBytes)
{
    if (!baBytes.startsWith("\xFF\xD8"))
        return false;
    int nEnd = baBytes.size();
    while (nEnd > 2 && baBytes.at(nEnd - 1) == '\0') // some encoders pad
        --nEnd;
    return !(nEnd >= 4 && baBytes.at(nEnd - 2) == '\xFF' && baBytes.at(nEnd - 1) == '\xD9');
}

// A reader over the caller's bytes (no copy) that has checked the header.
class CheckedReader
{
public:
    explicit CheckedReader(const std::string& strBytes)
        : m_baBytes(QByteArray::fromRawData(strBytes.data(), static_cast<int>(strBytes.size())))
        , m_buffer(&m_baBytes)
    {
        if (strBytes.empty() || strBytes.size() > static_cast<size_t>(INT_MAX))
            return;
        m_buffer.open(QIODevice::ReadOnly);
        m_reader.setDevice(&m_buffer);
        m_reader.setAutoTransform(false);
        const QSize size = m_reader.size();
        // Decoded on the GUI thread: the display limits hold.
        const bool bProgressive = ReadPictureHeader(m_baBytes).bProgressive;
        if (!size.isValid() || size.isEmpty()) {
            qCWarning(lcAlarmView) << "alarm picture refused: not a picture" << m_reader.errorString();
        } else if (!IsPictureAllowed(PictureHeaderInfo{size, bProgressive}, DecodeOn::GuiThread)) {
            qCWarning(lcAlarmView) << "alarm picture refused:" << size << (bProgressive ? "progressive" : "baseline")
                                   << "is above the pixel limit" << MaxPicturePixels(bProgressive, DecodeOn::GuiThread);
        } else if (IsCutShortJpeg(m_baBytes)) {
            qCWarning(lcAlarmView) << "alarm picture refused: the JPEG data is cut short";
        } else {
            m_size = size;
        }
    }

    bool IsValid() const { return m_size.isValid(); }
    QSize Size() const { return m_size; }
    QImageReader& Reader() { return m_reader; }

    QImage Read()
    {
        QImage image = m_reader.read();
        if (image.isNull())
            qCWarning(lcAlarmView) << "alarm picture not decoded:" << m_reader.errorString();
        return image;
    }

private:
    QByteArray m_baBytes;
    QBuffer m_buffer;
    QImageReader m_reader;
    QSize m_size;
};

bool LargerThan(const QSize& size, const QSize& sizeShown)
{
    return !sizeShown.isEmpty() && (size.width() > sizeShown.width() || size.height() > sizeShown.height());
}

// Decoders reduce by 1/2, 1/4 or 1/8 almost for free while decoding.
constexpr int kMaxReduction = 8;

// True when the cut, reduced by nReduction, keeps every pixel its shown size needs.
bool CoversAt(const QSize& sizeCut, const QSize& sizeShown, int nReduction)
{
    if (!LargerThan(sizeCut, sizeShown))
        return nReduction == 1;
    return sizeCut.width() / nReduction >= qMin(sizeCut.width(), sizeShown.width())
           && sizeCut.height() / nReduction >= qMin(sizeCut.height(), sizeShown.height());
}

// The cut as the shown part: reduced to sizeShown when larger, as DecodeCut.
QImage Shown(QImage image, const QSize& sizeCut, const QSize& sizeShown)
{
    if (image.isNull() || !LargerThan(sizeCut, sizeShown) || image.size() == sizeShown)
        return image;
    return image.scaled(sizeShown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QSize HeaderSize(const std::string& strBytes)
{
    return CheckedReader(strBytes).Size();
}

QImage DecodeScaled(const std::string& strBytes, const QSize& sizeShown)
{
    if (sizeShown.isEmpty())
        return QImage();
    CheckedReader reader(strBytes);
    if (!reader.IsValid())
        return QImage();
    reader.Reader().setScaledSize(sizeShown);
    return reader.Read();
}

QImage DecodeFitted(const std::string& strBytes, const QSize& sizeShown)
{
    CheckedReader reader(strBytes);
    if (!reader.IsValid())
        return QImage();
    if (LargerThan(reader.Size(), sizeShown))
        reader.Reader().setScaledSize(sizeShown);
    return reader.Read();
}

QImage DecodeCut(const std::string& strBytes, const protocol::PictureRect& rect, const QSize& sizeShown)
{
    CheckedReader reader(strBytes);
    if (!reader.IsValid())
        return QImage();
    const QRect rcCut = DisplayCut(reader.Size(), rect);
    if (rcCut.isEmpty())
        return QImage();
    if (rcCut != QRect(QPoint(0, 0), reader.Size()))
        reader.Reader().setClipRect(rcCut);
    if (LargerThan(rcCut.size(), sizeShown))
        reader.Reader().setScaledSize(sizeShown);
    return reader.Read();
}

QImage DecodeToFit(const std::string& strBytes, const std::optional<protocol::PictureRect>& optCut,
                   const QSize& sizeBox)
{
    if (sizeBox.isEmpty())
        return QImage();
    CheckedReader reader(strBytes);
    if (!reader.IsValid())
        return QImage();
    const QRect rcWhole(QPoint(0, 0), reader.Size());
    const QRect rcCut = optCut ? DisplayCut(reader.Size(), *optCut) : rcWhole;
    if (rcCut.isEmpty())
        return QImage();
    const QSize sizeFit = rcCut.size().scaled(sizeBox, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (rcCut != rcWhole)
        reader.Reader().setClipRect(rcCut);
    if (LargerThan(rcCut.size(), sizeFit))
        reader.Reader().setScaledSize(sizeFit);
    const QImage image = reader.Read();
    return image.isNull() || image.size() == sizeFit
               ? image
               : image.scaled(sizeFit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::vector<QImage> DecodeCuts(const std::string& strBytes, const std::vector<CutRequest>& vecCuts)
{
    std::vector<QImage> vecImages(vecCuts.size());
    CheckedReader reader(strBytes);
    if (vecCuts.empty() || !reader.IsValid())
        return vecImages;
    std::vector<QRect> vecRects;
    QRect rcCover;
    for (const CutRequest& cut : vecCuts) {
        vecRects.push_back(DisplayCut(reader.Size(), cut.rect));
        rcCover |= vecRects.back();
    }
    if (rcCover.isEmpty())
        return vecImages;
    // Formats that cannot reduce while decoding would only scale afterwards.
    int nReduction = 1;
    if (reader.Reader().supportsOption(QImageIOHandler::ScaledSize)) {
        std::vector<QSize> vecShown;
        for (const CutRequest& cut : vecCuts)
            vecShown.push_back(cut.sizeShown);
        nReduction = CoveringReduction(vecRects, vecShown);
    }
    if (rcCover != QRect(QPoint(0, 0), reader.Size()))
        reader.Reader().setClipRect(rcCover);
    if (nReduction > 1)
        reader.Reader().setScaledSize(rcCover.size() / nReduction);
    const QImage imgCover = reader.Read();
    if (imgCover.isNull())
        return vecImages;
    const double dScaleX = double(imgCover.width()) / rcCover.width();
    const double dScaleY = double(imgCover.height()) / rcCover.height();
    for (size_t i = 0; i < vecCuts.size(); ++i) {
        const QRect& rc = vecRects[i];
        if (rc.isEmpty())
            continue;
        const QRect rcInCover(qRound((rc.x() - rcCover.x()) * dScaleX), qRound((rc.y() - rcCover.y()) * dScaleY),
                              qMax(1, qRound(rc.width() * dScaleX)), qMax(1, qRound(rc.height() * dScaleY)));
        vecImages[i] = Shown(imgCover.copy(rcInCover), rc.size(), vecCuts[i].sizeShown);
    }
    return vecImages;
}

int CoveringReduction(const std::vector<QRect>& vecCuts, const std::vector<QSize>& vecShown)
{
    int nReduction = kMaxReduction;
    for (size_t i = 0; i < vecCuts.size() && i < vecShown.size(); ++i) {
        while (nReduction > 1 && !vecCuts[i].isEmpty() && !CoversAt(vecCuts[i].size(), vecShown[i], nReduction))
            nReduction /= 2;
    }
    return nReduction;
}

QRect DisplayCut(const QSize& sizeImage, const protocol::PictureRect& rect)
{
    const QRect rcWhole(QPoint(0, 0), sizeImage);
    const float fX = static_cast<float>(rect.x);
    const float fY = static_cast<float>(rect.y);
    const float fWidth = static_cast<float>(rect.width);
    const float fHeight = static_cast<float>(rect.height);
    if (!Usable(fX) || !Usable(fY) || !Usable(fWidth) || !Usable(fHeight)) {
        qCWarning(lcAlarmView) << "target rectangle ignored:" << rect.x << rect.y << rect.width << rect.height;
        return rcWhole;
    }
    if (fX + fWidth < 0 || fX + fWidth > 1 || fY + fHeight < 0 || fY + fHeight > 1)
        return rcWhole;
    const float fImageW = static_cast<float>(sizeImage.width());
    const float fImageH = static_cast<float>(sizeImage.height());
    const int nW = static_cast<int>(fImageW * fWidth);
    const int nH = static_cast<int>(fImageH * fHeight);
    const int nLeft = SnapDown(qMax(0, static_cast<int>(fImageW * fX) - nW / 5));
    const int nTop = SnapDown(qMax(0, static_cast<int>(fImageH * fY) - nH / 5));
    int nCutW = SnapDown(nW + (2 * nW) / 5);
    int nCutH = SnapDown(nH + (2 * nH) / 5);
    if (nLeft + nCutW > sizeImage.width())
        nCutW = sizeImage.width() - nLeft;
    if (nTop + nCutH > sizeImage.height())
        nCutH = sizeImage.height() - nTop;
    if (nCutW <= 0 || nCutH <= 0)
        return QRect();
    return QRect(nLeft, nTop, nCutW, nCutH);
}

} // namespace LinkageSnapAlarm::AlarmPicture
