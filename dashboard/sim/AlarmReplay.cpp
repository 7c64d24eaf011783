#include "AlarmReplay.h"

#include "Base64.h"

#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cJSON.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace AlarmSim {
namespace {

struct JsonDeleter
{
    void operator()(cJSON* p) const { cJSON_Delete(p); }
};

// The picture an AlarmPictureInfo object names with "file" or "base64", if any.
bool ReadPicture(const cJSON* pPicture, protocol::AlarmPictureInfo& picture, CPictureStore& pictures,
                 const QString& strWhere, QString& strError)
{
    if (!cJSON_IsObject(pPicture))
        return true;
    const cJSON* pFile = cJSON_GetObjectItem(pPicture, "file");
    const cJSON* pBase64 = cJSON_GetObjectItem(pPicture, "base64");
    if (pFile && pBase64) {
        strError = strWhere + ": both \"file\" and \"base64\"";
        return false;
    }
    if (pFile) {
        if (!cJSON_IsString(pFile)) {
            strError = strWhere + ": \"file\" is not a text";
            return false;
        }
        QString strFileError;
        auto spBinary = pictures.File(QString::fromUtf8(pFile->valuestring), strFileError);
        if (!spBinary) {
            strError = strWhere + ": " + strFileError;
            return false;
        }
        picture.pPicBinary = spBinary;
    } else if (pBase64) {
        if (!cJSON_IsString(pBase64)) {
            strError = strWhere + ": \"base64\" is not a text";
            return false;
        }
        auto spBinary = std::make_shared<protocol::PicBinary>();
        if (!DecodeBase64(pBase64->valuestring, spBinary->strData)) {
            strError = strWhere + ": \"base64\" is not base64";
            return false;
        }
        picture.pPicBinary = std::move(spBinary);
    }
    return true;
}

template <class Target>
bool ReadListPictures(const cJSON* pAlarm, const char* szList, std::vector<Target>& vecTargets, CPictureStore& pictures,
                      QString& strError)
{
    const cJSON* pList = cJSON_GetObjectItem(pAlarm, szList);
    if (!cJSON_IsArray(pList))
        return true;
    size_t i = 0;
    for (const cJSON* pItem = pList->child; pItem && i < vecTargets.size(); pItem = pItem->next, ++i) {
        const QString strWhere = QString("%1[%2]").arg(szList).arg(i);
        if (!ReadPicture(cJSON_GetObjectItem(pItem, "bkPic"), vecTargets[i].bkPic, pictures, strWhere + ".bkPic",
                         strError)
            || !ReadPicture(cJSON_GetObjectItem(pItem, "SubPic"), vecTargets[i].SubPic, pictures, strWhere + ".SubPic",
                            strError))
            return false;
    }
    return true;
}

bool IsWholeInt32(double d)
{
    return std::isfinite(d) && d == std::floor(d) && d >= INT32_MIN && d <= INT32_MAX;
}

} // namespace

CPictureStore::CPictureStore(const QString& strBaseDir)
    : m_strBaseDir(strBaseDir)
{
}

std::shared_ptr<protocol::PicBinary> CPictureStore::File(const QString& strPath, QString& strError)
{
    if (m_strBaseDir.isEmpty()) {
        strError = QString("picture file %1: files are not read here").arg(strPath);
        return nullptr;
    }
    if (strPath.isEmpty()) {
        strError = "empty picture file name";
        return nullptr;
    }
    const QString strFull = QDir::cleanPath(QDir(m_strBaseDir).absoluteFilePath(strPath));
    if (auto it = m_hashFiles.constFind(strFull); it != m_hashFiles.constEnd())
        return it.value();
    QFile file(strFull);
    if (!QFileInfo(strFull).isFile() || !file.open(QIODevice::ReadOnly)) {
        strError = QString("picture file %1 cannot be read").arg(strPath);
        return nullptr;
    }
    if (file.size() > kMaxPictureBytes) {
        strError = QString("picture file %1 is larger than %2 bytes").arg(strPath).arg(kMaxPictureBytes);
        return nullptr;
    }
    auto spBinary = std::make_shared<protocol::PicBinary>();
    spBinary->strData = file.readAll().toStdString();
    m_hashFiles.insert(strFull, spBinary);
    return spBinary;
}

bool ParseReplayLine(const QByteArray& baLine, CPictureStore& pictures, ReplayEvent& event, QString& strError)
{
    std::unique_ptr<cJSON, JsonDeleter> upRoot(cJSON_ParseWithLength(baLine.constData(), size_t(baLine.size())));
    if (!cJSON_IsObject(upRoot.get())) {
        strError = "not a JSON object";
        return false;
    }
    const cJSON* pRoot = upRoot.get();
    event = ReplayEvent();
    if (const cJSON* pAt = cJSON_GetObjectItem(pRoot, "at")) {
        if (!cJSON_IsNumber(pAt) || !std::isfinite(pAt->valuedouble) || pAt->valuedouble < 0) {
            strError = "\"at\" is not a time in seconds";
            return false;
        }
        event.dAt = pAt->valuedouble;
    }
    const cJSON* pType = cJSON_GetObjectItem(pRoot, "AlarmType");
    if (!cJSON_IsNumber(pType) || !IsWholeInt32(pType->valuedouble)) {
        strError = "\"AlarmType\" is missing or not a whole number";
        return false;
    }
    event.info.AlarmType = static_cast<int32_t>(pType->valuedouble);
    const cJSON* pSource = cJSON_GetObjectItem(pRoot, "AlarmSourceID");
    if (!cJSON_IsString(pSource)) {
        strError = "\"AlarmSourceID\" is missing or not a text";
        return false;
    }
    event.info.AlarmSourceID = pSource->valuestring;
    if (const cJSON* pName = cJSON_GetObjectItem(pRoot, "AlarmSourceName")) {
        if (!cJSON_IsString(pName)) {
            strError = "\"AlarmSourceName\" is not a text";
            return false;
        }
        event.info.AlarmSourceName = pName->valuestring;
    }
    if (const cJSON* pId = cJSON_GetObjectItem(pRoot, "AlarmID")) {
        if (!cJSON_IsString(pId)) {
            strError = "\"AlarmID\" is not a text";
            return false;
        }
        event.info.AlarmID = pId->valuestring;
    }
    const cJSON* pAlarm = cJSON_GetObjectItem(pRoot, "IntelAlarmInfo");
    if (!cJSON_IsObject(pAlarm)) {
        strError = "\"IntelAlarmInfo\" is missing or not an object";
        return false;
    }
    protocol::IntelAlarmInfoStruct& alarm = event.info.IntelAlarmInfo;
    alarm.FromJSON(pAlarm);
    const cJSON* pVca = cJSON_GetObjectItem(pAlarm, "VCASmart");
    return ReadPicture(cJSON_IsObject(pVca) ? cJSON_GetObjectItem(pVca, "bkPic") : nullptr, alarm.VCASmart.bkPic,
                       pictures, "VCASmart.bkPic", strError)
           && ReadListPictures(pAlarm, "IntelAlarmHumanInfoList", alarm.IntelAlarmHumanInfoList, pictures, strError)
           && ReadListPictures(pAlarm, "IntelAlarmFaceInfoList", alarm.IntelAlarmFaceInfoList, pictures, strError);
}

ReplayFile LoadReplayFile(const QString& strPath)
{
    ReplayFile result;
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        result.lstErrors << QString("%1: cannot be read").arg(strPath);
        return result;
    }
    CPictureStore pictures(QFileInfo(strPath).absolutePath());
    int nLine = 0;
    while (!file.atEnd()) {
        const QByteArray baLine = file.readLine().trimmed();
        ++nLine;
        if (baLine.isEmpty() || baLine.startsWith('#'))
            continue;
        ReplayEvent event;
        QString strError;
        if (ParseReplayLine(baLine, pictures, event, strError))
            result.vecEvents.push_back(std::move(event));
        else
            result.lstErrors << QString("line %1: %2").arg(nLine).arg(strError);
    }
    return result;
}

std::vector<std::pair<double, size_t>> ScheduleReplay(const std::vector<ReplayEvent>& vecEvents,
                                                      const ReplayOptions& options)
{
    std::vector<size_t> vecOrder(vecEvents.size());
    for (size_t i = 0; i < vecOrder.size(); ++i)
        vecOrder[i] = i;
    std::stable_sort(vecOrder.begin(), vecOrder.end(),
                     [&](size_t a, size_t b) { return vecEvents[a].dAt < vecEvents[b].dAt; });
    const size_t nBurst = size_t(qMax(1, options.nBurst));
    std::vector<std::pair<double, size_t>> vecSchedule;
    for (size_t i = 0; i < vecOrder.size(); ++i) {
        const double dAt = vecEvents[vecOrder[i - i % nBurst]].dAt;
        vecSchedule.emplace_back(options.dSpeed > 0 ? dAt / options.dSpeed : 0.0, vecOrder[i]);
    }
    // Late delivery: each event gets a key of its place plus up to nDisorder,
    // and goes out in key order, so none goes more than nDisorder places late;
    // the times stay in their slots.
    if (options.nDisorder > 0) {
        QRandomGenerator random(options.uSeed);
        std::vector<std::pair<size_t, size_t>> vecKeyed; // (key, event index)
        for (size_t i = 0; i < vecSchedule.size(); ++i)
            vecKeyed.emplace_back(i + size_t(random.bounded(options.nDisorder + 1)), vecSchedule[i].second);
        std::stable_sort(vecKeyed.begin(), vecKeyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < vecSchedule.size(); ++i)
            vecSchedule[i].second = vecKeyed[i].second;
    }
    return vecSchedule;
}

CAlarmReplay::CAlarmReplay(QObject* parent)
    : QObject(parent)
{
}

CAlarmReplay::~CAlarmReplay()
{
    Stop();
}

void CAlarmReplay::Start(std::vector<ReplayEvent> vecEvents, const ReplayOptions& options)
{
    Stop();
    m_vecEvents = std::move(vecEvents);
    m_options = options;
    m_bStop = false;
    m_thread = std::thread([this] { Run(); });
}

void CAlarmReplay::Stop()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_cvStop.notify_all();
    m_thread.join();
}

void CAlarmReplay::Run()
{
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    const auto vecSchedule = ScheduleReplay(m_vecEvents, m_options);
    std::unique_lock<std::mutex> lock(m_mutex);
    do {
        const auto tStart = std::chrono::steady_clock::now();
        for (const auto& [dAt, nIndex] : vecSchedule) {
            const auto tDue =
                tStart
                + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(dAt));
            if (m_cvStop.wait_until(lock, tDue, [this] { return m_bStop; }))
                return;
            transfer.PostAlarmEvent(std::make_shared<quorra::CIntelAlarmEvent>(m_vecEvents[nIndex].info));
            ++m_nSent;
        }
    } while (m_options.bLoop && !vecSchedule.empty());
    emit signalFinished();
}

} // namespace AlarmSim
