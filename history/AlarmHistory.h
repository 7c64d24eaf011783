#pragma once

#include "history/HistoryBounds.h"
#include "history/HistoryRecord.h"
#include "history/HistorySource.h"

#include <QObject>
#include <QSize>
#include <QVector>

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>

namespace LinkageSnapAlarm {

// The alarm history: every alarm the view shows, kept in an SQLite file beside
// the settings database, so that past linkages can be listed, searched and shown
// again after a restart. Alarms are written on a worker thread of their own (a
// bounded queue, batches in one transaction each, pruning between batches);
// searches and loads run on a second worker, so the GUI thread never waits for
// the disk or for a lock. A damaged file is set aside and a fresh one started,
// a lock held by another program is waited out, and a full disk stops the
// writes, each told once through signalNotice.
class CAlarmHistory : public QObject
{
    Q_OBJECT
public:
    // Makes a small JPEG of a picture, at most sizeMax; empty when it cannot.
    // Runs on the writer thread.
    using Thumbnailer = std::function<QByteArray(const HistoryPictureSource& picture, const QSize& sizeMax)>;
    // True while the folder's file system has room for the history.
    using SpaceCheck = std::function<bool(const QString& strFolder)>;

    static constexpr QSize kSceneThumbMax{640, 360};
    static constexpr QSize kCardThumbMax{160, 240};
    // Alarms waiting for the writer, at most; the oldest go beyond that.
    static constexpr int kMaxQueuedAlarms = 4096;
    // Picture bytes waiting for the writer, at most: beyond that an alarm is
    // kept without its thumbnails.
    static constexpr std::int64_t kMaxQueuedPictureBytes = std::int64_t(64) << 20;
    static constexpr int kBatchAlarms = 64;
    static constexpr int kPruneChunk = 2000;
    static constexpr std::chrono::seconds kPruneInterval{60};
    static constexpr std::chrono::milliseconds kLockRetry{1000};
    static constexpr std::chrono::milliseconds kExitWriteBudget{1000};
    static constexpr int kWriterBusyTimeoutMs = 1000;
    static constexpr int kReaderBusyTimeoutMs = 250;
    // The key after which a first page starts.
    static constexpr std::int64_t kFirstPage = std::numeric_limits<std::int64_t>::max();

    // The history file: "LinkageSnapAlarmHistory" in the host's component folder,
    // beside the settings database "LinkageSnapAlarm".
    static QString DefaultPath();

    CAlarmHistory(const QString& strPath, const HistoryBounds& bounds, QObject* pParent = nullptr);
    // Writes what waits for at most kExitWriteBudget, then drops the rest with a log line.
    ~CAlarmHistory() override;

    QString Path() const { return m_strPath; }
    void SetThumbnailer(Thumbnailer fnThumbnailer);
    void SetSpaceCheck(SpaceCheck fnSpaceCheck);
    void SetBounds(const HistoryBounds& bounds);
    HistoryBounds Bounds() const;

    // Queues one alarm shown; never waits.
    void Record(HistoryAlarmSource alarm);

    // A new token for RequestPage; answers to older tokens of the same owner
    // are no longer wanted.
    std::uint64_t NewToken();
    // Asks for nLimit rows after (nAfterTimeMs, nAfterId); the answer comes as
    // signalPage(nToken, ...). A first page (both keys kFirstPage) drops the
    // owner's pages still waiting.
    void RequestPage(const void* pOwner, std::uint64_t nToken, const HistoryFilter& filter, std::int64_t nAfterTimeMs,
                     std::int64_t nAfterId, int nLimit);
    // Loads the linkage (with the bytes of its saved files) and emits
    // signalLinkageChosen with it.
    void ChooseLinkage(std::int64_t nId);
    // The same for an export of the linkage: emits signalLinkageExportChosen.
    void ExportLinkage(std::int64_t nId);

    // Waits until every alarm queued so far is written (or dropped); for tests,
    // benchmarks and shutdown. False when nTimeoutMs ran out.
    bool WaitWritten(int nTimeoutMs);

signals:
    void signalPage(quint64 nToken, const QVector<LinkageSnapAlarm::HistoryListRow>& vecRows, bool bMore);
    // A past linkage the operator chose, with everything needed to show it.
    void signalLinkageChosen(const LinkageSnapAlarm::HistoryLinkageRecord& record);
    // A past linkage the operator asked to export, loaded as for showing it.
    void signalLinkageExportChosen(const LinkageSnapAlarm::HistoryLinkageRecord& record);
    // Something the operator should know about the history, told once.
    void signalNotice(const QString& strText);
    // Alarms were written: the list may have new rows.
    void signalWritten();

private:
    class CWorkers;
    void Notice(const char* szKey);

    QString m_strPath;
    std::unique_ptr<CWorkers> m_upWorkers;
};

} // namespace LinkageSnapAlarm

Q_DECLARE_METATYPE(LinkageSnapAlarm::HistoryListRow)
