#pragma once

#include "HostExport.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace Quillet {

// Thrown by the connection for every failure of the SQLite library.
class HOST_API CSQlite3Error : public std::runtime_error
{
public:
    CSQlite3Error(int nCode, const std::string& strMessage);
    int Code() const { return m_nCode; }
    // The file is no database, or a damaged one.
    bool IsCorrupt() const;
    // The disk (or the file system's quota) is full.
    bool IsFull() const;
    // Another connection holds the lock and the busy timeout ran out.
    bool IsBusy() const;

private:
    int m_nCode;
};

// The rows of one query, read in full when the query ran. The cursor starts on the
// first row; Eof() is true once it is past the last one (at once for no rows).
class HOST_API CSQLite3Recordset
{
public:
    CSQLite3Recordset();

    // Moves to the next row; false when there is none.
    bool Next();
    bool Eof() const { return m_nRow >= m_vecRows.size(); }
    std::size_t RowCount() const { return m_vecRows.size(); }

    // Values of the current row; 0 or empty for NULL, a missing column or no row.
    int GetInt(int nColumn) const;
    std::int64_t GetInt64(int nColumn) const;
    // Text, or a blob's bytes.
    std::string GetString(int nColumn) const;

private:
    friend class CSQLite3Conn;
    struct Cell
    {
        int nInt = 0;
        std::int64_t nInt64 = 0;
        std::string strText;
    };
    const Cell* Find(int nColumn) const;
    void Clear();

    std::vector<std::vector<Cell>> m_vecRows;
    std::size_t m_nRow = 0;
};

// A value bound to a ? placeholder: text, a 64-bit integer or a blob.
struct HOST_API CSQLite3Value
{
    enum class Kind { Text, Int64, Blob };
    static CSQLite3Value Text(std::string strText) { return {Kind::Text, 0, std::move(strText)}; }
    static CSQLite3Value Int64(std::int64_t nValue) { return {Kind::Int64, nValue, {}}; }
    static CSQLite3Value Blob(std::string strBytes) { return {Kind::Blob, 0, std::move(strBytes)}; }

    Kind eKind = Kind::Text;
    std::int64_t nInt64 = 0;
    std::string strBytes;
};

// One connection to an SQLite database file. Not for concurrent use by several
// threads: callers serialise their statements.
class HOST_API CSQLite3Conn
{
public:
    CSQLite3Conn();
    ~CSQLite3Conn();
    CSQLite3Conn(const CSQLite3Conn&) = delete;
    CSQLite3Conn& operator=(const CSQLite3Conn&) = delete;

    // Opens the UTF-8 path, creating the file when bCreate is set. strKey is
    // reserved for encrypted databases and ignored here.
    void Open(const std::string& strPath, bool bCreate, const std::string& strKey);
    void Close();
    // How long a statement waits for another connection's lock (5 s after Open).
    void SetBusyTimeout(int nMilliseconds);
    bool IsOpen() const { return m_pDb != nullptr; }

    // Runs the statements of strSql in turn; returns true or throws.
    bool Execute(const std::string& strSql);
    // Same, keeping the rows the statements return.
    bool Execute(const std::string& strSql, CSQLite3Recordset& rows);

    // Runs one statement whose ? placeholders are bound, in order, to the texts in
    // vecTexts, exactly as if each stood in the SQL as a quoted literal. The rows
    // are kept when pRows is given. Returns true or throws.
    bool ExecuteWithParams(const std::string& strSql, const std::vector<std::string>& vecTexts,
                           CSQLite3Recordset* pRows = nullptr);
    // The same with typed values.
    bool ExecuteWithValues(const std::string& strSql, const std::vector<CSQLite3Value>& vecValues,
                           CSQLite3Recordset* pRows = nullptr);
    // The rowid of the last successful insert on this connection.
    std::int64_t LastInsertRowId() const;

private:
    sqlite3_stmt* Prepare(const char* szSql, const char** pszTail);
    void Bind(sqlite3_stmt* pStmt, int nIndex, const CSQLite3Value& value);
    void Step(sqlite3_stmt* pStmt, CSQLite3Recordset* pRows);
    [[noreturn]] void Fail(int nCode);

    sqlite3* m_pDb = nullptr;
};

} // namespace Quillet
