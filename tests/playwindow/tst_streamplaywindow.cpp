#include "tests/playwindow/PlayWindowTestUtil.h"

#include "playwindow/LiveViewController.h"
#include "playwindow/PlayWindowLibrary.h"

#include "Miravel/InformationMgr.h"
#include "Miravel/LocalLogManager.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/PreviewICamera.h"
#include "Vantrel/Vantrel.h"

#include <QAction>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {
constexpr int kWaitMs = 10000;

Miravel::CInformationMgr& Notices()
{
    return TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
}

Miravel::CPermissionManager& Permissions()
{
    return *TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::CreateInstance();
}

QString Kinds(const QSignalSpy& spy)
{
    QStringList lst;
    for (const QList<QVariant>& args : spy)
        lst << QString::number(args.at(0).value<CLiveViewEvent>().m_nKind);
    return lst.join(',');
}

// Exposes the drag decisions, whose source a test cannot fake in an event.
class CDropWindow : public CStreamPlayWindowWithTask
{
public:
    using CStreamPlayWindowWithTask::AcceptDragFrom;
    using CStreamPlayWindowWithTask::CStreamPlayWindowWithTask;
    using CStreamPlayWindowWithTask::DropFrom;
};
} // namespace

class tst_StreamPlayWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void videoRect_data();
    void videoRect();
    void construction();
    void startLiveView_data();
    void startLiveView();
    void stateEventsAndDetach();
    void closeButton_data();
    void closeButton();
    void drops_data();
    void drops();
    void actions_data();
    void actions();
    void forgetAndDestroyWhileConnecting();
    void staleStopAfterRestartLeavesTheStream();
    void failureIsToldOncePerStart();

private:
    const CPlayWindowLibrary m_library{nullptr, nullptr};
    CTestLivePlugin m_plugin;
};

void tst_StreamPlayWindow::initTestCase()
{
    Vantrel::InitVantrel(nullptr, nullptr);
    m_plugin.AddCamera("cam-1", "test:ball", "Gate");
    m_plugin.AddCamera("cam-tone", "test:snow?audio=1", "Hall");
    m_plugin.AddCamera("cam-bad", "%%%garbage%%%", "Broken");
    m_plugin.AddCamera("cam-silent", "rtsp://127.0.0.1:9/none", "Silent");
    m_plugin.AddElement("input-1", tessel::ElementTypeAlarmInput);
    m_plugin.AddElement("fake-camera", tessel::ElementTypeCamera);
}

void tst_StreamPlayWindow::init()
{
    Notices().ClearShownNotices();
    Permissions().GrantAll();
}

void tst_StreamPlayWindow::cleanup()
{
    QVERIFY(Vantrel::WaitForTeardowns(kWaitMs));
}

void tst_StreamPlayWindow::videoRect_data()
{
    QTest::addColumn<QSize>("sizeWindow");
    QTest::addColumn<int>("nMode");
    QTest::addColumn<QSize>("sizePicture");
    QTest::addColumn<QRect>("rcExpected");
    QTest::newRow("16:9 in 402x302") << QSize(402, 302) << 2 << QSize() << QRect(1, 38, 400, 225);
    QTest::newRow("4:3 in 402x302") << QSize(402, 302) << 1 << QSize() << QRect(1, 1, 400, 300);
    QTest::newRow("fill") << QSize(402, 302) << 0 << QSize() << QRect(1, 1, 400, 300);
    QTest::newRow("4:3 in a wide window") << QSize(802, 302) << 1 << QSize() << QRect(201, 1, 400, 300);
    QTest::newRow("own size 640x360") << QSize(402, 402) << 3 << QSize(640, 360) << QRect(1, 88, 400, 225);
    QTest::newRow("own size unknown fills") << QSize(402, 302) << 3 << QSize() << QRect(1, 1, 400, 300);
    QTest::newRow("unknown mode fills") << QSize(402, 302) << 9 << QSize() << QRect(1, 1, 400, 300);
    QTest::newRow("window smaller than its border") << QSize(1, 1) << 2 << QSize() << QRect(1, 1, 0, 0);
}

void tst_StreamPlayWindow::videoRect()
{
    QFETCH(QSize, sizeWindow);
    QFETCH(int, nMode);
    QFETCH(QSize, sizePicture);
    QFETCH(QRect, rcExpected);
    QCOMPARE(CStreamPlayWindowWithTask::VideoRect(sizeWindow, nMode, sizePicture), rcExpected);
}

void tst_StreamPlayWindow::construction()
{
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&m_plugin));
    CStreamPlayWindowWithTask& window = *upWindow;
    QCOMPARE(window.objectName(), QString("m_pStreamPlayWindow_NotSelected"));
    for (const char* szName :
         {"Windows_m_pStateBar", "m_pTitleWidget", "m_pLiveViewEventTip", "m_pLiveViewWindow", "m_pCloseBtn"})
        QVERIFY2(window.findChild<QWidget*>(szName), szName);
    QVERIFY(window.hasMouseTracking());
    QCOMPARE(int(window.focusPolicy()), 11);
    QCOMPARE(int(window.contextMenuPolicy()), 3);
    QVERIFY(window.acceptDrops());
    QCOMPARE(window.GetPlayWindowIndex(), -1);
    QCOMPARE(window.GetMenuMgr()->Actions().size(), 7);
    window.resize(402, 302);
    window.SetVideoScaleMode(2);
    QCOMPARE(window.GetVideoSurface()->geometry(), QRect(1, 38, 400, 225));
}

void tst_StreamPlayWindow::startLiveView_data()
{
    QTest::addColumn<QString>("strGuid");
    QTest::addColumn<bool>("bDenied");
    QTest::addColumn<bool>("bStarts");
    QTest::addColumn<QString>("strTip");
    QTest::addColumn<QString>("strNotice");
    QTest::newRow("camera plays") << "cam-1" << false << true << "Connecting"
                                  << "";
    QTest::newRow("unknown guid") << "nobody" << false << false << ""
                                  << "";
    QTest::newRow("empty guid") << "" << false << false << ""
                                << "";
    QTest::newRow("alarm input is no camera") << "input-1" << false << false << ""
                                              << "";
    QTest::newRow("camera-typed element that is no camera") << "fake-camera" << false << false << ""
                                                            << "";
    QTest::newRow("no live view right") << "cam-1" << true << false << "TheUserHasNoPermission"
                                        << "NoPermission";
    QTest::newRow("garbage address") << "cam-bad" << false << false << ""
                                     << "LiveViewFailed";
}

void tst_StreamPlayWindow::startLiveView()
{
    QFETCH(QString, strGuid);
    QFETCH(bool, bDenied);
    QFETCH(bool, bStarts);
    QFETCH(QString, strTip);
    QFETCH(QString, strNotice);
    if (bDenied)
        Permissions().Deny(2, 1, strGuid.toStdString());
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&m_plugin));
    upWindow->resize(320, 200);
    upWindow->show();
    QCOMPARE(upWindow->StartLiveView(strGuid.toStdString(), 100, false), bStarts);
    QCOMPARE(upWindow->IsPreviewing(), bStarts);
    QCOMPARE(upWindow->GetLiveViewCamera() != nullptr, bStarts);
    QCOMPARE(upWindow->GetEventTip(), strTip);
    const QStringList lstNotices = Notices().ShownNotices();
    QCOMPARE(lstNotices.size(), strNotice.isEmpty() ? 0 : 1);
    if (!strNotice.isEmpty())
        QVERIFY2(lstNotices.first().startsWith(strNotice), qPrintable(lstNotices.first()));
    if (bStarts)
        QCOMPARE(upWindow->findChild<QLabel*>("m_pWndLabel")->text(), QString("Gate"));
}

void tst_StreamPlayWindow::stateEventsAndDetach()
{
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&m_plugin));
    upWindow->resize(320, 200);
    upWindow->show();
    QSignalSpy spy(upWindow.get(), &CStreamPlayWindowWithTask::SignalUpdateLiveViewState);
    // The tool bar waits for the first camera.
    QVERIFY(!upWindow->findChild<QWidget*>("m_pToolBar"));
    QVERIFY(upWindow->StartLiveView("cam-1", 100, false));
    QTRY_VERIFY_WITH_TIMEOUT(Kinds(spy).contains("0"), kWaitMs);
    QCOMPARE(spy.last().at(0).value<CLiveViewEvent>().m_strCameraGUID, std::string("cam-1"));
    QCOMPARE(upWindow->GetEventTip(), QString());
    // The picture size arrived and the layout follows it in mode 3.
    upWindow->SetVideoScaleMode(3);
    QCOMPARE(upWindow->GetVideoSurface()->geometry(),
             CStreamPlayWindowWithTask::VideoRect(QSize(320, 200), 3, {640, 360}));
    auto* pToolBar = upWindow->findChild<QWidget*>("m_pToolBar");
    QVERIFY(pToolBar && pToolBar->findChildren<QToolButton*>().size() == 7);
    QCOMPARE(pToolBar->geometry().bottom(), upWindow->GetVideoSurface()->geometry().bottom());
    spy.clear();
    upWindow->StopLiveView();
    QVERIFY(!upWindow->IsPreviewing());
    QTRY_COMPARE(Kinds(spy), QString("1"));

    QVERIFY(upWindow->StartLiveView("cam-1", 100, false));
    QTRY_VERIFY_WITH_TIMEOUT(Kinds(spy).contains("0"), kWaitMs);
    spy.clear();
    upWindow->DetachPlugins();
    upWindow->StopLiveView();
    QTest::qWait(100);
    QCOMPARE(spy.count(), 0);
    QVERIFY(!upWindow->StartLiveView("cam-1", 100, false));
}

void tst_StreamPlayWindow::closeButton_data()
{
    QTest::addColumn<bool>("bPlaying");
    QTest::newRow("idle window") << false;
    QTest::newRow("playing window") << true;
}

void tst_StreamPlayWindow::closeButton()
{
    QFETCH(bool, bPlaying);
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&m_plugin));
    upWindow->show();
    if (bPlaying)
        QVERIFY(upWindow->StartLiveView("cam-1", 100, false));
    QStringList lstOrder;
    connect(upWindow.get(), &CStreamPlayWindowWithTask::SignalPlayWindowSelected, this,
            [&] { lstOrder << "selected"; });
    connect(upWindow.get(), &CStreamPlayWindowWithTask::SignalPlayClosedByBtn, this, [&] { lstOrder << "closed"; });
    QTest::mouseClick(upWindow->GetCloseButton(), Qt::LeftButton);
    QCOMPARE(lstOrder, QStringList({"selected", "closed"}));
    QVERIFY(upWindow->IsSelected());
    QVERIFY(!upWindow->IsPreviewing());
}

void tst_StreamPlayWindow::drops_data()
{
    QTest::addColumn<QString>("strSource");
    QTest::addColumn<bool>("bViewId");
    QTest::addColumn<bool>("bAccepted");
    QTest::addColumn<QString>("strSignals");
    QTest::newRow("camera from the tree") << "tree" << false << true << "drop,selected";
    QTest::newRow("viewport of the tree") << "viewport" << false << true << "drop,selected";
    QTest::newRow("window of the same group") << "same group" << false << true << "exchange 2->0";
    QTest::newRow("window of another group") << "other group" << false << false << "";
    QTest::newRow("window of another group with a view") << "other group" << true << true << "drop";
    QTest::newRow("foreign widget") << "foreign" << false << false << "";
    QTest::newRow("no source with a view") << "none" << true << true << "drop";
    QTest::newRow("itself") << "self" << false << false << "";
}

void tst_StreamPlayWindow::drops()
{
    QFETCH(QString, strSource);
    QFETCH(bool, bViewId);
    QFETCH(bool, bAccepted);
    QFETCH(QString, strSignals);
    QList<CLiveViewMenuMgr::LiveViewActionType> lstLive{CLiveViewMenuMgr::StopLiveView};
    QList<TesselPlayWindow::PlaybackMenuParam::PlaybackActionType> lstPlayback;
    QWidget parent;
    CDropWindow window(lstLive, lstPlayback, &m_plugin, nullptr, &parent, false, 1, false);
    window.SetPlayWindowIndex(0);
    std::unique_ptr<CStreamPlayWindowWithTask> upSame(NewPlayWindow(&m_plugin, &parent));
    upSame->SetPlayWindowIndex(2);
    std::unique_ptr<CStreamPlayWindowWithTask> upOther(NewPlayWindow(&m_plugin, &parent));
    upOther->SetGroupNumber(7);
    QWidget tree(&parent), foreign(&parent);
    QWidget* pViewport = new QWidget(&tree);
    window.SetDragSourceWidgets({&tree});
    const QMap<QString, QObject*> mapSources{{"tree", &tree},
                                             {"viewport", pViewport},
                                             {"same group", upSame.get()},
                                             {"other group", upOther.get()},
                                             {"foreign", &foreign},
                                             {"none", nullptr},
                                             {"self", &window}};
    QObject* pSource = mapSources.value(strSource);

    QMimeData mime;
    mime.setProperty("GroupGUID", QString("group-1"));
    mime.setProperty("CameraGUID", QString("cam-1"));
    if (strSource == "same group" || strSource == "other group")
        mime.setProperty("CStreamPlayWindowWithTaskDragFrom", 2);
    if (bViewId)
        mime.setProperty("ViewID", 5);
    QStringList lstSignals;
    connect(&window, &CStreamPlayWindowWithTask::SignalDropEvent, this, [&] { lstSignals << "drop"; });
    connect(&window, &CStreamPlayWindowWithTask::SignalPlayWindowSelected, this, [&] { lstSignals << "selected"; });
    connect(&window, &CStreamPlayWindowWithTask::SignalExchangePlayWindow, this,
            [&](int nFrom, int nTo) { lstSignals << QString("exchange %1->%2").arg(nFrom).arg(nTo); });

    QCOMPARE(window.AcceptDragFrom(pSource, &mime), bAccepted);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCOMPARE(window.DropFrom(pSource, &event), bAccepted);
    QCOMPARE(lstSignals.join(','), strSignals);
    if (bAccepted)
        QCOMPARE(event.dropAction(), Qt::MoveAction);
    // The window never opens a dropped camera itself.
    QVERIFY(!window.IsPreviewing());
}

void tst_StreamPlayWindow::actions_data()
{
    QTest::addColumn<QString>("strGuid");
    QTest::addColumn<int>("nAction");
    QTest::addColumn<int>("nDeniedRight");
    QTest::addColumn<QString>("strNotice");
    QTest::addColumn<bool>("bOn");
    QTest::newRow("screenshot") << "cam-1" << 4 << 0 << "snapshots/" << false;
    QTest::newRow("screenshot refused") << "cam-1" << 4 << 3 << "NoPermission" << false;
    QTest::newRow("sound with a tone") << "cam-tone" << 18 << 0 << "" << true;
    QTest::newRow("sound without audio") << "cam-1" << 18 << 0 << "OpeningSoundFailed" << false;
    QTest::newRow("sound refused") << "cam-tone" << 18 << 6 << "NoPermission" << false;
    QTest::newRow("recording") << "cam-1" << 9 << 0 << "" << true;
    QTest::newRow("recording refused") << "cam-1" << 9 << 4 << "NoPermission" << false;
    QTest::newRow("PTZ on a camera without PTZ") << "cam-1" << 10 << 0 << "PTZNotSupported" << false;
}

void tst_StreamPlayWindow::actions()
{
    QFETCH(QString, strGuid);
    QFETCH(int, nAction);
    QFETCH(int, nDeniedRight);
    QFETCH(QString, strNotice);
    QFETCH(bool, bOn);
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&m_plugin));
    upWindow->show();
    // Idle: every action does nothing.
    upWindow->TriggerLiveViewAction(nAction);
    QCOMPARE(Notices().ShownNotices().size(), 0);
    QVERIFY(upWindow->StartLiveView(strGuid.toStdString(), 100, false));
    QTRY_VERIFY_WITH_TIMEOUT(upWindow->GetPreview()->IsPlaying(), kWaitMs);
    if (nDeniedRight)
        Permissions().Deny(2, nDeniedRight, strGuid.toStdString());
    Notices().ClearShownNotices();
    upWindow->TriggerLiveViewAction(nAction);
    const QStringList lstNotices = Notices().ShownNotices();
    QCOMPARE(lstNotices.size(), strNotice.isEmpty() ? 0 : 1);
    if (!strNotice.isEmpty())
        QVERIFY2(lstNotices.first().contains(strNotice), qPrintable(lstNotices.first()));
    QAction* pAction = upWindow->GetMenuMgr()->Action(CLiveViewMenuMgr::LiveViewActionType(nAction));
    QCOMPARE(pAction->isChecked(), bOn);
    if (nAction == CLiveViewMenuMgr::Screenshot && !nDeniedRight) {
        QVERIFY(QFile::exists(lstNotices.first()));
        QVERIFY(QFile(Miravel::CLocalLogManager::LogFilePath()).size() > 0);
    }
    if (bOn) {
        // The same action again turns it off; stopping resets every mark.
        upWindow->TriggerLiveViewAction(nAction);
        QVERIFY(!pAction->isChecked());
        upWindow->TriggerLiveViewAction(nAction);
        upWindow->StopLiveView();
        QVERIFY(!pAction->isChecked());
        QCOMPARE(upWindow->GetMouseMode(), 0);
    }
}

void tst_StreamPlayWindow::forgetAndDestroyWhileConnecting()
{
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&m_plugin));
    upWindow->show();
    QVERIFY(upWindow->StartLiveView("cam-1", 100, false));
    upWindow->ForgetCamera("someone-else");
    QVERIFY(upWindow->IsPreviewing());
    upWindow->ForgetCamera("cam-1");
    QVERIFY(!upWindow->IsPreviewing());
    QCOMPARE(upWindow->GetLiveViewCamera(), nullptr);
    // A double start, then the window goes while its stream still connects.
    QVERIFY(upWindow->StartLiveView("cam-silent", 100, false));
    QVERIFY(upWindow->StartLiveView("cam-silent", 100, false));
    upWindow.reset();
    QTest::qWait(50);
}

// A "stopped" notice of the stream before a restart arrives queued after it:
// the running stream keeps its actions, its region display and its reconnect state.
void tst_StreamPlayWindow::staleStopAfterRestartLeavesTheStream()
{
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&m_plugin));
    upWindow->show();
    QVERIFY(upWindow->StartLiveView("cam-1", 100, false));
    QTRY_VERIFY_WITH_TIMEOUT(upWindow->GetPreview()->IsPlaying(), kWaitMs);
    upWindow->StopLiveView();
    QVERIFY(upWindow->StartLiveView("cam-1", 100, false)); // the stop's notice is still queued
    QTRY_VERIFY_WITH_TIMEOUT(upWindow->GetPreview()->IsPlaying(), kWaitMs);
    const QRectF rcZoom(0.25, 0.25, 0.5, 0.5);
    upWindow->GetPreview()->SetDigitalZoomRect(rcZoom);
    Vantrel::CPreviewObserver::Param param;
    param.strCameraGUID = "cam-1";
    param.nKind = Vantrel::NotifyStreamLost;
    emit upWindow->GetPreview()->signalPreviewNotify(param);
    param.nKind = Vantrel::NotifyStopped; // late, from the stream before
    emit upWindow->GetPreview()->signalPreviewNotify(param);
    QCoreApplication::processEvents();
    QVERIFY(upWindow->GetMenuMgr()->Action(CLiveViewMenuMgr::Screenshot)->isEnabled());
    QVERIFY(upWindow->GetMenuMgr()->Action(CLiveViewMenuMgr::StopLiveView)->isEnabled());
    QCOMPARE(upWindow->GetPreview()->GetDigitalZoomRect(), rcZoom);
    Notices().ClearShownNotices();
    param.nKind = Vantrel::NotifyResumed;
    emit upWindow->GetPreview()->signalPreviewNotify(param);
    QTRY_COMPARE(Notices().ShownNotices().filter("Reconnected").size(), 1);
}

// Whichever way a start fails (at once, through the stream's error report, or
// both), one notice says so; the next start may tell its own.
void tst_StreamPlayWindow::failureIsToldOncePerStart()
{
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&m_plugin));
    upWindow->show();
    const auto failures = [] { return Notices().ShownNotices().filter("LiveViewFailed").size(); };
    QVERIFY(!upWindow->StartLiveView("cam-bad", 100, false));
    QCOMPARE(failures(), 1);
    Vantrel::CPreviewObserver::Param param;
    param.strCameraGUID = "cam-bad";
    param.nKind = Vantrel::NotifyError;
    emit upWindow->GetPreview()->signalPreviewNotify(param);
    QCoreApplication::processEvents();
    QCOMPARE(failures(), 1);
    QVERIFY(upWindow->StartLiveView("cam-silent", 100, false));
    param.strCameraGUID = "cam-silent";
    emit upWindow->GetPreview()->signalPreviewNotify(param);
    emit upWindow->GetPreview()->signalPreviewNotify(param);
    QTRY_COMPARE(failures(), 2);
    QCoreApplication::processEvents();
    QCOMPARE(failures(), 2);
}

QTEST_MAIN(tst_StreamPlayWindow)
#include "tst_streamplaywindow.moc"
