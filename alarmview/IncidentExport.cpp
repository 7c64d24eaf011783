#include "alarmview/IncidentExport.h"

#include "alarmview/AlarmViewLogging.h"
#include "alarmview/AlarmViewTexts.h"
#include "common/FreeSpace.h"
#include "common/IncidentManifest.h"

#include "Vantrel/ClipWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <mutex>
#include <thread>
#include <tuple>

namespace LinkageSnapAlarm {
namespace {

// Room kept beyond the export's own bytes (the manifest, the muxer's overhead).
constexpr qint64 kSpareBytes = 16 * 1024 * 1024;
// How often the wait for the video after the last alarm looks at the buffers.
constexpr int kWaitPollMs = 100;
// How many frames of a clip go in between two progress reports.
constexpr size_t kProgressFrames = 100;
// Clips written at once, one per core of the machines it runs on: a clip is
// muxed on GStreamer's thread, then written and hashed on its worker.
constexpr int kClipWorkers = 2;
constexpr int kPermille = 1000;
constexpr qint64 kMsPerSecond = 1000;
// Progress: pictures, the wait for the after part, the clips, the checksums.
constexpr int kPicturesDone = 5;
constexpr int kWaitDone = 25;
constexpr int kClipsDone = 90;
constexpr int kAllDone = 100;

struct TimeSpan
{
    qint64 nFirstMs = 0; // the first alarm
    qint64 nLastMs = 0;  // the last alarm
    qint64 nFromMs = 0;  // the video asked for
    qint64 nToMs = 0;
};

std::vector<std::shared_ptr<const CardRecord>> RecordsOf(const LinkageRecordSet& set)
{
    std::vector<std::shared_ptr<const CardRecord>> vecRecords;
    if (set.spScene)
        vecRecords.push_back(set.spScene);
    // The strip lists the newest card first; the export keeps the alarms' order.
    for (auto it = set.vecCards.rbegin(); it != set.vecCards.rend(); ++it)
        if (*it)
            vecRecords.push_back(*it);
    return vecRecords;
}

std::optional<TimeSpan> SpanOf(const std::vector<std::shared_ptr<const CardRecord>>& vecRecords, int nMarginSeconds)
{
    std::optional<TimeSpan> optSpan;
    for (const auto& spRecord : vecRecords) {
        if (!spRecord->AlarmTime.isValid())
            continue;
        const qint64 nMs = spRecord->AlarmTime.toMSecsSinceEpoch();
        if (!optSpan)
            optSpan = TimeSpan{nMs, nMs, 0, 0};
        optSpan->nFirstMs = std::min(optSpan->nFirstMs, nMs);
        optSpan->nLastMs = std::max(optSpan->nLastMs, nMs);
    }
    if (optSpan) {
        optSpan->nFromMs = optSpan->nFirstMs - nMarginSeconds * kMsPerSecond;
        optSpan->nToMs = optSpan->nLastMs + nMarginSeconds * kMsPerSecond;
    }
    return optSpan;
}

// One camera and another are the same: by their IDs where both are known, else by name.
bool SameCamera(const QString& strNameA, const QString& strIdA, const QString& strNameB, const QString& strIdB)
{
    return !strIdA.isEmpty() && !strIdB.isEmpty() ? strIdA == strIdB : strNameA == strNameB;
}

// The cameras of the alarms, in their order: names, and IDs where the alarms carried them.
std::pair<QStringList, QStringList> CamerasOf(const std::vector<std::shared_ptr<const CardRecord>>& vecRecords)
{
    QStringList lstNames;
    QStringList lstIds;
    for (const auto& spRecord : vecRecords) {
        if (spRecord->CameraName.isEmpty() && spRecord->CameraId.isEmpty())
            continue;
        bool bKnown = false;
        for (int i = 0; i < lstNames.size() && !bKnown; ++i)
            bKnown = SameCamera(lstNames[i], lstIds[i], spRecord->CameraName, spRecord->CameraId);
        if (!bKnown) {
            lstNames << spRecord->CameraName;
            lstIds << spRecord->CameraId;
        }
    }
    return {lstNames, lstIds};
}

// A name safe on every file system: letters, digits, '-' and '_'.
QString SafeName(const QString& strName)
{
    static const QRegularExpression s_reUnsafe(QStringLiteral("[^A-Za-z0-9_-]+"));
    QString strSafe = strName;
    strSafe.replace(s_reUnsafe, QStringLiteral("_"));
    return strSafe.left(64).isEmpty() ? QStringLiteral("camera") : strSafe.left(64);
}

QString IsoTime(qint64 nMs)
{
    return QDateTime::fromMSecsSinceEpoch(nMs)
        .toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
        .toString(Qt::ISODateWithMs);
}

// A file of the export as the manifest lists it; hashed while it was written.
struct ExportedFile
{
    QString strRel;
    qint64 nBytes = 0;
    QString strSha256;
};

// What writing one camera's clip gave, filled by the worker that wrote it.
struct ClipOutcome
{
    QJsonObject objCamera;
    std::optional<ExportedFile> optFile;
};

QJsonArray RectsJson(const std::vector<protocol::PictureRect>& vecRects)
{
    QJsonArray arr;
    for (const protocol::PictureRect& rect : vecRects)
        arr.append(QJsonObject{{"x", rect.x}, {"y", rect.y}, {"width", rect.width}, {"height", rect.height}});
    return arr;
}

// The export being built: its temporary folder and what the manifest will say.
class ExportBuilder
{
public:
    ExportBuilder(const IncidentExportRequest& request, IncidentExportControl& control, const TimeSpan& span)
        : m_request(request)
        , m_control(control)
        , m_span(span)
    {
    }

    IncidentExportResult Run();

private:
    bool Cancelled() const { return m_control.bCancel.load(); }
    // Clips report from their workers: one report at a time.
    void Progress(int nPercent, const QString& strStage) const
    {
        const std::lock_guard<std::mutex> lock(m_mutexProgress);
        if (m_control.fnProgress)
            m_control.fnProgress(nPercent, strStage);
    }
    void ClipProgress(int nIndex, int nPermille);
    QString Fail(const char* szKey, const QStringList& lstArgs = {})
    {
        m_strError = AlarmViewTexts::WithArgs(szKey, lstArgs);
        return m_strError;
    }
    bool ChooseNames();
    bool EnoughSpace();
    std::optional<ExportedFile> WriteFile(const QString& strRelPath, const QByteArray& baBytes);
    bool WritePicture(const QString& strRelPath, const QByteArray& baBytes);
    bool WritePictures();
    void WaitForAfterPart();
    void ChooseClipNames();
    bool WriteClips();
    bool WriteClip(int nIndex, ClipOutcome& outcome);
    bool WriteManifest();
    const IncidentClipSource* SourceOf(int nCamera) const;

    const IncidentExportRequest& m_request;
    IncidentExportControl& m_control;
    TimeSpan m_span;
    std::vector<std::shared_ptr<const CardRecord>> m_vecRecords;
    QStringList m_lstCameras;   // names, as the manifest shows them
    QStringList m_lstCameraIds; // the same cameras' IDs, empty where not known
    QDir m_dirTarget;
    QString m_strFinalName;
    QString m_strTempPath;
    QStringList m_lstClipNames;           // a file name per camera, none twice
    std::vector<ExportedFile> m_vecFiles; // in the manifest's order
    std::vector<int> m_vecClipPermille;   // each clip's share done, under m_mutexProgress
    mutable std::mutex m_mutexProgress;
    QJsonArray m_arrAlarms;
    QJsonArray m_arrCameras;
    QStringList m_lstMissing;
    QString m_strError;
    bool m_bWaitedOut = false; // the after part did not come in time
};

const IncidentClipSource* ExportBuilder::SourceOf(int nCamera) const
{
    for (const IncidentClipSource& source : m_request.vecSources)
        if (source.spBuffer
            && SameCamera(source.strCamera, source.strCameraId, m_lstCameras[nCamera], m_lstCameraIds[nCamera]))
            return &source;
    return nullptr;
}

bool ExportBuilder::ChooseNames()
{
    const QString strBase = QStringLiteral("incident-%1-%2")
                                .arg(SafeName(m_vecRecords.front()->LinkageUid),
                                     QDateTime::fromMSecsSinceEpoch(m_span.nFirstMs).toString("yyyyMMdd-HHmmss"));
    // Never over an earlier export, nor over another run's temporary folder.
    for (int n = 1;; ++n) {
        m_strFinalName = n == 1 ? strBase : QStringLiteral("%1-%2").arg(strBase).arg(n);
        const QString strTemp = IncidentManifest::TemporaryName(m_strFinalName);
        if (!m_dirTarget.exists(m_strFinalName) && !m_dirTarget.exists(strTemp)
            && !QFileInfo::exists(IncidentManifest::LockPath(m_dirTarget.filePath(strTemp)))) {
            m_strTempPath = m_dirTarget.filePath(strTemp);
            return true;
        }
    }
}

bool ExportBuilder::EnoughSpace()
{
    qint64 nNeeded = kSpareBytes;
    for (const auto& spRecord : m_vecRecords)
        for (const CardPicture* pPicture : {&spRecord->Scene, &spRecord->Face, &spRecord->Body})
            if (!pPicture->IsNull())
                nNeeded += qint64(pPicture->spBytes->strData.size());
    // What the buffers hold now of the span; the part still to come adds its margin again.
    for (int i = 0; i < m_lstCameras.size(); ++i)
        if (const IncidentClipSource* pSource = SourceOf(i))
            for (const Vantrel::EncodedFrame& frame : pSource->spBuffer->SnapshotSinceWall(m_span.nFromMs))
                nNeeded += frame.baData.size();
    const auto fnFree = m_request.fnFreeBytes ? m_request.fnFreeBytes : &FreeSpace::FreeBytes;
    const std::optional<qint64> optFree = fnFree(m_dirTarget.absolutePath());
    if (optFree && *optFree < nNeeded) {
        Fail(AlarmViewTexts::ExportNotEnoughSpace,
             {QString::number((nNeeded >> 20) + 1), QString::number(*optFree >> 20)});
        return false;
    }
    return true;
}

std::optional<ExportedFile> ExportBuilder::WriteFile(const QString& strRelPath, const QByteArray& baBytes)
{
    const QString strPath = m_strTempPath + QLatin1Char('/') + strRelPath;
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    const QString strSha256 = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
                                  ? IncidentManifest::WriteHashed(file, baBytes)
                                  : QString();
    if (strSha256.isEmpty()) {
        Fail(AlarmViewTexts::ExportFolderFailed, {strPath});
        return std::nullopt;
    }
    return ExportedFile{strRelPath, baBytes.size(), strSha256};
}

bool ExportBuilder::WritePicture(const QString& strRelPath, const QByteArray& baBytes)
{
    std::optional<ExportedFile> optFile = WriteFile(strRelPath, baBytes);
    if (optFile)
        m_vecFiles.push_back(std::move(*optFile));
    return optFile.has_value();
}

bool ExportBuilder::WritePictures()
{
    Progress(0, AlarmViewTexts::Text(AlarmViewTexts::ExportPictures));
    int nCard = 0;
    std::shared_ptr<const protocol::PicBinary> spSceneWritten;
    for (const auto& spRecord : m_vecRecords) {
        const bool bScene = spRecord == m_vecRecords.front() && m_request.set.spScene;
        QJsonObject objAlarm{
            {"camera", spRecord->CameraName},
            {"time", spRecord->AlarmTime.isValid() ? IsoTime(spRecord->AlarmTime.toMSecsSinceEpoch()) : QString()},
            {"type", spRecord->AlarmType},
            {"linkageUid", spRecord->LinkageUid},
            {"rects", RectsJson(spRecord->PersonRects)}};
        // The scene once, as the panoramic alarm brought it.
        if (!spRecord->Scene.IsNull() && !spSceneWritten) {
            if (!WritePicture("scene.jpg", QByteArray::fromStdString(spRecord->Scene.spBytes->strData)))
                return false;
            spSceneWritten = spRecord->Scene.spBytes;
        }
        if (bScene) {
            objAlarm.insert("kind", "scene");
            if (spSceneWritten)
                objAlarm.insert("picture", "scene.jpg");
        } else {
            ++nCard;
            objAlarm.insert("kind", "person");
            const QString strNumber = QStringLiteral("%1").arg(nCard, 3, 10, QLatin1Char('0'));
            for (const auto& [pPicture, strKind] : {std::pair{&spRecord->Face, QStringLiteral("face")},
                                                    std::pair{&spRecord->Body, QStringLiteral("body")}}) {
                if (pPicture->IsNull())
                    continue;
                const QString strRel = QStringLiteral("persons/%1-%2.jpg").arg(strNumber, strKind);
                if (!WritePicture(strRel, QByteArray::fromStdString(pPicture->spBytes->strData)))
                    return false;
                objAlarm.insert(strKind, strRel);
                if (pPicture->optCut)
                    objAlarm.insert(strKind + "Cut", RectsJson({*pPicture->optCut}));
            }
        }
        m_arrAlarms.append(objAlarm);
        if (Cancelled())
            return false;
    }
    Progress(kPicturesDone, AlarmViewTexts::Text(AlarmViewTexts::ExportPictures));
    return true;
}

// The newest frame's wall time of a buffer, or 0 when it holds none.
qint64 NewestWallMs(const Vantrel::CPreAlarmBuffer& buffer)
{
    const Vantrel::EncodedFrames vecTail = buffer.Snapshot(0);
    return vecTail.empty() ? 0 : vecTail.back().nWallMs;
}

void ExportBuilder::WaitForAfterPart()
{
    const qint64 nDeadlineMs = QDateTime::currentMSecsSinceEpoch() + m_request.nMarginSeconds * kMsPerSecond;
    const QString strStage =
        AlarmViewTexts::WithArgs(AlarmViewTexts::ExportWaiting, {QString::number(m_request.nMarginSeconds)});
    for (;;) {
        bool bWaiting = false;
        for (int i = 0; i < m_lstCameras.size(); ++i)
            if (const IncidentClipSource* pSource = SourceOf(i))
                bWaiting |= pSource->bLive && NewestWallMs(*pSource->spBuffer) < m_span.nToMs;
        const qint64 nNowMs = QDateTime::currentMSecsSinceEpoch();
        if (!bWaiting || Cancelled())
            return;
        if (nNowMs >= nDeadlineMs) {
            m_bWaitedOut = true;
            return;
        }
        const qint64 nWaitMs = std::max<qint64>(1, m_request.nMarginSeconds * kMsPerSecond);
        Progress(kPicturesDone + int((kWaitDone - kPicturesDone) * (nWaitMs - (nDeadlineMs - nNowMs)) / nWaitMs),
                 strStage);
        std::this_thread::sleep_for(std::chrono::milliseconds(kWaitPollMs));
    }
}

void ExportBuilder::ChooseClipNames()
{
    // Two cameras whose names differ only in what SafeName replaces still get a clip each.
    m_lstClipNames.clear();
    for (const QString& strCamera : m_lstCameras) {
        const QString strBase = SafeName(strCamera);
        QString strName = strBase;
        for (int n = 2; m_lstClipNames.contains(strName, Qt::CaseInsensitive); ++n)
            strName = QStringLiteral("%1-%2").arg(strBase).arg(n);
        m_lstClipNames << strName;
    }
}

void ExportBuilder::ClipProgress(int nIndex, int nPermille)
{
    const QString strStage = AlarmViewTexts::WithArgs(AlarmViewTexts::ExportClip, {m_lstCameras[nIndex]});
    // Summed and reported under one lock, so that the bar never steps back.
    const std::lock_guard<std::mutex> lock(m_mutexProgress);
    m_vecClipPermille[size_t(nIndex)] = nPermille;
    qint64 nSum = 0;
    for (const int nDone : m_vecClipPermille)
        nSum += nDone;
    const qint64 nAll = qint64(kPermille) * qint64(m_vecClipPermille.size());
    if (m_control.fnProgress)
        m_control.fnProgress(kWaitDone + int((kClipsDone - kWaitDone) * nSum / nAll), strStage);
}

bool ExportBuilder::WriteClips()
{
    Progress(kWaitDone, QString());
    const int nCameras = m_lstCameras.size();
    ChooseClipNames();
    m_vecClipPermille.assign(size_t(nCameras), 0);
    QDir().mkpath(m_strTempPath + "/clips");
    // The cameras' clips on a few workers; the manifest keeps the cameras' order.
    std::vector<ClipOutcome> vecOutcomes(static_cast<size_t>(nCameras));
    std::atomic<int> nNext{0};
    const auto fnWorker = [&] {
        for (int i = nNext++; i < nCameras && !Cancelled(); i = nNext++)
            WriteClip(i, vecOutcomes[size_t(i)]);
    };
    std::vector<std::thread> vecHelpers;
    for (int i = 1; i < std::min(kClipWorkers, nCameras); ++i)
        vecHelpers.emplace_back(fnWorker);
    fnWorker();
    for (std::thread& helper : vecHelpers)
        helper.join();
    if (Cancelled())
        return false;
    for (int i = 0; i < nCameras; ++i) {
        ClipOutcome& outcome = vecOutcomes[size_t(i)];
        if (outcome.optFile)
            m_vecFiles.push_back(std::move(*outcome.optFile));
        if (outcome.objCamera.contains("missing"))
            m_lstMissing << QStringLiteral("%1: %2").arg(m_lstCameras[i],
                                                         outcome.objCamera.value("missing").toString());
        m_arrCameras.append(outcome.objCamera);
    }
    return true;
}

// Runs on a clip worker: reads only what the export set up before the clips.
bool ExportBuilder::WriteClip(int nIndex, ClipOutcome& outcome)
{
    const QString& strCamera = m_lstCameras[nIndex];
    const IncidentClipSource* pSource = SourceOf(nIndex);
    QJsonObject& objCamera = outcome.objCamera;
    objCamera.insert("camera", strCamera);
    if (!pSource) {
        objCamera.insert("missing", "not shown in a live window");
        return true;
    }
    Vantrel::EncodedFrames vecFrames = pSource->spBuffer->SnapshotSinceWall(m_span.nFromMs);
    if (vecFrames.empty()) {
        objCamera.insert("missing", "nothing buffered: live view stopped or not started");
        return true;
    }
    if (vecFrames.back().nWallMs < m_span.nFromMs) {
        objCamera.insert("missing",
                         "live view stopped before the alarm, last picture at " + IsoTime(vecFrames.back().nWallMs));
        return true;
    }
    if (vecFrames.front().nWallMs > m_span.nToMs) {
        objCamera.insert("missing", "older than the buffer, which starts at " + IsoTime(vecFrames.front().nWallMs));
        return true;
    }
    // Cut after the last picture of the span; the start is the keyframe at or before it.
    const auto itEnd = std::find_if(vecFrames.begin(), vecFrames.end(), [this](const Vantrel::EncodedFrame& frame) {
        return frame.nWallMs > m_span.nToMs;
    });
    vecFrames.erase(itEnd, vecFrames.end());
    const QString strRel = QStringLiteral("clips/%1.mkv").arg(m_lstClipNames[nIndex]);
    QString strError;
    const size_t nFrames = vecFrames.size();
    const qint64 nFirstWallMs = vecFrames.front().nWallMs;
    const qint64 nLastWallMs = vecFrames.back().nWallMs;
    const auto fnFrames = [&](size_t nDone) {
        if (nDone % kProgressFrames == 0)
            ClipProgress(nIndex, int(kPermille * qint64(nDone) / qint64(nFrames)));
    };
    ClipProgress(nIndex, 0);
    // The clip is hashed from the bytes as they are written, not read back.
    IncidentManifest::CSha256 sha;
    qint64 nBytes = 0;
    const auto fnWritten = [&](const char* pData, size_t nSize) {
        sha.Add(pData, nSize);
        nBytes += qint64(nSize);
    };
    if (!Vantrel::WriteMatroskaClip(std::move(vecFrames), m_strTempPath + QLatin1Char('/') + strRel, &m_control.bCancel,
                                    fnFrames, &strError, fnWritten)) {
        // One camera's stream the muxer refuses (a format it cannot hold, a
        // change of format within the clip) costs that clip, not the export;
        // a full disk fails the files after it.
        if (Cancelled())
            return false;
        objCamera.insert("missing", "the clip could not be written: " + strError);
        return true;
    }
    ClipProgress(nIndex, kPermille);
    outcome.optFile = ExportedFile{strRel, nBytes, sha.Hex()};
    objCamera.insert("clip", strRel);
    objCamera.insert("from", IsoTime(nFirstWallMs));
    objCamera.insert("to", IsoTime(nLastWallMs));
    objCamera.insert("frames", qint64(nFrames));
    if (nFirstWallMs > m_span.nFromMs)
        objCamera.insert("startsLate", "the buffer held no earlier video");
    if (nLastWallMs < m_span.nToMs - kMsPerSecond)
        objCamera.insert("endsEarly", pSource->bLive && m_bWaitedOut
                                          ? "the video after the last alarm had not come when the wait ended"
                                          : "live view stopped before the end");
    return true;
}

bool ExportBuilder::WriteManifest()
{
    Progress(kClipsDone, AlarmViewTexts::Text(AlarmViewTexts::ExportHashing));
    QJsonArray arrFiles;
    for (const ExportedFile& file : m_vecFiles) {
        if (file.strSha256.isEmpty()) {
            Fail(AlarmViewTexts::ExportFolderFailed, {m_strTempPath + QLatin1Char('/') + file.strRel});
            return false;
        }
        arrFiles.append(QJsonObject{{"path", file.strRel}, {"bytes", file.nBytes}, {"sha256", file.strSha256}});
    }
    if (Cancelled())
        return false;
    const QJsonObject objManifest{{"format", IncidentManifest::kFormat},
                                  {"version", IncidentManifest::kVersion},
                                  {"linkageUid", m_vecRecords.front()->LinkageUid},
                                  {"exportedAt", IsoTime(QDateTime::currentMSecsSinceEpoch())},
                                  {"note", m_request.strNote},
                                  {"firstAlarm", IsoTime(m_span.nFirstMs)},
                                  {"lastAlarm", IsoTime(m_span.nLastMs)},
                                  {"marginSeconds", m_request.nMarginSeconds},
                                  {"videoFrom", IsoTime(m_span.nFromMs)},
                                  {"videoTo", IsoTime(m_span.nToMs)},
                                  {"alarms", m_arrAlarms},
                                  {"cameras", m_arrCameras},
                                  {"files", arrFiles}};
    const QByteArray baJson = QJsonDocument(objManifest).toJson(QJsonDocument::Indented);
    // The manifest does not list itself.
    return WriteFile(IncidentManifest::kFileName, baJson).has_value();
}

IncidentExportResult ExportBuilder::Run()
{
    IncidentExportResult result;
    m_vecRecords = RecordsOf(m_request.set);
    std::tie(m_lstCameras, m_lstCameraIds) = CamerasOf(m_vecRecords);
    m_dirTarget = QDir(m_request.strTargetFolder);
    if (!QDir().mkpath(m_request.strTargetFolder)) {
        result.strError = Fail(AlarmViewTexts::ExportFolderFailed, {m_request.strTargetFolder});
        return result;
    }
    RemoveLeftoverExports(m_request.strTargetFolder);
    if (!ChooseNames() || !EnoughSpace()) {
        result.strError = m_strError;
        return result;
    }
    // The lock tells a later run that this folder is being written, not left over.
    QLockFile lock(IncidentManifest::LockPath(m_strTempPath));
    if (!lock.tryLock(0) || !QDir().mkpath(m_strTempPath)) {
        result.strError = Fail(AlarmViewTexts::ExportFolderFailed, {m_strTempPath});
        return result;
    }
    const bool bWritten = WritePictures() && (WaitForAfterPart(), !Cancelled()) && WriteClips() && WriteManifest();
    if (bWritten && !Cancelled() && !m_dirTarget.exists(m_strFinalName)
        && m_dirTarget.rename(QFileInfo(m_strTempPath).fileName(), m_strFinalName)) {
        result.bOk = true;
        result.strFolder = m_dirTarget.filePath(m_strFinalName);
        result.lstMissing = m_lstMissing;
        Progress(kAllDone, AlarmViewTexts::WithArgs(AlarmViewTexts::ExportDone, {result.strFolder}));
        return result;
    }
    QDir(m_strTempPath).removeRecursively();
    result.bCancelled = Cancelled();
    result.strError =
        result.bCancelled
            ? AlarmViewTexts::Text(AlarmViewTexts::ExportCancelled)
            : (m_strError.isEmpty() ? Fail(AlarmViewTexts::ExportFolderFailed, {m_dirTarget.filePath(m_strFinalName)})
                                    : m_strError);
    return result;
}

} // namespace

IncidentExportResult RunIncidentExport(const IncidentExportRequest& request, IncidentExportControl& control)
{
    const std::vector<std::shared_ptr<const CardRecord>> vecRecords = RecordsOf(request.set);
    const std::optional<TimeSpan> optSpan = SpanOf(vecRecords, std::max(0, request.nMarginSeconds));
    if (!optSpan) {
        IncidentExportResult result;
        result.strError = AlarmViewTexts::Text(AlarmViewTexts::ExportNoAlarm);
        return result;
    }
    IncidentExportRequest checked = request;
    checked.nMarginSeconds = std::max(0, request.nMarginSeconds);
    IncidentExportResult result = ExportBuilder(checked, control, *optSpan).Run();
    if (result.bOk)
        qCInfo(lcAlarmView) << "incident exported to" << result.strFolder << "missing:" << result.lstMissing;
    else
        qCWarning(lcAlarmView) << "incident export failed:" << result.strError;
    return result;
}

void RemoveLeftoverExports(const QString& strTargetFolder)
{
    const QDir dir(strTargetFolder);
    const QStringList lstNames = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& strName : lstNames) {
        if (!IncidentManifest::IsTemporaryName(strName))
            continue;
        // A lock that can be taken belongs to no live export.
        QLockFile lock(IncidentManifest::LockPath(dir.filePath(strName)));
        if (!lock.tryLock(0))
            continue;
        qCInfo(lcAlarmView) << "removing the leftover of an unfinished export:" << dir.filePath(strName);
        QDir(dir.filePath(strName)).removeRecursively();
    }
}

CIncidentExporter::CIncidentExporter(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<IncidentExportResult>();
}

CIncidentExporter::~CIncidentExporter()
{
    if (m_pThread) {
        m_spControl->bCancel = true;
        m_pThread->wait();
        delete m_pThread;
    }
}

bool CIncidentExporter::Start(IncidentExportRequest request)
{
    if (m_pThread)
        return false;
    m_spControl = std::make_shared<IncidentExportControl>();
    // Progress reaches the GUI thread queued; the control outlives the thread.
    m_spControl->fnProgress = [this](int nPercent, const QString& strStage) {
        QMetaObject::invokeMethod(
            this, [this, nPercent, strStage] { emit signalProgress(nPercent, strStage); }, Qt::QueuedConnection);
    };
    m_pThread = QThread::create([this, request = std::move(request), spControl = m_spControl] {
        const IncidentExportResult result = RunIncidentExport(request, *spControl);
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                if (m_pThread) {
                    m_pThread->wait();
                    delete std::exchange(m_pThread, nullptr);
                }
                emit signalFinished(result);
            },
            Qt::QueuedConnection);
    });
    m_pThread->start();
    return true;
}

void CIncidentExporter::Cancel()
{
    if (m_spControl)
        m_spControl->bCancel = true;
}

} // namespace LinkageSnapAlarm
