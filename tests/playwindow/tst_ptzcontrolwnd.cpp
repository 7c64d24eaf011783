#include "playwindow/ptz/PTZControlWnd.h"

#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/PtzControl.h"
#include "tessel/ICamera.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace {

tessel::CameraInfo Info(const char* pszGuid, bool bPTZ)
{
    tessel::CameraInfo info;
    info.strGUID = pszGuid;
    info.strName = std::string("Camera ") + pszGuid;
    info.bHasPTZ = bPTZ;
    return info;
}

Vantrel::CPtzControl& Ptz()
{
    return TesselGUIToolkit::CUiSingleton<Vantrel::CPtzControl>::Instance();
}

QToolButton* Button(const CPTZControlWnd& wnd, const char* pszName)
{
    return wnd.findChild<QToolButton*>(pszName);
}

} // namespace

class tst_PTZControlWnd : public QObject
{
    Q_OBJECT
private slots:
    void panelState_data();
    void panelState();
    void heldButtonTurnsTheCamera();
    void revokedRightOrHidingStopsTheMove();
    void arrowKeysTurnTheCamera();
    void closeButtonHidesAndReports();
};

void tst_PTZControlWnd::panelState_data()
{
    QTest::addColumn<bool>("camera");
    QTest::addColumn<bool>("ptz");
    QTest::addColumn<bool>("right");
    QTest::addColumn<bool>("ptzPart");
    QTest::addColumn<bool>("fisheye");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("pad");
    QTest::addColumn<bool>("deferred"); // controls built when first shown, after the state was set
    for (const bool bDeferred : {false, true}) {
        const char* szForm = bDeferred ? "shown later" : "built at once";
        QTest::addRow("no camera, %s", szForm)
            << false << false << true << true << false << "PTZNoCamera" << false << bDeferred;
        QTest::addRow("camera without PTZ, %s", szForm)
            << true << false << true << true << false << "PTZNotSupported" << false << bDeferred;
        QTest::addRow("PTZ part switched off, %s", szForm)
            << true << true << true << false << false << "PTZNotSupported" << false << bDeferred;
        QTest::addRow("PTZ camera without the right, %s", szForm)
            << true << true << false << true << false << "PTZNoPermission" << false << bDeferred;
        QTest::addRow("fisheye view, %s", szForm)
            << true << true << true << true << true << "PTZFisheyeView" << false << bDeferred;
        QTest::addRow("PTZ camera with the right, %s", szForm)
            << true << true << true << true << false << "PTZReady" << true << bDeferred;
    }
}

void tst_PTZControlWnd::panelState()
{
    QFETCH(bool, camera);
    QFETCH(bool, ptz);
    QFETCH(bool, right);
    QFETCH(bool, ptzPart);
    QFETCH(bool, fisheye);
    QFETCH(QString, state);
    QFETCH(bool, pad);
    QFETCH(bool, deferred);
    tessel::CCamera cam(Info("c1", ptz));
    CPTZControlWnd wnd(nullptr, false, false, true,
                       deferred ? CPTZControlWnd::Form::OnFirstShow : CPTZControlWnd::Form::Now);
    wnd.SetCamera(camera ? &cam : nullptr, camera ? "c1" : "");
    wnd.SetPtzPartEnabled(ptzPart);
    wnd.SetFisheyeMode(fisheye);
    wnd.SetControlsEnabled(right);
    QCOMPARE(!wnd.findChild<QLabel*>("m_pLabelState"), deferred);
    wnd.show();
    QCOMPARE(wnd.findChild<QLabel*>("m_pLabelState")->property("ptzState").toString(), state);
    QCOMPARE(wnd.findChild<QLabel*>("m_pLabelCamera")->text(), camera ? QString("Camera c1") : QString());
    for (const char* name : {"m_pBtnUp", "m_pBtnDownLeft", "m_pBtnZoomIn", "m_pBtnZoomOut", "m_pBtnHome"})
        QCOMPARE(Button(wnd, name)->isEnabled(), pad);
    QCOMPARE(wnd.IsControlsEnabled(), right && camera);
}

void tst_PTZControlWnd::heldButtonTurnsTheCamera()
{
    tessel::CCamera cam(Info("held", true));
    CPTZControlWnd wnd(nullptr, false, false, true);
    wnd.SetCamera(&cam, "held");
    wnd.SetControlsEnabled(true);
    QSignalSpy spy(&Ptz(), &Vantrel::CPtzControl::SignalPositionChanged);
    QTest::mousePress(Button(wnd, "m_pBtnRight"), Qt::LeftButton);
    QVERIFY(Ptz().IsMoving("held"));
    Ptz().Advance(1000);
    QTest::mouseRelease(Button(wnd, "m_pBtnRight"), Qt::LeftButton);
    QVERIFY(!Ptz().IsMoving("held"));
    QVERIFY(Ptz().GetPosition("held").dPan > 0.5);
    QCOMPARE(spy.size(), 1);
    QTest::mouseClick(Button(wnd, "m_pBtnHome"), Qt::LeftButton);
    QCOMPARE(Ptz().GetPosition("held").dPan, 0.5);
}

void tst_PTZControlWnd::revokedRightOrHidingStopsTheMove()
{
    tessel::CCamera cam(Info("revoked", true));
    tessel::CCamera other(Info("other", true));
    CPTZControlWnd wnd(nullptr, false, false, true);
    wnd.show();
    wnd.SetCamera(&cam, "revoked");
    wnd.SetControlsEnabled(true);
    QTest::mousePress(Button(wnd, "m_pBtnZoomIn"), Qt::LeftButton);
    QVERIFY(Ptz().IsMoving("revoked"));
    wnd.SetControlsEnabled(false);
    QVERIFY(!Ptz().IsMoving("revoked"));

    wnd.SetControlsEnabled(true);
    QTest::mousePress(Button(wnd, "m_pBtnUp"), Qt::LeftButton);
    wnd.SetCamera(&other, "other");
    QVERIFY(!Ptz().IsMoving("revoked"));
    QTest::mousePress(Button(wnd, "m_pBtnUp"), Qt::LeftButton);
    QVERIFY(Ptz().IsMoving("other"));
    wnd.hide();
    QVERIFY(!Ptz().IsMoving("other"));
}

void tst_PTZControlWnd::arrowKeysTurnTheCamera()
{
    tessel::CCamera cam(Info("keys", true));
    CPTZControlWnd wnd(nullptr, false, false, true);
    wnd.SetCamera(&cam, "keys");
    QTest::keyPress(&wnd, Qt::Key_Left);
    QVERIFY(!Ptz().IsMoving("keys")); // no right yet
    wnd.SetControlsEnabled(true);
    QTest::keyPress(&wnd, Qt::Key_Left);
    QVERIFY(Ptz().IsMoving("keys"));
    QTest::keyRelease(&wnd, Qt::Key_Left);
    QVERIFY(!Ptz().IsMoving("keys"));
}

void tst_PTZControlWnd::closeButtonHidesAndReports()
{
    CPTZControlWnd wnd(nullptr, false, true, true);
    QVERIFY(wnd.findChild<QWidget*>("m_pSliderSpeed")->isHidden());
    wnd.show();
    QSignalSpy spy(&wnd, &CPTZControlWnd::SignalPanelClosed);
    QTest::mouseClick(Button(wnd, "m_pBtnClose"), Qt::LeftButton);
    QCOMPARE(spy.size(), 1);
    QVERIFY(wnd.isHidden());
}

QTEST_MAIN(tst_PTZControlWnd)
#include "tst_ptzcontrolwnd.moc"
