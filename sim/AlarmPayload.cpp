#include "sim/AlarmPayload.h"

#include "sim/AlarmReplay.h"

#include <QUuid>

#include <cJSON.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// Every picture of the alarm once: a picture that two records carry (the
// persons of one scene share its background) travels once under "Pictures"
// and the records name it with "ref"; a picture only one record carries
// travels inline, as before.
class PayloadPictures
{
public:
    explicit PayloadPictures(const protocol::IntelAlarmInfoStruct& alarm)
    {
        Count(alarm.VCASmart.bkPic);
        for (const auto& human : alarm.IntelAlarmHumanInfoList)
            Count(human.bkPic), Count(human.SubPic);
        for (const auto& face : alarm.IntelAlarmFaceInfoList)
            Count(face.bkPic), Count(face.SubPic);
    }

    void Add(cJSON* pParent, const char* szKey, const protocol::AlarmPictureInfo& picture)
    {
        const protocol::PicBinary* pBinary = Binary(picture);
        if (!pBinary || !pParent)
            return;
        cJSON* pPicture = ObjectItem(pParent, szKey);
        Shared* pShared = Find(pBinary);
        if (!pShared || pShared->nUses < 2) {
            cJSON_AddStringToObject(pPicture, "base64", Base64(*pBinary).constData());
            return;
        }
        if (pShared->strRef.empty()) {
            pShared->strRef = std::to_string(m_nRefs++);
            if (!m_pPictures)
                m_pPictures = cJSON_CreateObject();
            cJSON_AddStringToObject(m_pPictures, pShared->strRef.c_str(), Base64(*pBinary).constData());
        }
        cJSON_AddStringToObject(pPicture, "ref", pShared->strRef.c_str());
    }

    // Hands the shared pictures over to the message's root.
    void AddTo(cJSON* pRoot)
    {
        if (m_pPictures)
            cJSON_AddItemToObject(pRoot, "Pictures", std::exchange(m_pPictures, nullptr));
    }
    ~PayloadPictures() { cJSON_Delete(m_pPictures); }
    PayloadPictures(const PayloadPictures&) = delete;
    PayloadPictures& operator=(const PayloadPictures&) = delete;

private:
    struct Shared
    {
        const protocol::PicBinary* pBinary;
        int nUses;
        std::string strRef;
    };

    static const protocol::PicBinary* Binary(const protocol::AlarmPictureInfo& picture)
    {
        const protocol::PicBinary* pBinary = picture.pPicBinary.get();
        return pBinary && !pBinary->strData.empty() ? pBinary : nullptr;
    }
    static QByteArray Base64(const protocol::PicBinary& binary)
    {
        return QByteArray::fromRawData(binary.strData.data(), int(binary.strData.size())).toBase64();
    }
    // The same buffer, or an equal copy of it (bytes compared only when the sizes match).
    Shared* Find(const protocol::PicBinary* pBinary)
    {
        for (Shared& shared : m_vecShared)
            if (shared.pBinary == pBinary || shared.pBinary->strData == pBinary->strData)
                return &shared;
        return nullptr;
    }
    void Count(const protocol::AlarmPictureInfo& picture)
    {
        if (const protocol::PicBinary* pBinary = Binary(picture)) {
            if (Shared* pShared = Find(pBinary))
                ++pShared->nUses;
            else
                m_vecShared.push_back({pBinary, 1, {}});
        }
    }

    std::vector<Shared> m_vecShared;
    cJSON* m_pPictures = nullptr;
    int m_nRefs = 0;
};

template <class Target>
void AddListPictures(cJSON* pAlarm, const char* szList, const std::vector<Target>& vecTargets,
                     PayloadPictures& pictures)
{
    const cJSON* pList = cJSON_GetObjectItem(pAlarm, szList);
    size_t i = 0;
    for (cJSON* pItem = cJSON_IsArray(pList) ? pList->child : nullptr; pItem && i < vecTargets.size();
         pItem = pItem->next, ++i) {
        pictures.Add(pItem, "bkPic", vecTargets[i].bkPic);
        pictures.Add(pItem, "SubPic", vecTargets[i].SubPic);
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
    PayloadPictures pictures(alarm);
    if (alarm.VCASmart.bkPic.pPicBinary && !alarm.VCASmart.bkPic.pPicBinary->strData.empty())
        pictures.Add(ObjectItem(pAlarm, "VCASmart"), "bkPic", alarm.VCASmart.bkPic);
    AddListPictures(pAlarm, "IntelAlarmHumanInfoList", alarm.IntelAlarmHumanInfoList, pictures);
    AddListPictures(pAlarm, "IntelAlarmFaceInfoList", alarm.IntelAlarmFaceInfoList, pictures);
    pictures.AddTo(pRoot);
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
