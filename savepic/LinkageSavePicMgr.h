#pragma once

#include "LinkageSavePicInfo.h"

#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QObject>

#include <memory>
#include <mutex>

namespace LinkageSnapAlarm {

class CtesselThreadPool;

// Saves alarm pictures as JPEG files under save path / source name, one after
// another on a worker thread. One live instance, owned by its Qt parent.
class CLinkageSavePicMgr : public QObject, public TesselGUIToolkit::CObjectSingleton<CLinkageSavePicMgr>
{
    Q_OBJECT
public:
    explicit CLinkageSavePicMgr(QObject* pParent = nullptr);
    // Writes the pictures still queued, then stops the worker.
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
    QString m_strSavePicPath;
    std::unique_ptr<CtesselThreadPool> m_pThreadPool;
    bool m_bSavePicture = false;
    std::mutex m_mutex;
};

} // namespace LinkageSnapAlarm
