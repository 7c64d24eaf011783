#include "common/LsaCheck.h"

#include <QObject>
#include <QTest>

namespace {
constexpr int kCheckLine = __LINE__ + 4;
// The line of the failed check (the statement after it ran), or 0 when it went on.
int FailedLine(const QObject* pObject)
{
    LSA_CHECK(pObject) return __LINE__;
    return 0;
}
} // namespace

class TestLsaCheck : public QObject
{
    Q_OBJECT
private slots:
    void check_data();
    void check();
};

void TestLsaCheck::check_data()
{
    QTest::addColumn<bool>("bPresent");
    QTest::addColumn<int>("nFailedLine");
    QTest::newRow("present object goes on silently") << true << 0;
    QTest::newRow("missing object logs where and stops") << false << kCheckLine;
}

void TestLsaCheck::check()
{
    QFETCH(bool, bPresent);
    QFETCH(int, nFailedLine);
    QObject object;
    if (!bPresent) {
        const QString strExpected = QStringLiteral("pObject is false at %1:%2").arg(__FILE__).arg(kCheckLine);
        QTest::ignoreMessage(QtWarningMsg, qPrintable(strExpected));
    }
    QCOMPARE(FailedLine(bPresent ? &object : nullptr), nFailedLine);
}

QTEST_GUILESS_MAIN(TestLsaCheck)
#include "tst_lsacheck.moc"
