#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <chrono>

// The file side of saving a picture: safe names, cropping and writing new files.
namespace LinkageSnapAlarm::PictureFile {

// A name usable as one path component under a folder: characters a file name may
// not hold are replaced, and names that would leave the folder ("", ".", "..") are
// replaced by underscores.
QString SafeName(const QString& strName);

// True when the fractions ask for the whole picture: all four zero, or any of
// them not a finite number.
bool IsWholePicture(const QRectF& rcFraction);

// The pixel rectangle that the fractions select on a picture of the given size,
// each product truncated toward zero and the result clipped to the picture.
// Empty when nothing of the picture is selected.
QRect CropRectInPixels(const QSize& sizePicture, const QRectF& rcFraction);

// Decodes the selected part of an encoded picture (only that part, where the
// format allows) and encodes it as JPEG of quality 50. Empty on failure.
QByteArray CropToJpeg(const QByteArray& baPicture, const QRectF& rcFraction);

// Writes the bytes to a new file strBase + ".jpg", or strBase + "1.jpg",
// strBase + "2.jpg" and so on, never replacing a file. The bytes go to a temporary
// file in the same folder that is renamed into place once complete, so no partial
// file appears. Returns the path written, or an empty text on failure.
QString WriteNewFile(const QString& strBase, const char* pData, qint64 nSize);

// A slow disk for tests and benchmarks: every WriteNewFile takes this much longer.
void SetExtraWriteTimeForTesting(std::chrono::milliseconds extra);

// A temporary file of WriteNewFile outlives a process killed while saving. Old
// enough, it is surely no save in progress.
constexpr int kStaleTemporaryAgeSecs = 5 * 60;

// Removes WriteNewFile's temporary files (".picture-<letters and digits>.part")
// last modified more than nMinAgeSecs ago, in strSaveFolder and its direct
// subfolders, where pictures are written. Any other file is left alone.
// Returns how many were removed.
int SweepStaleTemporaries(const QString& strSaveFolder, int nMinAgeSecs = kStaleTemporaryAgeSecs);

} // namespace LinkageSnapAlarm::PictureFile
