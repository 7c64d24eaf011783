#include "Fendra/DiskDriveUtil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/statvfs.h>

using Fendra::DiskDriveUtil;
using Fendra::U_LARGE_PART;

class tst_DiskDriveUtil : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void reportsFileSystemOfNearestExistingFolder_data();
    void reportsFileSystemOfNearestExistingFolder();
    void unusableLocationFails_data();
    void unusableLocationFails();
    void overrideAnswersAndCanFail();

private:
    QTemporaryDir m_tmpDir;
};

void tst_DiskDriveUtil::cleanup()
{
    DiskDriveUtil::SetFreeSpaceOverride({});
}

void tst_DiskDriveUtil::reportsFileSystemOfNearestExistingFolder_data()
{
    QTest::addColumn<QString>("location"); // relative to the temporary folder
    QTest::newRow("existing folder") << "";
    QTest::newRow("folder not created yet") << "not/yet/there";
}

// The answer is that of the file system holding the location, as statvfs sees it.
void tst_DiskDriveUtil::reportsFileSystemOfNearestExistingFolder()
{
    QFETCH(QString, location);
    const QByteArray baLocation = QFile::encodeName(m_tmpDir.filePath(location));
    U_LARGE_PART total{};
    U_LARGE_PART free{};
    QCOMPARE(DiskDriveUtil::GetLocalDriveSpace(baLocation.constData(), &total, &free), 0);

    struct statvfs stat {};
    QCOMPARE(statvfs(QFile::encodeName(m_tmpDir.path()).constData(), &stat), 0);
    QCOMPARE(total.QuadPart, std::uint64_t(stat.f_blocks) * stat.f_frsize);
    // Free space moves with other writers; a mebibyte either way is the same answer.
    const std::uint64_t nExpectedFree = std::uint64_t(stat.f_bavail) * stat.f_frsize;
    QVERIFY(free.QuadPart + (1u << 20) > nExpectedFree && free.QuadPart < nExpectedFree + (1u << 20));
}

void tst_DiskDriveUtil::unusableLocationFails_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::newRow("empty text") << QByteArray("");
}

void tst_DiskDriveUtil::unusableLocationFails()
{
    QFETCH(QByteArray, location);
    U_LARGE_PART total{};
    U_LARGE_PART free{};
    QVERIFY(DiskDriveUtil::GetLocalDriveSpace(location.constData(), &total, &free) != 0);
    QVERIFY(DiskDriveUtil::GetLocalDriveSpace(nullptr, &total, &free) != 0);
}

void tst_DiskDriveUtil::overrideAnswersAndCanFail()
{
    std::string strAsked;
    DiskDriveUtil::SetFreeSpaceOverride([&strAsked](const std::string& strLocation, std::uint64_t& nFree) {
        strAsked = strLocation;
        nFree = std::uint64_t(2047) << 20;
        return 0;
    });
    U_LARGE_PART free{};
    QCOMPARE(DiskDriveUtil::GetLocalDriveSpace("/some/where", nullptr, &free), 0);
    QCOMPARE(free.QuadPart >> 20, std::uint64_t(2047));
    QCOMPARE(strAsked, std::string("/some/where"));

    DiskDriveUtil::SetFreeSpaceOverride([](const std::string&, std::uint64_t&) { return 3; });
    QCOMPARE(DiskDriveUtil::GetLocalDriveSpace("/some/where", nullptr, &free), 3);

    DiskDriveUtil::SetFreeSpaceOverride({});
    QCOMPARE(DiskDriveUtil::GetLocalDriveSpace(QFile::encodeName(m_tmpDir.path()).constData(), nullptr, &free), 0);
}

QTEST_GUILESS_MAIN(tst_DiskDriveUtil)
#include "tst_diskdriveutil.moc"
