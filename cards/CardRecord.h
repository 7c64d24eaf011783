#pragma once

#include "protocol/JSONStruct/AlarmPictureInfo.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace LinkageSnapAlarm {

// One picture as a card or the scene panel shows it: the whole of an alarm's
// picture bytes, or the display cut of a target rectangle in them.
struct CardPicture
{
    std::shared_ptr<const protocol::PicBinary> spBytes; // null: no picture
    std::optional<protocol::PictureRect> optCut;

    bool IsNull() const { return !spBytes || spBytes->strData.empty(); }
};

// The whole of the given encoded picture (a copy of the bytes), for pictures
// that do not come from a live alarm, such as files read back.
CardPicture WholePicture(std::string strBytes);

// What a card knows of the alarm behind it, in one list so that whoever keeps
// or shows records (the card, the detail view, a history) takes the same
// fields: F(type, name, "key"), the key naming the field outside the program.
#define LSA_CARD_RECORD_FIELDS(F)                                                                              \
    F(QString, CameraName, "CameraName")                              /* the alarm source's name */            \
    F(QString, CameraId, "CameraId")                                  /* its ID, empty when not known */       \
    F(QDateTime, AlarmTime, "AlarmTime")                              /* when the alarm was raised */          \
    F(int, AlarmType, "AlarmType")                                    /* 100009, 100010 or 100509 */           \
    F(QString, LinkageUid, "LinkageUid")                              /* the linkage the alarm belongs to */   \
    F(std::vector<protocol::PictureRect>, PersonRects, "PersonRects") /* body, then face, as fractions */      \
    F(QStringList, SavedFiles, "SavedFiles")                          /* pictures written for it, if saving */ \
    F(CardPicture, Face, "Face")                                                                               \
    F(CardPicture, Body, "Body")                                                                               \
    F(CardPicture, Scene, "Scene") /* the scene picture of its linkage */

struct CardRecord
{
#define LSA_CARD_RECORD_DECLARE(type, name, key) type name{};
    LSA_CARD_RECORD_FIELDS(LSA_CARD_RECORD_DECLARE)
#undef LSA_CARD_RECORD_DECLARE
};

// The alarm time as an operator reads it: local time of day, with the date in
// front when the alarm was not raised on the day given as today.
QString AlarmTimeText(const QDateTime& dtAlarm, const QDate& dateToday = QDate::currentDate());

} // namespace LinkageSnapAlarm
