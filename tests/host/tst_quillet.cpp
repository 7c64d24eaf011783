#include "Quillet/SQLite3Conn.h"

#include <QTemporaryDir>
#include <QtTest>

using Quillet::CSQLite3Conn;
using Quillet::CSQlite3Error;
using Quillet::CSQLite3Recordset;

// Binding as quoted literals and reading rows back are also covered through the
// settings store's tests; these are the edges the store never reaches.
class tst_Quillet : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void recordsetEdgesAndNulBytes();
    void failuresThrow_data();
    void failuresThrow();
    void openFailuresThrow();

private:
    QTemporaryDir m_tmpDir;
    std::unique_ptr<CSQLite3Conn> m_spConn;
};

void tst_Quillet::init()
{
    m_spConn = std::make_unique<CSQLite3Conn>();
    m_spConn->Open(m_tmpDir.filePath(QStringLiteral("test.db")).toStdString(), true, "");
    m_spConn->Execute("DROP TABLE IF EXISTS T; CREATE TABLE T (a, b INTEGER, c TEXT);");
}

void tst_Quillet::recordsetEdgesAndNulBytes()
{
    const std::string strNul("a\0b", 3);
    QVERIFY(m_spConn->ExecuteWithParams("INSERT INTO T VALUES (NULL, ?, ?)", {"22", strNul}));
    CSQLite3Recordset rows;
    QVERIFY(m_spConn->Execute("SELECT a, b, c, typeof(c) FROM T", rows));
    QCOMPARE(rows.RowCount(), std::size_t(1));
    QCOMPARE(rows.GetString(0), std::string()); // NULL
    QCOMPARE(rows.GetInt(1), 22);
    QCOMPARE(rows.GetString(2), strNul);
    QCOMPARE(rows.GetString(3), std::string("text"));
    QCOMPARE(rows.GetString(7), std::string()); // no such column
    QVERIFY(!rows.Next());
    QVERIFY(rows.Eof());
    QCOMPARE(rows.GetInt(1), 0); // past the end
    QVERIFY(!rows.Next());
}

void tst_Quillet::failuresThrow_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("syntax error") << "SELEKT 1";
    QTest::newRow("constraint in a later statement")
        << "CREATE TABLE U (k UNIQUE); INSERT INTO U VALUES (1); INSERT INTO U VALUES (1);";
}

void tst_Quillet::failuresThrow()
{
    QFETCH(QString, sql);
    QVERIFY_EXCEPTION_THROWN(m_spConn->Execute(sql.toStdString()), CSQlite3Error);
}

void tst_Quillet::openFailuresThrow()
{
    CSQLite3Conn conn;
    QVERIFY_EXCEPTION_THROWN(conn.Execute("SELECT 1"), CSQlite3Error); // never opened
    const std::string strMissing = m_tmpDir.filePath(QStringLiteral("missing.db")).toStdString();
    QVERIFY_EXCEPTION_THROWN(conn.Open(strMissing, false, ""), CSQlite3Error);
    QVERIFY(!conn.IsOpen());
    QVERIFY_EXCEPTION_THROWN(conn.Open("/nonexistent-folder/x.db", true, ""), CSQlite3Error);
}

QTEST_GUILESS_MAIN(tst_Quillet)
#include "tst_quillet.moc"
