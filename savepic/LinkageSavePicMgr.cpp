#include "LinkageSavePicMgr.h"

#include "FolderCheckCache.h"
#include "LinkageSavePicTask.h"
#include "PictureFile.h"
#include "TesselThreadPool.h"

#include "LogText.h"
#include "LsaLogging.h"

#include <functional>

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
{
}

CLinkageSavePicMgr::~CLinkageSavePicMgr()
{
    // The picture in progress is finished and the queue written for a short while;
    // a slow disk must not hold the closing window for long. No job outlives this.
    const int nDropped = m_pThreadPool->StopAfter(kExitWriteBudget);
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
    m_pThreadPool->AddTask(new FunctionTask([strFolder] {
        if (const int nRemoved = PictureFile::SweepStaleTemporaries(strFolder))
            qCInfo(lcSavePic, "Removed %d stale temporary picture files under %s", nRemoved,
                   qUtf8Printable(protocol::EscapeForLog(strFolder)));
    }));
}

QString CLinkageSavePicMgr::GetSavePicPath()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strSavePicPath;
}

void CLinkageSavePicMgr::SavePicture(const LinkageSavePicInfo& info)
{
    if (!m_bSavePicture)
        return;
    auto* pTask = new LinkageSavePicTask(info, this);
    connect(pTask, SIGNAL(signalSpaceNotEnough()), this, SIGNAL(signalSpaceNotEnough()));
    connect(pTask, SIGNAL(signalSaveFailed()), this, SIGNAL(signalSaveFailed()));
    connect(pTask, SIGNAL(signalPictureSaved(QString)), this, SIGNAL(signalPictureSaved(QString)));
    m_pThreadPool->AddTask(pTask);
}

} // namespace LinkageSnapAlarm
