#pragma once

#include "history/HistoryRecord.h"

#include "Quillet/SQLite3Conn.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace LinkageSnapAlarm {

// A picture as the history keeps it: a small JPEG, or the saved file's path.
struct StoredPicture
{
    std::string strThumb;
    QString strPath;
};

struct StoredCard
{
    StoredPicture face;
    StoredPicture body;
    QVector<QRectF> vecRects;
};

// One alarm ready to be written: its thumbnails already made.
struct StoredAlarm
{
    std::int64_t nTimeMs = 0;
    int nAlarmType = 0;
    bool bPanoramic = false;
    QString strLinkageUid;
    QString strCameraId;
    QString strCameraName;
    StoredPicture scene;
    std::vector<StoredCard> vecCards;
};

// The history's SQL on one connection: a linkage per panoramic alarm, every
// alarm shown, every card, and the scene thumbnails. Used by one thread at a
// time; every failure throws Quillet::CSQlite3Error.
class CHistoryDatabase
{
public:
    explicit CHistoryDatabase(std::string strUtf8Path);

    // The writer creates the file and its tables; a reader only opens them.
    void Open(bool bWriter, int nBusyTimeoutMs);
    void Close();
    bool IsOpen() const { return m_conn.IsOpen(); }
    const std::string& Path() const { return m_strPath; }

    // Writes the alarms in one transaction, all or none.
    void Write(const std::vector<StoredAlarm>& vecAlarms);
    std::int64_t CountAlarms();
    // Each deletes at most nChunk of the oldest linkages that are out of bounds,
    // with their alarms and cards, in one transaction; the number deleted.
    int PruneOlderThan(std::int64_t nBeforeMs, int nChunk);
    int PruneBeyondCount(std::int64_t nMaxAlarms, int nChunk);

    // A page of the list: rows after (nAfterTimeMs, nAfterId) in the list's order.
    std::vector<HistoryListRow> Query(const HistoryFilter& filter, std::int64_t nAfterTimeMs, std::int64_t nAfterId,
                                      int nLimit);
    // The list's query with its values, as Query runs it (a first page has
    // both keys at their largest).
    struct Statement
    {
        std::string strSql;
        std::vector<Quillet::CSQLite3Value> vecValues;
    };
    static Statement PageQuery(const HistoryFilter& filter, std::int64_t nAfterTimeMs, std::int64_t nAfterId,
                               int nLimit);
    // A linkage with its thumbnails and paths (files are not read); false when gone.
    bool Load(std::int64_t nId, HistoryLinkageRecord& record);

private:
    void CreateSchema();
    std::int64_t LinkageFor(const StoredAlarm& alarm);
    std::int64_t InsertLinkage(const StoredAlarm& alarm);
    void InsertCard(const StoredCard& card, std::int64_t nAlarmId, std::int64_t nLinkageId);
    int DeleteLinkages(const std::string& strSelectIds, const std::vector<Quillet::CSQLite3Value>& vecValues);
    void Transaction(const std::function<void()>& fnStatements);

    Quillet::CSQLite3Conn m_conn;
    std::string m_strPath;
    // The linkage the last panoramic alarm opened, where its linkage alarms go.
    QString m_strOpenUid;
    std::int64_t m_nOpenId = 0;
};

} // namespace LinkageSnapAlarm
