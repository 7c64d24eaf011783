#include "tests/settings/RawSetupTable.h"

#include <QtTest>

#include <future>
#include <set>
#include <vector>

using LinkageSnapAlarm::CLinkageSetupStore;
using LinkageSnapAlarm::LinkageSetupInfo;

namespace {

// A record that no load could produce by accident.
const LinkageSetupInfo kUntouched{true, QStringLiteral("untouched"), 42};

} // namespace

class TestLinkageSetupStore : public QObject
{
    Q_OBJECT

private slots:
    // Runs first, while no store exists yet in this process.
    void concurrentFirstUseCreatesOneStore();
    void init();
    void saveReplacesRowAndLoadsBack_data();
    void saveReplacesRowAndLoadsBack();
    void loadReadsRowsWrittenByOthers_data();
    void loadReadsRowsWrittenByOthers();
    void missingTableFailsReadsAndIsCreatedOnSave();
    void damagedFileIsSetAsideAndReplaced();
    void lockedDatabaseFailsFastAndKeepsLastLoaded();
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
    CLinkageSetupStore* pStore = *setStores.begin();
    QVERIFY(pStore != nullptr);

    // A first start: no file yet. It reads as empty and only a write makes it.
    const QString strPath = QFile::decodeName(pStore->DatabasePath().c_str());
    QVERIFY(!QFile::exists(strPath));
    LinkageSetupInfo loaded = kUntouched;
    LinkageSnapAlarm::HistoryBounds bounds;
    QVERIFY(pStore->IsSetupEmpty());
    QCOMPARE(pStore->ReadSetup(loaded), CLinkageSetupStore::ReadResult::Empty);
    QCOMPARE(pStore->ReadHistoryBounds(bounds), CLinkageSetupStore::ReadResult::Empty);
    QVERIFY(!QFile::exists(strPath));
    QVERIFY(pStore->SaveSetup(LinkageSetupInfo{false, QStringLiteral("/first"), 1}));
    QVERIFY(QFile::exists(strPath));
}

void TestLinkageSetupStore::init()
{
    if (qstrcmp(QTest::currentTestFunction(), "concurrentFirstUseCreatesOneStore") == 0)
        return; // it starts without a database
    QVERIFY(RawSetupTable().Reset());
}

// The stored values and their SQLite types are those of the quoted literals '1',
// '0' or '1', the path and the mode, whatever the columns of an existing table say.
void TestLinkageSetupStore::saveReplacesRowAndLoadsBack_data()
{
    QTest::addColumn<QString>("tableSql"); // empty: the table the store creates
    QTest::addColumn<LinkageSetupInfo>("info");
    QTest::addColumn<QString>("row");
    QTest::newRow("quoted path") << "" << LinkageSetupInfo{true, QStringLiteral("/p/It's"), 3} << "'1'|1|'/p/It''s'|3";
    QTest::newRow("path of quotes only") << "" << LinkageSetupInfo{false, QStringLiteral("''"), 2} << "'1'|0|''''''|2";
    const QString strWide = QString::fromUtf8("/home/\xE5\xBC\xA0/Bilder \xC3\xBC");
    QTest::newRow("non-ASCII path") << "" << LinkageSetupInfo{true, strWide, 3} << "'1'|1|'" + strWide + "'|3";
    const QString strLong(9000, QLatin1Char('p'));
    QTest::newRow("path longer than 8096 bytes")
        << "" << LinkageSetupInfo{true, strLong, 2} << "'1'|1|'" + strLong + "'|2";
    QTest::newRow("table without declared types")
        << "CREATE TABLE LinkageSnapAlarmSetup (ID, IsSavePicture, SavePicPath, PreviewMode)"
        << LinkageSetupInfo{true, QStringLiteral("/p/It's"), 3} << "'1'|'1'|'/p/It''s'|'3'";
}

void TestLinkageSetupStore::saveReplacesRowAndLoadsBack()
{
    QFETCH(QString, tableSql);
    QFETCH(LinkageSetupInfo, info);
    QFETCH(QString, row);
    RawSetupTable table;
    if (!tableSql.isEmpty())
        QVERIFY(table.Exec(QStringLiteral("DROP TABLE LinkageSnapAlarmSetup")) && table.Exec(tableSql));
    QVERIFY(Store().SaveSetup(LinkageSetupInfo{false, QStringLiteral("/first"), 2}));
    QVERIFY(Store().SaveSetup(info));
    QCOMPARE(table.QuotedRows(), QStringList{row});
    LinkageSetupInfo loaded = kUntouched;
    QVERIFY(Store().LoadSetup(loaded));
    QCOMPARE(Line(loaded), Line(info));
}

void TestLinkageSetupStore::loadReadsRowsWrittenByOthers_data()
{
    QTest::addColumn<QString>("values"); // rows inserted before loading
    QTest::addColumn<bool>("empty");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("first start with an empty table") << "" << true << Line(kUntouched);
    QTest::newRow("two rows, last wins") << "('1','0','/older','2'),('1','1','/newer','3')" << false << "1|/newer|3";
    QTest::newRow("flag 5 is true, mode 7 stays 7") << "('1','5','/p','7')" << false << "1|/p|7";
    QTest::newRow("integer flag -1 is true") << "('1',-1,'/p',3)" << false << "1|/p|3";
    QTest::newRow("text that is no number reads as 0") << "('1','yes','/p','two')" << false << "0|/p|0";
}

void TestLinkageSetupStore::loadReadsRowsWrittenByOthers()
{
    QFETCH(QString, values);
    QFETCH(bool, empty);
    QFETCH(QString, loaded);
    if (!values.isEmpty())
        QVERIFY(RawSetupTable().Exec(QStringLiteral("INSERT INTO LinkageSnapAlarmSetup VALUES ") + values));
    QCOMPARE(Store().IsSetupEmpty(), empty);
    LinkageSetupInfo info = kUntouched;
    QVERIFY(Store().LoadSetup(info));
    QCOMPARE(Line(info), loaded);
}

void TestLinkageSetupStore::missingTableFailsReadsAndIsCreatedOnSave()
{
    QVERIFY(RawSetupTable().Exec(QStringLiteral("DROP TABLE LinkageSnapAlarmSetup")));
    QVERIFY(!Store().IsSetupEmpty());
    QVERIFY(!Store().DeleteAllSetup());
    LinkageSetupInfo loaded = kUntouched;
    QVERIFY(!Store().LoadSetup(loaded));
    QCOMPARE(Line(loaded), Line(kUntouched));

    QVERIFY(Store().SaveSetup(LinkageSetupInfo{true, QStringLiteral("/after"), 2}));
    QVERIFY(Store().LoadSetup(loaded));
    QCOMPARE(Line(loaded), QStringLiteral("1|/after|2"));
}

// A damaged file keeps its bytes under a time-stamped name, a fresh database
// takes its place so that saving works again, and the user is told once.
void TestLinkageSetupStore::damagedFileIsSetAsideAndReplaced()
{
    QVERIFY(Store().SaveSetup(LinkageSetupInfo{true, QStringLiteral("/before"), 3}));
    const QByteArray baGarbage(8192, 'x');
    QVERIFY(DamageDatabase(baGarbage));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Settings database .*/LinkageSnapAlarm: query failed: "
                                                          "file is not a database \\(SQLite code 26\\)$"));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^Settings database was damaged: kept as "
                                            ".*/LinkageSnapAlarm\\.damaged-\\d{8}-\\d{6}, starting a fresh one$"));
    QVERIFY(Store().IsSetupEmpty());
    QVERIFY(Store().TakeRecoveryNotice());
    QVERIFY(!Store().TakeRecoveryNotice());
    QVERIFY(Store().SaveSetup(LinkageSetupInfo{false, QStringLiteral("/after"), 2}));
    LinkageSetupInfo loaded;
    QVERIFY(Store().LoadSetup(loaded));
    QCOMPARE(Line(loaded), QStringLiteral("0|/after|2"));

    const QFileInfoList lstAside = DamagedCopies();
    QCOMPARE(lstAside.size(), 1);
    QFile aside(lstAside.first().filePath());
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), baGarbage);
    QVERIFY(QFile::remove(aside.fileName()));
}

// Another process's lock is waited for briefly only (every statement runs on the
// GUI thread); the settings read last stay available, and the next try works.
void TestLinkageSetupStore::lockedDatabaseFailsFastAndKeepsLastLoaded()
{
    QVERIFY(Store().SaveSetup(LinkageSetupInfo{true, QStringLiteral("/kept"), 3}));
    LinkageSetupInfo loaded = kUntouched;
    QVERIFY(Store().LoadSetup(loaded));
    Quillet::CSQLite3Recordset rows;
    QVERIFY(Store().ExecuteLocked("PRAGMA busy_timeout", rows));
    QCOMPARE(rows.GetInt(0), CLinkageSetupStore::kBusyTimeoutMs);
    QVERIFY(CLinkageSetupStore::kBusyTimeoutMs <= 300);

    RawSetupTable locker;
    QVERIFY(locker.Exec(QStringLiteral("BEGIN EXCLUSIVE")));
    const QRegularExpression reLocked(QStringLiteral("^Settings database .*: (query|save) failed: database is locked"));
    QTest::ignoreMessage(QtWarningMsg, reLocked);
    QTest::ignoreMessage(QtWarningMsg, reLocked);
    loaded = kUntouched;
    QVERIFY(!Store().LoadSetup(loaded));
    QVERIFY(!Store().SaveSetup(LinkageSetupInfo{false, QStringLiteral("/lost"), 2}));
    QVERIFY(Store().LastLoadedSetup(loaded));
    QCOMPARE(Line(loaded), QStringLiteral("1|/kept|3"));

    QVERIFY(locker.Exec(QStringLiteral("COMMIT")));
    QVERIFY(Store().SaveSetup(LinkageSetupInfo{false, QStringLiteral("/next"), 2}));
    QVERIFY(Store().LoadSetup(loaded));
    QCOMPARE(Line(loaded), QStringLiteral("0|/next|2"));
}

QTEST_GUILESS_MAIN(TestLinkageSetupStore)
#include "tst_linkagesetupstore.moc"
