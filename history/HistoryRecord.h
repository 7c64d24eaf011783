#pragma once

// The alarm history as its readers see it: the rows of the history list, the
// search that selects them, and a past linkage with everything needed to show
// it again. Plain values, copied freely and passed through queued signals.

#include <QByteArray>
#include <QDateTime>
#include <QMetaType>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <limits>

namespace LinkageSnapAlarm {

// One person's card of a past linkage. Each picture is there as JPEG bytes: a
// small thumbnail kept in the history when saving was off, or the saved file's
// bytes (read when the linkage is loaded) together with its path when saving
// was on. Empty bytes: the picture is missing (none came, or the file is gone).
struct HistoryCardRecord
{
    QByteArray baFaceJpeg;
    QByteArray baBodyJpeg;
    QString strFacePath; // the saved file, empty when saving was off
    QString strBodyPath;
    // The person's rectangles as the alarm gave them, in fractions of the
    // person's background picture: the body first, then the face when it was
    // cut from the same picture.
    QVector<QRectF> vecRects;
    QString strCameraId; // the alarm source of the linked camera
    QString strCameraName;
    QDateTime time;
    int nAlarmType = 0;
};

// A past linkage: its panoramic alarm with the scene picture, and the cards of
// the linkage alarms that followed, oldest first.
struct HistoryLinkageRecord
{
    std::int64_t nId = 0; // the history's own key, 0 for none
    QString strLinkageUid;
    QDateTime time;
    QString strCameraId;
    QString strCameraName;
    int nAlarmType = 0;
    QByteArray baSceneJpeg;
    QString strScenePath;
    QVector<HistoryCardRecord> vecCards;
};

// One row of the history list.
struct HistoryListRow
{
    std::int64_t nId = 0;
    std::int64_t nTimeMs = 0; // milliseconds since the epoch
    QString strLinkageUid;
    QString strCameraName;  // the panoramic camera
    QStringList lstCameras; // every camera that added to the linkage
    int nAlarms = 0;
    int nCards = 0;
};

// What the history list shows: linkages of a time range whose cameras' names
// contain strCamera and whose LinkageUid contains strLinkageUid (both ignore
// ASCII case; empty texts match everything), newest first.
struct HistoryFilter
{
    QString strCamera;
    QString strLinkageUid;
    std::int64_t nFromMs = std::numeric_limits<std::int64_t>::min();
    std::int64_t nToMs = std::numeric_limits<std::int64_t>::max();

    bool operator==(const HistoryFilter& other) const
    {
        return strCamera == other.strCamera && strLinkageUid == other.strLinkageUid && nFromMs == other.nFromMs
               && nToMs == other.nToMs;
    }
    bool operator!=(const HistoryFilter& other) const { return !(*this == other); }
};

} // namespace LinkageSnapAlarm

Q_DECLARE_METATYPE(LinkageSnapAlarm::HistoryLinkageRecord)
