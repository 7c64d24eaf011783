#include "Quillet/SQLite3Conn.h"

#include <QTemporaryDir>
#include <QtTest>

using Quillet::CSQLite3Conn;
using Quillet::CSQLite3Recordset;
using Quillet::CSQlite3Error;

class tst_Quillet : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void recordsetWalksRowsToItsEnd();
    void emptyResultIsAtEndAtOnce();
    void boundTextsStoreLikeQuotedLiterals_data();
    void boundTextsStoreLikeQuotedLiterals();
    void failuresThrow_data();
    void failuresThrow();
    void openWithoutCreateFailsForMissingFile();

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

void tst_Quillet::cleanup()
{
    m_spConn.reset();
}

void tst_Quillet::recordsetWalksRowsToItsEnd()
{
    m_spConn->Execute("INSERT INTO T VALUES ('x', 1, 'one'); INSERT INTO T VALUES (NULL, '22', 'two');");
    CSQLite3Recordset rows;
    QVERIFY(m_spConn->Execute("SELECT a, b, c FROM T ORDER BY b", rows));
    QVERIFY(!rows.Eof());
    QCOMPARE(rows.GetString(0), std::string("x"));
    QCOMPARE(rows.GetInt(1), 1);
    QVERIFY(rows.Next());
    QCOMPARE(rows.GetString(0), std::string()); // NULL
    QCOMPARE(rows.GetInt(1), 22);
    QCOMPARE(rows.GetString(2), std::string("two"));
    QCOMPARE(rows.GetString(7), std::string()); // no such column
    QVERIFY(!rows.Next());
    QVERIFY(rows.Eof());
    QCOMPARE(rows.GetInt(1), 0);
    QVERIFY(!rows.Next());
}

void tst_Quillet::emptyResultIsAtEndAtOnce()
{
    CSQLite3Recordset rows;
    QVERIFY(m_spConn->Execute("SELECT * FROM T", rows));
    QVERIFY(rows.Eof());
    QCOMPARE(rows.RowCount(), std::size_t(0));
}

void tst_Quillet::boundTextsStoreLikeQuotedLiterals_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("integer-looking text") << "1";
    QTest::newRow("quote inside") << "it's";
    QTest::newRow("semicolon and comment") << "a'); DROP TABLE T; --";
    QTest::newRow("NUL byte kept") << QString::fromLatin1("a\0b", 3);
    QTest::newRow("long text") << QString(20000, QLatin1Char('x'));
}

// What a bound text stores (value and type) is what the quoted literal stores.
void tst_Quillet::boundTextsStoreLikeQuotedLiterals()
{
    QFETCH(QString, text);
    const std::string strText = text.toStdString();
    QVERIFY(m_spConn->ExecuteWithParams("INSERT INTO T VALUES (?, ?, ?)", {strText, strText, strText}));
    CSQLite3Recordset rows;
    QVERIFY(m_spConn->ExecuteWithParams("SELECT typeof(a), typeof(b), typeof(c), length(CAST(c AS BLOB)) FROM T "
                                        "WHERE c = ?",
                                        {strText}, &rows));
    QCOMPARE(rows.RowCount(), std::size_t(1));
    const bool bNumeric = text == QLatin1String("1");
    QCOMPARE(rows.GetString(0), std::string("text"));
    QCOMPARE(rows.GetString(1), std::string(bNumeric ? "integer" : "text"));
    QCOMPARE(rows.GetString(2), std::string("text"));
    QCOMPARE(rows.GetInt(3), int(strText.size()));
    QVERIFY(m_spConn->Execute("SELECT count(*) FROM T", rows));
    QCOMPARE(rows.GetInt(0), 1); // the table survived whatever the text held
}

void tst_Quillet::failuresThrow_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("syntax error") << "SELEKT 1";
    QTest::newRow("missing table") << "SELECT * FROM Missing";
    QTest::newRow("constraint") << "CREATE TABLE U (k UNIQUE); INSERT INTO U VALUES (1); INSERT INTO U VALUES (1);";
}

void tst_Quillet::failuresThrow()
{
    QFETCH(QString, sql);
    QVERIFY_EXCEPTION_THROWN(m_spConn->Execute(sql.toStdString()), CSQlite3Error);
    CSQLite3Conn closed;
    QVERIFY_EXCEPTION_THROWN(closed.Execute("SELECT 1"), CSQlite3Error);
}

void tst_Quillet::openWithoutCreateFailsForMissingFile()
{
    CSQLite3Conn conn;
    const std::string strMissing = m_tmpDir.filePath(QStringLiteral("missing.db")).toStdString();
    QVERIFY_EXCEPTION_THROWN(conn.Open(strMissing, false, ""), CSQlite3Error);
    QVERIFY(!conn.IsOpen());
    QVERIFY_EXCEPTION_THROWN(conn.Open("/nonexistent-folder/x.db", true, ""), CSQlite3Error);
}

QTEST_GUILESS_MAIN(tst_Quillet)
#include "tst_quillet.moc"
