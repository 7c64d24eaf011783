#pragma once

// Shared by the settings tests: direct access to the settings database beside the
// store, for arranging and checking the table, and records written as one line.

#include "settings/LinkageSetupStore.h"

#include "Fendra/Singleton.h"
#include "Ostrel/UserDataPath.h"

#include <QDir>
#include <QFile>
#include <QMetaType>
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

    bool Exec(const QString& strSql)
    {
        return sqlite3_exec(m_pDb, strSql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    // An empty table as the store creates it, accepting inserts.
    bool Reset()
    {
        return Exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse_insert; DROP TABLE IF EXISTS LinkageSnapAlarmSetup; "
                                   "CREATE TABLE LinkageSnapAlarmSetup "
                                   "(ID TEXT, IsSavePicture INTEGER, SavePicPath TEXT, PreviewMode INTEGER);"));
    }

    // Makes every insert fail until Reset() or DROP TRIGGER refuse_insert.
    bool RefuseInserts()
    {
        return Exec(QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON LinkageSnapAlarmSetup "
                                   "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
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

private:
    sqlite3* m_pDb = nullptr;
};

Q_DECLARE_METATYPE(LinkageSnapAlarm::LinkageSetupInfo)

// A settings record in one line, for comparisons: "1|/path|3".
inline QString Line(const LinkageSnapAlarm::LinkageSetupInfo& info)
{
    return QStringLiteral("%1|%2|%3")
        .arg(QString::number(info.IsSavePicture), info.SavePicPath, QString::number(info.PreviewMode));
}

inline LinkageSnapAlarm::CLinkageSetupStore& Store()
{
    return *LinkageSnapAlarm::CLinkageSetupStore::Instance();
}

// Overwrites the settings database file with bytes SQLite cannot read.
inline bool DamageDatabase(const QByteArray& baGarbage)
{
    QFile file(QFile::decodeName(Store().DatabasePath().c_str()));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(baGarbage) == baGarbage.size();
}

// The damaged databases set aside beside the current one.
inline QFileInfoList DamagedCopies()
{
    const QFileInfo database(QFile::decodeName(Store().DatabasePath().c_str()));
    return database.dir().entryInfoList({database.fileName() + QStringLiteral(".damaged-*")}, QDir::Files);
}
