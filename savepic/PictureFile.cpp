#include "savepic/PictureFile.h"

#include "common/PictureHeader.h"
#include "savepic/JpegRegion.h"
#include "savepic/SaveFailureLog.h"

#include "Fendra/StringUtil.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <thread>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace LinkageSnapAlarm::PictureFile {
namespace {

constexpr int kJpegQuality = 50;
constexpr int kMaxNameTries = 100000;

// Products of finite fractions may overflow to infinity; bounding them keeps the
// sums below finite and the conversions to int defined.
double BoundedProduct(double dSize, double dFraction)
{
    return std::clamp(std::trunc(dSize * dFraction), -1e12, 1e12);
}

QByteArray EncodeJpeg(const QImage& image)
{
    QByteArray baJpeg;
    QBuffer buffer(&baJpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(kJpegQuality);
    return writer.write(image) ? baJpeg : QByteArray();
}

enum class MoveResult { Done, NameTaken, Failed };

// Gives the temporary file its final name unless that name exists.
MoveResult MoveIntoPlace(const QByteArray& baFrom, const QByteArray& baTo)
{
    if (renameat2(AT_FDCWD, baFrom.constData(), AT_FDCWD, baTo.constData(), RENAME_NOREPLACE) == 0)
        return MoveResult::Done;
    if (errno == EEXIST)
        return MoveResult::NameTaken;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return MoveResult::Failed;
    // File systems without that rename: a hard link fails as well when the name exists.
    if (link(baFrom.constData(), baTo.constData()) == 0) {
        unlink(baFrom.constData());
        return MoveResult::Done;
    }
    return errno == EEXIST ? MoveResult::NameTaken : MoveResult::Failed;
}

// Creates a new hidden file in the folder, with the permissions a plain new file gets.
const char kTemporaryPrefix[] = ".picture-";
const char kTemporarySuffix[] = ".part";

bool IsOurTemporary(const QString& strName)
{
    static const QRegularExpression s_reName(QStringLiteral("^\\.picture-[0-9a-z]+\\.part$"));
    return s_reName.match(strName).hasMatch();
}

int SweepFolder(const QString& strFolder, const QDateTime& dtOlderThan)
{
    int nRemoved = 0;
    const QFileInfoList lstFiles = QDir(strFolder).entryInfoList(
        {QStringLiteral("*") + QLatin1String(kTemporarySuffix)}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& info : lstFiles) {
        if (IsOurTemporary(info.fileName()) && info.lastModified() < dtOlderThan && QFile::remove(info.filePath()))
            ++nRemoved;
    }
    return nRemoved;
}

bool OpenTemporary(const QString& strFolder, QFile& file)
{
    for (int i = 0; i < 16; ++i) {
        const QString strSuffix = QString::number(QRandomGenerator::global()->generate64(), 36);
        file.setFileName(strFolder + QLatin1Char('/') + QLatin1String(kTemporaryPrefix) + strSuffix
                         + QLatin1String(kTemporarySuffix));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (file.exists())
            continue; // a rare clash of random names
        return false;
    }
    return false;
}

} // namespace

QString SafeName(const QString& strName)
{
    QString strSafe = QString::fromStdString(Fendra::StringUtil::StringReplaceInvalidChar(strName.toStdString()));
    if (strSafe.isEmpty() || strSafe == QLatin1String(".") || strSafe == QLatin1String(".."))
        strSafe.fill(QLatin1Char('_'), std::max(1, strSafe.size()));
    return strSafe;
}

bool IsWholePicture(const QRectF& rcFraction)
{
    const double arr[] = {rcFraction.x(), rcFraction.y(), rcFraction.width(), rcFraction.height()};
    const bool bAllZero = std::all_of(std::begin(arr), std::end(arr), [](double d) { return d == 0.0; });
    const bool bAllFinite = std::all_of(std::begin(arr), std::end(arr), [](double d) { return std::isfinite(d); });
    return bAllZero || !bAllFinite;
}

QRect CropRectInPixels(const QSize& sizePicture, const QRectF& rcFraction)
{
    const double dWidth = sizePicture.width();
    const double dHeight = sizePicture.height();
    const double dLeft = BoundedProduct(dWidth, rcFraction.x());
    const double dTop = BoundedProduct(dHeight, rcFraction.y());
    const double dRight = dLeft + BoundedProduct(dWidth, rcFraction.width());
    const double dBottom = dTop + BoundedProduct(dHeight, rcFraction.height());
    const int nLeft = int(std::clamp(dLeft, 0.0, dWidth));
    const int nTop = int(std::clamp(dTop, 0.0, dHeight));
    const int nRight = int(std::clamp(dRight, 0.0, dWidth));
    const int nBottom = int(std::clamp(dBottom, 0.0, dHeight));
    if (nRight <= nLeft || nBottom <= nTop)
        return QRect();
    return QRect(nLeft, nTop, nRight - nLeft, nBottom - nTop);
}

QByteArray CropToJpeg(const QByteArray& baPicture, const QRectF& rcFraction)
{
    // A header claiming a huge picture (or none) is refused before any allocation.
    if (!IsPictureSizeAllowed(baPicture, "crop"))
        return QByteArray();
    QBuffer buffer;
    buffer.setData(baPicture);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize sizePicture = reader.size();
    const QRect rcCut = CropRectInPixels(sizePicture, rcFraction);
    if (rcCut.isEmpty())
        return QByteArray();
    // Decoding only the part to keep is much cheaper for large pictures.
    QImage image;
    if (reader.format() == "jpeg")
        image = JpegRegion::Decode(baPicture, rcCut);
    if (image.isNull()) {
        reader.setClipRect(rcCut);
        image = reader.read();
    }
    return image.isNull() ? QByteArray() : EncodeJpeg(image);
}

namespace {
std::atomic<int> g_nExtraWriteMs{0};
} // namespace

void SetExtraWriteTimeForTesting(std::chrono::milliseconds extra)
{
    g_nExtraWriteMs = int(extra.count());
}

QString WriteNewFile(const QString& strBase, const char* pData, qint64 nSize)
{
    if (const int nExtraMs = g_nExtraWriteMs.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(nExtraMs));
    QFile tmpFile;
    const QString strFolder = QFileInfo(strBase).path();
    if (!OpenTemporary(strFolder, tmpFile)) {
        SaveFailureLog::Failed(QStringLiteral("no new file in %1: %2").arg(strFolder, tmpFile.errorString()));
        return QString();
    }
    const QByteArray baTemp = QFile::encodeName(tmpFile.fileName());
    bool bWritten = tmpFile.write(pData, nSize) == nSize && tmpFile.flush();
    QString strError = tmpFile.errorString();
    if (bWritten && fdatasync(tmpFile.handle()) != 0) {
        bWritten = false;
        strError = QString::fromLocal8Bit(std::strerror(errno));
    }
    tmpFile.close();
    QString strWritten;
    for (int i = 0; bWritten && strWritten.isEmpty() && i < kMaxNameTries; ++i) {
        const QString strName = strBase + (i ? QString::number(i) : QString()) + QStringLiteral(".jpg");
        const MoveResult eResult = MoveIntoPlace(baTemp, QFile::encodeName(strName));
        if (eResult == MoveResult::Failed) {
            strError = QString::fromLocal8Bit(std::strerror(errno));
            break;
        }
        if (eResult == MoveResult::Done)
            strWritten = strName;
    }
    if (strWritten.isEmpty()) {
        unlink(baTemp.constData());
        SaveFailureLog::Failed(QStringLiteral("%1.jpg not written: %2").arg(strBase, strError));
    } else {
        SaveFailureLog::Succeeded();
    }
    return strWritten;
}

int SweepStaleTemporaries(const QString& strSaveFolder, int nMinAgeSecs)
{
    if (strSaveFolder.isEmpty())
        return 0;
    const QDateTime dtOlderThan = QDateTime::currentDateTime().addSecs(-nMinAgeSecs);
    int nRemoved = SweepFolder(strSaveFolder, dtOlderThan);
    const QStringList lstSubfolders =
        QDir(strSaveFolder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString& strSub : lstSubfolders)
        nRemoved += SweepFolder(strSaveFolder + QLatin1Char('/') + strSub, dtOlderThan);
    return nRemoved;
}

} // namespace LinkageSnapAlarm::PictureFile
