#include "alarmview/AlarmDetailView.h"
#include "alarmview/LinkageSnapAlarmDlg.h"
#include "cards/LinkageCardWidget.h"
#include "cards/ShowCardArea.h"
#include "cards/ShowCardWidget.h"
#include "cards/ShowPicWidget.h"
#include "savepic/LinkageSavePicMgr.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace LinkageSnapAlarm;

namespace {

const qint64 kAlarmMs = 1700000000000; // a fixed alarm time

std::string Jpeg(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray ba;
    QBuffer buffer(&ba);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "JPEG").write(image);
    return ba.toStdString();
}

const protocol::PictureRect kBody = protocol::MakePictureRect(0.4, 0.3, 0.1, 0.4);

quorra::IntelAlarmEventInfo Panoramic()
{
    quorra::IntelAlarmEventInfo info;
    info.AlarmType = 100009;
    info.AlarmSourceName = "Panorama";
    info.AlarmTime = kAlarmMs;
    info.IntelAlarmInfo.LinkageUid = "L1";
    info.IntelAlarmInfo.VCASmart.bkPic.pPicBinary->strData = Jpeg(QSize(1920, 1080));
    return info;
}

// One linkage alarm of camera strCamera, its person placed at nPerson tenths across.
quorra::IntelAlarmEventInfo Linkage(const std::string& strCamera, int nPerson = 4)
{
    static const std::string s_strBk = Jpeg(QSize(1920, 1080));
    quorra::IntelAlarmEventInfo info;
    info.AlarmType = 100509;
    info.AlarmSourceName = strCamera;
    info.AlarmTime = kAlarmMs + 1000;
    info.IntelAlarmInfo.LinkageUid = "L1";
    protocol::IntelAlarmHumanInfo human;
    human.SubPic.PictureRectList = {protocol::MakePictureRect(nPerson / 10.0, 0.3, 0.1, 0.4)};
    human.bkPic.pPicBinary->strData = s_strBk;
    info.IntelAlarmInfo.IntelAlarmHumanInfoList.push_back(human);
    return info;
}

bool IsRectColour(const QImage& image, const QPoint& pt)
{
    const QColor color = image.pixelColor(pt);
    return color.red() > 200 && color.green() < 140 && color.blue() < 110;
}

} // namespace

// Takes the URLs the desktop would open.
class CUrlCatcher : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl& url) { m_url = url; }

public:
    QUrl m_url;
};

class tst_AlarmDetailView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_upDlg.reset(); }
    void recordFollowsTheCard_data();
    void recordFollowsTheCard();
    void clickOrEnterOpensTheCard_data();
    void clickOrEnterOpensTheCard();
    void stepsStopAtTheEnds_data();
    void stepsStopAtTheEnds();
    void escCloses();
    void sceneShowsEveryRectangle();
    void decodesOnePictureATurnAtShownSize();
    void savedFilesOpenTheirFolder();
    void recordsFromElsewhere();

private:
    CShowCardWidget* Strip() const { return m_upDlg->findChild<CShowCardArea*>("m_pWidgetLinkagePic")->CardWidget(); }
    CLinkageCardWidget* StripCard(int n) const { return qobject_cast<CLinkageCardWidget*>(Strip()->Cards().value(n)); }
    QString ViewText(const char* szLabel) const { return m_upDlg->DetailView()->findChild<QLabel*>(szLabel)->text(); }

    std::unique_ptr<CLinkageSnapAlarmDlg> m_upDlg;
};

void tst_AlarmDetailView::init()
{
    m_upDlg = std::make_unique<CLinkageSnapAlarmDlg>();
    m_upDlg->resize(1920, 1080);
    m_upDlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_upDlg.get()));
    // No window has a camera: alarms without a source pass the camera test.
    m_upDlg->onNewAlarmComing(Panoramic());
}

void tst_AlarmDetailView::recordFollowsTheCard_data()
{
    QTest::addColumn<int>("nAlarms");
    QTest::newRow("first card") << 1;
    QTest::newRow("full strip") << CShowCardWidget::kMaxCards;
    QTest::newRow("reused oldest card") << CShowCardWidget::kMaxCards + 1;
}

void tst_AlarmDetailView::recordFollowsTheCard()
{
    QFETCH(int, nAlarms);
    QWidget* pOldest = nullptr;
    for (int i = 0; i < nAlarms; ++i) {
        if (i == CShowCardWidget::kMaxCards)
            pOldest = Strip()->Cards().last();
        m_upDlg->onNewAlarmComing(Linkage("Camera " + std::to_string(i)));
    }
    CLinkageCardWidget* pNewest = StripCard(0);
    QVERIFY(pNewest && pNewest->Record());
    if (pOldest)
        QCOMPARE(pNewest, pOldest); // filled anew, with the new alarm's record
    const CardRecord& record = *pNewest->Record();
    QCOMPARE(record.CameraName, QString("Camera %1").arg(nAlarms - 1));
    QCOMPARE(record.AlarmTime, QDateTime::fromMSecsSinceEpoch(kAlarmMs + 1000));
    QCOMPARE(record.AlarmType, 100509);
    QCOMPARE(record.LinkageUid, QString("L1"));
    QCOMPARE(record.PersonRects.size(), size_t(1));
    QVERIFY(!record.Scene.IsNull() && !record.Body.IsNull());
    QCOMPARE(pNewest->toolTip(),
             record.CameraName + '\n' + AlarmTimeText(QDateTime::fromMSecsSinceEpoch(kAlarmMs + 1000)));
    QCOMPARE(Strip()->CardCount(), qMin(nAlarms, CShowCardWidget::kMaxCards));
}

void tst_AlarmDetailView::clickOrEnterOpensTheCard_data()
{
    QTest::addColumn<bool>("bClick");
    QTest::newRow("click") << true;
    QTest::newRow("enter") << false;
}

void tst_AlarmDetailView::clickOrEnterOpensTheCard()
{
    QFETCH(bool, bClick);
    for (const char* szCamera : {"A", "B", "C"})
        m_upDlg->onNewAlarmComing(Linkage(szCamera));
    CLinkageCardWidget* pCard = StripCard(1);
    QSignalSpy spyActivated(pCard, &CLinkageCardWidget::signalCardActivated);
    if (bClick) {
        QTest::mouseClick(pCard, Qt::LeftButton);
    } else {
        pCard->setFocus();
        QTest::keyClick(pCard, Qt::Key_Return);
    }
    QCOMPARE(spyActivated.count(), 1);
    CAlarmDetailView* pView = m_upDlg->DetailView();
    QVERIFY(pView->isVisible());
    QCOMPARE(pView->CurrentCard(), 1);
    QCOMPARE(ViewText("m_pLabelDetailCamera"), QString("B"));
    QCOMPARE(ViewText("m_pLabelDetailLinkage"), QString("L1"));
    QCOMPARE(ViewText("m_pLabelDetailPosition"), QString("2 / 3"));
}

void tst_AlarmDetailView::stepsStopAtTheEnds_data()
{
    QTest::addColumn<int>("nStart");
    QTest::addColumn<QString>("strSteps"); // p/n: buttons, l/r: arrow keys
    QTest::addColumn<int>("nCard");
    QTest::newRow("next to the last card") << 0 << "n" << 1;
    QTest::newRow("next stops at the last card") << 1 << "nnr" << 1;
    QTest::newRow("previous from the first card is the scene") << 0 << "p" << int(CAlarmDetailView::kScene);
    QTest::newRow("previous stops at the scene") << 0 << "ppl" << int(CAlarmDetailView::kScene);
    QTest::newRow("arrow keys step") << CAlarmDetailView::kScene << "rrl" << 0;
}

void tst_AlarmDetailView::stepsStopAtTheEnds()
{
    QFETCH(int, nStart);
    QFETCH(QString, strSteps);
    QFETCH(int, nCard);
    for (const char* szCamera : {"A", "B"})
        m_upDlg->onNewAlarmComing(Linkage(szCamera));
    CAlarmDetailView* pView = m_upDlg->DetailView();
    m_upDlg->OpenStripDetails(nStart);
    auto* pPrev = pView->findChild<QPushButton*>("m_pBtnDetailPrev");
    auto* pNext = pView->findChild<QPushButton*>("m_pBtnDetailNext");
    for (QChar ch : strSteps) {
        if (ch == 'p' || ch == 'n')
            (ch == 'p' ? pPrev : pNext)->click();
        else // keys reach the view through whichever button has the focus
            QTest::keyClick(pNext, ch == 'l' ? Qt::Key_Left : Qt::Key_Right);
    }
    QCOMPARE(pView->CurrentCard(), nCard);
    QCOMPARE(pPrev->isEnabled(), nCard != CAlarmDetailView::kScene);
    QCOMPARE(pNext->isEnabled(), nCard != 1);
}

void tst_AlarmDetailView::escCloses()
{
    m_upDlg->onNewAlarmComing(Linkage("A"));
    m_upDlg->OpenStripDetails(0);
    CAlarmDetailView* pView = m_upDlg->DetailView();
    QVERIFY(pView->isVisible());
    QTest::keyClick(pView, Qt::Key_Escape);
    QVERIFY(!pView->isVisible());
    QVERIFY(!pView->CurrentRecord()); // its records and pictures went with it
}

void tst_AlarmDetailView::sceneShowsEveryRectangle()
{
    for (int nPerson : {1, 5, 8})
        m_upDlg->onNewAlarmComing(Linkage("A", nPerson));
    QTest::mouseClick(m_upDlg->findChild<CShowPicWidget*>("m_pWidgetScenePic"), Qt::LeftButton);
    CAlarmDetailView* pView = m_upDlg->DetailView();
    QCOMPARE(pView->CurrentCard(), int(CAlarmDetailView::kScene));
    QVERIFY(pView->findChild<QWidget*>("m_pWidgetDetailPerson")->isHidden());
    QCOMPARE(ViewText("m_pLabelDetailCamera"), QString("Panorama"));
    pView->FinishDecoding();
    const QImage image = pView->findChild<QLabel*>("m_pLabelDetailScene")->pixmap(Qt::ReturnByValue).toImage();
    QVERIFY(!image.isNull());
    // Each person's rectangle: its left edge at mid height, and nothing between persons.
    for (int nPerson : {1, 5, 8})
        QVERIFY2(IsRectColour(image, QPoint(int(nPerson / 10.0 * image.width()), image.height() / 2)),
                 qPrintable(QString::number(nPerson)));
    QVERIFY(!IsRectColour(image, QPoint(int(0.3 * image.width()), image.height() / 2)));
}

void tst_AlarmDetailView::decodesOnePictureATurnAtShownSize()
{
    m_upDlg->onNewAlarmComing(Linkage("A"));
    m_upDlg->OpenStripDetails(0);
    CAlarmDetailView* pView = m_upDlg->DetailView();
    QStringList lstShown;
    for (int nTurn = 0; nTurn < 3; ++nTurn) {
        QVERIFY(pView->IsDecoding());
        QCoreApplication::sendPostedEvents(pView, QEvent::MetaCall);
        int nPictures = 0;
        for (const char* szLabel : {"m_pLabelDetailFace", "m_pLabelDetailBody", "m_pLabelDetailScene"}) {
            auto* pLabel = pView->findChild<QLabel*>(szLabel);
            const QSize size = pLabel->pixmap(Qt::ReturnByValue).size();
            nPictures += size.isEmpty() ? 0 : 1;
            // Fitted into the label, aspect kept: one side fills it.
            if (!size.isEmpty())
                QVERIFY(size.boundedTo(pLabel->contentsRect().size()) == size
                        && (size.width() == pLabel->contentsRect().width()
                            || size.height() == pLabel->contentsRect().height()));
        }
        // The face has none: the alarm carries no face picture.
        QCOMPARE(nPictures, qMin(nTurn, 2));
    }
    QVERIFY(!pView->IsDecoding());
}

void tst_AlarmDetailView::savedFilesOpenTheirFolder()
{
    QTemporaryDir dirSave;
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    m_upDlg->m_stSetupInfo.IsSavePicture = true;
    pSavePicMgr->SetSavePicture(true);
    pSavePicMgr->SetSavePicPath(dirSave.path());
    m_upDlg->onNewAlarmComing(Linkage("Gate"));
    CLinkageCardWidget* pCard = StripCard(0);
    // The body cut and the background, written by the save worker.
    QTRY_COMPARE(pCard->Record()->SavedFiles.size(), 2);
    m_upDlg->OpenStripDetails(0);
    auto* pOpen = m_upDlg->DetailView()->findChild<QPushButton*>("m_pBtnDetailOpenFolder");
    QVERIFY(pOpen->isEnabled());
    CUrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    pOpen->click();
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(catcher.m_url, QUrl::fromLocalFile(dirSave.path() + "/Gate"));
    m_upDlg->m_stSetupInfo.IsSavePicture = false;
    pSavePicMgr->SetSavePicture(false);
}

void tst_AlarmDetailView::recordsFromElsewhere()
{
    auto spScene = std::make_shared<CardRecord>();
    spScene->CameraName = "From history";
    spScene->Scene = WholePicture(Jpeg(QSize(640, 360)));
    auto spCard = std::make_shared<CardRecord>();
    spCard->CameraName = "Old card";
    spCard->Body = WholePicture(Jpeg(QSize(100, 200)));
    m_upDlg->OpenLinkageDetails(LinkageRecordSet{spScene, {spCard}}, 0);
    CAlarmDetailView* pView = m_upDlg->DetailView();
    QCOMPARE(ViewText("m_pLabelDetailCamera"), QString("Old card"));
    QVERIFY(!pView->findChild<QPushButton*>("m_pBtnDetailOpenFolder")->isEnabled());
    pView->FinishDecoding();
    // The card shows the linkage's scene, which it does not carry itself.
    QVERIFY(!pView->findChild<QLabel*>("m_pLabelDetailScene")->pixmap(Qt::ReturnByValue).isNull());
}

QTEST_MAIN(tst_AlarmDetailView)
#include "tst_alarmdetailview.moc"
