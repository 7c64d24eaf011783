#include "Fendra/DiskDriveUtil.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/statvfs.h>

using Fendra::DiskDriveUtil;

class tst_DiskDriveUtil : public QObject
{
    Q_OBJECT
private slots:
    void reportsFileSystemOfNearestExistingFolder_data();
    void reportsFileSystemOfNearestExistingFolder();

private:
    QTemporaryDir m_tmpDir;
};

void tst_DiskDriveUtil::reportsFileSystemOfNearestExistingFolder_data()
{
    QTest::addColumn<QString>("location"); // under the temporary folder, or "<empty>" / "<null>"
    QTest::newRow("existing folder") << "";
    QTest::newRow("folder not created yet") << "not/yet/there";
    QTest::newRow("empty text fails") << "<empty>";
    QTest::newRow("null pointer fails") << "<null>";
}

// The answer is that of the file system holding the location, as statvfs sees it.
void tst_DiskDriveUtil::reportsFileSystemOfNearestExistingFolder()
{
    QFETCH(QString, location);
    const QByteArray baLocation =
        location == QLatin1String("<empty>") ? QByteArray("") : QFile::encodeName(m_tmpDir.filePath(location));
    Fendra::U_LARGE_PART total{};
    Fendra::U_LARGE_PART free{};
    const int nResult = DiskDriveUtil::GetLocalDriveSpace(
        location == QLatin1String("<null>") ? nullptr : baLocation.constData(), &total, &free);
    if (location.startsWith(QLatin1Char('<'))) {
        QVERIFY(nResult != 0);
        return;
    }
    struct statvfs stat
    {
    };
    QCOMPARE(nResult, 0);
    QCOMPARE(statvfs(QFile::encodeName(m_tmpDir.path()).constData(), &stat), 0);
    QCOMPARE(total.QuadPart, std::uint64_t(stat.f_blocks) * stat.f_frsize);
    // Free space moves with other writers; a mebibyte either way is the same answer.
    const std::uint64_t nExpectedFree = std::uint64_t(stat.f_bavail) * stat.f_frsize;
    QVERIFY(free.QuadPart + (1u << 20) > nExpectedFree && free.QuadPart < nExpectedFree + (1u << 20));
}

QTEST_GUILESS_MAIN(tst_DiskDriveUtil)
#include "tst_diskdriveutil.moc"
