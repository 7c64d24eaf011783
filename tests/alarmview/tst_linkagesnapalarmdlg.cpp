#include "alarmview/LinkageSnapAlarmDlg.h"
#include "playwindow/StreamPlayWindowWithTask.h"
#include "savepic/LinkageSavePicMgr.h"
#include "settings/LinkageSetupDlg.h"
#include "settings/LinkageSetupStore.h"

#include "Fendra/Singleton.h"
#include "Kelmot/ConfigMgr.h"
#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "quorra/LocalDataManagerDelegate.h"
#include "tessel/IVideoSystemConfig.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using LinkageSnapAlarm::CLinkageSetupDlg;
using LinkageSnapAlarm::CLinkageSnapAlarmDlg;

namespace {

// The one signal and the slots, the host's and then ours.
constexpr int kDlgMethodCount = 20;

QString Stretches(const QBoxLayout* pLayout)
{
    QStringList lst;
    for (int i = 0; i < pLayout->count(); ++i)
        lst << QString::number(pLayout->stretch(i));
    return lst.join(',');
}

// The form's holder of window n ("m_pWidgetLive1" for 0, or its alternative name).
QWidget* Holder(const CLinkageSnapAlarmDlg& dlg, int nIndex)
{
    return dlg.PlayWindows().at(nIndex)->parentWidget();
}

QBoxLayout* LiveRow(const CLinkageSnapAlarmDlg& dlg)
{
    return dlg.findChild<QBoxLayout*>("LayoutPanorama");
}

QString SelectedFlags(const CLinkageSnapAlarmDlg& dlg)
{
    QString str;
    for (int i = 0; i < 3; ++i)
        str += Holder(dlg, i)->property("bSelected").toBool() ? '1' : '0';
    return str;
}

// Saves a preview mode through the setup dialog, as the user does.
void SaveMode(CLinkageSnapAlarmDlg& dlg, int nMode)
{
    auto* pSetup = dlg.SetupDialog();
    QVERIFY(pSetup);
    pSetup->findChild<QRadioButton*>(nMode == 2 ? "radio2View" : "radio3View")->click();
    QSignalSpy spy(pSetup, &CLinkageSetupDlg::signalSaved);
    pSetup->findChild<QPushButton*>("m_pBtnSave")->click();
    QCOMPARE(spy.count(), 1);
}

} // namespace

class tst_LinkageSnapAlarmDlg : public QObject
{
    Q_OBJECT
private slots:
    // First: its first row needs the fresh sandbox, where nothing is stored yet.
    void storedPreviewMode_data();
    void storedPreviewMode();
    void formObjectNames();
    void metaObjectMethodOrder_data();
    void metaObjectMethodOrder();
    void selectPlayWindowMarksOneHolder_data();
    void selectPlayWindowMarksOneHolder();
    void switchingPreviewModes();
    void failedSaveChangesNothing();
    void holderNamesFollowHostSetting_data();
    void holderNamesFollowHostSetting();
    void followsTheVideoScaleMode_data();
    void followsTheVideoScaleMode();
    void closeHidesTheSetupDialogOnly();
    void savePictureNoticesAreThrottled_data();
    void savePictureNoticesAreThrottled();
    void settingsReachTheSavePicMgr();
};

// The host style sheet addresses the form's children by these names.
void tst_LinkageSnapAlarmDlg::formObjectNames()
{
    CLinkageSnapAlarmDlg dlg;
    QStringList lstMissing;
    for (const char* szName : {"m_pWidgetBg",
                               "m_pWidgetLiveTitle",
                               "m_pWidgetLiveTitleL",
                               "m_pWidgetLiveTitleR",
                               "m_pWidgetLiveCon",
                               "m_pWidgetLive1",
                               "m_pWidgetLive2",
                               "m_pWidgetLive3",
                               "widget_2",
                               "m_pWidgetSceneTitle",
                               "m_pWidgetSceneTitleL",
                               "m_pWidgetSceneTitleR",
                               "m_pWidgetScenePicCon",
                               "m_pWidgetScenePic",
                               "m_pWidgetLinkageTitle",
                               "m_pWidgetLinkageTitleL",
                               "m_pWidgetLinkageTitleR",
                               "m_pWidgetLinkagePicCon",
                               "m_pWidgetLinkagePic",
                               "m_pLabelLiveTitle",
                               "m_pLabelSceneTitle",
                               "m_pLabelLinkageTitle"})
        if (!dlg.findChild<QWidget*>(QLatin1String(szName)))
            lstMissing << szName;
    QCOMPARE(lstMissing, QStringList());
    for (const char* szName : {"m_pLabelLiveTitle", "m_pLabelSceneTitle", "m_pLabelLinkageTitle"})
        QVERIFY(dlg.findChild<QLabel*>(szName)->font().bold());
}

// The host connects by signature strings and may keep method indices: its
// own methods come first, in its order, and ours after them.
void tst_LinkageSnapAlarmDlg::metaObjectMethodOrder_data()
{
    QTest::addColumn<int>("nPosition");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QByteArray>("parameter");
    const QList<QPair<const char*, const char*>> lstMethods = {
        {"signalUpdateGroupSelectState(std::string)", "guidCamera"},
        {"onBtnSetUpClicked()", ""},
        {"onBtnCloseClicked()", ""},
        {"onBtnSetupSaveClicked(bool)", "bSuccess"},
        {"onBtnShrinkCamera()", ""},
        {"onCameraDClicked(void*)", "pCamera"},
        {"onGroupDoubleClicked(QModelIndex)", "mIndex"},
        {"onCameraRemoved(tessel::StrGUID)", "strGUID"},
        {"onNewAlarmComing(quorra::IntelAlarmEventInfo)", "struAlarmIn"},
        {"onBtnTestClicked()", ""},
        {"onPlayWindowSelected()", ""},
        {"onPreviewClosedByBtn()", ""},
        {"onPlayWindowDropEvent(QDropEvent*)", "pEvent"},
        {"onSignalSpaceNotEnough()", ""},
        {"onUpdateGroupTreeSelectedCamera(std::string)", "idCamera"},
        {"onUpdateLiveViewState(CLiveViewEvent)", "eventLiveView"},
        {"onSignalSaveFailed()", ""},
        {"onSignalPictureSaved()", ""},
        {"onAlarmsDropped(int)", "nCount"},
        {"onPicturesNotSaved(int)", "nCount"},
    };
    for (int i = 0; i < lstMethods.size(); ++i) {
        const QByteArray signature(lstMethods[i].first);
        QTest::newRow(signature.left(signature.indexOf('(')).constData())
            << i << signature << QByteArray(lstMethods[i].second);
    }
}

void tst_LinkageSnapAlarmDlg::metaObjectMethodOrder()
{
    QFETCH(int, nPosition);
    QFETCH(QByteArray, signature);
    QFETCH(QByteArray, parameter);
    const QMetaObject& meta = CLinkageSnapAlarmDlg::staticMetaObject;
    QCOMPARE(meta.methodCount() - meta.methodOffset(), kDlgMethodCount);
    const int nIndex = meta.methodOffset() + nPosition;
    const QMetaMethod method = meta.method(nIndex);
    QCOMPARE(method.methodSignature(), signature);
    QCOMPARE(method.methodType(), nPosition == 0 ? QMetaMethod::Signal : QMetaMethod::Slot);
    QCOMPARE(method.parameterNames().value(0), parameter);
    // What SIGNAL() and SLOT() strings resolve to.
    QCOMPARE(meta.indexOfMethod(QMetaObject::normalizedSignature(signature.constData())), nIndex);
}

void tst_LinkageSnapAlarmDlg::selectPlayWindowMarksOneHolder_data()
{
    QTest::addColumn<int>("nIndex");
    QTest::addColumn<QString>("strFlags");
    QTest::addColumn<int>("nSelected");
    QTest::newRow("first") << 0 << "100" << 0;
    QTest::newRow("second") << 1 << "010" << 1;
    QTest::newRow("third") << 2 << "001" << 2;
    QTest::newRow("out of range clears the marks, keeps the window") << 5 << "000" << 0;
}

void tst_LinkageSnapAlarmDlg::selectPlayWindowMarksOneHolder()
{
    QFETCH(int, nIndex);
    QFETCH(QString, strFlags);
    QFETCH(int, nSelected);
    CLinkageSnapAlarmDlg dlg;
    QCOMPARE(SelectedFlags(dlg), QString("100"));
    dlg.SelectPlayWindow(nIndex);
    QCOMPARE(SelectedFlags(dlg), strFlags);
    QCOMPARE(dlg.SelectedPlayWindow(), nSelected);
}

void tst_LinkageSnapAlarmDlg::switchingPreviewModes()
{
    CLinkageSnapAlarmDlg dlg;
    dlg.show();
    SaveMode(dlg, 3);
    QVERIFY(!Holder(dlg, 2)->isHidden());
    QCOMPARE(Stretches(LiveRow(dlg)), QString("15,906,15,906,15,906"));

    // Going to three windows keeps the selection; going back to two selects window 0.
    dlg.SelectPlayWindow(1);
    SaveMode(dlg, 3);
    QCOMPARE(SelectedFlags(dlg), QString("010"));
    SaveMode(dlg, 2);
    QCOMPARE(SelectedFlags(dlg), QString("100"));
    QVERIFY(Holder(dlg, 2)->isHidden());
    // The third holder collapses: the two remaining windows share the row.
    QTest::qWait(0);
    QVERIFY(Holder(dlg, 1)->width() > dlg.width() / 3);
}

void tst_LinkageSnapAlarmDlg::failedSaveChangesNothing()
{
    CLinkageSnapAlarmDlg dlg;
    SaveMode(dlg, 3);
    dlg.SelectPlayWindow(2);
    auto* pSetup = dlg.SetupDialog();
    // A save that fails (its folder had gone) leaves the setup dialog holding
    // settings the view must not take.
    pSetup->findChild<QRadioButton*>("radio2View")->setChecked(true);
    auto* pEdit = pSetup->findChild<QLineEdit*>("m_pEditSavePath");
    const QString strGone = pEdit->text() + QStringLiteral("/gone");
    QDir(strGone).removeRecursively();
    pEdit->setText(strGone); // the save recreates it, and stores it, but reports failure
    QSignalSpy spySaved(pSetup, &CLinkageSetupDlg::signalSaved);
    pSetup->findChild<QPushButton*>("m_pBtnSave")->click();
    QCOMPARE(spySaved.count(), 0);
    LinkageSnapAlarm::LinkageSetupInfo held;
    pSetup->GetSetupInfo(held);
    QCOMPARE(held.PreviewMode, 2);
    dlg.onBtnSetupSaveClicked(false);
    QCOMPARE(dlg.SetupInfo().PreviewMode, 3);
    QCOMPARE(SelectedFlags(dlg), QString("001"));
    QVERIFY(!Holder(dlg, 2)->isHidden());
}

void tst_LinkageSnapAlarmDlg::holderNamesFollowHostSetting_data()
{
    QTest::addColumn<int>("nSetting");
    QTest::addColumn<QString>("strSuffix");
    QTest::newRow("setting 0") << 0 << "ZV";
    QTest::newRow("setting 1") << 1 << "";
    QTest::newRow("setting -1") << -1 << "";
}

void tst_LinkageSnapAlarmDlg::holderNamesFollowHostSetting()
{
    QFETCH(int, nSetting);
    QFETCH(QString, strSuffix);
    auto& config = Fendra::CSingleton<Kelmot::CConfigMgr>::Instance();
    config.SetSetting(Kelmot::CConfigMgr::StyleVariant, nSetting);
    CLinkageSnapAlarmDlg dlg;
    config.SetSetting(Kelmot::CConfigMgr::StyleVariant, 1);
    QCOMPARE(Holder(dlg, 0)->objectName(), "m_pWidgetLive1" + strSuffix);
    QCOMPARE(Holder(dlg, 1)->objectName(), "m_pWidgetLive2" + strSuffix);
    QCOMPARE(Holder(dlg, 2)->objectName(), "m_pWidgetLive3" + strSuffix);
}

void tst_LinkageSnapAlarmDlg::followsTheVideoScaleMode_data()
{
    QTest::addColumn<bool>("bConfigAvailable");
    QTest::addColumn<int>("nObserversWhileAlive");
    QTest::newRow("host has a configuration") << true << 1;
    QTest::newRow("host has none") << false << 0;
}

void tst_LinkageSnapAlarmDlg::followsTheVideoScaleMode()
{
    QFETCH(bool, bConfigAvailable);
    QFETCH(int, nObserversWhileAlive);
    tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig();
    pConfig->SetVideoScaleMode(1);
    quorra::CLocalDataManagerDelegate::SetVideoSystemConfigAvailable(bConfigAvailable);
    {
        CLinkageSnapAlarmDlg dlg;
        quorra::CLocalDataManagerDelegate::SetVideoSystemConfigAvailable(true);
        QCOMPARE(pConfig->ObserverCount(), nObserversWhileAlive);
        QCOMPARE(dlg.VideoScaleMode(), bConfigAvailable ? 1 : 0);
        pConfig->SetVideoScaleMode(4);
        QCOMPARE(dlg.VideoScaleMode(), bConfigAvailable ? 4 : 0);
        const int32_t nOtherCode = 7;
        pConfig->SetVideoScaleMode(5);
        dlg.OnVideoSystemConfigChanged(&nOtherCode); // not a scale mode change: ignored
        QCOMPARE(qobject_cast<tessel::IVideoSystemConfigObserver*>(&dlg),
                 static_cast<tessel::IVideoSystemConfigObserver*>(&dlg));
    }
    QCOMPARE(pConfig->ObserverCount(), 0);
    pConfig->SetVideoScaleMode(0);
}

void tst_LinkageSnapAlarmDlg::closeHidesTheSetupDialogOnly()
{
    CLinkageSnapAlarmDlg dlg;
    dlg.show();
    // The settings are read at start; the form waits for the first opening,
    // which brings the history button too.
    QVERIFY(!dlg.findChild<CLinkageSetupDlg*>()->IsFormBuilt());
    dlg.onBtnSetUpClicked();
    auto* pSetup = dlg.findChild<CLinkageSetupDlg*>();
    QVERIFY(pSetup->isVisible());
    QVERIFY(pSetup->findChild<QPushButton*>("m_pBtnHistory"));
    dlg.onBtnCloseClicked();
    QVERIFY(!pSetup->isVisible());
    QVERIFY(dlg.isVisible());
}

void tst_LinkageSnapAlarmDlg::savePictureNoticesAreThrottled_data()
{
    QTest::addColumn<QByteArray>("strSignal");
    QTest::addColumn<QString>("strEvents"); // F: that failure, S: a picture saved
    QTest::addColumn<int>("nNotices");
    for (const char* szSignal : {"signalSpaceNotEnough", "signalSaveFailed"}) {
        const QByteArray strSignal(szSignal);
        QTest::addRow("%s once", szSignal) << strSignal << "F" << 1;
        QTest::addRow("%s 232 times in a row", szSignal) << strSignal << QString(232, 'F') << 1;
        QTest::addRow("%s again after a saved picture", szSignal) << strSignal << "FFFSFF" << 2;
        QTest::addRow("%s never", szSignal) << strSignal << "SS" << 0;
    }
}

void tst_LinkageSnapAlarmDlg::savePictureNoticesAreThrottled()
{
    QFETCH(QByteArray, strSignal);
    QFETCH(QString, strEvents);
    QFETCH(int, nNotices);
    CLinkageSnapAlarmDlg dlg;
    auto* pMgr = LinkageSnapAlarm::CLinkageSavePicMgr::GetLiveSavePicMgr();
    QVERIFY(pMgr);
    QCOMPARE(pMgr->parent(), &dlg);
    auto& notices = TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
    notices.ClearShownNotices();
    for (const QChar ch : strEvents) {
        QVERIFY(ch == 'F' ? QMetaObject::invokeMethod(pMgr, strSignal.constData())
                          : QMetaObject::invokeMethod(pMgr, "signalPictureSaved", Q_ARG(QString, "saved.jpg")));
    }
    const QString strKey = strSignal == "signalSpaceNotEnough" ? "NoEnoughFreeSpace" : "SavePictureFailed";
    QCOMPARE(notices.ShownNotices(), QStringList(QVector<QString>(nNotices, strKey).toList()));
}

void tst_LinkageSnapAlarmDlg::settingsReachTheSavePicMgr()
{
    QPointer<LinkageSnapAlarm::CLinkageSavePicMgr> pFirstMgr;
    {
        CLinkageSnapAlarmDlg dlg;
        pFirstMgr = LinkageSnapAlarm::CLinkageSavePicMgr::GetLiveSavePicMgr();
        auto* pSetup = dlg.SetupDialog();
        pSetup->findChild<QCheckBox*>("m_pCheckSavePic")->setChecked(true);
        SaveMode(dlg, 3);
        QVERIFY(dlg.SetupInfo().IsSavePicture);
        QVERIFY(!dlg.SetupInfo().SavePicPath.isEmpty());
        QCOMPARE(pFirstMgr->GetSavePicPath(), dlg.SetupInfo().SavePicPath);
    }
    // The manager goes with its dialog; the next dialog gets a new one.
    QVERIFY(pFirstMgr.isNull());
    QVERIFY(!LinkageSnapAlarm::CLinkageSavePicMgr::GetLiveSavePicMgr());
    CLinkageSnapAlarmDlg dlg;
    QVERIFY(LinkageSnapAlarm::CLinkageSavePicMgr::GetLiveSavePicMgr());
}

// Two windows for mode 2 (also when nothing is stored yet); any other stored
// value shows three. The last row leaves the default mode stored.
void tst_LinkageSnapAlarmDlg::storedPreviewMode_data()
{
    QTest::addColumn<int>("nStored");
    QTest::addColumn<bool>("bThree");
    QTest::newRow("nothing stored: two windows") << -1 << false;
    QTest::newRow("3: three windows") << 3 << true;
    QTest::newRow("7: three windows") << 7 << true;
    QTest::newRow("0: three windows") << 0 << true;
    QTest::newRow("2: two windows") << 2 << false;
}

void tst_LinkageSnapAlarmDlg::storedPreviewMode()
{
    QFETCH(int, nStored);
    QFETCH(bool, bThree);
    if (nStored >= 0)
        QVERIFY(LinkageSnapAlarm::CLinkageSetupStore::Instance()->SaveSetup({false, QDir::tempPath(), nStored}));
    CLinkageSnapAlarmDlg dlg;
    dlg.show();
    QCOMPARE(dlg.SetupInfo().PreviewMode, nStored >= 0 ? nStored : 2);
    QCOMPARE(!Holder(dlg, 2)->isHidden(), bThree);
    QCOMPARE(Stretches(LiveRow(dlg)), QString(bThree ? "15,906,15,906,15,906" : "15,906,15,906,0,0"));
}

QTEST_MAIN(tst_LinkageSnapAlarmDlg)
#include "tst_linkagesnapalarmdlg.moc"
