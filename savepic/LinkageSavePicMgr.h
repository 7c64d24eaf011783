#pragma once

#include "LinkageSavePicInfo.h"

#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

namespace LinkageSnapAlarm {

class CtesselThreadPool;

// How long closing keeps writing queued pictures before dropping the rest.
constexpr std::chrono::milliseconds kExitWriteBudget = std::chrono::milliseconds(1000);

// Saves alarm pictures as JPEG files under save path / source name, one after
// another on a worker thread. One live instance, owned by its Qt parent.
class CLinkageSavePicMgr : public QObject, public TesselGUIToolkit::CObjectSingleton<CLinkageSavePicMgr>
{
    Q_OBJECT
public:
    explicit CLinkageSavePicMgr(QObject* pParent = nullptr);
    // Finishes the picture in progress, writes the queued ones for at most
    // kExitWriteBudget, then drops the rest with a log line.
    ~CLinkageSavePicMgr() override;

    // The live instance, created with pParent as its Qt parent when there is none.
    static CLinkageSavePicMgr* GetSavePicMgr(QObject* pParent);
    // The live instance, or null; never creates one.
    static CLinkageSavePicMgr* GetLiveSavePicMgr();

    void SetSavePicture(bool bSave);
    void SetSavePicPath(const QString& strPath);
    QString GetSavePicPath();

    // Queues one picture when saving is on; blocks while 100 are pending.
    void SavePicture(const LinkageSavePicInfo& info);

signals:
    // Too little free space where the picture was to go; it was not written.
    void signalSpaceNotEnough();
    // A picture could not be written (folder, decoding or file failure).
    void signalSaveFailed();
    // A picture was written to strFilePath.
    void signalPictureSaved(const QString& strFilePath);

private:
    // Removes what killed saves left in the save folder.
    void SweepSaveFolder();

    QString m_strSavePicPath;
    std::unique_ptr<CtesselThreadPool> m_pThreadPool;
    std::atomic<bool> m_bSavePicture{false};
    std::mutex m_mutex;
};

} // namespace LinkageSnapAlarm
