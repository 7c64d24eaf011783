#include "settings/LinkageSetupStore.h"

#include "protocol/LogText.h"
#include "settings/SettingsLogging.h"

#include "common/DatabaseFiles.h"

#include "Fendra/Singleton.h"
#include "Fendra/StringUtil.h"
#include "Ostrel/UserDataPath.h"

#include <boost/thread/mutex.hpp>

#include <QFile>

#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace LinkageSnapAlarm {
namespace {

const char* const kSelectSql = "SELECT * FROM LinkageSnapAlarmSetup";
const char* const kDeleteSql = "DELETE FROM LinkageSnapAlarmSetup;";
const char* const kInsertSql = "INSERT INTO LinkageSnapAlarmSetup (ID, IsSavePicture, SavePicPath, PreviewMode) "
                               "VALUES (?,?,?,?);";
const char* const kCreateSql = "CREATE TABLE IF NOT EXISTS LinkageSnapAlarmSetup "
                               "(ID TEXT, IsSavePicture INTEGER, SavePicPath TEXT, PreviewMode INTEGER);";

// The history's bounds: a table of their own, so that the settings table stays
// exactly as it is.
const char* const kCreateHistorySql = "CREATE TABLE IF NOT EXISTS LinkageSnapAlarmHistorySetup "
                                      "(ID TEXT PRIMARY KEY, KeepDays INTEGER, MaxAlarms INTEGER);";
const char* const kSelectHistorySql = "SELECT KeepDays, MaxAlarms FROM LinkageSnapAlarmHistorySetup WHERE ID = '1'";
const char* const kReplaceHistorySql =
    "INSERT OR REPLACE INTO LinkageSnapAlarmHistorySetup (ID, KeepDays, MaxAlarms) VALUES ('1',?,?);";

const char* const kCreateExportSql = "CREATE TABLE IF NOT EXISTS LinkageSnapAlarmExportSetup "
                                     "(ID TEXT PRIMARY KEY, MarginSeconds INTEGER);";
const char* const kSelectExportSql = "SELECT MarginSeconds FROM LinkageSnapAlarmExportSetup WHERE ID = '1'";
const char* const kReplaceExportSql =
    "INSERT OR REPLACE INTO LinkageSnapAlarmExportSetup (ID, MarginSeconds) VALUES ('1',?);";

std::atomic<CLinkageSetupStore*> s_pInstance{nullptr};
std::unique_ptr<CLinkageSetupStore> s_upOwner; // destroys the store at unload

boost::mutex& CreationMutex()
{
    static boost::mutex s_mutex;
    return s_mutex;
}

} // namespace

CLinkageSetupStore* CLinkageSetupStore::Instance()
{
    if (CLinkageSetupStore* pStore = s_pInstance.load(std::memory_order_acquire))
        return pStore;
    boost::mutex::scoped_lock lock(CreationMutex());
    if (!s_pInstance.load(std::memory_order_relaxed)) {
        s_upOwner.reset(new (std::nothrow) CLinkageSetupStore());
        s_pInstance.store(s_upOwner.get(), std::memory_order_release);
    }
    return s_pInstance.load(std::memory_order_relaxed);
}

CLinkageSetupStore::CLinkageSetupStore()
    : m_strPath(Fendra::CSingleton<Ostrel::CUserDataPath>::Instance().componentPath() + "LinkageSnapAlarm")
{
    // A file not there yet reads as empty and is made by the first write, so a
    // first start writes (and waits for the disk) not at all before its window
    // shows. An existing file is opened now: a damaged one is set aside at once.
    if (!NotCreatedYet())
        Guarded("open", [] {});
}

CLinkageSetupStore::~CLinkageSetupStore() = default;

void CLinkageSetupStore::Open()
{
    m_conn.Open(Fendra::LocalToUTF8(m_strPath), true, "");
    m_conn.SetBusyTimeout(kBusyTimeoutMs);
}

bool CLinkageSetupStore::NotCreatedYet()
{
    ORN_Guard guard(&m_mutex);
    return !m_conn.IsOpen() && !QFile::exists(QFile::decodeName(m_strPath.c_str()));
}

template <class Statements>
bool CLinkageSetupStore::Guarded(const char* szWhat, Statements fnStatements)
{
    ORN_Guard guard(&m_mutex);
    for (int nAttempt = 0; nAttempt < 2; ++nAttempt) {
        try {
            if (!m_conn.IsOpen()) {
                Open();
                CreateTableIfMissing();
                CreateHistoryTableIfMissing();
                CreateExportTableIfMissing();
            }
            fnStatements();
            m_pszLockLogged = nullptr;
            return true;
        } catch (const Quillet::CSQlite3Error& error) {
            if (!HandleError(szWhat, error))
                return false;
        }
    }
    return false;
}

bool CLinkageSetupStore::HandleError(const char* szWhat, const Quillet::CSQlite3Error& error)
{
    // A lock held for minutes is met by a read every second: each kind of
    // statement logs it once until one succeeds again.
    if (error.IsBusy()) {
        if (m_pszLockLogged && std::strcmp(m_pszLockLogged, szWhat) == 0)
            return false;
        m_pszLockLogged = szWhat;
    }
    qCWarning(lcSettings, "Settings database %s: %s failed: %s (SQLite code %d)",
              protocol::EscapeForLog(m_strPath).c_str(), szWhat, protocol::EscapeForLog(error.what()).c_str(),
              error.Code());
    if (!error.IsCorrupt())
        return false; // a lock or a full disk: the file is sound, try again later
    try {
        SetAsideAndStartFresh();
        return true;
    } catch (const Quillet::CSQlite3Error& fresh) {
        qCWarning(lcSettings, "Settings database %s: no fresh database: %s", protocol::EscapeForLog(m_strPath).c_str(),
                  protocol::EscapeForLog(fresh.what()).c_str());
        return false;
    }
}

void CLinkageSetupStore::SetAsideAndStartFresh()
{
    m_conn.Close();
    const QString strTarget = DatabaseFiles::SetAside(QFile::decodeName(m_strPath.c_str()));
    if (strTarget.isEmpty())
        throw Quillet::CSQlite3Error(0, "the damaged file could not be renamed");
    qCWarning(lcSettings, "Settings database was damaged: kept as %s, starting a fresh one",
              qUtf8Printable(protocol::EscapeForLog(strTarget)));
    Open();
    CreateTableIfMissing();
    CreateHistoryTableIfMissing();
    CreateExportTableIfMissing();
    m_bRecovered = true;
}

bool CLinkageSetupStore::TakeRecoveryNotice()
{
    ORN_Guard guard(&m_mutex);
    return std::exchange(m_bRecovered, false);
}

bool CLinkageSetupStore::IsSetupEmpty()
{
    if (NotCreatedYet())
        return true;
    Quillet::CSQLite3Recordset rows;
    return ExecuteLocked(kSelectSql, rows) && rows.Eof();
}

bool CLinkageSetupStore::LoadSetup(LinkageSetupInfo& info)
{
    return ReadSetup(info) != ReadResult::Failed;
}

CLinkageSetupStore::ReadResult CLinkageSetupStore::ReadSetup(LinkageSetupInfo& info)
{
    if (NotCreatedYet())
        return ReadResult::Empty;
    Quillet::CSQLite3Recordset rows;
    if (!ExecuteLocked(kSelectSql, rows))
        return ReadResult::Failed;
    if (rows.Eof())
        return ReadResult::Empty;
    for (; !rows.Eof(); rows.Next()) {
        info.IsSavePicture = rows.GetInt(1) != 0;
        info.SavePicPath = QString::fromStdString(rows.GetString(2));
        info.PreviewMode = rows.GetInt(3);
    }
    ORN_Guard guard(&m_mutex);
    m_bHaveLastLoaded = true;
    m_stLastLoaded = info;
    return ReadResult::Loaded;
}

bool CLinkageSetupStore::LastLoadedSetup(LinkageSetupInfo& info)
{
    ORN_Guard guard(&m_mutex);
    if (m_bHaveLastLoaded)
        info = m_stLastLoaded;
    return m_bHaveLastLoaded;
}

bool CLinkageSetupStore::SaveSetup(const LinkageSetupInfo& info)
{
    return Guarded("save", [this, &info] {
        m_conn.Execute("BEGIN IMMEDIATE;");
        try {
            CreateTableIfMissing();
            m_conn.Execute(kDeleteSql);
            Insert(info);
            m_conn.Execute("COMMIT;");
        } catch (const Quillet::CSQlite3Error&) {
            try {
                m_conn.Execute("ROLLBACK;");
            } catch (const Quillet::CSQlite3Error&) {
                // SQLite may have rolled back already.
            }
            throw;
        }
    });
}

bool CLinkageSetupStore::DeleteAllSetup()
{
    return ExecuteLocked(kDeleteSql);
}

bool CLinkageSetupStore::InsertSetup(const LinkageSetupInfo& info)
{
    return Guarded("insert", [this, &info] { Insert(info); });
}

bool CLinkageSetupStore::ExecuteLocked(const std::string& strSql)
{
    return Guarded("statement", [this, &strSql] { m_conn.Execute(strSql); });
}

bool CLinkageSetupStore::ExecuteLocked(const std::string& strSql, Quillet::CSQLite3Recordset& rows)
{
    return Guarded("query", [this, &strSql, &rows] { m_conn.Execute(strSql, rows); });
}

void CLinkageSetupStore::CreateTableIfMissing()
{
    m_conn.Execute(kCreateSql);
}

void CLinkageSetupStore::CreateHistoryTableIfMissing()
{
    m_conn.Execute(kCreateHistorySql);
}

CLinkageSetupStore::ReadResult CLinkageSetupStore::ReadHistoryBounds(HistoryBounds& bounds)
{
    if (NotCreatedYet())
        return ReadResult::Empty;
    Quillet::CSQLite3Recordset rows;
    if (!ExecuteLocked(kSelectHistorySql, rows))
        return ReadResult::Failed;
    if (rows.Eof())
        return ReadResult::Empty;
    bounds = HistoryBounds{rows.GetInt(0), rows.GetInt(1)}.Clamped();
    return ReadResult::Loaded;
}

bool CLinkageSetupStore::SaveHistoryBounds(const HistoryBounds& bounds)
{
    const HistoryBounds clamped = bounds.Clamped();
    return Guarded("save history bounds", [this, &clamped] {
        CreateHistoryTableIfMissing();
        m_conn.ExecuteWithParams(kReplaceHistorySql,
                                 {std::to_string(clamped.nKeepDays), std::to_string(clamped.nMaxAlarms)});
    });
}

void CLinkageSetupStore::CreateExportTableIfMissing()
{
    m_conn.Execute(kCreateExportSql);
}

CLinkageSetupStore::ReadResult CLinkageSetupStore::ReadExportMargin(int& nSeconds)
{
    if (NotCreatedYet())
        return ReadResult::Empty;
    Quillet::CSQLite3Recordset rows;
    if (!ExecuteLocked(kSelectExportSql, rows))
        return ReadResult::Failed;
    if (rows.Eof())
        return ReadResult::Empty;
    nSeconds = rows.GetInt(0);
    return ReadResult::Loaded;
}

bool CLinkageSetupStore::SaveExportMargin(int nSeconds)
{
    return Guarded("save export seconds", [this, nSeconds] {
        CreateExportTableIfMissing();
        m_conn.ExecuteWithParams(kReplaceExportSql, {std::to_string(nSeconds)});
    });
}

void CLinkageSetupStore::Insert(const LinkageSetupInfo& info)
{
    // Bound as texts: stored exactly as the quoted literals '1', '0'/'1', path and
    // mode would be, with no length limit and no quoting of the path.
    m_conn.ExecuteWithParams(kInsertSql, {"1", info.IsSavePicture ? "1" : "0", info.SavePicPath.toStdString(),
                                          std::to_string(info.PreviewMode)});
}

} // namespace LinkageSnapAlarm
