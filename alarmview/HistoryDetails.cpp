#include "alarmview/HistoryDetails.h"

namespace LinkageSnapAlarm {
namespace {

CardPicture Picture(const QByteArray& baJpeg)
{
    return baJpeg.isEmpty() ? CardPicture() : WholePicture(baJpeg.toStdString());
}

std::shared_ptr<const CardRecord> CardOf(const HistoryCardRecord& card, const HistoryLinkageRecord& linkage,
                                         const CardPicture& scene)
{
    auto spRecord = std::make_shared<CardRecord>();
    spRecord->CameraName = card.strCameraName;
    spRecord->CameraId = card.strCameraId;
    spRecord->AlarmTime = card.time;
    spRecord->AlarmType = card.nAlarmType;
    spRecord->LinkageUid = linkage.strLinkageUid;
    for (const QRectF& rect : card.vecRects)
        spRecord->PersonRects.push_back(protocol::MakePictureRect(rect.x(), rect.y(), rect.width(), rect.height()));
    for (const QString& strPath : {card.strFacePath, card.strBodyPath})
        if (!strPath.isEmpty())
            spRecord->SavedFiles << strPath;
    spRecord->Face = Picture(card.baFaceJpeg);
    spRecord->Body = Picture(card.baBodyJpeg);
    spRecord->Scene = scene;
    return spRecord;
}

} // namespace

LinkageRecordSet DetailsOfHistory(const HistoryLinkageRecord& linkage)
{
    auto spScene = std::make_shared<CardRecord>();
    spScene->CameraName = linkage.strCameraName;
    spScene->CameraId = linkage.strCameraId;
    spScene->AlarmTime = linkage.time;
    spScene->AlarmType = linkage.nAlarmType;
    spScene->LinkageUid = linkage.strLinkageUid;
    spScene->Scene = Picture(linkage.baSceneJpeg);
    if (!linkage.strScenePath.isEmpty())
        spScene->SavedFiles << linkage.strScenePath;
    LinkageRecordSet set;
    for (auto it = linkage.vecCards.crbegin(); it != linkage.vecCards.crend(); ++it)
        set.vecCards.push_back(CardOf(*it, linkage, spScene->Scene));
    set.spScene = std::move(spScene);
    return set;
}

} // namespace LinkageSnapAlarm
