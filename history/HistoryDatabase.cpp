#include "history/HistoryDatabase.h"

#include <QStringList>

#include <limits>

#include <utility>

namespace LinkageSnapAlarm {
namespace {

using Quillet::CSQLite3Value;

// The list's rows are small and scanned per keystroke; pictures live in tables
// of their own that only a chosen linkage reads.
const char* const kSchemaSql = R"sql(
CREATE TABLE IF NOT EXISTS HistoryLinkage (
  Id INTEGER PRIMARY KEY,
  LinkageUid TEXT NOT NULL,
  Time INTEGER NOT NULL,
  CameraId TEXT NOT NULL DEFAULT '',
  CameraName TEXT NOT NULL DEFAULT '',
  AlarmType INTEGER NOT NULL DEFAULT 0,
  Cameras TEXT NOT NULL DEFAULT '',
  AlarmCount INTEGER NOT NULL DEFAULT 0,
  CardCount INTEGER NOT NULL DEFAULT 0,
  ScenePath TEXT NOT NULL DEFAULT '');
CREATE INDEX IF NOT EXISTS HistoryLinkageTime ON HistoryLinkage (Time);
CREATE INDEX IF NOT EXISTS HistoryLinkageUid ON HistoryLinkage (LinkageUid);
CREATE INDEX IF NOT EXISTS HistoryLinkageCamera ON HistoryLinkage (CameraName);
CREATE TABLE IF NOT EXISTS HistoryScene (
  LinkageId INTEGER PRIMARY KEY,
  Thumb BLOB NOT NULL);
CREATE TABLE IF NOT EXISTS HistoryAlarm (
  Id INTEGER PRIMARY KEY,
  LinkageId INTEGER NOT NULL,
  Time INTEGER NOT NULL,
  CameraId TEXT NOT NULL DEFAULT '',
  CameraName TEXT NOT NULL DEFAULT '',
  AlarmType INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS HistoryAlarmLinkage ON HistoryAlarm (LinkageId);
CREATE TABLE IF NOT EXISTS HistoryCard (
  Id INTEGER PRIMARY KEY,
  LinkageId INTEGER NOT NULL,
  AlarmId INTEGER NOT NULL,
  Rects TEXT NOT NULL DEFAULT '',
  FacePath TEXT NOT NULL DEFAULT '',
  BodyPath TEXT NOT NULL DEFAULT '',
  FaceThumb BLOB,
  BodyThumb BLOB);
CREATE INDEX IF NOT EXISTS HistoryCardLinkage ON HistoryCard (LinkageId);
)sql";

// Camera names of a linkage, each between two separators, so that one name is
// found whole and a search never matches across two.
const QChar kCameraSeparator = QChar('\n');

const char* const kQueryColumns =
    "SELECT Id, Time, LinkageUid, CameraName, Cameras, AlarmCount, CardCount FROM HistoryLinkage WHERE 1";

CSQLite3Value Text(const QString& strText)
{
    return CSQLite3Value::Text(strText.toStdString());
}

// "%text%" with LIKE's own characters taken literally.
CSQLite3Value Contains(const QString& strText)
{
    QString strEscaped = strText;
    strEscaped.replace('\\', "\\\\").replace('%', "\\%").replace('_', "\\_");
    return Text('%' + strEscaped + '%');
}

QString RectsText(const QVector<QRectF>& vecRects)
{
    QStringList lstRects;
    for (const QRectF& rc : vecRects)
        lstRects << QStringLiteral("%1,%2,%3,%4").arg(rc.x()).arg(rc.y()).arg(rc.width()).arg(rc.height());
    return lstRects.join(';');
}

QVector<QRectF> RectsFromText(const QString& strText)
{
    QVector<QRectF> vecRects;
    for (const QString& strRect : strText.split(';', Qt::SkipEmptyParts)) {
        const QStringList lstParts = strRect.split(',');
        if (lstParts.size() == 4)
            vecRects.append(
                QRectF(lstParts[0].toDouble(), lstParts[1].toDouble(), lstParts[2].toDouble(), lstParts[3].toDouble()));
    }
    return vecRects;
}

QByteArray Bytes(const std::string& strBytes)
{
    return QByteArray(strBytes.data(), int(strBytes.size()));
}

QString FromUtf8(const std::string& strText)
{
    return QString::fromStdString(strText);
}

QDateTime TimeOf(std::int64_t nMs)
{
    return QDateTime::fromMSecsSinceEpoch(nMs);
}

} // namespace

CHistoryDatabase::CHistoryDatabase(std::string strUtf8Path)
    : m_strPath(std::move(strUtf8Path))
{
}

void CHistoryDatabase::Open(bool bWriter, int nBusyTimeoutMs)
{
    m_strOpenUid.clear();
    m_nOpenId = 0;
    m_conn.Open(m_strPath, bWriter, "");
    m_conn.SetBusyTimeout(nBusyTimeoutMs);
    if (!bWriter)
        return;
    // Readers keep reading while the writer writes; a crash loses at most the
    // last transactions, never the file.
    m_conn.Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    CreateSchema();
}

void CHistoryDatabase::Close()
{
    m_conn.Close();
}

void CHistoryDatabase::CreateSchema()
{
    m_conn.Execute(kSchemaSql);
}

void CHistoryDatabase::Transaction(const std::function<void()>& fnStatements)
{
    m_conn.Execute("BEGIN IMMEDIATE;");
    try {
        fnStatements();
        m_conn.Execute("COMMIT;");
    } catch (const Quillet::CSQlite3Error&) {
        try {
            m_conn.Execute("ROLLBACK;");
        } catch (const Quillet::CSQlite3Error&) {
            // SQLite may have rolled back already.
        }
        m_strOpenUid.clear(); // the linkage it opened may be gone with the rollback
        m_nOpenId = 0;
        throw;
    }
}

void CHistoryDatabase::Write(const std::vector<StoredAlarm>& vecAlarms)
{
    Transaction([&] {
        for (const StoredAlarm& alarm : vecAlarms) {
            const std::int64_t nLinkageId = alarm.bPanoramic ? InsertLinkage(alarm) : LinkageFor(alarm);
            m_conn.ExecuteWithValues(
                "INSERT INTO HistoryAlarm (LinkageId, Time, CameraId, CameraName, AlarmType) VALUES (?,?,?,?,?)",
                {CSQLite3Value::Int64(nLinkageId), CSQLite3Value::Int64(alarm.nTimeMs), Text(alarm.strCameraId),
                 Text(alarm.strCameraName), CSQLite3Value::Int64(alarm.nAlarmType)});
            const std::int64_t nAlarmId = m_conn.LastInsertRowId();
            for (const StoredCard& card : alarm.vecCards)
                InsertCard(card, nAlarmId, nLinkageId);
            const QString strCamera = kCameraSeparator + alarm.strCameraName + kCameraSeparator;
            m_conn.ExecuteWithValues(
                "UPDATE HistoryLinkage SET AlarmCount = AlarmCount + 1, CardCount = CardCount + ?1, "
                "Cameras = CASE WHEN instr(Cameras, ?2) > 0 THEN Cameras "
                "WHEN Cameras = '' THEN ?2 ELSE Cameras || substr(?2, 2) END WHERE Id = ?3",
                {CSQLite3Value::Int64(std::int64_t(alarm.vecCards.size())), Text(strCamera),
                 CSQLite3Value::Int64(nLinkageId)});
        }
    });
}

std::int64_t CHistoryDatabase::InsertLinkage(const StoredAlarm& alarm)
{
    m_conn.ExecuteWithValues(
        "INSERT INTO HistoryLinkage (LinkageUid, Time, CameraId, CameraName, AlarmType, ScenePath) "
        "VALUES (?,?,?,?,?,?)",
        {Text(alarm.strLinkageUid), CSQLite3Value::Int64(alarm.nTimeMs), Text(alarm.strCameraId),
         Text(alarm.strCameraName), CSQLite3Value::Int64(alarm.nAlarmType), Text(alarm.scene.strPath)});
    const std::int64_t nId = m_conn.LastInsertRowId();
    if (!alarm.scene.strThumb.empty())
        m_conn.ExecuteWithValues("INSERT INTO HistoryScene (LinkageId, Thumb) VALUES (?,?)",
                                 {CSQLite3Value::Int64(nId), CSQLite3Value::Blob(alarm.scene.strThumb)});
    m_strOpenUid = alarm.strLinkageUid;
    m_nOpenId = nId;
    return nId;
}

std::int64_t CHistoryDatabase::LinkageFor(const StoredAlarm& alarm)
{
    if (m_nOpenId != 0 && m_strOpenUid == alarm.strLinkageUid)
        return m_nOpenId;
    // After a restart, or a linkage alarm before any panoramic one: the newest
    // linkage of that LinkageUid, or a new one without a scene.
    Quillet::CSQLite3Recordset rows;
    m_conn.ExecuteWithValues("SELECT Id FROM HistoryLinkage WHERE LinkageUid = ? ORDER BY Id DESC LIMIT 1",
                             {Text(alarm.strLinkageUid)}, &rows);
    if (!rows.Eof()) {
        m_strOpenUid = alarm.strLinkageUid;
        m_nOpenId = rows.GetInt64(0);
        return m_nOpenId;
    }
    return InsertLinkage(alarm);
}

void CHistoryDatabase::InsertCard(const StoredCard& card, std::int64_t nAlarmId, std::int64_t nLinkageId)
{
    const auto blob = [](const std::string& strThumb) {
        // NULL rather than an empty blob: nothing was kept.
        return strThumb.empty() ? CSQLite3Value::Text({}) : CSQLite3Value::Blob(strThumb);
    };
    m_conn.ExecuteWithValues("INSERT INTO HistoryCard (LinkageId, AlarmId, Rects, FacePath, BodyPath, FaceThumb, "
                             "BodyThumb) VALUES (?,?,?,?,?,?,?)",
                             {CSQLite3Value::Int64(nLinkageId), CSQLite3Value::Int64(nAlarmId),
                              Text(RectsText(card.vecRects)), Text(card.face.strPath), Text(card.body.strPath),
                              blob(card.face.strThumb), blob(card.body.strThumb)});
}

std::int64_t CHistoryDatabase::CountAlarms()
{
    Quillet::CSQLite3Recordset rows;
    m_conn.Execute("SELECT count(*) FROM HistoryAlarm", rows);
    return rows.GetInt64(0);
}

int CHistoryDatabase::PruneOlderThan(std::int64_t nBeforeMs, int nChunk)
{
    return DeleteLinkages("SELECT Id FROM HistoryLinkage WHERE Time < ? ORDER BY Time LIMIT ?",
                          {CSQLite3Value::Int64(nBeforeMs), CSQLite3Value::Int64(nChunk)});
}

int CHistoryDatabase::PruneBeyondCount(std::int64_t nMaxAlarms, int nChunk)
{
    // The newest alarm beyond the bound: its linkage and every older one go.
    Quillet::CSQLite3Recordset rows;
    m_conn.ExecuteWithValues("SELECT LinkageId FROM HistoryAlarm ORDER BY Id DESC LIMIT 1 OFFSET ?",
                             {CSQLite3Value::Int64(nMaxAlarms)}, &rows);
    if (rows.Eof())
        return 0;
    return DeleteLinkages("SELECT Id FROM HistoryLinkage WHERE Id <= ? ORDER BY Id LIMIT ?",
                          {CSQLite3Value::Int64(rows.GetInt64(0)), CSQLite3Value::Int64(nChunk)});
}

int CHistoryDatabase::DeleteLinkages(const std::string& strSelectIds, const std::vector<CSQLite3Value>& vecValues)
{
    Quillet::CSQLite3Recordset rows;
    m_conn.ExecuteWithValues(strSelectIds, vecValues, &rows);
    if (rows.Eof())
        return 0;
    // Integers of our own query: safe to put into the statement.
    std::string strIds;
    for (; !rows.Eof(); rows.Next())
        strIds += (strIds.empty() ? "" : ",") + std::to_string(rows.GetInt64(0));
    const std::string strIn = " IN (" + strIds + ");";
    Transaction([&] {
        m_conn.Execute("DELETE FROM HistoryCard WHERE LinkageId" + strIn + "DELETE FROM HistoryAlarm WHERE LinkageId"
                       + strIn + "DELETE FROM HistoryScene WHERE LinkageId" + strIn
                       + "DELETE FROM HistoryLinkage WHERE Id" + strIn);
    });
    m_strOpenUid.clear(); // the open linkage may have gone
    m_nOpenId = 0;
    return int(rows.RowCount());
}

CHistoryDatabase::Statement CHistoryDatabase::PageQuery(const HistoryFilter& filter, std::int64_t nAfterTimeMs,
                                                        std::int64_t nAfterId, int nLimit)
{
    // Only the conditions the filter sets: a search runs per keystroke over
    // every row it does not find, and each condition costs on each row.
    Statement query{kQueryColumns, {}};
    const auto add = [&query](const char* szCondition, CSQLite3Value value) {
        query.strSql += szCondition;
        query.vecValues.push_back(std::move(value));
    };
    if (nAfterId != std::numeric_limits<std::int64_t>::max()) {
        add(" AND (Time < ?", CSQLite3Value::Int64(nAfterTimeMs));
        add(" OR (Time = ?", CSQLite3Value::Int64(nAfterTimeMs));
        add(" AND Id < ?))", CSQLite3Value::Int64(nAfterId));
    }
    if (filter.nFromMs != std::numeric_limits<std::int64_t>::min())
        add(" AND Time >= ?", CSQLite3Value::Int64(filter.nFromMs));
    if (filter.nToMs != std::numeric_limits<std::int64_t>::max())
        add(" AND Time <= ?", CSQLite3Value::Int64(filter.nToMs));
    if (!filter.strCamera.isEmpty())
        add(" AND Cameras LIKE ? ESCAPE '\\'", Contains(filter.strCamera));
    if (!filter.strLinkageUid.isEmpty())
        add(" AND LinkageUid LIKE ? ESCAPE '\\'", Contains(filter.strLinkageUid));
    add(" ORDER BY Time DESC, Id DESC LIMIT ?", CSQLite3Value::Int64(nLimit));
    return query;
}

std::vector<HistoryListRow> CHistoryDatabase::Query(const HistoryFilter& filter, std::int64_t nAfterTimeMs,
                                                    std::int64_t nAfterId, int nLimit)
{
    Quillet::CSQLite3Recordset rows;
    const Statement query = PageQuery(filter, nAfterTimeMs, nAfterId, nLimit);
    m_conn.ExecuteWithValues(query.strSql, query.vecValues, &rows);
    std::vector<HistoryListRow> vecRows;
    vecRows.reserve(rows.RowCount());
    for (; !rows.Eof(); rows.Next()) {
        HistoryListRow row;
        row.nId = rows.GetInt64(0);
        row.nTimeMs = rows.GetInt64(1);
        row.strLinkageUid = FromUtf8(rows.GetString(2));
        row.strCameraName = FromUtf8(rows.GetString(3));
        row.lstCameras = FromUtf8(rows.GetString(4)).split(kCameraSeparator, Qt::SkipEmptyParts);
        row.nAlarms = rows.GetInt(5);
        row.nCards = rows.GetInt(6);
        vecRows.push_back(std::move(row));
    }
    return vecRows;
}

bool CHistoryDatabase::Load(std::int64_t nId, HistoryLinkageRecord& record)
{
    Quillet::CSQLite3Recordset rows;
    m_conn.ExecuteWithValues("SELECT l.LinkageUid, l.Time, l.CameraId, l.CameraName, l.AlarmType, l.ScenePath, "
                             "s.Thumb FROM HistoryLinkage l LEFT JOIN HistoryScene s ON s.LinkageId = l.Id "
                             "WHERE l.Id = ?",
                             {CSQLite3Value::Int64(nId)}, &rows);
    if (rows.Eof())
        return false;
    record = HistoryLinkageRecord();
    record.nId = nId;
    record.strLinkageUid = FromUtf8(rows.GetString(0));
    record.time = TimeOf(rows.GetInt64(1));
    record.strCameraId = FromUtf8(rows.GetString(2));
    record.strCameraName = FromUtf8(rows.GetString(3));
    record.nAlarmType = rows.GetInt(4);
    record.strScenePath = FromUtf8(rows.GetString(5));
    record.baSceneJpeg = Bytes(rows.GetString(6));

    m_conn.ExecuteWithValues(
        "SELECT c.Rects, c.FacePath, c.BodyPath, c.FaceThumb, c.BodyThumb, a.Time, a.CameraId, a.CameraName, "
        "a.AlarmType FROM HistoryCard c JOIN HistoryAlarm a ON a.Id = c.AlarmId WHERE c.LinkageId = ? ORDER BY c.Id",
        {CSQLite3Value::Int64(nId)}, &rows);
    for (; !rows.Eof(); rows.Next()) {
        HistoryCardRecord card;
        card.vecRects = RectsFromText(FromUtf8(rows.GetString(0)));
        card.strFacePath = FromUtf8(rows.GetString(1));
        card.strBodyPath = FromUtf8(rows.GetString(2));
        card.baFaceJpeg = Bytes(rows.GetString(3));
        card.baBodyJpeg = Bytes(rows.GetString(4));
        card.time = TimeOf(rows.GetInt64(5));
        card.strCameraId = FromUtf8(rows.GetString(6));
        card.strCameraName = FromUtf8(rows.GetString(7));
        card.nAlarmType = rows.GetInt(8);
        record.vecCards.append(std::move(card));
    }
    return true;
}

} // namespace LinkageSnapAlarm
