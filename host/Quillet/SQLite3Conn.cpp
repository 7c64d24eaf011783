#include "Quillet/SQLite3Conn.h"

#include <sqlite3.h>

#include <memory>

namespace Quillet {
namespace {

struct StmtDeleter
{
    void operator()(sqlite3_stmt* pStmt) const { sqlite3_finalize(pStmt); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

constexpr int kBusyTimeoutMs = 5000;

} // namespace

CSQlite3Error::CSQlite3Error(int nCode, const std::string& strMessage)
    : std::runtime_error(strMessage)
    , m_nCode(nCode)
{
}

bool CSQlite3Error::IsCorrupt() const
{
    const int nPrimary = m_nCode & 0xff;
    return nPrimary == SQLITE_CORRUPT || nPrimary == SQLITE_NOTADB;
}

bool CSQlite3Error::IsFull() const
{
    return (m_nCode & 0xff) == SQLITE_FULL;
}

bool CSQlite3Error::IsBusy() const
{
    const int nPrimary = m_nCode & 0xff;
    return nPrimary == SQLITE_BUSY || nPrimary == SQLITE_LOCKED;
}

CSQLite3Recordset::CSQLite3Recordset() = default;

bool CSQLite3Recordset::Next()
{
    if (m_nRow < m_vecRows.size())
        ++m_nRow;
    return !Eof();
}

const CSQLite3Recordset::Cell* CSQLite3Recordset::Find(int nColumn) const
{
    if (Eof() || nColumn < 0 || std::size_t(nColumn) >= m_vecRows[m_nRow].size())
        return nullptr;
    return &m_vecRows[m_nRow][std::size_t(nColumn)];
}

int CSQLite3Recordset::GetInt(int nColumn) const
{
    const Cell* pCell = Find(nColumn);
    return pCell ? pCell->nInt : 0;
}

std::int64_t CSQLite3Recordset::GetInt64(int nColumn) const
{
    const Cell* pCell = Find(nColumn);
    return pCell ? pCell->nInt64 : 0;
}

std::string CSQLite3Recordset::GetString(int nColumn) const
{
    const Cell* pCell = Find(nColumn);
    return pCell ? pCell->strText : std::string();
}

void CSQLite3Recordset::Clear()
{
    m_vecRows.clear();
    m_nRow = 0;
}

CSQLite3Conn::CSQLite3Conn() = default;

CSQLite3Conn::~CSQLite3Conn()
{
    Close();
}

void CSQLite3Conn::Open(const std::string& strPath, bool bCreate, const std::string&)
{
    Close();
    const int nFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX | (bCreate ? SQLITE_OPEN_CREATE : 0);
    sqlite3* pDb = nullptr;
    const int nCode = sqlite3_open_v2(strPath.c_str(), &pDb, nFlags, nullptr);
    if (nCode != SQLITE_OK) {
        const std::string strMessage = pDb ? sqlite3_errmsg(pDb) : sqlite3_errstr(nCode);
        sqlite3_close(pDb);
        throw CSQlite3Error(nCode, strMessage);
    }
    m_pDb = pDb;
    sqlite3_busy_timeout(m_pDb, kBusyTimeoutMs);
}

void CSQLite3Conn::Close()
{
    sqlite3_close_v2(m_pDb);
    m_pDb = nullptr;
}

void CSQLite3Conn::SetBusyTimeout(int nMilliseconds)
{
    if (m_pDb)
        sqlite3_busy_timeout(m_pDb, nMilliseconds);
}

bool CSQLite3Conn::Execute(const std::string& strSql)
{
    CSQLite3Recordset ignored;
    return Execute(strSql, ignored);
}

bool CSQLite3Conn::Execute(const std::string& strSql, CSQLite3Recordset& rows)
{
    rows.Clear();
    const char* szNext = strSql.c_str();
    while (szNext && *szNext) {
        StmtPtr spStmt(Prepare(szNext, &szNext));
        if (spStmt) // null for a blank remainder or a lone ';'
            Step(spStmt.get(), &rows);
    }
    return true;
}

bool CSQLite3Conn::ExecuteWithParams(const std::string& strSql, const std::vector<std::string>& vecTexts,
                                     CSQLite3Recordset* pRows)
{
    if (pRows)
        pRows->Clear();
    const char* szTail = nullptr;
    StmtPtr spStmt(Prepare(strSql.c_str(), &szTail));
    if (!spStmt)
        throw CSQlite3Error(SQLITE_MISUSE, "no statement");
    for (std::size_t i = 0; i < vecTexts.size(); ++i) {
        const int nCode =
            sqlite3_bind_text(spStmt.get(), int(i + 1), vecTexts[i].data(), int(vecTexts[i].size()), SQLITE_TRANSIENT);
        if (nCode != SQLITE_OK)
            Fail(nCode);
    }
    Step(spStmt.get(), pRows);
    return true;
}

bool CSQLite3Conn::ExecuteWithValues(const std::string& strSql, const std::vector<CSQLite3Value>& vecValues,
                                     CSQLite3Recordset* pRows)
{
    if (pRows)
        pRows->Clear();
    const char* szTail = nullptr;
    StmtPtr spStmt(Prepare(strSql.c_str(), &szTail));
    if (!spStmt)
        throw CSQlite3Error(SQLITE_MISUSE, "no statement");
    for (std::size_t i = 0; i < vecValues.size(); ++i)
        Bind(spStmt.get(), int(i + 1), vecValues[i]);
    Step(spStmt.get(), pRows);
    return true;
}

void CSQLite3Conn::Bind(sqlite3_stmt* pStmt, int nIndex, const CSQLite3Value& value)
{
    int nCode = SQLITE_OK;
    switch (value.eKind) {
    case CSQLite3Value::Kind::Text:
        nCode = sqlite3_bind_text(pStmt, nIndex, value.strBytes.data(), int(value.strBytes.size()), SQLITE_TRANSIENT);
        break;
    case CSQLite3Value::Kind::Int64:
        nCode = sqlite3_bind_int64(pStmt, nIndex, value.nInt64);
        break;
    case CSQLite3Value::Kind::Blob:
        nCode = sqlite3_bind_blob(pStmt, nIndex, value.strBytes.data(), int(value.strBytes.size()), SQLITE_TRANSIENT);
        break;
    }
    if (nCode != SQLITE_OK)
        Fail(nCode);
}

std::int64_t CSQLite3Conn::LastInsertRowId() const
{
    return m_pDb ? sqlite3_last_insert_rowid(m_pDb) : 0;
}

sqlite3_stmt* CSQLite3Conn::Prepare(const char* szSql, const char** pszTail)
{
    if (!m_pDb)
        throw CSQlite3Error(SQLITE_MISUSE, "database not open");
    sqlite3_stmt* pStmt = nullptr;
    const int nCode = sqlite3_prepare_v2(m_pDb, szSql, -1, &pStmt, pszTail);
    if (nCode != SQLITE_OK)
        Fail(nCode);
    return pStmt;
}

void CSQLite3Conn::Step(sqlite3_stmt* pStmt, CSQLite3Recordset* pRows)
{
    for (;;) {
        const int nCode = sqlite3_step(pStmt);
        if (nCode == SQLITE_DONE)
            return;
        if (nCode != SQLITE_ROW)
            Fail(nCode);
        if (!pRows)
            continue;
        const int nColumns = sqlite3_column_count(pStmt);
        std::vector<CSQLite3Recordset::Cell> vecRow(static_cast<std::size_t>(nColumns));
        for (int i = 0; i < nColumns; ++i) {
            vecRow[std::size_t(i)].nInt = sqlite3_column_int(pStmt, i);
            vecRow[std::size_t(i)].nInt64 = sqlite3_column_int64(pStmt, i);
            // A blob's bytes as they are; anything else as text.
            const void* pText = sqlite3_column_type(pStmt, i) == SQLITE_BLOB ? sqlite3_column_blob(pStmt, i)
                                                                             : sqlite3_column_text(pStmt, i);
            if (pText)
                vecRow[std::size_t(i)].strText.assign(reinterpret_cast<const char*>(pText),
                                                      std::size_t(sqlite3_column_bytes(pStmt, i)));
        }
        pRows->m_vecRows.push_back(std::move(vecRow));
    }
}

void CSQLite3Conn::Fail(int nCode)
{
    throw CSQlite3Error(nCode, m_pDb ? sqlite3_errmsg(m_pDb) : sqlite3_errstr(nCode));
}

} // namespace Quillet
