#pragma once

#include "savepic/LinkageSavePicInfo.h"
#include "savepic/TesselThreadPool.h"

#include <QObject>

namespace LinkageSnapAlarm {

class CLinkageSavePicMgr;

// Writes one picture on the pool's worker thread and reports the outcome through
// its signals (delivered to the manager in the manager's thread).
class LinkageSavePicTask : public QObject, public CtesselThreadPoolTask
{
    Q_OBJECT
public:
    // The manager must outlive the job; it waits for its jobs before it goes.
    LinkageSavePicTask(const LinkageSavePicInfo& info, CLinkageSavePicMgr* pMgr);

    void Run() override;

signals:
    void signalSpaceNotEnough();
    void signalSaveFailed();
    void signalPictureSaved(const QString& strFilePath);
    void signalPictureSavedFor(quint64 nRequestId, const QString& strFilePath);

private:
    // The bytes to write: the picture itself, or its cut as JPEG; false when the
    // cut failed.
    bool EncodedBytes(QByteArray& baBytes) const;
    // Writes the picture; true when it was written.
    bool Save();

    LinkageSavePicInfo m_stSavePicInfo;
    CLinkageSavePicMgr* m_pSavePicMgr;
};

} // namespace LinkageSnapAlarm
