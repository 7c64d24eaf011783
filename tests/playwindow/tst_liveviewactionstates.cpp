#include "playwindow/LiveViewActionStates.h"
#include "playwindow/LiveViewMenuMgr.h"

#include "tessel/ICamera.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

using Facts = CLiveViewActionStates::PreviewFacts;
Q_DECLARE_METATYPE(Facts)

namespace {

const QList<CLiveViewMenuMgr::LiveViewActionType> kDialogActions = {
    CLiveViewMenuMgr::StopLiveView,   CLiveViewMenuMgr::Screenshot,      CLiveViewMenuMgr::StartRecording,
    CLiveViewMenuMgr::OpenPTZControl, CLiveViewMenuMgr::OpenDigitalZoom, CLiveViewMenuMgr::AudioOn};

tessel::CameraInfo CameraWith(bool bPTZ, bool bSound)
{
    tessel::CameraInfo info;
    info.strGUID = "cam-1";
    info.strName = "Gate";
    info.bHasPTZ = bPTZ;
    info.bHasSound = bSound;
    return info;
}

// One short word per action: type, text, tool-bar icon file, data, enabled.
QString Summary(const CLiveViewMenuMgr& menu)
{
    QStringList listParts;
    for (QAction* pAction : menu.Actions()) {
        const int nType = pAction->property(CLiveViewMenuMgr::kActionTypeProperty).toInt();
        QString strPart = QString::number(nType);
        if (nType != CLiveViewMenuMgr::StopLiveView && nType != CLiveViewMenuMgr::Screenshot) {
            strPart += ' ' + pAction->text() + ' '
                       + QFileInfo(pAction->property(CLiveViewMenuMgr::kMenuIconProperty).toString()).baseName();
            if (pAction->data().isValid())
                strPart += ' ' + pAction->data().toString();
        }
        strPart += pAction->isEnabled() ? " E" : " D";
        listParts << strPart;
    }
    return listParts.join(" | ");
}

void SwitchAll(CLiveViewMenuMgr& menu, bool bOn)
{
    menu.SetRecordingState(bOn);
    menu.SetPtzState(bOn);
    menu.SetDigitalZoomState(bOn);
    menu.SetSoundState(bOn);
}

const QString kAllOnEnabled = "3 E | 4 E | 9 StopRecording RecordStop_nor E | 10 ClosePTZControl PTZ_nor 1 E"
                              " | 11 CloseDigitalZoom EZoom_nor 1 E | 18 CloseVoice VolumeClose_nor E";
const QString kAllOffEnabled = "3 E | 4 E | 9 StartRecording Record_nor E | 10 OpenPTZControl PTZ_nor 0 E"
                               " | 11 OpenDigitalZoom EZoom_nor 0 E | 18 AudioOn VolumeOpen_nor E";

} // namespace

class tst_LiveViewActionStates : public QObject
{
    Q_OBJECT
private slots:
    void previewNotification_data();
    void previewNotification();
    void toolBarIcons_data();
    void toolBarIcons();
    void actionsFollowTheCamera_data();
    void actionsFollowTheCamera();
    void absentTypesAndMissingManagerAreHarmless();
    void menuOffersTheListedActionsAndReportsTriggers();
};

void tst_LiveViewActionStates::previewNotification_data()
{
    QTest::addColumn<bool>("startOn");
    QTest::addColumn<int>("kind");
    QTest::addColumn<Facts>("facts");
    QTest::addColumn<bool>("followed");
    QTest::addColumn<QString>("summary");
    QTest::newRow("stop resets every look and disables")
        << true << 1 << Facts{false, false} << true
        << "3 D | 4 D | 9 StartRecording Record_nor D | 10 OpenPTZControl PTZ_nor 0 D"
           " | 11 OpenDigitalZoom EZoom_nor 0 D | 18 AudioOn VolumeOpen_nor D";
    QTest::newRow("recording started while previewing")
        << false << 2 << Facts{true, true} << true
        << "3 E | 4 E | 9 StopRecording RecordStop_nor E | 10 OpenPTZControl PTZ_nor 0 E"
           " | 11 OpenDigitalZoom EZoom_nor 0 E | 18 AudioOn VolumeOpen_nor E";
    QTest::newRow("recording stopped while previewing")
        << true << 3 << Facts{true, false} << true
        << "3 E | 4 E | 9 StartRecording Record_nor E | 10 ClosePTZControl PTZ_nor 1 E"
           " | 11 CloseDigitalZoom EZoom_nor 1 E | 18 CloseVoice VolumeClose_nor E";
    QTest::newRow("recording notice without preview changes nothing")
        << false << 2 << Facts{false, true} << true << kAllOffEnabled;
    QTest::newRow("sound opened") << false << 10 << Facts{true, false} << true
                                  << "3 E | 4 E | 9 StartRecording Record_nor E | 10 OpenPTZControl PTZ_nor 0 E"
                                     " | 11 OpenDigitalZoom EZoom_nor 0 E | 18 CloseVoice VolumeClose_nor E";
    QTest::newRow("sound closed") << true << 11 << Facts{true, false} << true
                                  << "3 E | 4 E | 9 StopRecording RecordStop_nor E | 10 ClosePTZControl PTZ_nor 1 E"
                                     " | 11 CloseDigitalZoom EZoom_nor 1 E | 18 AudioOn VolumeOpen_nor E";
    QTest::newRow("started leaves the looks") << true << 0 << Facts{true, false} << false << kAllOnEnabled;
    QTest::newRow("running again leaves the looks") << true << 6 << Facts{true, false} << false << kAllOnEnabled;
    QTest::newRow("unknown kind is ignored") << true << 999 << Facts{true, true} << false << kAllOnEnabled;
    QTest::newRow("negative kind is ignored") << false << -5 << Facts{true, true} << false << kAllOffEnabled;
}

void tst_LiveViewActionStates::previewNotification()
{
    QFETCH(bool, startOn);
    QFETCH(int, kind);
    QFETCH(Facts, facts);
    QFETCH(bool, followed);
    QFETCH(QString, summary);
    tessel::CCamera camera(CameraWith(true, true));
    CLiveViewMenuMgr menu(kDialogActions);
    menu.SetCamera(&camera);
    SwitchAll(menu, startOn);
    QCOMPARE(CLiveViewActionStates::Apply(&menu, kind, facts), followed);
    QCOMPARE(Summary(menu), summary);
}

void tst_LiveViewActionStates::toolBarIcons_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("icon");
    const QString strBar = ":/Tessel/Toolbar/Images/Public/Control/Toolbar/";
    QTest::newRow("recording off") << 9 << false << strBar + "Record_nor.svg";
    QTest::newRow("recording on") << 9 << true << strBar + "RecordStop_sli.svg";
    QTest::newRow("PTZ off") << 10 << false << strBar + "PTZ_nor.svg";
    QTest::newRow("PTZ on") << 10 << true << strBar + "PTZ_sli.svg";
    QTest::newRow("digital zoom off") << 11 << false << strBar + "EZoom_nor.svg";
    QTest::newRow("digital zoom on") << 11 << true << strBar + "EZoom_sli.svg";
    QTest::newRow("sound keeps its tool-bar icon") << 18 << true << QString();
}

void tst_LiveViewActionStates::toolBarIcons()
{
    QFETCH(int, type);
    QFETCH(bool, on);
    QFETCH(QString, icon);
    CLiveViewMenuMgr menu(kDialogActions);
    SwitchAll(menu, on);
    QCOMPARE(menu.Action(type)->property(CLiveViewMenuMgr::kToolBarIconProperty).toString(), icon);
}

void tst_LiveViewActionStates::actionsFollowTheCamera_data()
{
    QTest::addColumn<bool>("camera");
    QTest::addColumn<bool>("ptz");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<QString>("enabled");
    QTest::newRow("idle window") << false << false << false << "3 D | 4 D | 9 D | 10 D | 11 D | 18 D";
    QTest::newRow("PTZ camera with sound") << true << true << true << "3 E | 4 E | 9 E | 10 E | 11 E | 18 E";
    QTest::newRow("fixed camera without sound") << true << false << false << "3 E | 4 E | 9 E | 10 D | 11 E | 18 D";
}

void tst_LiveViewActionStates::actionsFollowTheCamera()
{
    QFETCH(bool, camera);
    QFETCH(bool, ptz);
    QFETCH(bool, sound);
    QFETCH(QString, enabled);
    tessel::CCamera cam(CameraWith(ptz, sound));
    CLiveViewMenuMgr menu(kDialogActions);
    menu.SetCamera(camera ? &cam : nullptr);
    QStringList listParts;
    for (QAction* pAction : menu.Actions())
        listParts << QString::number(pAction->property(CLiveViewMenuMgr::kActionTypeProperty).toInt())
                         + (pAction->isEnabled() ? " E" : " D");
    QCOMPARE(listParts.join(" | "), enabled);
}

void tst_LiveViewActionStates::absentTypesAndMissingManagerAreHarmless()
{
    CLiveViewMenuMgr menu({CLiveViewMenuMgr::StopLiveView, CLiveViewMenuMgr::StopLiveView});
    QCOMPARE(menu.Actions().size(), 1);
    menu.SetActionEnabled(57, true);
    menu.SetActionVisible(17, false);
    menu.SetRecordingState(true);
    menu.SetSoundState(true);
    QVERIFY(!menu.Action(CLiveViewMenuMgr::StartRecording));
    QVERIFY(!CLiveViewActionStates::Apply(nullptr, 1, Facts{}));
    CLiveViewActionStates::ResetOnStop(nullptr);
    QVERIFY(CLiveViewActionStates::Apply(&menu, 1, Facts{}));
    QVERIFY(!menu.Action(CLiveViewMenuMgr::StopLiveView)->isEnabled());
}

void tst_LiveViewActionStates::menuOffersTheListedActionsAndReportsTriggers()
{
    tessel::CCamera camera(CameraWith(true, true));
    CLiveViewMenuMgr menu(kDialogActions);
    menu.SetCamera(&camera);
    menu.SetActionVisible(CLiveViewMenuMgr::Screenshot, false);
    QMenu qmenu;
    menu.FillMenu(qmenu);
    QStringList listTexts;
    for (QAction* pAction : qmenu.actions())
        listTexts << pAction->text();
    QCOMPARE(listTexts.join(','), QString("StopLiveView,StartRecording,OpenPTZControl,OpenDigitalZoom,AudioOn"));
    QSignalSpy spy(&menu, &CLiveViewMenuMgr::SignalActionTriggered);
    menu.Action(CLiveViewMenuMgr::OpenPTZControl)->trigger();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 10);
}

QTEST_MAIN(tst_LiveViewActionStates)
#include "tst_liveviewactionstates.moc"
