#include "history/AlarmHistory.h"

#include "history/HistoryDatabase.h"
#include "history/HistoryLogging.h"
#include "history/HistoryTexts.h"

#include "common/DatabaseFiles.h"
#include "common/FreeSpace.h"
#include "protocol/LogText.h"

#include "Fendra/Singleton.h"
#include "Fendra/WorkerThread.h"
#include "Ostrel/UserDataPath.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace LinkageSnapAlarm {
namespace {

constexpr std::int64_t kMsPerDay = 24LL * 3600 * 1000;
// Pruning for count goes this fraction (1/100) below the bound.
constexpr int kPruneSlackDivisor = 100;
// A saved picture larger than this is not read back for the detail view.
constexpr qint64 kMaxSavedFileBytes = qint64(64) << 20;

std::string LogPath(const std::string& strPath)
{
    return protocol::EscapeForLog(strPath);
}

bool DefaultSpaceCheck(const QString& strFolder)
{
    return FreeSpace::CheckFreeSpace(strFolder) != FreeSpace::SpaceCheck::NotEnough;
}

QByteArray ReadSavedFile(const QString& strPath)
{
    QFile file(strPath);
    if (strPath.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxSavedFileBytes)
        return QByteArray();
    return file.readAll();
}

struct PageRequest
{
    const void* pOwner = nullptr;
    std::uint64_t nToken = 0;
    HistoryFilter filter;
    std::int64_t nAfterTimeMs = 0;
    std::int64_t nAfterId = 0;
    int nLimit = 0;
    std::int64_t nLoadId = 0; // set: load this linkage instead
    bool bForExport = false;  // the loaded linkage is to be exported, not shown
};

} // namespace

// The writer and the reader thread with their queues. Each thread owns its
// own connection; the writer tells the reader through m_nEpoch when it has
// started a fresh file.
class CAlarmHistory::CWorkers
{
public:
    CWorkers(CAlarmHistory* pOwner, const HistoryBounds& bounds)
        : m_pOwner(pOwner)
        , m_strPath(pOwner->Path().toStdString())
        , m_bounds(bounds.Clamped())
        , m_fnSpaceCheck(DefaultSpaceCheck)
    {
        m_writer.Start([this] { WriterLoop(); });
        m_reader.Start([this] { ReaderLoop(); });
    }

    ~CWorkers()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_tpExitDeadline = std::chrono::steady_clock::now() + kExitWriteBudget;
        }
        m_writer.Stop();
        m_reader.Stop();
    }

    // GUI thread.
    void Record(HistoryAlarmSource alarm)
    {
        bool bTell = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const std::int64_t nBytes = alarm.PictureBytes();
            if (m_nQueuedBytes + nBytes > kMaxQueuedPictureBytes) {
                // The writer is behind: keep the alarm, not its thumbnails.
                alarm.DropPictures();
                if (m_nThumbsDropped++ == 0)
                    qCWarning(lcHistory, "History writer behind: alarms kept without thumbnails");
            } else {
                m_nQueuedBytes += nBytes;
            }
            if (int(m_deqQueue.size()) >= kMaxQueuedAlarms) {
                m_nQueuedBytes -= m_deqQueue.front().PictureBytes();
                m_deqQueue.pop_front();
                ++m_nDone;
                bTell = CountLostLocked(1);
            }
            m_deqQueue.push_back(std::move(alarm));
            ++m_nEnqueued;
        }
        m_cvWriter.notify_one();
        if (bTell)
            m_pOwner->Notice(HistoryTexts::HistoryAlarmsNotKept);
    }

    void SetBounds(const HistoryBounds& bounds)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bounds = bounds.Clamped();
            m_bPruneAsked = true;
        }
        m_cvWriter.notify_one();
    }

    HistoryBounds Bounds() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bounds;
    }

    void SetThumbnailer(Thumbnailer fn)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fnThumbnailer = std::move(fn);
    }

    void SetSpaceCheck(SpaceCheck fn)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fnSpaceCheck = fn ? std::move(fn) : SpaceCheck(DefaultSpaceCheck);
    }

    bool WaitWritten(int nTimeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const std::uint64_t nTarget = m_nEnqueued;
        return m_cvWritten.wait_for(lock, std::chrono::milliseconds(nTimeoutMs),
                                    [&] { return m_nDone >= nTarget || !m_writer.IsRunning(); });
    }

    void Request(PageRequest request)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutexReader);
            if (request.nLoadId == 0 && request.nAfterId == kFirstPage) {
                // A new search: the owner's older pages are not wanted any more.
                for (auto it = m_deqRequests.begin(); it != m_deqRequests.end();)
                    it = (it->nLoadId == 0 && it->pOwner == request.pOwner) ? m_deqRequests.erase(it) : it + 1;
            }
            m_deqRequests.push_back(std::move(request));
        }
        m_cvReader.notify_one();
    }

    std::uint64_t NewToken() { return ++m_nTokens; }

private:
    // --- writer thread ---------------------------------------------------

    void WriterLoop()
    {
        CHistoryDatabase db(m_strPath);
        if (!OpenWriter(db)) {
            DropLeftovers();
            return;
        }
        auto tpNextPrune = std::chrono::steady_clock::now();
        for (;;) {
            std::vector<HistoryAlarmSource> vecBatch;
            Thumbnailer fnThumbnailer;
            SpaceCheck fnSpaceCheck;
            HistoryBounds bounds;
            bool bPrune = false;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_cvWriter.wait_until(lock, tpNextPrune, [this] {
                    return m_writer.StopRequested() || !m_deqQueue.empty() || m_bPruneAsked;
                });
                if (m_writer.StopRequested() && (m_deqQueue.empty() || ExitBudgetSpentLocked()))
                    break;
                while (!m_deqQueue.empty() && int(vecBatch.size()) < kBatchAlarms) {
                    m_nQueuedBytes -= m_deqQueue.front().PictureBytes();
                    vecBatch.push_back(std::move(m_deqQueue.front()));
                    m_deqQueue.pop_front();
                }
                fnThumbnailer = m_fnThumbnailer;
                fnSpaceCheck = m_fnSpaceCheck;
                bounds = m_bounds;
                bPrune = m_bPruneAsked || std::chrono::steady_clock::now() >= tpNextPrune
                         || m_nAlarmsKept > bounds.nMaxAlarms;
                m_bPruneAsked = false;
            }
            // Pruning first: what is written after new bounds is within them.
            if (bPrune) {
                Prune(db, bounds);
                tpNextPrune = std::chrono::steady_clock::now() + kPruneInterval;
            }
            if (!vecBatch.empty())
                WriteBatch(db, vecBatch, fnThumbnailer, fnSpaceCheck);
        }
        DropLeftovers();
    }

    bool ExitBudgetSpentLocked() const { return std::chrono::steady_clock::now() >= m_tpExitDeadline; }

    void DropLeftovers()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_deqQueue.empty())
            qCWarning(lcHistory, "History closed: %d alarms not written in time", int(m_deqQueue.size()));
        m_nDone += m_deqQueue.size();
        m_deqQueue.clear();
        m_nQueuedBytes = 0;
        m_cvWritten.notify_all();
    }

    // Opens the file, setting a damaged one aside; waits out a lock. False when
    // asked to stop first.
    bool OpenWriter(CHistoryDatabase& db)
    {
        bool bFailureLogged = false; // a file that cannot be opened is logged once
        for (;;) {
            try {
                db.Open(true, kWriterBusyTimeoutMs);
                m_nAlarmsKept = db.CountAlarms();
                NewEpoch();
                EndLockEpisode();
                return true;
            } catch (const Quillet::CSQlite3Error& error) {
                db.Close();
                if ((error.IsBusy() || error.IsCorrupt() || !bFailureLogged) && HandleError(db, "open", error))
                    continue;
                bFailureLogged = bFailureLogged || !error.IsBusy();
                if (!WaitRetry())
                    return false;
            }
        }
    }

    // A fresh connection of the writer: the reader opens its own anew.
    void NewEpoch()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutexReader);
            ++m_nEpoch;
        }
        m_cvReader.notify_all();
    }

    // Waits kLockRetry unless asked to stop; false when stopping.
    bool WaitRetry()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return !m_cvWriter.wait_for(lock, kLockRetry, [this] { return m_writer.StopRequested(); });
    }

    std::vector<StoredAlarm> Thumbnails(const std::vector<HistoryAlarmSource>& vecBatch, const Thumbnailer& fn)
    {
        const auto keep = [&fn](const HistoryPictureSource& source, const QSize& sizeMax) {
            StoredPicture stored;
            stored.strPath = source.strSavedPath;
            if (stored.strPath.isEmpty() && source.spBytes && fn) {
                const QByteArray baThumb = fn(source, sizeMax);
                stored.strThumb.assign(baThumb.constData(), std::size_t(baThumb.size()));
            }
            return stored;
        };
        std::vector<StoredAlarm> vecStored;
        vecStored.reserve(vecBatch.size());
        for (const HistoryAlarmSource& source : vecBatch) {
            StoredAlarm alarm{source.nTimeMs,
                              source.nAlarmType,
                              source.bPanoramic,
                              source.strLinkageUid,
                              source.strCameraId,
                              source.strCameraName,
                              {},
                              {}};
            if (source.bPanoramic)
                alarm.scene = keep(source.scene, kSceneThumbMax);
            for (const HistoryCardSource& card : source.vecCards)
                alarm.vecCards.push_back(
                    StoredCard{keep(card.face, kCardThumbMax), keep(card.body, kCardThumbMax), card.vecRects});
            vecStored.push_back(std::move(alarm));
        }
        return vecStored;
    }

    void WriteBatch(CHistoryDatabase& db, const std::vector<HistoryAlarmSource>& vecBatch,
                    const Thumbnailer& fnThumbnailer, const SpaceCheck& fnSpaceCheck)
    {
        const QString strFolder = QFileInfo(QString::fromStdString(m_strPath)).absolutePath();
        if (!fnSpaceCheck(strFolder)) {
            StartDiskFull("free space below the least allowed");
            Done(vecBatch.size(), true);
            return;
        }
        const std::vector<StoredAlarm> vecStored = Thumbnails(vecBatch, fnThumbnailer);
        for (int nAttempt = 0; nAttempt < 2; ++nAttempt) {
            try {
                if (!db.IsOpen() && !OpenWriter(db))
                    break;
                db.Write(vecStored);
                if (m_bDiskFull) {
                    m_bDiskFull = false;
                    qCInfo(lcHistory, "History database %s: room again, writing resumes", LogPath(m_strPath).c_str());
                }
                m_nAlarmsKept += std::int64_t(vecStored.size());
                EndLockEpisode();
                Done(vecBatch.size(), false);
                QMetaObject::invokeMethod(
                    m_pOwner, [pOwner = m_pOwner] { emit pOwner->signalWritten(); }, Qt::QueuedConnection);
                return;
            } catch (const Quillet::CSQlite3Error& error) {
                if (error.IsBusy()) {
                    // The batch goes back to wait; newer alarms queue behind it.
                    HandleError(db, "write", error);
                    Requeue(vecBatch);
                    WaitRetry();
                    return;
                }
                if (error.IsFull()) {
                    StartDiskFull(error.what());
                    break;
                }
                if (!HandleError(db, "write", error))
                    break;
            }
        }
        Done(vecBatch.size(), true);
    }

    void Requeue(const std::vector<HistoryAlarmSource>& vecBatch)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = vecBatch.rbegin(); it != vecBatch.rend(); ++it) {
            m_deqQueue.push_front(*it);
            m_nQueuedBytes += it->PictureBytes();
        }
        // Still bounded: the oldest give way, as they would have at the door.
        int nLost = 0;
        while (int(m_deqQueue.size()) > kMaxQueuedAlarms) {
            m_nQueuedBytes -= m_deqQueue.front().PictureBytes();
            m_deqQueue.pop_front();
            ++nLost;
        }
        m_nDone += std::uint64_t(nLost);
        if (nLost > 0 && CountLostLocked(nLost))
            m_pOwner->Notice(HistoryTexts::HistoryAlarmsNotKept);
    }

    // Counts alarms that could not be kept; true for the first of an episode.
    bool CountLostLocked(int nCount)
    {
        const bool bFirst = m_nLostInEpisode == 0;
        m_nLostInEpisode += nCount;
        if (bFirst)
            qCWarning(lcHistory, "History: alarms are coming faster than they can be kept; the oldest waiting go");
        return bFirst;
    }

    void Done(std::size_t nCount, bool bLost)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nDone += nCount;
        if (!bLost && m_deqQueue.empty() && m_nLostInEpisode > 0) {
            qCWarning(lcHistory, "History: %d alarms were not kept", m_nLostInEpisode);
            m_nLostInEpisode = 0;
        }
        m_cvWritten.notify_all();
    }

    void StartDiskFull(const char* szWhy)
    {
        if (m_bDiskFull)
            return;
        m_bDiskFull = true;
        qCWarning(lcHistory, "History database %s: disk full (%s), history writes stop until there is space",
                  LogPath(m_strPath).c_str(), protocol::EscapeForLog(szWhy).c_str());
        m_pOwner->Notice(HistoryTexts::HistoryDiskFull);
    }

    void EndLockEpisode()
    {
        if (m_bLockTold)
            qCInfo(lcHistory, "History database %s: lock released", LogPath(m_strPath).c_str());
        m_bLockTold = false;
    }

    // Logs the failure; true when the file was damaged and a fresh one is open.
    bool HandleError(CHistoryDatabase& db, const char* szWhat, const Quillet::CSQlite3Error& error)
    {
        if (error.IsBusy()) {
            if (!m_bLockTold) {
                m_bLockTold = true;
                qCWarning(lcHistory, "History database %s: %s waits: %s", LogPath(m_strPath).c_str(), szWhat,
                          protocol::EscapeForLog(error.what()).c_str());
                m_pOwner->Notice(HistoryTexts::HistoryDatabaseLocked);
            }
            return false;
        }
        qCWarning(lcHistory, "History database %s: %s failed: %s (SQLite code %d)", LogPath(m_strPath).c_str(), szWhat,
                  protocol::EscapeForLog(error.what()).c_str(), error.Code());
        if (error.IsFull()) {
            StartDiskFull(error.what());
            return false;
        }
        if (!error.IsCorrupt())
            return false;
        db.Close();
        const QString strAside = DatabaseFiles::SetAside(QString::fromStdString(m_strPath));
        if (strAside.isEmpty()) {
            qCWarning(lcHistory, "History database %s: the damaged file could not be set aside",
                      LogPath(m_strPath).c_str());
            return false;
        }
        qCWarning(lcHistory, "History database was damaged: kept as %s, starting a fresh one",
                  qUtf8Printable(protocol::EscapeForLog(strAside)));
        m_pOwner->Notice(HistoryTexts::HistoryDatabaseDamaged);
        try {
            db.Open(true, kWriterBusyTimeoutMs);
            m_nAlarmsKept = 0;
            NewEpoch();
            return true;
        } catch (const Quillet::CSQlite3Error& fresh) {
            qCWarning(lcHistory, "History database %s: no fresh database: %s", LogPath(m_strPath).c_str(),
                      protocol::EscapeForLog(fresh.what()).c_str());
            db.Close();
            return false;
        }
    }

    void Prune(CHistoryDatabase& db, const HistoryBounds& bounds)
    {
        const std::int64_t nBeforeMs = QDateTime::currentMSecsSinceEpoch() - bounds.nKeepDays * kMsPerDay;
        int nDeleted = 0;
        try {
            // A chunk at a time, so that alarms coming meanwhile wait little.
            for (int n = 1; n > 0 && !StopRequested();) {
                n = db.PruneOlderThan(nBeforeMs, kPruneChunk);
                nDeleted += n;
            }
            if (nDeleted > 0)
                m_nAlarmsKept = db.CountAlarms();
            // A little below the bound, so that the next alarms do not prune again at once.
            const std::int64_t nKeep = bounds.nMaxAlarms - bounds.nMaxAlarms / kPruneSlackDivisor;
            for (int n = 1; n > 0 && m_nAlarmsKept > bounds.nMaxAlarms && !StopRequested();) {
                n = db.PruneBeyondCount(nKeep, kPruneChunk);
                nDeleted += n;
            }
            m_nAlarmsKept = db.CountAlarms();
        } catch (const Quillet::CSQlite3Error& error) {
            HandleError(db, "prune", error);
        }
        if (nDeleted > 0)
            qCInfo(lcHistory, "History: %d old linkages pruned, %lld alarms kept", nDeleted,
                   static_cast<long long>(m_nAlarmsKept));
    }

    bool StopRequested()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_writer.StopRequested();
    }

    // --- reader thread ---------------------------------------------------

    void ReaderLoop()
    {
        CHistoryDatabase db(m_strPath);
        int nOpenEpoch = 0;
        for (;;) {
            PageRequest request;
            {
                std::unique_lock<std::mutex> lock(m_mutexReader);
                m_cvReader.wait(
                    lock, [this] { return m_reader.StopRequested() || (!m_deqRequests.empty() && m_nEpoch > 0); });
                if (m_reader.StopRequested())
                    return;
                request = std::move(m_deqRequests.front());
                m_deqRequests.pop_front();
            }
            try {
                if (nOpenEpoch != m_nEpoch || !db.IsOpen()) {
                    nOpenEpoch = m_nEpoch;
                    db.Open(false, kReaderBusyTimeoutMs);
                }
                Answer(db, request);
            } catch (const Quillet::CSQlite3Error& error) {
                qCWarning(lcHistory, "History database %s: search failed: %s", LogPath(m_strPath).c_str(),
                          protocol::EscapeForLog(error.what()).c_str());
                db.Close();
                if (request.nLoadId == 0)
                    PostPage(request.nToken, {}, false);
            }
        }
    }

    void Answer(CHistoryDatabase& db, const PageRequest& request)
    {
        if (request.nLoadId != 0) {
            HistoryLinkageRecord record;
            if (!db.Load(request.nLoadId, record))
                return;
            if (record.baSceneJpeg.isEmpty())
                record.baSceneJpeg = ReadSavedFile(record.strScenePath);
            for (HistoryCardRecord& card : record.vecCards) {
                if (card.baFaceJpeg.isEmpty())
                    card.baFaceJpeg = ReadSavedFile(card.strFacePath);
                if (card.baBodyJpeg.isEmpty())
                    card.baBodyJpeg = ReadSavedFile(card.strBodyPath);
            }
            QMetaObject::invokeMethod(
                m_pOwner,
                [pOwner = m_pOwner, record, bExport = request.bForExport] {
                    if (bExport)
                        emit pOwner->signalLinkageExportChosen(record);
                    else
                        emit pOwner->signalLinkageChosen(record);
                },
                Qt::QueuedConnection);
            return;
        }
        // One row more than asked tells whether more follow.
        std::vector<HistoryListRow> vecRows =
            db.Query(request.filter, request.nAfterTimeMs, request.nAfterId, request.nLimit + 1);
        const bool bMore = int(vecRows.size()) > request.nLimit;
        if (bMore)
            vecRows.pop_back();
        PostPage(request.nToken, QVector<HistoryListRow>(vecRows.begin(), vecRows.end()), bMore);
    }

    void PostPage(std::uint64_t nToken, QVector<HistoryListRow> vecRows, bool bMore)
    {
        QMetaObject::invokeMethod(
            m_pOwner,
            [pOwner = m_pOwner, nToken, vecRows = std::move(vecRows), bMore] {
                emit pOwner->signalPage(nToken, vecRows, bMore);
            },
            Qt::QueuedConnection);
    }

    CAlarmHistory* m_pOwner;
    const std::string m_strPath;

    mutable std::mutex m_mutex; // the writer's queue and settings
    std::condition_variable m_cvWriter;
    std::condition_variable m_cvWritten;
    std::deque<HistoryAlarmSource> m_deqQueue;
    std::int64_t m_nQueuedBytes = 0;
    std::uint64_t m_nEnqueued = 0;
    std::uint64_t m_nDone = 0;
    HistoryBounds m_bounds;
    bool m_bPruneAsked = true; // once at start
    Thumbnailer m_fnThumbnailer;
    SpaceCheck m_fnSpaceCheck;
    int m_nLostInEpisode = 0;
    int m_nThumbsDropped = 0;
    std::chrono::steady_clock::time_point m_tpExitDeadline = std::chrono::steady_clock::time_point::max();
    Fendra::CWorkerThread m_writer{m_mutex, m_cvWriter};

    // Only the writer thread touches these.
    std::int64_t m_nAlarmsKept = 0;
    bool m_bDiskFull = false;
    bool m_bLockTold = false;

    std::atomic<int> m_nEpoch{0}; // fresh files the writer opened
    std::atomic<std::uint64_t> m_nTokens{0};

    std::mutex m_mutexReader; // the reader's requests
    std::condition_variable m_cvReader;
    std::deque<PageRequest> m_deqRequests;
    Fendra::CWorkerThread m_reader{m_mutexReader, m_cvReader};
};

QString CAlarmHistory::DefaultPath()
{
    return QFile::decodeName(Fendra::CSingleton<Ostrel::CUserDataPath>::Instance().componentPath().c_str())
           + QStringLiteral("LinkageSnapAlarmHistory");
}

CAlarmHistory::CAlarmHistory(const QString& strPath, const HistoryBounds& bounds, QObject* pParent)
    : QObject(pParent)
    , m_strPath(strPath)
{
    qRegisterMetaType<LinkageSnapAlarm::HistoryLinkageRecord>();
    qRegisterMetaType<QVector<LinkageSnapAlarm::HistoryListRow>>();
    m_upWorkers = std::make_unique<CWorkers>(this, bounds);
}

CAlarmHistory::~CAlarmHistory()
{
    m_upWorkers.reset(); // the threads end before the signals they post could go
}

void CAlarmHistory::SetThumbnailer(Thumbnailer fnThumbnailer)
{
    m_upWorkers->SetThumbnailer(std::move(fnThumbnailer));
}

void CAlarmHistory::SetSpaceCheck(SpaceCheck fnSpaceCheck)
{
    m_upWorkers->SetSpaceCheck(std::move(fnSpaceCheck));
}

void CAlarmHistory::SetBounds(const HistoryBounds& bounds)
{
    m_upWorkers->SetBounds(bounds);
}

HistoryBounds CAlarmHistory::Bounds() const
{
    return m_upWorkers->Bounds();
}

void CAlarmHistory::Record(HistoryAlarmSource alarm)
{
    m_upWorkers->Record(std::move(alarm));
}

std::uint64_t CAlarmHistory::NewToken()
{
    return m_upWorkers->NewToken();
}

void CAlarmHistory::RequestPage(const void* pOwner, std::uint64_t nToken, const HistoryFilter& filter,
                                std::int64_t nAfterTimeMs, std::int64_t nAfterId, int nLimit)
{
    m_upWorkers->Request(PageRequest{pOwner, nToken, filter, nAfterTimeMs, nAfterId, nLimit, 0, false});
}

void CAlarmHistory::ChooseLinkage(std::int64_t nId)
{
    if (nId > 0)
        m_upWorkers->Request(PageRequest{nullptr, 0, {}, 0, 0, 0, nId, false});
}

void CAlarmHistory::ExportLinkage(std::int64_t nId)
{
    if (nId > 0)
        m_upWorkers->Request(PageRequest{nullptr, 0, {}, 0, 0, 0, nId, true});
}

bool CAlarmHistory::WaitWritten(int nTimeoutMs)
{
    return m_upWorkers->WaitWritten(nTimeoutMs);
}

void CAlarmHistory::Notice(const char* szKey)
{
    // From any thread; told on the GUI thread.
    QMetaObject::invokeMethod(
        this, [this, szKey] { emit signalNotice(HistoryTexts::Text(szKey)); }, Qt::QueuedConnection);
}

} // namespace LinkageSnapAlarm
