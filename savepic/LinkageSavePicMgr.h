#pragma once

#include "savepic/LinkageSavePicInfo.h"

#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QObject>

class QTimer;

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

namespace LinkageSnapAlarm {

class CFolderCheckCache;
class CtesselThreadPool;

// How long closing keeps writing queued pictures before dropping the rest.
constexpr std::chrono::milliseconds kExitWriteBudget = std::chrono::milliseconds(1000);
// Picture bytes waiting to be written, at most: what comes beyond is not saved.
constexpr std::int64_t kMaxSaveBacklogBytes = std::int64_t(192) << 20;
// An episode of pictures not saved ends once none has followed for
// kNotSavedEpisodeQuiet; one that goes on is reported at least every
// kNotSavedReportInterval.
constexpr std::chrono::seconds kNotSavedEpisodeQuiet{3};
constexpr std::chrono::seconds kNotSavedReportInterval{10};

// Every picture asked for ends written or not saved (no space, a failure, the
// backlog full, or still waiting at exit).
struct SavePictureCounts
{
    std::int64_t nAsked = 0;
    std::int64_t nWritten = 0;
    std::int64_t nNotSaved = 0;
};

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

    // Queues one picture when saving is on. Never waits for the disk: pictures
    // wait in a backlog bounded by kMaxSaveBacklogBytes in front of the pool's
    // queue, and one that finds the backlog full is counted as not saved.
    void SavePicture(const LinkageSavePicInfo& info);
    SavePictureCounts Counts() const;
    // The most picture bytes waiting to be written (kMaxSaveBacklogBytes unless set).
    void SetBacklogLimit(std::int64_t nBytes);

    // The save worker's recent folder checks.
    CFolderCheckCache& FolderChecks() { return *m_upFolderChecks; }

signals:
    // Too little free space where the picture was to go; it was not written.
    void signalSpaceNotEnough();
    // A picture could not be written (folder, decoding or file failure).
    void signalSaveFailed();
    // A picture was written to strFilePath.
    void signalPictureSaved(const QString& strFilePath);
    // The same, with the request's nRequestId: which asked-for picture it was.
    void signalPictureSavedFor(quint64 nRequestId, const QString& strFilePath);
    // nCount pictures found the backlog full since the last report: the disk
    // is slower than the pictures come.
    void signalPicturesNotSaved(int nCount);

private:
    friend class LinkageSavePicTask;
    // The save worker's report of one job done: its bytes leave the backlog.
    void OnJobDone(std::int64_t nBytes, bool bWritten);
    // Moves waiting pictures into the pool while it has room; never waits.
    void FeedPool();
    // A picture found the backlog full (GUI thread).
    void CountNotSaved();
    void ReportNotSaved();

    // Removes what killed saves left in the save folder.
    void SweepSaveFolder();

    QString m_strSavePicPath;
    std::unique_ptr<CFolderCheckCache> m_upFolderChecks;
    std::unique_ptr<CtesselThreadPool> m_pThreadPool;
    std::atomic<bool> m_bSavePicture{false};
    std::mutex m_mutex;
    // Pictures not yet handed to the pool, and the bytes of every picture not
    // yet written (waiting here or in the pool's queue).
    mutable std::mutex m_mutexBacklog;
    std::deque<LinkageSavePicInfo> m_deqBacklog;
    std::int64_t m_nBytesInFlight = 0;
    std::int64_t m_nMaxBacklogBytes = kMaxSaveBacklogBytes;
    // Only the GUI thread counts and reports refused pictures.
    int m_nEpisodeNotSaved = 0;
    std::chrono::steady_clock::time_point m_tpEpisodeStart;
    QTimer* m_pQuietTimer = nullptr;
    SavePictureCounts m_counts;
};

} // namespace LinkageSnapAlarm
