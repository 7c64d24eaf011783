#pragma once

// What the alarm view hands to the history for one alarm it shows: the alarm's
// own picture bytes (shared, not copied) and what was cut from them, or the
// paths the save manager was asked to write them to.

#include "protocol/JSONStruct/AlarmPictureInfo.h"

#include <QRectF>
#include <QString>
#include <QVector>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace LinkageSnapAlarm {

struct HistoryPictureSource
{
    std::shared_ptr<const protocol::PicBinary> spBytes; // null: no picture
    std::optional<protocol::PictureRect> optCut;        // the part shown, in fractions
    QString strSavedPath;                               // set when saving is on: no thumbnail is kept
};

struct HistoryCardSource
{
    HistoryPictureSource face;
    HistoryPictureSource body;
    QVector<QRectF> vecRects;
};

struct HistoryAlarmSource
{
    std::int64_t nTimeMs = 0;
    int nAlarmType = 0;
    bool bPanoramic = false;
    QString strLinkageUid;
    QString strCameraId;
    QString strCameraName;
    HistoryPictureSource scene; // panoramic alarms
    std::vector<HistoryCardSource> vecCards;

    // The picture bytes this alarm holds on to while it waits.
    std::int64_t PictureBytes() const;
    // Drops the pictures (the metadata is still kept).
    void DropPictures();
};

} // namespace LinkageSnapAlarm
