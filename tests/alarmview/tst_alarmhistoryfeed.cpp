#include "alarmview/AlarmDetailView.h"
#include "alarmview/IncidentExportDialog.h"
#include "alarmview/LinkageSnapAlarmDlg.h"
#include "alarmview/LiveWindows.h"
#include "cards/ShowCardArea.h"
#include "history/AlarmHistory.h"
#include "history/HistoryModel.h"
#include "savepic/LinkageSavePicMgr.h"

#include "tessel/ICamera.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace LinkageSnapAlarm;

namespace {

constexpr int kWaitMs = 20000;

std::string Jpeg(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray ba;
    QBuffer buffer(&ba);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "JPEG").write(image);
    return ba.toStdString();
}

quorra::IntelAlarmEventInfo Alarm(int nType, const std::string& strSource, const std::string& strUid, int nPersons)
{
    quorra::IntelAlarmEventInfo info;
    info.AlarmType = nType;
    info.AlarmSourceID = strSource;
    info.AlarmSourceName = "Camera " + strSource;
    info.IntelAlarmInfo.LinkageUid = strUid;
    if (nPersons == 0)
        info.IntelAlarmInfo.VCASmart.bkPic.pPicBinary->strData = Jpeg(QSize(1920, 1080));
    for (int i = 0; i < nPersons; ++i) {
        protocol::IntelAlarmHumanInfo human;
        human.SubPic.PictureRectList = {protocol::MakePictureRect(0.4, 0.3, 0.1, 0.4)};
        human.bkPic.pPicBinary->strData = Jpeg(QSize(1920, 1080));
        info.IntelAlarmInfo.IntelAlarmHumanInfoList.push_back(human);
    }
    return info;
}

} // namespace

class tst_AlarmHistoryFeed : public QObject
{
    Q_OBJECT
private slots:
    void shownAlarmsOutliveTheView_data();
    void shownAlarmsOutliveTheView();
};

void tst_AlarmHistoryFeed::shownAlarmsOutliveTheView_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("saving off: thumbnails") << false;
    QTest::newRow("saving on: the saved files") << true;
}

// Alarms shown, the view destroyed and made again: its strip starts empty, the
// history still lists the linkage and gives back its scene and cards.
void tst_AlarmHistoryFeed::shownAlarmsOutliveTheView()
{
    QFETCH(bool, save);
    QTemporaryDir saveDir;
    const std::string strUid = save ? "feed-saved" : "feed-thumbs";
    std::vector<std::unique_ptr<tessel::CCamera>> vecCameras;
    for (int i = 0; i < 2; ++i) {
        tessel::CameraInfo info;
        info.strGUID = "cam-" + std::to_string(i);
        info.strAlarmSourceID = "src-" + std::to_string(i);
        vecCameras.push_back(std::make_unique<tessel::CCamera>(info));
    }
    {
        CLinkageSnapAlarmDlg dlg;
        dlg.resize(1920, 1080);
        dlg.m_upLiveWindows->SetCamera(0, vecCameras[0].get());
        dlg.m_upLiveWindows->SetCamera(1, vecCameras[1].get());
        dlg.m_stSetupInfo.IsSavePicture = save;
        CLinkageSavePicMgr::GetLiveSavePicMgr()->SetSavePicPath(saveDir.path());
        CLinkageSavePicMgr::GetLiveSavePicMgr()->SetSavePicture(save);
        dlg.onNewAlarmComing(Alarm(100009, "src-1", strUid, 0));
        dlg.onNewAlarmComing(Alarm(100509, "src-0", strUid, 2));
        QVERIFY(dlg.AlarmHistory()->WaitWritten(kWaitMs));
        // A card's menu exports the strip's linkage.
        QWidget* pCard = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((pCard = dlg.findChild<QWidget*>("LinkageCardWidget")), kWaitMs);
        emit pCard->customContextMenuRequested(QPoint(1, 1));
        QVERIFY(dlg.CardMenu()->isVisible());
        dlg.CardMenu()->findChild<QAction*>("m_pActionExportIncident")->trigger();
        QVERIFY(dlg.ExportDialog()->isVisible());
    }
    CLinkageSnapAlarmDlg dlg;
    auto* pCards = dlg.findChild<CShowCardArea*>("m_pWidgetLinkagePic");
    QCOMPARE(pCards->findChildren<QWidget*>("m_pWidgetCardBack").size(), 0);
    CHistoryModel model(dlg.AlarmHistory());
    QSignalSpy spyShown(&model, &CHistoryModel::signalFirstPageShown);
    model.SetFilter(HistoryFilter{{}, QString::fromStdString(strUid)});
    QVERIFY(spyShown.wait(kWaitMs));
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.index(0, CHistoryModel::ColumnCameras).data().toString(),
             QStringLiteral("Camera src-1, Camera src-0"));
    QSignalSpy spyChosen(dlg.AlarmHistory(), &CAlarmHistory::signalLinkageChosen);
    dlg.AlarmHistory()->ChooseLinkage(model.LinkageId(model.index(0, 0)));
    QVERIFY(spyChosen.wait(kWaitMs));
    const auto record = spyChosen.first().first().value<HistoryLinkageRecord>();
    QCOMPARE(record.vecCards.size(), 2);
    QCOMPARE(record.strScenePath.isEmpty(), !save);
    QCOMPARE(record.vecCards[0].strBodyPath.startsWith(saveDir.path() + "/Camera src-0/" + strUid.c_str()), save);
    // Saved within one millisecond, the second body's file is numbered: each card has its own.
    if (save)
        QVERIFY(record.vecCards[0].strBodyPath != record.vecCards[1].strBodyPath
                && QFile::exists(record.vecCards[1].strBodyPath));
    QCOMPARE(record.vecCards[0].vecRects, QVector<QRectF>{QRectF(0.4, 0.3, 0.1, 0.4)});
    const QImage imgScene = QImage::fromData(record.baSceneJpeg);
    QCOMPARE(imgScene.size(), save ? QSize(1920, 1080) : QSize(640, 360));
    QVERIFY(!QImage::fromData(record.vecCards[1].baBodyJpeg).isNull());
    // The chosen linkage opens in the detail view, at its newest card.
    CAlarmDetailView* pView = dlg.DetailView();
    QVERIFY(pView->isVisible());
    QCOMPARE(pView->CurrentCard(), 0);
    QCOMPARE(pView->findChild<QLabel*>("m_pLabelDetailLinkage")->text(), QString::fromStdString(strUid));
    // "ExportIncident" in the history loads the linkage into the export dialog.
    QSignalSpy spyExport(dlg.AlarmHistory(), &CAlarmHistory::signalLinkageExportChosen);
    dlg.AlarmHistory()->ExportLinkage(model.LinkageId(model.index(0, 0)));
    QVERIFY(spyExport.wait(kWaitMs));
    QVERIFY(dlg.ExportDialog()->isVisible());
}

QTEST_MAIN(tst_AlarmHistoryFeed)
#include "tst_alarmhistoryfeed.moc"
