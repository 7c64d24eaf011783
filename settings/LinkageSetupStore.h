#pragma once

#include "settings/LinkageSetupInfo.h"

#include "history/HistoryBounds.h"

#include "Fendra/Noncopyable.h"
#include "ORN/ORN_Mutex.h"
#include "Quillet/SQLite3Conn.h"

#include <string>

namespace LinkageSnapAlarm {

// The settings row in table LinkageSnapAlarmSetup of the database file
// "LinkageSnapAlarm" in the host's component folder. One instance per process;
// every statement runs under the store's mutex and no operation throws.
class CLinkageSetupStore : public Fendra::CNoncopyable
{
public:
    // Creates the store on first call; null only when it could not be allocated.
    static CLinkageSetupStore* Instance();
    ~CLinkageSetupStore();

    // True when the table exists and holds no row.
    bool IsSetupEmpty();
    // Reads every row into info (the last row wins); false when the query failed.
    bool LoadSetup(LinkageSetupInfo& info);
    // The same in one query that also tells a table without rows apart.
    enum class ReadResult { Loaded, Empty, Failed };
    ReadResult ReadSetup(LinkageSetupInfo& info);
    // The settings the last successful LoadSetup read; false when none has.
    bool LastLoadedSetup(LinkageSetupInfo& info);
    // True once after a damaged database file was set aside and a fresh one
    // started, so that the user is told once.
    bool TakeRecoveryNotice();
    std::string DatabasePath() const { return m_strPath; }
    // Replaces the stored row by info in one transaction: on failure the previous
    // row stays.
    bool SaveSetup(const LinkageSetupInfo& info);
    bool DeleteAllSetup();
    bool InsertSetup(const LinkageSetupInfo& info);

    // The alarm history's bounds, one row in a table of their own
    // (LinkageSnapAlarmHistorySetup) beside the settings; bounds is untouched
    // unless Loaded.
    ReadResult ReadHistoryBounds(HistoryBounds& bounds);
    bool SaveHistoryBounds(const HistoryBounds& bounds);
    // The incident export's seconds of video around the alarms, likewise in a
    // table of its own (LinkageSnapAlarmExportSetup); nSeconds is untouched
    // unless Loaded.
    ReadResult ReadExportMargin(int& nSeconds);
    bool SaveExportMargin(int nSeconds);

    bool ExecuteLocked(const std::string& strSql);
    bool ExecuteLocked(const std::string& strSql, Quillet::CSQLite3Recordset& rows);

    // Every statement of the store runs on the GUI thread: another process's lock
    // is waited for this long, then the statement fails (and is retried later).
    static constexpr int kBusyTimeoutMs = 250;

private:
    CLinkageSetupStore();
    // True while the file does not exist and this store has not opened it: reads
    // find nothing, and the first statement through Guarded makes it.
    bool NotCreatedYet();
    // These run with the mutex already held and throw Quillet::CSQlite3Error.
    void Open();
    void CreateTableIfMissing();
    void CreateHistoryTableIfMissing();
    void CreateExportTableIfMissing();
    void Insert(const LinkageSetupInfo& info);
    // Runs fnStatements with the mutex held, opening the database (and creating
    // its tables) first when needed; false when they throw. A damaged database
    // is set aside and the statements run once more on a fresh one.
    template <class Statements>
    bool Guarded(const char* szWhat, Statements fnStatements);
    // Logs the failure; true when the database was damaged and has been replaced.
    bool HandleError(const char* szWhat, const Quillet::CSQlite3Error& error);
    void SetAsideAndStartFresh();

    Quillet::CSQLite3Conn m_conn;
    ORN_Mutex m_mutex;
    std::string m_strPath;
    bool m_bHaveLastLoaded = false;
    LinkageSetupInfo m_stLastLoaded;
    bool m_bRecovered = false;
    const char* m_pszLockLogged = nullptr; // the statement a lock was last logged for
};

} // namespace LinkageSnapAlarm
