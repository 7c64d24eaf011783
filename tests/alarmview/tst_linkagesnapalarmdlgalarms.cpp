#include "alarmview/LinkageSnapAlarmDlg.h"
#include "alarmview/LinkageSnapAlarmListener.h"
#include "alarmview/LiveWindows.h"
#include "cards/ShowCardArea.h"
#include "cards/ShowCardWidget.h"
#include "cards/ShowPicWidget.h"
#include "savepic/LinkageSavePicMgr.h"

#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"
#include "tessel/ICamera.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QLabel>
#include <QLayout>
#include <QMap>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace LinkageSnapAlarm;

namespace {

std::string Jpeg(const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray ba;
    QBuffer buffer(&ba);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "JPEG").write(image);
    return ba.toStdString();
}

void SetBytes(protocol::AlarmPictureInfo& pic, const std::string& strBytes)
{
    pic.pPicBinary->strData = strBytes;
}

// Source of the camera in window n ("0", "1", "2"), or of a camera in none.
std::string Source(const QString& strWindow)
{
    return strWindow == "none" ? "src-nowhere" : "src-" + strWindow.toStdString();
}

// One person of a linkage alarm by letter: s close-up and background, b body
// cut from the background, f body and face cut from the background, x no
// pictures at all, g a close-up that is no picture.
protocol::IntelAlarmHumanInfo Human(QChar chKind)
{
    static const std::string s_strBk = Jpeg(QSize(1920, 1080), Qt::darkGreen);
    static const std::string s_strSub = Jpeg(QSize(200, 400), Qt::darkRed);
    protocol::IntelAlarmHumanInfo human;
    switch (chKind.toLatin1()) {
    case 's':
        SetBytes(human.SubPic, s_strSub);
        SetBytes(human.bkPic, s_strBk);
        break;
    case 'f':
        human.FaceFromSamePic = true;
        human.SubPic.PictureRectList = {protocol::MakePictureRect(0.4, 0.3, 0.1, 0.4),
                                        protocol::MakePictureRect(0.42, 0.3, 0.04, 0.06),
                                        protocol::MakePictureRect(0, 0, 0.1, 0.1)};
        SetBytes(human.bkPic, s_strBk);
        break;
    case 'b':
        human.SubPic.PictureRectList = {protocol::MakePictureRect(0.4, 0.3, 0.1, 0.4)};
        SetBytes(human.bkPic, s_strBk);
        break;
    case 'g':
        SetBytes(human.SubPic, "GIF89a? no");
        break;
    default:
        break;
    }
    return human;
}

// "P:1:A" panoramic (100009) of window 1's camera with LinkageUid A; "P10:..."
// the same as type 100010; "L:0:A:s,b+F" linkage alarm of window 0's camera
// with two persons and a face list; "s*30" repeats a person.
quorra::IntelAlarmEventInfo Alarm(const QString& strStep)
{
    const QStringList parts = strStep.split(':');
    quorra::IntelAlarmEventInfo info;
    info.AlarmSourceID = Source(parts.value(1));
    info.AlarmSourceName = "Camera " + parts.value(1).toStdString();
    info.IntelAlarmInfo.LinkageUid = parts.value(2).toStdString();
    if (parts[0].startsWith('P')) {
        info.AlarmType = parts[0] == "P10" ? 100010 : 100009;
        SetBytes(info.IntelAlarmInfo.VCASmart.bkPic, Jpeg(QSize(3840, 2160), Qt::gray));
        return info;
    }
    info.AlarmType = 100509;
    QString strPersons = parts.value(3);
    if (strPersons.endsWith("+F")) {
        strPersons.chop(2);
        protocol::IntelAlarmFaceInfo face;
        SetBytes(face.SubPic, Jpeg(QSize(80, 100), Qt::yellow));
        SetBytes(face.bkPic, Jpeg(QSize(1920, 1080), Qt::gray));
        info.IntelAlarmInfo.IntelAlarmFaceInfoList.push_back(face);
    }
    for (const QString& strPerson : strPersons.split(',', Qt::SkipEmptyParts)) {
        const int nTimes = strPerson.contains('*') ? strPerson.section('*', 1).toInt() : 1;
        for (int i = 0; i < nTimes; ++i)
            info.IntelAlarmInfo.IntelAlarmHumanInfoList.push_back(Human(strPerson.at(0)));
    }
    return info;
}

// Cards from the left: F or f for a face shown or not, B or b for the body.
QString Cards(CShowCardWidget* pCards)
{
    QStringList lst;
    QList<QWidget*> vecCards;
    for (int i = 1; i < pCards->layout()->count(); ++i)
        vecCards << pCards->layout()->itemAt(i)->widget();
    std::reverse(vecCards.begin(), vecCards.end()); // newest first
    for (QWidget* pCard : vecCards) {
        const bool bFace = !pCard->findChild<QLabel*>("m_pLabelFacePic")->pixmap(Qt::ReturnByValue).isNull();
        const bool bBody = !pCard->findChild<QLabel*>("m_pLabelHumanPic")->pixmap(Qt::ReturnByValue).isNull();
        lst << QString(bFace ? "F" : "f") + (bBody ? "B" : "b");
    }
    if (lst.size() > 3)
        return QString("%1 cards, first %2").arg(lst.size()).arg(lst.first());
    return lst.join(',');
}

// Saved files by kind: "Human_Bk:2,VCA:1".
QString SavedKinds(const QString& strRoot)
{
    QMap<QString, int> mapKinds;
    static const QRegularExpression s_reName("^[^_]*_(VCA|Human_Sub|Human_Bk|Face_Sub)_\\d{14}_\\d{3}\\d*\\.jpg$");
    for (const QString& strFolder : QDir(strRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& strFile : QDir(strRoot + '/' + strFolder).entryList(QDir::Files)) {
            const auto match = s_reName.match(strFile);
            ++mapKinds[match.hasMatch() ? match.captured(1) : "odd name " + strFile];
        }
    QStringList lst;
    for (auto it = mapKinds.cbegin(); it != mapKinds.cend(); ++it)
        lst << QString("%1:%2").arg(it.key()).arg(it.value());
    return lst.join(',');
}

int CountFiles(const QString& strRoot)
{
    int n = 0;
    for (const QString& strFolder : QDir(strRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        n += QDir(strRoot + '/' + strFolder).entryList(QDir::Files).size();
    return n;
}

} // namespace

class tst_LinkageSnapAlarmDlgAlarms : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void alarmFlow_data();
    void alarmFlow();
    void cameraTest_data();
    void cameraTest();
    void cardSizeFollowsTheDialog();
    void closeStopsIntakeAndEmpties();
    void diagnosticSlot();
    void hostAlarmsReachTheCards();
    void floodShowsWhatCanBeSeen_data();
    void floodShowsWhatCanBeSeen();
    void closeDuringAFlood();

private:
    void SetWindowCameras(bool bWindow2);
    CShowPicWidget* ScenePic() const { return m_upDlg->findChild<CShowPicWidget*>("m_pWidgetScenePic"); }
    CShowCardArea* CardArea() const { return m_upDlg->findChild<CShowCardArea*>("m_pWidgetLinkagePic"); }

    std::unique_ptr<CLinkageSnapAlarmDlg> m_upDlg;
    std::vector<std::unique_ptr<tessel::CCamera>> m_vecCameras;
};

void tst_LinkageSnapAlarmDlgAlarms::init()
{
    m_upDlg = std::make_unique<CLinkageSnapAlarmDlg>();
    m_upDlg->resize(1920, 1080);
    m_upDlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_upDlg.get()));
    SetWindowCameras(true);
}

void tst_LinkageSnapAlarmDlgAlarms::cleanup()
{
    m_upDlg.reset();
    m_vecCameras.clear();
}

void tst_LinkageSnapAlarmDlgAlarms::SetWindowCameras(bool bWindow2)
{
    m_vecCameras.clear();
    for (int i = 0; i < 3; ++i) {
        tessel::CameraInfo info;
        info.strGUID = "cam-" + std::to_string(i);
        info.strAlarmSourceID = "src-" + std::to_string(i);
        m_vecCameras.push_back(std::make_unique<tessel::CCamera>(info));
    }
    m_upDlg->m_upLiveWindows->SetCamera(0, m_vecCameras[0].get());
    m_upDlg->m_upLiveWindows->SetCamera(1, m_vecCameras[1].get());
    m_upDlg->m_upLiveWindows->SetCamera(2, bWindow2 ? m_vecCameras[2].get() : nullptr);
}

void tst_LinkageSnapAlarmDlgAlarms::alarmFlow_data()
{
    QTest::addColumn<QString>("strSteps");
    QTest::addColumn<bool>("bSave");
    QTest::addColumn<QString>("strUid");
    QTest::addColumn<bool>("bScene");
    QTest::addColumn<QString>("strCards");
    QTest::addColumn<QString>("strSaved");

    QTest::newRow("panoramic of window 1") << "P:1:A" << true << "A" << true << ""
                                           << "VCA:1";
    QTest::newRow("panoramic 100010 alike") << "P10:2:A" << true << "A" << true << ""
                                            << "VCA:1";
    QTest::newRow("panoramic of a camera in no window") << "P:none:A" << true << "None" << false << ""
                                                        << "";
    QTest::newRow("panoramic without LinkageUid") << "P:1:" << true << "None" << false << ""
                                                  << "";
    QTest::newRow("linkage under the initial None") << "L:0:None:s" << false << "None" << false << "fB"
                                                    << "";
    QTest::newRow("panoramic then linkage") << "P:1:A;L:0:A:s,b" << true << "A" << true << "fB,fB"
                                            << "Human_Bk:2,Human_Sub:2,VCA:1";
    QTest::newRow("face cut from the same picture") << "P:1:A;L:0:A:f" << true << "A" << true << "FB"
                                                    << "Face_Sub:1,Human_Bk:1,Human_Sub:1,VCA:1";
    QTest::newRow("two persons share the listed face") << "P:1:A;L:0:A:s,b+F" << true << "A" << true << "FB,FB"
                                                       << "Face_Sub:4,Human_Bk:2,Human_Sub:2,VCA:1";
    QTest::newRow("linkage of another linkage") << "P:1:A;L:0:B:s" << false << "A" << true << ""
                                                << "";
    QTest::newRow("linkage of a camera in no window") << "P:1:A;L:none:A:s" << false << "A" << true << ""
                                                      << "";
    QTest::newRow("linkage without persons") << "P:1:A;L:0:A:" << false << "A" << true << ""
                                             << "";
    QTest::newRow("a person without pictures skips only itself") << "P:1:A;L:0:A:x,s" << true << "A" << true << "fB"
                                                                 << "Human_Bk:1,Human_Sub:1,VCA:1";
    QTest::newRow("a close-up that is no picture") << "P:1:A;L:0:A:g" << false << "A" << true << "fb"
                                                   << "";
    QTest::newRow("a new panoramic alarm empties the cards") << "P:1:A;L:0:A:s,s;P:2:B" << false << "B" << true << ""
                                                             << "";
    QTest::newRow("cards of a linkage gather") << "P:1:A;L:0:A:s;L:1:A:b" << false << "A" << true << "fB,fB"
                                               << "";
    QTest::newRow("fifty cards at most") << "P:1:A;L:0:A:s*30;L:0:A:b*30" << false << "A" << true
                                         << "50 cards, first fB"
                                         << "";
    QTest::newRow("a thousand persons") << "L:0:None:s*1000" << false << "None" << false << "50 cards, first fB"
                                        << "";
    QTest::newRow("saving off writes nothing") << "P:1:A;L:0:A:s+F" << false << "A" << true << "FB"
                                               << "";
}

void tst_LinkageSnapAlarmDlgAlarms::alarmFlow()
{
    QFETCH(QString, strSteps);
    QFETCH(bool, bSave);
    QFETCH(QString, strUid);
    QFETCH(bool, bScene);
    QFETCH(QString, strCards);
    QFETCH(QString, strSaved);
    QTemporaryDir dirSave;
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    QVERIFY(pSavePicMgr);
    m_upDlg->m_stSetupInfo.IsSavePicture = bSave;
    pSavePicMgr->SetSavePicture(bSave);
    pSavePicMgr->SetSavePicPath(dirSave.path());
    int nSaved = 0;
    connect(pSavePicMgr, &CLinkageSavePicMgr::signalPictureSaved, this, [&nSaved] { ++nSaved; });

    for (const QString& strStep : strSteps.split(';'))
        m_upDlg->onNewAlarmComing(Alarm(strStep));

    QCOMPARE(m_upDlg->LinkageUid(), strUid);
    QCOMPARE(ScenePic()->HasPicture(), bScene);
    if (bScene) {
        // Decoded right at 330/338 x 182/190 of the panel.
        const QSize sizePanel = ScenePic()->size();
        QCOMPARE(m_upDlg->findChild<QLabel*>("m_pLabelPic")->pixmap(Qt::ReturnByValue).size(),
                 QSize(static_cast<int>(sizePanel.width() * 0.97633135f),
                       static_cast<int>(sizePanel.height() * 0.95789474f)));
    }
    QCOMPARE(Cards(CardArea()->CardWidget()), strCards);
    const int nExpectedFiles = strSaved.isEmpty() ? 0 : [&] {
        int n = 0;
        for (const QString& strKind : strSaved.split(','))
            n += strKind.section(':', 1).toInt();
        return n;
    }();
    QTRY_COMPARE(nSaved, nExpectedFiles);
    QCOMPARE(SavedKinds(dirSave.path()), strSaved);
    QCOMPARE(CountFiles(dirSave.path()), nExpectedFiles);
}

void tst_LinkageSnapAlarmDlgAlarms::cameraTest_data()
{
    QTest::addColumn<bool>("bWindow2");
    QTest::addColumn<QString>("strSource");
    QTest::addColumn<bool>("bOutside");
    QTest::newRow("window 0") << true << "src-0" << false;
    QTest::newRow("window 2") << true << "src-2" << false;
    QTest::newRow("unknown camera") << true << "src-9" << true;
    QTest::newRow("no source, all windows filled") << true << "" << true;
    QTest::newRow("no source, a window empty") << false << "" << false;
    QTest::newRow("prefix of a source") << true << "src" << true;
    QTest::newRow("source with a trailing byte") << true << QString("src-1 ") << true;
}

void tst_LinkageSnapAlarmDlgAlarms::cameraTest()
{
    QFETCH(bool, bWindow2);
    QFETCH(QString, strSource);
    QFETCH(bool, bOutside);
    SetWindowCameras(bWindow2);
    QCOMPARE(m_upDlg->IsAlarmSourceOutsideWindows(strSource.toStdString()), bOutside);
}

void tst_LinkageSnapAlarmDlgAlarms::cardSizeFollowsTheDialog()
{
    m_upDlg->onNewAlarmComing(Alarm("L:0:None:s"));
    auto* pCard = CardArea()->CardWidget()->findChild<QWidget*>("LinkageCardWidget");
    QVERIFY(pCard);
    QCOMPARE(pCard->width(), 101);
    QCOMPARE(pCard->height(), CardArea()->height() - 10);
    QCOMPARE(CardArea()->objectName(), QString("m_pWidgetLinkagePic"));
    QCOMPARE(ScenePic()->objectName(), QString("m_pWidgetScenePic"));
}

void tst_LinkageSnapAlarmDlgAlarms::closeStopsIntakeAndEmpties()
{
    m_upDlg->SetAlarmListening(true);
    m_upDlg->onNewAlarmComing(Alarm("P:1:A"));
    m_upDlg->onNewAlarmComing(Alarm("L:0:A:s"));
    m_upDlg->onBtnCloseClicked();
    QVERIFY(!m_upDlg->AlarmListener()->IsListening());
    QVERIFY(!ScenePic()->HasPicture());
    QVERIFY(!CardArea()->HasCards());
    QCOMPARE(m_upDlg->LinkageUid(), QString("A"));
}

void tst_LinkageSnapAlarmDlgAlarms::diagnosticSlot()
{
    QVERIFY(QMetaObject::invokeMethod(m_upDlg.get(), "onBtnTestClicked"));
    QCOMPARE(m_upDlg->LinkageUid(), QString("None")); // every window has a camera
    SetWindowCameras(false);
    QVERIFY(QMetaObject::invokeMethod(m_upDlg.get(), "onBtnTestClicked"));
    QCOMPARE(m_upDlg->LinkageUid(), QString("None1"));
    QVERIFY(ScenePic()->HasPicture()); // an empty one
    QVERIFY(!CardArea()->HasCards());  // its person has no pictures
}

void tst_LinkageSnapAlarmDlgAlarms::hostAlarmsReachTheCards()
{
    m_upDlg->SetAlarmListening(true);
    m_upDlg->SetAlarmListening(true); // twice: still one card per person
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    transfer.PostAlarmEvent(std::make_shared<quorra::CIntelAlarmEvent>(Alarm("P:1:A")));
    transfer.PostAlarmEvent(std::make_shared<quorra::CIntelAlarmEvent>(Alarm("L:0:A:s,b")));
    QTRY_COMPARE(transfer.PendingEvents(), 0);
    QCOMPARE(Cards(CardArea()->CardWidget()), QString("fB,fB"));
    m_upDlg->SetAlarmListening(false);
    transfer.PostAlarmEvent(std::make_shared<quorra::CIntelAlarmEvent>(Alarm("L:0:A:s")));
    QCOMPARE(Cards(CardArea()->CardWidget()), QString("fB,fB"));
}

namespace {

// Posts every step from another thread before this one delivers any: a flood.
void Flood(const QStringList& lstSteps)
{
    QThread* pSender = QThread::create([&] {
        auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
        for (const QString& strStep : lstSteps)
            transfer.PostAlarmEvent(std::make_shared<quorra::CIntelAlarmEvent>(Alarm(strStep)));
    });
    pSender->start();
    pSender->wait();
    delete pSender;
}

// "L:0:A:s*3 x100" repeats a step.
QStringList Steps(const QString& strSteps)
{
    QStringList lst;
    for (const QString& strStep : strSteps.split(';')) {
        const int nTimes = strStep.contains(" x") ? strStep.section(" x", 1).toInt() : 1;
        for (int i = 0; i < nTimes; ++i)
            lst << strStep.section(" x", 0, 0);
    }
    return lst;
}

} // namespace

void tst_LinkageSnapAlarmDlgAlarms::floodShowsWhatCanBeSeen_data()
{
    QTest::addColumn<QString>("strSteps");
    QTest::addColumn<QString>("strUid");
    QTest::addColumn<QString>("strCards");
    QTest::addColumn<int>("nAccepted");
    QTest::addColumn<int>("nSaved");
    // The last alarm's person has a face ("FB"): it is the newest card.
    QTest::newRow("one linkage floods the strip") << "P:1:A;L:0:A:s*3 x300;L:0:A:f"
                                                  << "A"
                                                  << "50 cards, first FB" << 302 << 1 + 300 * 6 + 3;
    QTest::newRow("a new linkage during the flood") << "P:1:A;L:0:A:s x60;P:2:B;L:0:A:s;L:1:B:b,f"
                                                    << "B"
                                                    << "FB,fB" << 63 << 1 + 60 * 2 + 1 + 5;
}

void tst_LinkageSnapAlarmDlgAlarms::floodShowsWhatCanBeSeen()
{
    QFETCH(QString, strSteps);
    QFETCH(QString, strUid);
    QFETCH(QString, strCards);
    QFETCH(int, nAccepted);
    QFETCH(int, nSaved);
    QTemporaryDir dirSave;
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    m_upDlg->m_stSetupInfo.IsSavePicture = true;
    pSavePicMgr->SetSavePicture(true);
    pSavePicMgr->SetSavePicPath(dirSave.path());
    m_upDlg->SetAlarmListening(true);
    const std::int64_t nAskedBefore = pSavePicMgr->Counts().nAsked;

    Flood(Steps(strSteps));
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    QTRY_COMPARE(transfer.PendingEvents(), 0);
    // The last cards come a turn at a time.
    QTRY_COMPARE(Cards(CardArea()->CardWidget()), strCards);
    QCOMPARE(m_upDlg->LinkageUid(), strUid);
    QVERIFY(ScenePic()->HasPicture());
    // Every alarm counted: shown, or shed with its pictures still saved.
    QCOMPARE(m_upDlg->AlarmsAccepted(), std::int64_t(nAccepted));
    QVERIFY(m_upDlg->AlarmsShown() >= 2 && m_upDlg->AlarmsShown() < nAccepted);
    QCOMPARE(pSavePicMgr->Counts().nAsked - nAskedBefore, std::int64_t(nSaved));
}

void tst_LinkageSnapAlarmDlgAlarms::closeDuringAFlood()
{
    m_upDlg->SetAlarmListening(true);
    Flood(Steps("P:1:A;L:0:A:f x2000"));
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    QCoreApplication::processEvents(); // one slice of the flood
    QVERIFY(transfer.UndeliveredEvents() > 0);
    m_upDlg->onBtnCloseClicked();
    m_upDlg.reset();
    // What was still coming reaches nobody and is released.
    QTRY_COMPARE(transfer.PendingEvents(), 0);
}

QTEST_MAIN(tst_LinkageSnapAlarmDlgAlarms)
#include "tst_linkagesnapalarmdlgalarms.moc"
