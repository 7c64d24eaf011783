#pragma once

// Direct access to the settings database, beside the store, for arranging and
// checking the table in tests.

#include "Fendra/Singleton.h"
#include "Ostrel/UserDataPath.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <sqlite3.h>

class RawSetupTable
{
public:
    RawSetupTable()
    {
        const std::string strPath =
            Fendra::CSingleton<Ostrel::CUserDataPath>::Instance().componentPath() + "LinkageSnapAlarm";
        sqlite3_open(strPath.c_str(), &m_pDb);
        sqlite3_busy_timeout(m_pDb, 5000);
    }
    ~RawSetupTable() { sqlite3_close(m_pDb); }
    RawSetupTable(const RawSetupTable&) = delete;
    RawSetupTable& operator=(const RawSetupTable&) = delete;

    // Runs SQL; returns false and keeps the message on error.
    bool Exec(const QString& strSql)
    {
        char* szError = nullptr;
        const bool bOk = sqlite3_exec(m_pDb, strSql.toUtf8().constData(), nullptr, nullptr, &szError) == SQLITE_OK;
        m_strError = szError ? QString::fromUtf8(szError) : QString();
        sqlite3_free(szError);
        return bOk;
    }

    // Each row as its columns joined by '|', values as SQL quote() shows them.
    QStringList QuotedRows()
    {
        QStringList lstRows;
        sqlite3_stmt* pStmt = nullptr;
        sqlite3_prepare_v2(m_pDb,
                           "SELECT quote(ID) || '|' || quote(IsSavePicture) || '|' || quote(SavePicPath) || '|' || "
                           "quote(PreviewMode) FROM LinkageSnapAlarmSetup",
                           -1, &pStmt, nullptr);
        while (pStmt && sqlite3_step(pStmt) == SQLITE_ROW)
            lstRows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(pStmt, 0)));
        sqlite3_finalize(pStmt);
        return lstRows;
    }

    QString Error() const { return m_strError; }

private:
    sqlite3* m_pDb = nullptr;
    QString m_strError;
};
