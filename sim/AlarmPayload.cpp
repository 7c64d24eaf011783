#include "sim/AlarmPayload.h"

#include "sim/AlarmReplay.h"

#include <QUuid>

#include <cJSON.h>

#include <memory>

namespace AlarmSim {
namespace {

struct JsonDeleter
{
    void operator()(cJSON* p) const { cJSON_Delete(p); }
};

// The object under szKey, made when the record's JSON left it out.
cJSON* ObjectItem(cJSON* pParent, const char* szKey)
{
    cJSON* pItem = cJSON_GetObjectItem(pParent, szKey);
    if (cJSON_IsObject(pItem))
        return pItem;
    cJSON_DeleteItemFromObject(pParent, szKey);
    return cJSON_AddObjectToObject(pParent, szKey);
}

void AddPicture(cJSON* pParent, const char* szKey, const protocol::AlarmPictureInfo& picture)
{
    const protocol::PicBinary* pBinary = picture.pPicBinary.get();
    if (!pBinary || pBinary->strData.empty() || !pParent)
        return;
    const QByteArray baBase64 =
        QByteArray::fromRawData(pBinary->strData.data(), int(pBinary->strData.size())).toBase64();
    cJSON_AddStringToObject(ObjectItem(pParent, szKey), "base64", baBase64.constData());
}

template <class Target>
void AddListPictures(cJSON* pAlarm, const char* szList, const std::vector<Target>& vecTargets)
{
    const cJSON* pList = cJSON_GetObjectItem(pAlarm, szList);
    size_t i = 0;
    for (cJSON* pItem = cJSON_IsArray(pList) ? pList->child : nullptr; pItem && i < vecTargets.size();
         pItem = pItem->next, ++i) {
        AddPicture(pItem, "bkPic", vecTargets[i].bkPic);
        AddPicture(pItem, "SubPic", vecTargets[i].SubPic);
    }
}

} // namespace

QByteArray EncodeAlarmPayload(const quorra::IntelAlarmEventInfo& info)
{
    std::unique_ptr<cJSON, JsonDeleter> upRoot(cJSON_CreateObject());
    cJSON* pRoot = upRoot.get();
    const std::string strId =
        info.AlarmID.empty() ? QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString() : info.AlarmID;
    cJSON_AddStringToObject(pRoot, "AlarmID", strId.c_str());
    cJSON_AddNumberToObject(pRoot, "AlarmType", info.AlarmType);
    cJSON_AddStringToObject(pRoot, "AlarmSourceID", info.AlarmSourceID.c_str());
    cJSON_AddStringToObject(pRoot, "AlarmSourceName", info.AlarmSourceName.c_str());
    cJSON* pAlarm = info.IntelAlarmInfo.ToJSON();
    if (!cJSON_IsObject(pAlarm)) {
        cJSON_Delete(pAlarm);
        pAlarm = cJSON_CreateObject();
    }
    cJSON_AddItemToObject(pRoot, "IntelAlarmInfo", pAlarm);
    const protocol::IntelAlarmInfoStruct& alarm = info.IntelAlarmInfo;
    if (alarm.VCASmart.bkPic.pPicBinary && !alarm.VCASmart.bkPic.pPicBinary->strData.empty())
        AddPicture(ObjectItem(pAlarm, "VCASmart"), "bkPic", alarm.VCASmart.bkPic);
    AddListPictures(pAlarm, "IntelAlarmHumanInfoList", alarm.IntelAlarmHumanInfoList);
    AddListPictures(pAlarm, "IntelAlarmFaceInfoList", alarm.IntelAlarmFaceInfoList);
    std::unique_ptr<char, decltype(&cJSON_free)> upText(cJSON_PrintUnformatted(pRoot), &cJSON_free);
    return upText ? QByteArray(upText.get()) : QByteArray();
}

QByteArray EncodeRaisedAlarm(const quorra::IAlarmEvent& event)
{
    if (dynamic_cast<const CBrokerAlarmEvent*>(&event))
        return QByteArray();
    return EncodeAlarmPayload(event.GetIntelAlarmEventInfo());
}

std::shared_ptr<quorra::IAlarmEvent> DecodeAlarmPayload(const QByteArray& baPayload, std::string& strAlarmId,
                                                        QString& strError)
{
    CPictureStore noFiles; // a message names no files of this machine
    ReplayEvent event;
    if (!ParseReplayLine(baPayload, noFiles, event, strError))
        return nullptr;
    strAlarmId = event.info.AlarmID;
    return std::make_shared<CBrokerAlarmEvent>(std::move(event.info));
}

} // namespace AlarmSim
