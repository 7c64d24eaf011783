#include "Fendra/SingletonImpl.h"
#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QObject>
#include <QPointer>
#include <QTest>

namespace {
struct CPlainCounter
{
    int nValue = 0;
};

class CWatched : public QObject
{
    Q_OBJECT
};
} // namespace

class tst_Singletons : public QObject
{
    Q_OBJECT
private slots:
    void processSingletonIsOnePerType();
    void objectSingletonOwnership_data();
    void objectSingletonOwnership();
    void installedInstanceVanishesWithParent();
};

void tst_Singletons::processSingletonIsOnePerType()
{
    Fendra::CSingleton<CPlainCounter>::Instance().nValue = 7;
    QCOMPARE(&Fendra::CSingleton<CPlainCounter>::Instance(), &Fendra::CSingleton<CPlainCounter>::Instance());
    QCOMPARE(Fendra::CSingleton<CPlainCounter>::Instance().nValue, 7);
}

void tst_Singletons::objectSingletonOwnership_data()
{
    QTest::addColumn<bool>("bCreateFirst");
    QTest::newRow("no instance before creation") << false;
    QTest::newRow("creation is done once") << true;
}

void tst_Singletons::objectSingletonOwnership()
{
    QFETCH(bool, bCreateFirst);
    using Holder = TesselGUIToolkit::CObjectSingleton<CWatched>;
    Holder::DestroyInstance();
    if (!bCreateFirst) {
        QVERIFY(!Holder::Instance());
        return;
    }
    CWatched* pFirst = Holder::CreateInstance();
    QVERIFY(pFirst);
    QCOMPARE(Holder::CreateInstance(), pFirst);
    QCOMPARE(Holder::Instance(), pFirst);
    QPointer<CWatched> pGuard(pFirst);
    Holder::DestroyInstance();
    QVERIFY(pGuard.isNull());
    QVERIFY(!Holder::Instance());
}

void tst_Singletons::installedInstanceVanishesWithParent()
{
    using Holder = TesselGUIToolkit::CObjectSingleton<CWatched>;
    auto* pParent = new QObject;
    auto* pInstance = new CWatched;
    pInstance->setParent(pParent);
    Holder::InstallInstance(pInstance);
    QCOMPARE(Holder::Instance(), pInstance);
    delete pParent;
    QVERIFY(!Holder::Instance());
    // Dropping a watched instance must not delete what its parent owns.
    auto* pOther = new CWatched;
    Holder::InstallInstance(pOther);
    Holder::DestroyInstance();
    QPointer<CWatched> pGuard(pOther);
    QVERIFY(!pGuard.isNull());
    delete pOther;
}

QTEST_GUILESS_MAIN(tst_Singletons)
#include "tst_singletons.moc"
