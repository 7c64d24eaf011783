#include "AlarmPictureDecoder.h"

#include "LsaLogging.h"
#include "PictureHeader.h"

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
