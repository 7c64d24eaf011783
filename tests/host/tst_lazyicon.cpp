#include "TesselGUIToolkit/LazyIcon.h"

#include <QPixmap>
#include <QTest>

class tst_LazyIcon : public QObject
{
    Q_OBJECT
private slots:
    void drawsTheFile_data();
    void drawsTheFile();
};

void tst_LazyIcon::drawsTheFile_data()
{
    QTest::addColumn<QString>("strFile");
    QTest::addColumn<bool>("bDrawn");
    QTest::newRow("svg") << ":/publicIcon/Images/public/PublicIcon/Search.svg" << true;
    QTest::newRow("missing") << ":/publicIcon/no-such-icon.svg" << false;
    QTest::newRow("empty name") << QString() << false;
}

// Read on first use, it draws what the file's own icon draws.
void tst_LazyIcon::drawsTheFile()
{
    QFETCH(QString, strFile);
    QFETCH(bool, bDrawn);
    const QIcon icon = TesselGUIToolkit::LazyIcon(strFile);
    QCOMPARE(icon.isNull(), !bDrawn);
    if (!bDrawn)
        return;
    const QSize size(16, 16);
    QCOMPARE(icon.actualSize(size), QIcon(strFile).actualSize(size));
    QCOMPARE(icon.pixmap(size).toImage(), QIcon(strFile).pixmap(size).toImage());
}

QTEST_MAIN(tst_LazyIcon)
#include "tst_lazyicon.moc"
