#include "sim/AlarmReplay.h"

#include "sim/Base64.h"

#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"

#include "protocol/LogText.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <cJSON.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string_view>
#include <unordered_map>

namespace AlarmSim {
namespace {

struct JsonDeleter
{
    void operator()(cJSON* p) const { cJSON_Delete(p); }
};

// The pictures of one record: files through the store, and inline pictures
// decoded once per distinct text, so that the persons of an alarm cut from one
// scene share it (the view decodes a shared picture once for all of them).
struct LinePictures
{
    CPictureStore& files;
    const cJSON* pShared; // the record's "Pictures": base64 texts that several pictures name with "ref"
    std::unordered_map<std::string_view, std::shared_ptr<protocol::PicBinary>> mapInline; // views into the record
};

// The base64 text of an inline picture: its own "base64", or the shared one its "ref" names.
const cJSON* InlineText(const cJSON* pBase64, const cJSON* pRef, const LinePictures& pictures, const QString& strWhere,
                        QString& strError)
{
    if (pBase64 && pRef) {
        strError = strWhere + ": both \"base64\" and \"ref\"";
        return nullptr;
    }
    if (pBase64) {
        if (!cJSON_IsString(pBase64))
            strError = strWhere + ": \"base64\" is not a text";
        return cJSON_IsString(pBase64) ? pBase64 : nullptr;
    }
    if (!cJSON_IsString(pRef)) {
        strError = strWhere + ": \"ref\" is not a text";
        return nullptr;
    }
    const cJSON* pText = cJSON_GetObjectItemCaseSensitive(pictures.pShared, pRef->valuestring);
    if (!cJSON_IsString(pText))
        strError = strWhere
                   + QString(": \"ref\" %1 names no picture of \"Pictures\"")
                         .arg(protocol::EscapeForLog(QString::fromUtf8(pRef->valuestring)));
    return cJSON_IsString(pText) ? pText : nullptr;
}

// The picture an AlarmPictureInfo object names with "file" or "base64", if any.
bool ReadPicture(const cJSON* pPicture, protocol::AlarmPictureInfo& picture, LinePictures& pictures,
                 const QString& strWhere, QString& strError)
{
    if (!cJSON_IsObject(pPicture))
        return true;
    const cJSON* pFile = cJSON_GetObjectItem(pPicture, "file");
    const cJSON* pBase64 = cJSON_GetObjectItem(pPicture, "base64");
    const cJSON* pRef = cJSON_GetObjectItem(pPicture, "ref");
    if (pFile && (pBase64 || pRef)) {
        strError = strWhere + (pBase64 ? ": both \"file\" and \"base64\"" : ": both \"file\" and \"ref\"");
        return false;
    }
    if (pFile) {
        if (!cJSON_IsString(pFile)) {
            strError = strWhere + ": \"file\" is not a text";
            return false;
        }
        QString strFileError;
        auto spBinary = pictures.files.File(QString::fromUtf8(pFile->valuestring), strFileError);
        if (!spBinary) {
            strError = strWhere + ": " + strFileError;
            return false;
        }
        picture.pPicBinary = spBinary;
    } else if (pBase64 || pRef) {
        const cJSON* pText = InlineText(pBase64, pRef, pictures, strWhere, strError);
        if (!pText)
            return false;
        std::shared_ptr<protocol::PicBinary>& spShared = pictures.mapInline[pText->valuestring];
        if (!spShared) {
            auto spBinary = std::make_shared<protocol::PicBinary>();
            if (!DecodeBase64(pText->valuestring, spBinary->strData)) {
                strError =
                    strWhere + (pBase64 ? ": \"base64\" is not base64" : ": the picture \"ref\" names is not base64");
                return false;
            }
            spShared = std::move(spBinary);
        }
        picture.pPicBinary = spShared;
    }
    return true;
}

template <class Target>
bool ReadListPictures(const cJSON* pAlarm, const char* szList, std::vector<Target>& vecTargets, LinePictures& pictures,
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

bool IsReplaySpeedAllowed(double dSpeed)
{
    return dSpeed == 0 || (dSpeed >= kMinReplaySpeed && dSpeed <= kMaxReplaySpeed);
}

CPictureStore::CPictureStore(const QString& strBaseDir)
    : m_strBaseDir(strBaseDir)
{
}

QString CPictureStore::InsideFile(const QString& strPath, QString& strError) const
{
    const QString strQuoted = protocol::EscapeForLog(strPath);
    if (QDir::isAbsolutePath(strPath)) {
        strError = QString("picture file %1: an absolute path (only files in the replay file's folder are read)")
                       .arg(strQuoted);
        return QString();
    }
    const QString strBase = QFileInfo(m_strBaseDir).canonicalFilePath();
    const QString strFull = QDir::cleanPath(QDir(m_strBaseDir).absoluteFilePath(strPath));
    const QString strCleanBase = QDir::cleanPath(QDir(m_strBaseDir).absolutePath());
    // Checked as written and again with every symbolic link resolved.
    const QString strReal = QFileInfo(strFull).canonicalFilePath();
    const auto inside = [](const QString& strFile, const QString& strFolder) {
        return !strFolder.isEmpty() && strFile.startsWith(strFolder + QLatin1Char('/'));
    };
    if (!inside(strFull, strCleanBase) || (!strReal.isEmpty() && !inside(strReal, strBase))) {
        strError = QString("picture file %1 is outside the replay file's folder").arg(strQuoted);
        return QString();
    }
    if (strReal.isEmpty() || !QFileInfo(strReal).isFile()) {
        strError = QString("picture file %1 cannot be read").arg(strQuoted);
        return QString();
    }
    return strReal;
}

std::shared_ptr<protocol::PicBinary> CPictureStore::File(const QString& strPath, QString& strError)
{
    if (m_strBaseDir.isEmpty()) {
        strError = QString("picture file %1: files are not read here").arg(protocol::EscapeForLog(strPath));
        return nullptr;
    }
    if (strPath.isEmpty()) {
        strError = "empty picture file name";
        return nullptr;
    }
    const QString strFile = InsideFile(strPath, strError);
    if (strFile.isEmpty())
        return nullptr;
    if (auto it = m_hashFiles.constFind(strFile); it != m_hashFiles.constEnd())
        return it.value();
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly)) {
        strError = QString("picture file %1 cannot be read").arg(protocol::EscapeForLog(strPath));
        return nullptr;
    }
    if (file.size() > kMaxPictureBytes) {
        strError = QString("picture file %1 is larger than %2 bytes")
                       .arg(protocol::EscapeForLog(strPath))
                       .arg(kMaxPictureBytes);
        return nullptr;
    }
    auto spBinary = std::make_shared<protocol::PicBinary>();
    spBinary->strData = file.readAll().toStdString();
    m_hashFiles.insert(strFile, spBinary);
    return spBinary;
}

bool ParseReplayLine(const QByteArray& baLine, CPictureStore& files, ReplayEvent& event, QString& strError)
{
    std::unique_ptr<cJSON, JsonDeleter> upRoot(cJSON_ParseWithLength(baLine.constData(), size_t(baLine.size())));
    if (!cJSON_IsObject(upRoot.get())) {
        strError = "not a JSON object";
        return false;
    }
    const cJSON* pRoot = upRoot.get();
    event = ReplayEvent();
    if (const cJSON* pAt = cJSON_GetObjectItem(pRoot, "at")) {
        // Bounded, so that the delivery time stays a duration the clock can hold.
        if (!cJSON_IsNumber(pAt) || !(pAt->valuedouble >= 0 && pAt->valuedouble <= kMaxReplayAt)) {
            strError = QString("\"at\" is not a time from 0 to %1 seconds").arg(kMaxReplayAt, 0, 'f', 0);
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
    const cJSON* pShared = cJSON_GetObjectItem(pRoot, "Pictures");
    if (pShared && !cJSON_IsObject(pShared)) {
        strError = "\"Pictures\" is not an object";
        return false;
    }
    LinePictures pictures{files, pShared, {}};
    return ReadPicture(cJSON_IsObject(pVca) ? cJSON_GetObjectItem(pVca, "bkPic") : nullptr, alarm.VCASmart.bkPic,
                       pictures, "VCASmart.bkPic", strError)
           && ReadListPictures(pAlarm, "IntelAlarmHumanInfoList", alarm.IntelAlarmHumanInfoList, pictures, strError)
           && ReadListPictures(pAlarm, "IntelAlarmFaceInfoList", alarm.IntelAlarmFaceInfoList, pictures, strError);
}

CReplayReader::CReplayReader(const QString& strPath)
    : m_upFile(std::make_unique<QFile>(strPath))
    , m_pDevice(m_upFile.get())
    , m_pictures(QFileInfo(strPath).absolutePath())
{
    if (!m_upFile->open(QIODevice::ReadOnly)) {
        m_strOpenError = QString("%1: cannot be read (%2)")
                             .arg(protocol::EscapeForLog(strPath), protocol::EscapeForLog(m_upFile->errorString()));
        m_pDevice = nullptr;
    }
}

CReplayReader::CReplayReader(QIODevice* pDevice, const QString& strBaseDir)
    : m_pDevice(pDevice)
    , m_pictures(strBaseDir)
{
}

CReplayReader::~CReplayReader() = default;

bool CReplayReader::IsOpen() const
{
    return m_pDevice && m_pDevice->isReadable();
}

bool CReplayReader::Next(ReplayEvent& event)
{
    if (!IsOpen())
        return false;
    while (!m_pDevice->atEnd()) {
        const QByteArray baLine = m_pDevice->readLine().trimmed();
        ++m_nLine;
        if (baLine.isEmpty() || baLine.startsWith('#'))
            continue;
        QString strError;
        if (ParseReplayLine(baLine, m_pictures, event, strError))
            return true;
        if (m_fnErrorSink)
            m_fnErrorSink(QString("line %1: %2").arg(m_nLine).arg(strError));
    }
    return false;
}

bool CReplayReader::Rewind()
{
    m_nLine = 0;
    return IsOpen() && m_pDevice->seek(0);
}

CReplayEvents::CReplayEvents(std::vector<ReplayEvent> vecEvents)
    : m_vecEvents(std::move(vecEvents))
{
}

bool CReplayEvents::Next(ReplayEvent& event)
{
    if (m_nNext >= m_vecEvents.size())
        return false;
    event = m_vecEvents[m_nNext++];
    return true;
}

bool CReplayEvents::Rewind()
{
    m_nNext = 0;
    return true;
}

ReplayFile LoadReplayFile(const QString& strPath)
{
    ReplayFile result;
    CReplayReader reader(strPath);
    if (!reader.IsOpen()) {
        result.lstErrors << reader.ErrorText();
        return result;
    }
    reader.SetErrorSink([&result](const QString& strError) { result.lstErrors << strError; });
    ReplayEvent event;
    while (reader.Next(event))
        result.vecEvents.push_back(std::move(event));
    return result;
}

CReplaySchedule::CReplaySchedule(const ReplayOptions& options)
    : m_options(options)
    , m_random(options.uSeed)
{
}

void CReplaySchedule::Push(ReplayEvent event)
{
    const size_t nArrival = m_nPushed++;
    // File order wins over time order: a time earlier than the one before waits for nothing.
    m_dLastAt = nArrival == 0 ? event.dAt : std::max(m_dLastAt, event.dAt);
    if (nArrival % size_t(qMax(1, m_options.nBurst)) == 0)
        m_dBurstAt = m_dLastAt;
    const double dScaled = m_options.dSpeed > 0 ? m_dBurstAt / m_options.dSpeed : 0.0;
    // Bounded, whatever the options: the thread's clock must hold the time.
    m_queSlotTimes.push(std::min(dScaled, kMaxReplayAt / kMinReplaySpeed));
    // Late delivery: each event gets a key of its place plus up to nDisorder and
    // goes out in key order, so none goes more than nDisorder places late.
    const size_t nLate = m_options.nDisorder > 0 ? size_t(m_random.bounded(m_options.nDisorder + 1)) : 0;
    m_heap.push({nArrival + nLate, nArrival, std::make_shared<ReplayEvent>(std::move(event))});
}

void CReplaySchedule::Finish()
{
    m_bFinished = true;
}

bool CReplaySchedule::Pop(double& dDue, ReplayEvent& event, size_t* pnArrival)
{
    // Events still to come have keys of at least m_nPushed and come later in
    // ties: a held event with a key up to that goes before all of them.
    if (m_heap.empty() || (!m_bFinished && m_heap.top().nKey > m_nPushed))
        return false;
    Waiting held = m_heap.top();
    m_heap.pop();
    dDue = m_queSlotTimes.front();
    m_queSlotTimes.pop();
    event = std::move(*held.spEvent);
    if (pnArrival)
        *pnArrival = held.nArrival;
    return true;
}

CReplayStream::CReplayStream(IReplaySource& source, const ReplayOptions& options)
    : m_source(source)
    , m_options(options)
    , m_upSchedule(std::make_unique<CReplaySchedule>(options))
{
}

bool CReplayStream::Next(double& dDue, ReplayEvent& event)
{
    while (!m_upSchedule->Pop(dDue, event)) {
        ReplayEvent next;
        if (m_source.Next(next)) {
            m_upSchedule->Push(std::move(next));
        } else {
            m_upSchedule->Finish();
            return m_upSchedule->Pop(dDue, event);
        }
    }
    return true;
}

bool CReplayStream::Restart()
{
    m_upSchedule = std::make_unique<CReplaySchedule>(m_options);
    return m_source.Rewind();
}

std::vector<std::pair<double, size_t>> ScheduleReplay(const std::vector<ReplayEvent>& vecEvents,
                                                      const ReplayOptions& options)
{
    CReplaySchedule schedule(options);
    std::vector<std::pair<double, size_t>> vecSchedule;
    double dDue = 0;
    ReplayEvent event;
    size_t nArrival = 0;
    for (const ReplayEvent& next : vecEvents) {
        schedule.Push(next);
        while (schedule.Pop(dDue, event, &nArrival))
            vecSchedule.emplace_back(dDue, nArrival);
    }
    schedule.Finish();
    while (schedule.Pop(dDue, event, &nArrival))
        vecSchedule.emplace_back(dDue, nArrival);
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

bool CAlarmReplay::Start(const QString& strPath, const ReplayOptions& options,
                         std::function<void(const QString&)> fnError)
{
    auto upReader = std::make_unique<CReplayReader>(strPath);
    if (!upReader->IsOpen()) {
        if (fnError)
            fnError(upReader->ErrorText());
        return false;
    }
    upReader->SetErrorSink(std::move(fnError));
    StartThread(std::move(upReader), options);
    return true;
}

void CAlarmReplay::Start(std::vector<ReplayEvent> vecEvents, const ReplayOptions& options)
{
    StartThread(std::make_unique<CReplayEvents>(std::move(vecEvents)), options);
}

void CAlarmReplay::StartThread(std::unique_ptr<IReplaySource> upSource, const ReplayOptions& options)
{
    Stop();
    m_upSource = std::move(upSource);
    m_options = options;
    m_worker.Start([this] { Run(); });
}

void CAlarmReplay::Stop()
{
    m_worker.Stop();
}

void CAlarmReplay::Run()
{
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    CReplayStream stream(*m_upSource, m_options);
    std::unique_lock<std::mutex> lock(m_mutex);
    bool bAny = false;
    do {
        if (bAny && !stream.Restart())
            break; // a device that cannot go back plays once
        bAny = false;
        const auto tStart = std::chrono::steady_clock::now();
        double dDue = 0;
        ReplayEvent event;
        // The file is read without the lock, so that Stop never waits for it.
        const auto next = [&] {
            lock.unlock();
            const bool bNext = stream.Next(dDue, event);
            lock.lock();
            return bNext;
        };
        while (next()) {
            bAny = true;
            const auto tDue =
                tStart
                + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(dDue));
            if (m_cvStop.wait_until(lock, tDue, [this] { return m_worker.StopRequested(); }))
                return;
            transfer.PostAlarmEvent(std::make_shared<quorra::CIntelAlarmEvent>(event.info));
            ++m_nSent;
        }
    } while (m_options.bLoop && bAny);
    emit signalFinished();
}

} // namespace AlarmSim
