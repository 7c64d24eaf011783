#include "Kelmot/ConfigMgr.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

class tst_ConfigMgr : public QObject
{
    Q_OBJECT
private slots:
    void readsTheHostConfiguration_data();
    void readsTheHostConfiguration();
    void outOfRangeIndexIsNeutral();
};

void tst_ConfigMgr::readsTheHostConfiguration_data()
{
    QTest::addColumn<QVariant>("varLanguage");
    QTest::addColumn<QVariant>("varStyle");
    QTest::addColumn<int>("nLanguage");
    QTest::addColumn<int>("nStyle");
    QTest::newRow("no file gives the defaults") << QVariant() << QVariant() << 1 << 1;
    QTest::newRow("right-to-left language, alternative style") << QVariant(34) << QVariant(0) << 34 << 0;
    QTest::newRow("text that is no number keeps the default") << QVariant("abc") << QVariant(" 7") << 1 << 7;
}

void tst_ConfigMgr::readsTheHostConfiguration()
{
    QFETCH(QVariant, varLanguage);
    QFETCH(QVariant, varStyle);
    QFETCH(int, nLanguage);
    QFETCH(int, nStyle);
    const QString strPath = Kelmot::CConfigMgr::ConfigFilePath();
    QFile::remove(strPath);
    if (varLanguage.isValid()) {
        QDir().mkpath(QFileInfo(strPath).absolutePath());
        QSettings settings(strPath, QSettings::IniFormat);
        settings.setValue("Client/LanguageType", varLanguage);
        settings.setValue("Client/StyleVariant", varStyle);
    }
    Kelmot::CConfigMgr config;
    QCOMPARE(config.GetLanguageType(), nLanguage);
    QCOMPARE(config.GetStyleVariant(), nStyle);
}

void tst_ConfigMgr::outOfRangeIndexIsNeutral()
{
    Kelmot::CConfigMgr config;
    config.SetSetting(5, 9);
    config.SetSetting(-1, 9);
    QCOMPARE(config.GetSetting(5), 0);
    QCOMPARE(config.GetSetting(-1), 0);
}

QTEST_GUILESS_MAIN(tst_ConfigMgr)
#include "tst_configmgr.moc"
