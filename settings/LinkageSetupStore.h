#pragma once

#include "LinkageSetupInfo.h"

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
    // Replaces the stored row by info in one transaction: on failure the previous
    // row stays.
    bool SaveSetup(const LinkageSetupInfo& info);
    bool DeleteAllSetup();
    bool InsertSetup(const LinkageSetupInfo& info);

    bool ExecuteLocked(const std::string& strSql);
    bool ExecuteLocked(const std::string& strSql, Quillet::CSQLite3Recordset& rows);

private:
    CLinkageSetupStore();
    // These run with the mutex already held and throw Quillet::CSQlite3Error.
    void CreateTableIfMissing();
    void Insert(const LinkageSetupInfo& info);

    Quillet::CSQLite3Conn m_conn;
    ORN_Mutex m_mutex;
};

} // namespace LinkageSnapAlarm
