#include "Vantrel/PreviewCrop.h"
#include "Vantrel/PtzControl.h"

#include "tessel/ICamera.h"

#include <QSignalSpy>
#include <QtTest>

using Vantrel::CPtzControl;
using Vantrel::PtzPosition;
Q_DECLARE_METATYPE(Vantrel::CropMargins)

namespace {

struct Step
{
    Vantrel::PtzCommand eCommand;
    bool bStop;
    int nSpeed;
    int nAdvanceMs; // time that passes after the command
};
using Steps = QVector<Step>;

tessel::CameraInfo Info(bool bPTZ)
{
    tessel::CameraInfo info;
    info.strGUID = "ptz-1";
    info.bHasPTZ = bPTZ;
    return info;
}

QString Text(const PtzPosition& p)
{
    return QString("%1 %2 %3").arg(p.dPan, 0, 'f', 3).arg(p.dTilt, 0, 'f', 3).arg(p.dZoom, 0, 'f', 3);
}

} // namespace
Q_DECLARE_METATYPE(Steps)

class tst_PtzControl : public QObject
{
    Q_OBJECT
private slots:
    void commandsMoveTheView_data();
    void commandsMoveTheView();
    void camerasWithoutPtzRefuse();
    void stopAllAndHome();
    void shownPart_data();
    void shownPart();
};

void tst_PtzControl::commandsMoveTheView_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QString>("position");
    QTest::addColumn<bool>("moving");
    using namespace Vantrel;
    // At zoom 1 the view is half the scene, so the centre stays within 0.25..0.75.
    QTest::newRow("one second right at speed 1") << Steps{{PtzPanRight, false, 1, 1000}} << "0.550 0.500 1.000" << true;
    QTest::newRow("released pan stops") << Steps{{PtzPanRight, false, 1, 1000}, {PtzPanRight, true, 1, 1000}}
                                        << "0.550 0.500 1.000" << false;
    QTest::newRow("pan stops at the scene's edge")
        << Steps{{PtzPanLeft, false, 7, 10000}} << "0.250 0.500 1.000" << true;
    QTest::newRow("diagonal moves both ways") << Steps{{PtzDownRight, false, 2, 1000}} << "0.600 0.600 1.000" << true;
    QTest::newRow("speed above 7 counts as 7") << Steps{{PtzTiltUp, false, 99, 500}} << "0.500 0.325 1.000" << true;
    QTest::newRow("speed below 1 counts as 1") << Steps{{PtzTiltDown, false, -3, 1000}} << "0.500 0.550 1.000" << true;
    QTest::newRow("zoom in for a second at speed 5")
        << Steps{{PtzZoomIn, false, 5, 1000}} << "0.500 0.500 2.000" << true;
    QTest::newRow("zoom stops at its widest") << Steps{{PtzZoomOut, false, 5, 1000}} << "0.500 0.500 1.000" << true;
    QTest::newRow("zoom stops at its closest") << Steps{{PtzZoomIn, false, 7, 60000}} << "0.500 0.500 8.000" << true;
    QTest::newRow("releasing the pan keeps the zoom running")
        << Steps{{PtzZoomIn, false, 5, 0}, {PtzPanRight, false, 5, 0}, {PtzPanRight, true, 5, 1000}}
        << "0.500 0.500 2.000" << true;
    QTest::newRow("zoomed in pans slower")
        << Steps{{PtzZoomIn, false, 5, 1000}, {PtzZoomIn, true, 5, 0}, {PtzPanRight, false, 1, 1000}}
        << "0.525 0.500 2.000" << true;
    QTest::newRow("no time, no move") << Steps{{PtzPanRight, false, 7, 0}} << "0.500 0.500 1.000" << true;
}

void tst_PtzControl::commandsMoveTheView()
{
    QFETCH(Steps, steps);
    QFETCH(QString, position);
    QFETCH(bool, moving);
    tessel::CCamera camera(Info(true));
    CPtzControl ptz;
    for (const Step& step : steps) {
        QVERIFY(ptz.PtzControl(&camera, step.eCommand, step.bStop, step.nSpeed));
        ptz.Advance(step.nAdvanceMs);
    }
    QCOMPARE(Text(ptz.GetPosition("ptz-1")), position);
    QCOMPARE(ptz.IsMoving("ptz-1"), moving);
}

void tst_PtzControl::camerasWithoutPtzRefuse()
{
    tessel::CCamera fixed(Info(false));
    CPtzControl ptz;
    QSignalSpy spy(&ptz, &CPtzControl::SignalPositionChanged);
    QVERIFY(!ptz.PtzControl(&fixed, Vantrel::PtzPanRight, false, 4));
    QVERIFY(!ptz.PtzControl(nullptr, Vantrel::PtzPanRight, false, 4));
    QVERIFY(!ptz.GoHome(&fixed));
    ptz.Advance(1000);
    QVERIFY(!ptz.IsMoving("ptz-1"));
    QCOMPARE(spy.size(), 0);
    QCOMPARE(Text(ptz.GetPosition("unknown")), QString("0.500 0.500 1.000"));
}

void tst_PtzControl::stopAllAndHome()
{
    tessel::CCamera camera(Info(true));
    CPtzControl ptz;
    QSignalSpy spy(&ptz, &CPtzControl::SignalPositionChanged);
    ptz.PtzControl(&camera, Vantrel::PtzUpLeft, false, 3);
    ptz.PtzControl(&camera, Vantrel::PtzZoomIn, false, 3);
    ptz.Advance(500);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("ptz-1"));
    ptz.StopAll("ptz-1");
    QVERIFY(!ptz.IsMoving("ptz-1"));
    const PtzPosition moved = ptz.GetPosition("ptz-1");
    ptz.Advance(500);
    QVERIFY(ptz.GetPosition("ptz-1") == moved);
    QVERIFY(ptz.GoHome(&camera));
    QVERIFY(ptz.GetPosition("ptz-1") == PtzPosition{});
}

void tst_PtzControl::shownPart_data()
{
    QTest::addColumn<QRectF>("ptzView");
    QTest::addColumn<QRectF>("digitalZoom");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<Vantrel::CropMargins>("margins");
    const QRectF whole(0, 0, 1, 1);
    QTest::newRow("whole picture cuts nothing") << whole << whole << 1280 << 720 << Vantrel::CropMargins{0, 0, 0, 0};
    QTest::newRow("PTZ view at the centre, zoom 1")
        << CPtzControl::ViewRect(PtzPosition{}) << whole << 2560 << 1440 << Vantrel::CropMargins{640, 640, 360, 360};
    QTest::newRow("digital zoom on the right half")
        << whole << QRectF(0.5, 0, 0.5, 1) << 1280 << 720 << Vantrel::CropMargins{640, 0, 0, 0};
    QTest::newRow("digital zoom inside the PTZ view") << QRectF(0.25, 0.25, 0.5, 0.5) << QRectF(0, 0, 0.5, 0.5) << 1000
                                                      << 1000 << Vantrel::CropMargins{250, 500, 250, 500};
    QTest::newRow("empty rectangles count as whole")
        << QRectF() << QRectF(0.2, 0.2, 0, 0) << 640 << 480 << Vantrel::CropMargins{0, 0, 0, 0};
    QTest::newRow("rectangle beyond the picture is cut to it")
        << QRectF(0.5, 0.5, 2, 2) << whole << 100 << 100 << Vantrel::CropMargins{50, 0, 50, 0};
    QTest::newRow("tiny part keeps one pixel")
        << QRectF(0.5, 0.5, 1e-9, 1e-9) << whole << 100 << 100 << Vantrel::CropMargins{50, 49, 50, 49};
    QTest::newRow("no picture size yet") << QRectF(0.25, 0.25, 0.5, 0.5) << whole << 0 << 0 << Vantrel::CropMargins{};
}

void tst_PtzControl::shownPart()
{
    QFETCH(QRectF, ptzView);
    QFETCH(QRectF, digitalZoom);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(Vantrel::CropMargins, margins);
    const Vantrel::CropMargins got = Vantrel::CropMarginsFor(Vantrel::ShownPart(ptzView, digitalZoom), width, height);
    QCOMPARE(QString("%1 %2 %3 %4").arg(got.nLeft).arg(got.nRight).arg(got.nTop).arg(got.nBottom),
             QString("%1 %2 %3 %4").arg(margins.nLeft).arg(margins.nRight).arg(margins.nTop).arg(margins.nBottom));
}

QTEST_MAIN(tst_PtzControl)
#include "tst_ptzcontrol.moc"
