#include "playwindow/DigitalZoomState.h"

#include <QtTest>

struct Wheel
{
    int nDelta;
    QPointF ptAnchor;
};
using Wheels = QVector<Wheel>;
Q_DECLARE_METATYPE(Wheels)

class tst_DigitalZoomState : public QObject
{
    Q_OBJECT
private slots:
    void wheelZoomsAroundTheMouse_data();
    void wheelZoomsAroundTheMouse();
};

void tst_DigitalZoomState::wheelZoomsAroundTheMouse_data()
{
    QTest::addColumn<Wheels>("wheels");
    QTest::addColumn<bool>("lastChanged");
    QTest::addColumn<QString>("shown");
    const QPointF centre(0.5, 0.5);
    QTest::newRow("one notch in at the centre") << Wheels{{120, centre}} << true << "0.100 0.100 0.800";
    QTest::newRow("one notch in at the top left") << Wheels{{120, {0, 0}}} << true << "0.000 0.000 0.800";
    QTest::newRow("out from the whole picture changes nothing")
        << Wheels{{-120, centre}} << false << "0.000 0.000 1.000";
    QTest::newRow("in and out again gives the whole")
        << Wheels{{120, {0.2, 0.7}}, {-120, {0.9, 0.1}}} << true << "0.000 0.000 1.000";
    QTest::newRow("zoom stops at sixteen times") << Wheels{{120 * 20, centre}} << true << "0.469 0.469 0.063";
    QTest::newRow("anchor outside the picture counts as its edge")
        << Wheels{{120, {2, -1}}} << true << "0.200 0.000 0.800";
    QTest::newRow("no wheel turn") << Wheels{{0, centre}} << false << "0.000 0.000 1.000";
    QTest::newRow("point under the mouse stays put")
        << Wheels{{120, centre}, {240, {0.25, 0.75}}} << true << "0.172 0.316 0.512";
}

void tst_DigitalZoomState::wheelZoomsAroundTheMouse()
{
    QFETCH(Wheels, wheels);
    QFETCH(bool, lastChanged);
    QFETCH(QString, shown);
    CDigitalZoomState zoom;
    bool bChanged = false;
    for (const Wheel& wheel : wheels)
        bChanged = zoom.Wheel(wheel.nDelta, wheel.ptAnchor);
    QCOMPARE(bChanged, lastChanged);
    const QRectF rc = zoom.ShownRect();
    QCOMPARE(QString("%1 %2 %3").arg(rc.x(), 0, 'f', 3).arg(rc.y(), 0, 'f', 3).arg(rc.width(), 0, 'f', 3), shown);
    QCOMPARE(zoom.IsZoomed(), rc.width() < 1.0);
    zoom.Reset();
    QVERIFY(!zoom.IsZoomed());
}

QTEST_GUILESS_MAIN(tst_DigitalZoomState)
#include "tst_digitalzoomstate.moc"
