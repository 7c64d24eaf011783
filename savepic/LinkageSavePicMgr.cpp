#include "LinkageSavePicMgr.h"

#include "LinkageSavePicTask.h"
#include "TesselThreadPool.h"

namespace LinkageSnapAlarm {

CLinkageSavePicMgr::CLinkageSavePicMgr(QObject* pParent)
    : QObject(pParent)
    , m_pThreadPool(std::make_unique<CtesselThreadPool>(1))
{
}

CLinkageSavePicMgr::~CLinkageSavePicMgr()
{
    // Queued pictures are written, not dropped; the jobs use this object until then.
    m_pThreadPool->WaitIdle();
    m_pThreadPool->Stop();
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
    m_bSavePicture = bSave;
}

void CLinkageSavePicMgr::SetSavePicPath(const QString& strPath)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_strSavePicPath = strPath;
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
