#include "tessel/GroupManager.h"
#include "tessel/ICamera.h"
#include "tessel/SiteFileWatcher.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* kOneCamera =
    R"({"groups":[{"id":"g1","name":"Gate"}],"cameras":[{"guid":"c1","name":"Front","group":"g1"}]})";

bool Write(const QString& strPath, const QByteArray& baText)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(baText) == baText.size();
}

QString Cameras()
{
    QStringList lst;
    for (const tessel::GroupInfo& group : tessel::CGroupManager::Instance().GetAllGroups()) {
        for (tessel::IElement* pElement : tessel::CGroupManager::Instance().GetElementsOfGroup(group.strGUID)) {
            const auto* pCamera = dynamic_cast<tessel::ICamera*>(pElement);
            lst << QString::fromStdString(pElement->GetElementID()) + (pCamera && !pCamera->IsOnline() ? "(off)" : "");
        }
    }
    return lst.join(',');
}

} // namespace

class tst_SiteFileWatcher : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void reload_data();
    void reload();
    void savedFileReachesTheSite();
};

void tst_SiteFileWatcher::cleanup()
{
    tessel::CGroupManager::Instance().ApplySite({});
}

void tst_SiteFileWatcher::reload_data()
{
    QTest::addColumn<QByteArray>("baNext");
    QTest::addColumn<QString>("strCameras");
    QTest::addColumn<bool>("bApplied");

    QTest::newRow("camera added") << QByteArray(R"({"groups":[{"id":"g1","name":"Gate"}],"cameras":[)"
                                                R"({"guid":"c1","name":"Front","group":"g1"},)"
                                                R"({"guid":"c2","name":"Back","group":"g1"}]})")
                                  << "c1,c2" << true;
    QTest::newRow("camera switched offline")
        << QByteArray(R"({"groups":[{"id":"g1","name":"Gate"}],"cameras":[)"
                      R"({"guid":"c1","name":"Front","group":"g1","online":false}]})")
        << "c1(off)" << true;
    QTest::newRow("camera removed") << QByteArray(R"({"groups":[{"id":"g1","name":"Gate"}],"cameras":[]})") << ""
                                    << true;
    QTest::newRow("broken file keeps the site") << QByteArray(R"({"groups":[)") << "c1" << false;
}

void tst_SiteFileWatcher::reload()
{
    QFETCH(QByteArray, baNext);
    QFETCH(QString, strCameras);
    QFETCH(bool, bApplied);

    QTemporaryDir dir;
    const QString strPath = dir.filePath("site.json");
    QVERIFY(Write(strPath, kOneCamera));
    tessel::CSiteFileWatcher watcher;
    QSignalSpy spy(&watcher, &tessel::CSiteFileWatcher::signalSiteLoaded);
    QVERIFY(watcher.Watch(strPath).bUsable);
    QCOMPARE(Cameras(), QString("c1"));

    QVERIFY(Write(strPath, baNext));
    watcher.Reload();
    QCOMPARE(Cameras(), strCameras);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.last().at(1).toBool(), bApplied);
    if (!bApplied)
        QVERIFY(spy.last().at(0).toStringList().first().startsWith(strPath + ": not JSON"));
}

void tst_SiteFileWatcher::savedFileReachesTheSite()
{
    // Saved by an editor that writes a new file and renames it over the old one.
    QTemporaryDir dir;
    const QString strPath = dir.filePath("site.json");
    QVERIFY(Write(strPath, kOneCamera));
    tessel::CSiteFileWatcher watcher;
    watcher.Watch(strPath);
    QSignalSpy spy(&watcher, &tessel::CSiteFileWatcher::signalSiteLoaded);
    const QString strNew = dir.filePath("site.json.new");
    QVERIFY(Write(strNew, R"({"groups":[{"id":"g1","name":"Gate"}],"cameras":[)"
                          R"({"guid":"c1","name":"Front","group":"g1"},{"guid":"c3","name":"Yard","group":"g1"}]})"));
    QVERIFY(QFile::remove(strPath));
    QVERIFY(QFile::rename(strNew, strPath));
    QVERIFY(spy.wait(10000));
    QCOMPARE(Cameras(), QString("c1,c3"));
}

QTEST_GUILESS_MAIN(tst_SiteFileWatcher)
#include "tst_sitefilewatcher.moc"
