#include "savepic/LinkageSavePicMgr.h"

#include "savepic/FolderCheckCache.h"
#include "savepic/LinkageSavePicTask.h"
#include "savepic/PictureFile.h"
#include "savepic/TesselThreadPool.h"

#include "protocol/LogText.h"
#include "savepic/SavePicLogging.h"

#include <QTimer>

#include <functional>
#include <utility>

namespace LinkageSnapAlarm {
namespace {

// A job that runs one function on the save worker.
class FunctionTask : public CtesselThreadPoolTask
{
public:
    explicit FunctionTask(std::function<void()> fn)
        : m_fn(std::move(fn))
    {
    }
    void Run() override { m_fn(); }

private:
    std::function<void()> m_fn;
};

} // namespace

CLinkageSavePicMgr::CLinkageSavePicMgr(QObject* pParent)
    : QObject(pParent)
    , m_upFolderChecks(std::make_unique<CFolderCheckCache>())
    , m_pThreadPool(std::make_unique<CtesselThreadPool>(1))
    , m_pQuietTimer(new QTimer(this))
{
    m_pQuietTimer->setSingleShot(true);
    m_pQuietTimer->setInterval(int(std::chrono::milliseconds(kNotSavedEpisodeQuiet).count()));
    connect(m_pQuietTimer, &QTimer::timeout, this, &CLinkageSavePicMgr::ReportNotSaved);
}

CLinkageSavePicMgr::~CLinkageSavePicMgr()
{
    // The picture in progress is finished and the queue written for a short while;
    // a slow disk must not hold the closing window for long. No job outlives this.
    int nDropped = m_pThreadPool->StopAfter(kExitWriteBudget);
    {
        std::lock_guard<std::mutex> lock(m_mutexBacklog);
        nDropped += int(m_deqBacklog.size());
        m_counts.nNotSaved += nDropped;
        m_deqBacklog.clear();
    }
    if (nDropped > 0)
        qCWarning(lcSavePic, "Dropped %d queued pictures at exit: not written within %lld ms", nDropped,
                  static_cast<long long>(kExitWriteBudget.count()));
}

CLinkageSavePicMgr* CLinkageSavePicMgr::GetSavePicMgr(QObject* pParent)
{
    if (CLinkageSavePicMgr* pMgr = Instance())
        return pMgr;
    auto* pMgr = new CLinkageSavePicMgr(pParent);
    InstallInstance(pMgr);
    return pMgr;
}

CLinkageSavePicMgr* CLinkageSavePicMgr::GetLiveSavePicMgr()
{
    return Instance();
}

void CLinkageSavePicMgr::SetSavePicture(bool bSave)
{
    if (bSave && !m_bSavePicture.exchange(bSave))
        SweepSaveFolder();
    m_bSavePicture = bSave;
}

void CLinkageSavePicMgr::SetSavePicPath(const QString& strPath)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_strSavePicPath == strPath)
            return;
        m_strSavePicPath = strPath;
    }
    if (m_bSavePicture)
        SweepSaveFolder();
}

void CLinkageSavePicMgr::SweepSaveFolder()
{
    // On the save worker, ahead of the pictures that follow, not on the GUI thread.
    const QString strFolder = GetSavePicPath();
    auto* pTask = new FunctionTask([strFolder] {
        if (const int nRemoved = PictureFile::SweepStaleTemporaries(strFolder))
            qCInfo(lcSavePic, "Removed %d stale temporary picture files under %s", nRemoved,
                   qUtf8Printable(protocol::EscapeForLog(strFolder)));
    });
    // Never a wait on the GUI thread: a queue full of pictures postpones the sweep
    // to the next start of saving.
    if (!m_pThreadPool->TryAddTask(pTask)) {
        qCInfo(lcSavePic, "Stale temporary files under %s not swept: the picture queue is full",
               qUtf8Printable(protocol::EscapeForLog(strFolder)));
        delete pTask;
    }
}

QString CLinkageSavePicMgr::GetSavePicPath()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strSavePicPath;
}

void CLinkageSavePicMgr::SavePicture(const LinkageSavePicInfo& info)
{
    if (!m_bSavePicture || info.PicData().empty() || info.strFileName.isEmpty())
        return;
    const auto nBytes = std::int64_t(info.PicData().size());
    bool bRefused = false;
    {
        std::lock_guard<std::mutex> lock(m_mutexBacklog);
        ++m_counts.nAsked;
        bRefused = m_nBytesInFlight > 0 && m_nBytesInFlight + nBytes > m_nMaxBacklogBytes;
        if (bRefused) {
            ++m_counts.nNotSaved;
        } else {
            m_nBytesInFlight += nBytes;
            m_deqBacklog.push_back(info);
        }
    }
    if (bRefused)
        CountNotSaved();
    FeedPool();
}

void CLinkageSavePicMgr::CountNotSaved()
{
    const auto tpNow = std::chrono::steady_clock::now();
    if (m_nEpisodeNotSaved++ == 0)
        m_tpEpisodeStart = tpNow;
    if (tpNow - m_tpEpisodeStart >= kNotSavedReportInterval)
        ReportNotSaved();
    else
        m_pQuietTimer->start(); // the episode ends when no refusal follows for a while
}

void CLinkageSavePicMgr::ReportNotSaved()
{
    m_pQuietTimer->stop();
    const int nCount = std::exchange(m_nEpisodeNotSaved, 0);
    if (nCount <= 0)
        return;
    qCWarning(lcSavePic, "%d pictures not saved: the disk writes slower than pictures come", nCount);
    emit signalPicturesNotSaved(nCount);
}

void CLinkageSavePicMgr::SetBacklogLimit(std::int64_t nBytes)
{
    std::lock_guard<std::mutex> lock(m_mutexBacklog);
    m_nMaxBacklogBytes = nBytes;
}

SavePictureCounts CLinkageSavePicMgr::Counts() const
{
    std::lock_guard<std::mutex> lock(m_mutexBacklog);
    return m_counts;
}

void CLinkageSavePicMgr::FeedPool()
{
    std::lock_guard<std::mutex> lock(m_mutexBacklog);
    // Called from the GUI thread and from the worker after each job, so the pool
    // is fed whenever it has room; nobody waits for it.
    while (!m_deqBacklog.empty() && !m_pThreadPool->IsFull()) {
        auto* pTask = new LinkageSavePicTask(m_deqBacklog.front(), this);
        connect(pTask, SIGNAL(signalSpaceNotEnough()), this, SIGNAL(signalSpaceNotEnough()));
        connect(pTask, SIGNAL(signalSaveFailed()), this, SIGNAL(signalSaveFailed()));
        connect(pTask, SIGNAL(signalPictureSaved(QString)), this, SIGNAL(signalPictureSaved(QString)));
        connect(pTask, &LinkageSavePicTask::signalPictureSavedFor, this, &CLinkageSavePicMgr::signalPictureSavedFor);
        if (!m_pThreadPool->TryAddTask(pTask)) {
            delete pTask; // the pool has stopped
            return;
        }
        m_deqBacklog.pop_front();
    }
}

void CLinkageSavePicMgr::OnJobDone(std::int64_t nBytes, bool bWritten)
{
    {
        std::lock_guard<std::mutex> lock(m_mutexBacklog);
        m_nBytesInFlight -= nBytes;
        ++(bWritten ? m_counts.nWritten : m_counts.nNotSaved);
    }
    FeedPool();
}

} // namespace LinkageSnapAlarm
