#include "LinkageSetupStore.h"
#include "RawSetupTable.h"

#include <QtTest>

#include <future>
#include <set>
#include <vector>

using LinkageSnapAlarm::CLinkageSetupStore;
using LinkageSnapAlarm::LinkageSetupInfo;

Q_DECLARE_METATYPE(LinkageSetupInfo)

namespace {

// A record that no load could produce by accident.
LinkageSetupInfo Sentinel()
{
    return LinkageSetupInfo{true, QStringLiteral("untouched"), 42};
}

const char* const kCreatedTable = "CREATE TABLE LinkageSnapAlarmSetup "
                                  "(ID TEXT, IsSavePicture INTEGER, SavePicPath TEXT, PreviewMode INTEGER)";

} // namespace

class TestLinkageSetupStore : public QObject
{
    Q_OBJECT

private slots:
    // Runs first, while no store exists yet in this process.
    void concurrentFirstUseCreatesOneStore();
    void init();

    // Saving and loading back.
    void saveThenLoadRoundTrips_data();
    void saveThenLoadRoundTrips();
    void savedRowMatchesQuotedLiteralInsert_data();
    void savedRowMatchesQuotedLiteralInsert();
    void savingTwiceLeavesOneRow();

    // Reading rows written by others.
    void lastOfSeveralRowsWins();
    void integerColumnsReadBack_data();
    void integerColumnsReadBack();
    void emptyTableIsEmptyAndLoadKeepsRecord();

    // Failures.
    void failingInsertKeepsPreviousRow();
    void missingTableFailsReadsAndIsRecreatedOnSave();
    void badStatementReportsFalse();
};

void TestLinkageSetupStore::concurrentFirstUseCreatesOneStore()
{
    std::vector<std::future<CLinkageSetupStore*>> vecCalls;
    for (int i = 0; i < 8; ++i)
        vecCalls.push_back(std::async(std::launch::async, [] { return CLinkageSetupStore::Instance(); }));
    std::set<CLinkageSetupStore*> setStores;
    for (auto& call : vecCalls)
        setStores.insert(call.get());
    QCOMPARE(setStores.size(), std::size_t(1));
    QVERIFY(*setStores.begin() != nullptr);
}

void TestLinkageSetupStore::init()
{
    RawSetupTable table;
    table.Exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse_insert"));
    table.Exec(QStringLiteral("DROP TABLE IF EXISTS LinkageSnapAlarmSetup"));
    QVERIFY2(table.Exec(QLatin1String(kCreatedTable)), qPrintable(table.Error()));
}

void TestLinkageSetupStore::saveThenLoadRoundTrips_data()
{
    QTest::addColumn<LinkageSetupInfo>("info");
    QTest::newRow("plain path") << LinkageSetupInfo{true, QStringLiteral("/data/pictures"), 2};
    QTest::newRow("path with a quote") << LinkageSetupInfo{true, QStringLiteral("/data/O'Brien's pictures"), 3};
    QTest::newRow("path of quotes only") << LinkageSetupInfo{false, QStringLiteral("''"), 2};
    QTest::newRow("path with SQL in it")
        << LinkageSetupInfo{true, QStringLiteral("/x'); DROP TABLE LinkageSnapAlarmSetup; --"), 2};
    QTest::newRow("non-ASCII path") << LinkageSetupInfo{true, QString::fromUtf8("/home/\xE5\xBC\xA0/Bilder \xC3\xBC"), 3};
    QTest::newRow("path longer than 8096 bytes") << LinkageSetupInfo{true, QString(9000, QLatin1Char('p')), 2};
    QTest::newRow("saving off, three windows") << LinkageSetupInfo{false, QStringLiteral("/srv/alarm"), 3};
    QTest::newRow("empty path") << LinkageSetupInfo{false, QString(), 2};
}

void TestLinkageSetupStore::saveThenLoadRoundTrips()
{
    QFETCH(LinkageSetupInfo, info);
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    QVERIFY(pStore->SaveSetup(info));

    LinkageSetupInfo loaded = Sentinel();
    QVERIFY(pStore->LoadSetup(loaded));
    QCOMPARE(loaded.IsSavePicture, info.IsSavePicture);
    QCOMPARE(loaded.SavePicPath, info.SavePicPath);
    QCOMPARE(loaded.PreviewMode, info.PreviewMode);
    QCOMPARE(RawSetupTable().QuotedRows().size(), 1);
}

void TestLinkageSetupStore::savedRowMatchesQuotedLiteralInsert_data()
{
    QTest::addColumn<QString>("tableSql");
    QTest::newRow("table the store creates") << QString::fromLatin1(kCreatedTable);
    QTest::newRow("table without declared types")
        << QStringLiteral("CREATE TABLE LinkageSnapAlarmSetup (ID, IsSavePicture, SavePicPath, PreviewMode)");
    QTest::newRow("table of text columns")
        << QStringLiteral("CREATE TABLE LinkageSnapAlarmSetup (ID TEXT, IsSavePicture TEXT, SavePicPath TEXT, "
                          "PreviewMode TEXT)");
}

// The stored values (and their SQLite types) are those the quoted-literal insert
// statement stores, whatever the column declarations of an existing table.
void TestLinkageSetupStore::savedRowMatchesQuotedLiteralInsert()
{
    QFETCH(QString, tableSql);
    RawSetupTable table;
    QVERIFY(table.Exec(QStringLiteral("DROP TABLE LinkageSnapAlarmSetup")));
    QVERIFY(table.Exec(tableSql));
    QVERIFY(table.Exec(QStringLiteral("INSERT INTO LinkageSnapAlarmSetup (ID, IsSavePicture, SavePicPath, "
                                      "PreviewMode) VALUES ('1','1','/p/It''s','3');")));
    const QStringList lstLiteral = table.QuotedRows();

    QVERIFY(CLinkageSetupStore::Instance()->SaveSetup(LinkageSetupInfo{true, QStringLiteral("/p/It's"), 3}));
    QCOMPARE(table.QuotedRows(), lstLiteral);
}

void TestLinkageSetupStore::savingTwiceLeavesOneRow()
{
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    QVERIFY(pStore->SaveSetup(LinkageSetupInfo{true, QStringLiteral("/first"), 2}));
    QVERIFY(pStore->SaveSetup(LinkageSetupInfo{false, QStringLiteral("/second"), 3}));
    QCOMPARE(RawSetupTable().QuotedRows(), QStringList{QStringLiteral("'1'|0|'/second'|3")});
}

void TestLinkageSetupStore::lastOfSeveralRowsWins()
{
    RawSetupTable table;
    QVERIFY(table.Exec(QStringLiteral("INSERT INTO LinkageSnapAlarmSetup VALUES ('1','0','/older','2');"
                                      "INSERT INTO LinkageSnapAlarmSetup VALUES ('1','1','/newer','3');")));
    LinkageSetupInfo loaded = Sentinel();
    QVERIFY(CLinkageSetupStore::Instance()->LoadSetup(loaded));
    QCOMPARE(loaded.IsSavePicture, true);
    QCOMPARE(loaded.SavePicPath, QStringLiteral("/newer"));
    QCOMPARE(loaded.PreviewMode, 3);
    QVERIFY(!CLinkageSetupStore::Instance()->IsSetupEmpty());
}

void TestLinkageSetupStore::integerColumnsReadBack_data()
{
    QTest::addColumn<QString>("storedFlag");
    QTest::addColumn<QString>("storedMode");
    QTest::addColumn<bool>("isSavePicture");
    QTest::addColumn<int>("previewMode");
    QTest::newRow("flag 5 is true, mode 7 stays 7") << "'5'" << "'7'" << true << 7;
    QTest::newRow("flag 0 is false") << "'0'" << "'2'" << false << 2;
    QTest::newRow("flag -1 is true") << "-1" << "3" << true << 3;
    QTest::newRow("text that is no number reads as 0") << "'yes'" << "'two'" << false << 0;
}

void TestLinkageSetupStore::integerColumnsReadBack()
{
    QFETCH(QString, storedFlag);
    QFETCH(QString, storedMode);
    QFETCH(bool, isSavePicture);
    QFETCH(int, previewMode);
    RawSetupTable table;
    QVERIFY(table.Exec(QStringLiteral("INSERT INTO LinkageSnapAlarmSetup VALUES ('1',%1,'/p',%2);")
                           .arg(storedFlag, storedMode)));
    LinkageSetupInfo loaded;
    QVERIFY(CLinkageSetupStore::Instance()->LoadSetup(loaded));
    QCOMPARE(loaded.IsSavePicture, isSavePicture);
    QCOMPARE(loaded.PreviewMode, previewMode);
}

void TestLinkageSetupStore::emptyTableIsEmptyAndLoadKeepsRecord()
{
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    QVERIFY(pStore->IsSetupEmpty());
    LinkageSetupInfo loaded = Sentinel();
    QVERIFY(pStore->LoadSetup(loaded));
    QCOMPARE(loaded.IsSavePicture, true);
    QCOMPARE(loaded.SavePicPath, QStringLiteral("untouched"));
    QCOMPARE(loaded.PreviewMode, 42);
}

void TestLinkageSetupStore::failingInsertKeepsPreviousRow()
{
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    QVERIFY(pStore->SaveSetup(LinkageSetupInfo{true, QStringLiteral("/kept"), 3}));
    RawSetupTable table;
    QVERIFY(table.Exec(QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON LinkageSnapAlarmSetup "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END;")));

    QVERIFY(!pStore->SaveSetup(LinkageSetupInfo{false, QStringLiteral("/lost"), 2}));
    QCOMPARE(table.QuotedRows(), QStringList{QStringLiteral("'1'|1|'/kept'|3")});
    // The failed save left no transaction open: the next one works.
    QVERIFY(table.Exec(QStringLiteral("DROP TRIGGER refuse_insert")));
    QVERIFY(pStore->SaveSetup(LinkageSetupInfo{false, QStringLiteral("/next"), 2}));
    QCOMPARE(table.QuotedRows(), QStringList{QStringLiteral("'1'|0|'/next'|2")});
}

void TestLinkageSetupStore::missingTableFailsReadsAndIsRecreatedOnSave()
{
    QVERIFY(RawSetupTable().Exec(QStringLiteral("DROP TABLE LinkageSnapAlarmSetup")));
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    QVERIFY(!pStore->IsSetupEmpty());
    LinkageSetupInfo loaded = Sentinel();
    QVERIFY(!pStore->LoadSetup(loaded));
    QCOMPARE(loaded.SavePicPath, QStringLiteral("untouched"));

    QVERIFY(pStore->SaveSetup(LinkageSetupInfo{true, QStringLiteral("/after"), 2}));
    QVERIFY(pStore->LoadSetup(loaded));
    QCOMPARE(loaded.SavePicPath, QStringLiteral("/after"));
}

void TestLinkageSetupStore::badStatementReportsFalse()
{
    CLinkageSetupStore* pStore = CLinkageSetupStore::Instance();
    QVERIFY(!pStore->ExecuteLocked("SELECT * FROM NoSuchTable"));
    Quillet::CSQLite3Recordset rows;
    QVERIFY(!pStore->ExecuteLocked("NOT SQL AT ALL", rows));
    QVERIFY(pStore->ExecuteLocked("SELECT 1", rows));
    QCOMPARE(rows.GetInt(0), 1);
}

QTEST_GUILESS_MAIN(TestLinkageSetupStore)
#include "tst_linkagesetupstore.moc"
