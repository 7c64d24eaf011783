#include "cards/CardRecord.h"
#include "cards/LinkageCardWidget.h"
#include "cards/NoDataWidget.h"
#include "cards/ShowCardArea.h"
#include "cards/ShowCardWidget.h"
#include "cards/ShowPicWidget.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

using namespace LinkageSnapAlarm;

namespace {

// A card named after its number, so the order of the row reads as a string.
QWidget* NamedCard(int n)
{
    auto* pCard = new QWidget;
    pCard->setObjectName(QString::number(n));
    pCard->setFixedSize(101, 190);
    return pCard;
}

// The card names from the start of the row (left, or top) to its end.
QString CardOrder(CShowCardWidget& cards)
{
    cards.layout()->activate();
    QList<QWidget*> lst;
    for (int i = 1; i < cards.layout()->count(); ++i)
        lst << cards.layout()->itemAt(i)->widget();
    std::sort(lst.begin(), lst.end(), [](QWidget* a, QWidget* b) { return a->x() + a->y() < b->x() + b->y(); });
    QStringList names;
    for (QWidget* p : lst)
        names << p->objectName();
    return names.join(',');
}

QString PageOf(QWidget* pOwner)
{
    return pOwner->findChild<QStackedWidget*>("m_pStackShow")->currentWidget()->objectName();
}

QLabel* CornerMark(QWidget* pOwner)
{
    // The panel's own mark is its direct child; the form may hold another of that name.
    return pOwner->findChild<QLabel*>("m_pLabelTriangle", Qt::FindDirectChildrenOnly);
}

} // namespace

class tst_SnapshotCards : public QObject
{
    Q_OBJECT
private slots:
    void formObjectNames_data();
    void formObjectNames();
    void cardSizes_data();
    void cardSizes();
    void cardPicturesFillTheirLabels();
    void cardRowOrderAndLimit_data();
    void cardRowOrderAndLimit();
    void layoutIsChosenOnce();
    void cardAreaStates_data();
    void cardAreaStates();
    void scenePanelStates();
    void cornerMarkFollowsResize();
    void alarmTimeShowsTheDateWhenNotToday_data();
    void alarmTimeShowsTheDateWhenNotToday();
    void focusStaysInTheStrip_data();
    void focusStaysInTheStrip();
};

void tst_SnapshotCards::formObjectNames_data()
{
    QTest::addColumn<QString>("strClass");
    QTest::addColumn<QString>("strNames");
    QTest::newRow("empty state") << "NoDataWidget"
                                 << "NoDataWidget,m_pLabelIcon,m_pNoDataText";
    QTest::newRow("card") << "LinkageCardWidget"
                          << "LinkageCardWidget,m_pWidgetCardBack,m_pLabelFacePic,m_pLabelHumanPic";
    QTest::newRow("card area") << "ShowCardArea"
                               << "ShowCardArea,m_pStackShow,m_pPageShow,m_pAreaShow,m_pScrollWidgetShow,"
                                  "m_pPageNoData,widget,m_pLabelTriangle";
    QTest::newRow("scene panel") << "ShowPicWidget"
                                 << "ShowPicWidget,m_pWidgetShowBg,m_pStackShow,m_pPageNoData,m_pWidgetPic,"
                                    "m_pWidgetNoData,m_pWidgetTriangle,m_pLabelTriangle,m_pPagePic,m_pLabelPic";
}

void tst_SnapshotCards::formObjectNames()
{
    QFETCH(QString, strClass);
    QFETCH(QString, strNames);
    std::unique_ptr<QWidget> upWidget;
    if (strClass == "NoDataWidget")
        upWidget = std::make_unique<CNoDataWidget>();
    else if (strClass == "LinkageCardWidget")
        upWidget = std::make_unique<CLinkageCardWidget>();
    else if (strClass == "ShowCardArea")
        upWidget = std::make_unique<CShowCardArea>();
    else
        upWidget = std::make_unique<CShowPicWidget>();
    QCOMPARE(upWidget->objectName(), strClass);
    QCOMPARE(upWidget->windowTitle().isEmpty() ? strClass : upWidget->windowTitle(), strClass);
    for (const QString& strName : strNames.split(',').mid(1))
        QVERIFY2(upWidget->findChild<QWidget*>(strName), qPrintable(strName));
    if (strClass == "NoDataWidget")
        QCOMPARE(upWidget->findChild<QLabel*>("m_pNoDataText")->text(), QString("NoData"));
}

void tst_SnapshotCards::cardSizes_data()
{
    QTest::addColumn<QSize>("sizeCard");
    QTest::addColumn<QString>("strLabels");
    QTest::newRow("190 high") << QSize(101, 190) << "89x66,89x112";
    QTest::newRow("100 high") << QSize(101, 100) << "89x34,89x58";
    QTest::newRow("1 high") << QSize(20, 1) << "8x0,8x0";
}

void tst_SnapshotCards::cardSizes()
{
    QFETCH(QSize, sizeCard);
    QFETCH(QString, strLabels);
    CLinkageCardWidget card;
    card.SetCardSize(sizeCard.width(), sizeCard.height());
    QCOMPARE(card.minimumSize(), sizeCard);
    QCOMPARE(card.maximumSize(), sizeCard);
    auto text = [](const QSize& s) { return QString("%1x%2").arg(s.width()).arg(s.height()); };
    auto* pFace = card.findChild<QLabel*>("m_pLabelFacePic");
    auto* pBody = card.findChild<QLabel*>("m_pLabelHumanPic");
    QCOMPARE(text(pFace->size()) + ',' + text(pBody->size()), strLabels);
    // The sizes pictures are decoded at are the sizes the labels take.
    QCOMPARE(CLinkageCardWidget::FaceLabelSize(sizeCard), pFace->size());
    QCOMPARE(CLinkageCardWidget::BodyLabelSize(sizeCard), pBody->size());
}

void tst_SnapshotCards::cardPicturesFillTheirLabels()
{
    CLinkageCardWidget card;
    card.SetCardSize(101, 190);
    QPixmap pixWide(400, 50);
    pixWide.fill(Qt::red);
    card.SetPictures(QPixmap(), pixWide);
    QVERIFY(card.findChild<QLabel*>("m_pLabelFacePic")->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(card.findChild<QLabel*>("m_pLabelHumanPic")->pixmap(Qt::ReturnByValue).size(), QSize(89, 112));
    card.SetPictures(pixWide, QPixmap());
    QCOMPARE(card.findChild<QLabel*>("m_pLabelFacePic")->pixmap(Qt::ReturnByValue).size(), QSize(89, 66));
    QVERIFY(card.findChild<QLabel*>("m_pLabelHumanPic")->pixmap(Qt::ReturnByValue).isNull());
}

void tst_SnapshotCards::cardRowOrderAndLimit_data()
{
    QTest::addColumn<bool>("bVertical");
    QTest::addColumn<int>("nAdded");
    QTest::addColumn<QString>("strFirstThree");
    QTest::addColumn<int>("nKept");
    QTest::newRow("row, three cards") << false << 3 << "3,2,1" << 3;
    QTest::newRow("column, three cards") << true << 3 << "3,2,1" << 3;
    QTest::newRow("row, fifty cards") << false << 50 << "50,49,48" << 50;
    QTest::newRow("row, fifty-one cards") << false << 51 << "51,50,49" << 50;
    QTest::newRow("column, a storm of 200") << true << 200 << "200,199,198" << 50;
}

void tst_SnapshotCards::cardRowOrderAndLimit()
{
    QFETCH(bool, bVertical);
    QFETCH(int, nAdded);
    QFETCH(QString, strFirstThree);
    QFETCH(int, nKept);
    CShowCardWidget cards;
    cards.resize(bVertical ? QSize(120, 12000) : QSize(12000, 200));
    cards.InitCardLayout(bVertical);
    cards.SetCardSpacing(0);
    QPointer<QWidget> pFirst;
    for (int n = 1; n <= nAdded; ++n) {
        QWidget* pCard = NamedCard(n);
        if (n == 1)
            pFirst = pCard;
        cards.AddCard(pCard);
    }
    QCOMPARE(cards.CardCount(), nKept);
    QCOMPARE(CardOrder(cards).section(',', 0, 2), strFirstThree);
    // Evicted cards are destroyed at once, not left to linger.
    QCOMPARE(pFirst.isNull(), nAdded > CShowCardWidget::kMaxCards);
    cards.ClearCards();
    QCOMPARE(cards.CardCount(), 0);
    QCOMPARE(cards.findChildren<QWidget*>().size(), 0);
}

void tst_SnapshotCards::layoutIsChosenOnce()
{
    CShowCardWidget cards;
    QWidget* pEarly = NamedCard(0);
    const QRegularExpression reNotPlaced("^pLayout && pCard is false at .*ShowCardWidget\\.cpp:\\d+$");
    QTest::ignoreMessage(QtWarningMsg, reNotPlaced);
    cards.AddCard(pEarly); // before the layout exists: not placed, and said where
    QCOMPARE(cards.CardCount(), 0);
    delete pEarly;
    cards.SetCardSpacing(7);
    QVERIFY(!cards.layout());
    cards.InitCardLayout(false);
    cards.InitCardLayout(true);
    QVERIFY(qobject_cast<QHBoxLayout*>(cards.layout()));
    QCOMPARE(static_cast<QBoxLayout*>(cards.layout())->direction(), QBoxLayout::RightToLeft);
    cards.SetCardSpacing(7);
    QCOMPARE(cards.layout()->spacing(), 7);
    QTest::ignoreMessage(QtWarningMsg, reNotPlaced);
    cards.AddCard(nullptr);
    QCOMPARE(cards.CardCount(), 0);
    QSignalSpy spyResize(&cards, &CShowCardWidget::signalResizeEvent);
    cards.resize(300, 300);
    cards.show();
    QCOMPARE(spyResize.count(), 1);
}

void tst_SnapshotCards::cardAreaStates_data()
{
    QTest::addColumn<QString>("strSteps");
    QTest::addColumn<QString>("strPage");
    QTest::addColumn<bool>("bMarkVisible");
    QTest::newRow("fresh") << ""
                           << "m_pPageNoData" << true;
    QTest::newRow("one card") << "add"
                              << "m_pPageShow" << false;
    QTest::newRow("cards cleared") << "add,add,clear"
                                   << "m_pPageNoData" << true;
    QTest::newRow("clear while empty") << "clear"
                                       << "m_pPageNoData" << true;
    QTest::newRow("cleared then a card") << "add,clear,add"
                                         << "m_pPageShow" << false;
}

void tst_SnapshotCards::cardAreaStates()
{
    QFETCH(QString, strSteps);
    QFETCH(QString, strPage);
    QFETCH(bool, bMarkVisible);
    QWidget window;
    auto* pArea = new CShowCardArea(&window);
    window.show(); // shown owner: the mark shows while the area is empty
    pArea->InitCardLayout(false);
    for (const QString& strStep : strSteps.split(',', Qt::SkipEmptyParts)) {
        if (strStep == "add")
            pArea->AddCard(NamedCard(1));
        else
            pArea->ClearCards();
    }
    QCOMPARE(PageOf(pArea), strPage);
    QCOMPARE(pArea->HasCards(), strPage == "m_pPageShow");
    QCOMPARE(CornerMark(pArea)->isVisible(), bMarkVisible);
}

void tst_SnapshotCards::scenePanelStates()
{
    QWidget window;
    auto* pPanel = new CShowPicWidget(&window);
    window.show();
    QCOMPARE(PageOf(pPanel), QString("m_pPageNoData"));
    QPixmap pix(330, 182);
    pix.fill(Qt::blue);
    pPanel->SetPicture(pix);
    QCOMPARE(PageOf(pPanel), QString("m_pPagePic"));
    auto* pLabel = pPanel->findChild<QLabel*>("m_pLabelPic");
    QCOMPARE(pLabel->pixmap(Qt::ReturnByValue).size(), pix.size()); // shown unscaled
    QVERIFY(!CornerMark(pPanel)->isVisible());
    pPanel->SetPicture(QPixmap()); // a null picture still counts as shown
    QCOMPARE(PageOf(pPanel), QString("m_pPagePic"));
    pPanel->ClearPicture();
    QCOMPARE(PageOf(pPanel), QString("m_pPageNoData"));
    QVERIFY(pLabel->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(CornerMark(pPanel)->isVisible());
}

void tst_SnapshotCards::cornerMarkFollowsResize()
{
    CShowCardArea area;
    QVERIFY(CornerMark(&area)->isHidden()); // owner hidden at construction
    area.resize(707, 329);
    area.show();
    QCOMPARE(CornerMark(&area)->geometry(), QRect(707 - 18, 329 - 18, 20, 20));
    CShowPicWidget panel;
    panel.resize(362, 246);
    panel.show();
    QCOMPARE(CornerMark(&panel)->geometry(), QRect(362 - 18, 246 - 18, 20, 20));
}

void tst_SnapshotCards::alarmTimeShowsTheDateWhenNotToday_data()
{
    QTest::addColumn<QDateTime>("dtAlarm");
    QTest::addColumn<QString>("strText");
    const QDateTime dtToday(QDate(2024, 5, 17), QTime(23, 59, 58));
    QTest::newRow("today") << dtToday << "23:59:58";
    QTest::newRow("today just after midnight") << QDateTime(QDate(2024, 5, 17), QTime(0, 0, 1)) << "00:00:01";
    QTest::newRow("yesterday") << dtToday.addDays(-1) << "2024-05-16 23:59:58";
    QTest::newRow("a year ago on the same day") << dtToday.addYears(-1) << "2023-05-17 23:59:58";
    QTest::newRow("tomorrow (a clock ahead)") << dtToday.addSecs(3) << "2024-05-18 00:00:01";
    QTest::newRow("given in UTC, shown in local time")
        << dtToday.toUTC() << "23:59:58"; // the same moment, converted back
    QTest::newRow("no time") << QDateTime() << "";
}

void tst_SnapshotCards::alarmTimeShowsTheDateWhenNotToday()
{
    QFETCH(QDateTime, dtAlarm);
    QFETCH(QString, strText);
    QCOMPARE(AlarmTimeText(dtAlarm, QDate(2024, 5, 17)), strText);
}

void tst_SnapshotCards::focusStaysInTheStrip_data()
{
    QTest::addColumn<QString>("strAction");
    QTest::addColumn<QString>("strFocusAndTabStop");
    QTest::newRow("a new card after a clear takes the focus") << "clear"
                                                              << "100,100";
    QTest::newRow("the focused oldest card makes room: its neighbour") << "evict"
                                                                       << "1,1";
    QTest::newRow("a focus outside stays, Tab enters at the newest") << "outside"
                                                                     << "other,100";
}

void tst_SnapshotCards::focusStaysInTheStrip()
{
    QFETCH(QString, strAction);
    QFETCH(QString, strFocusAndTabStop);
    QWidget top;
    auto* pArea = new CShowCardArea(&top);
    pArea->InitCardLayout(false);
    auto* pOther = new QLineEdit(&top);
    pOther->setObjectName("other");
    for (int i = 0; i < CShowCardWidget::kMaxCards; ++i)
        pArea->AddCard(NamedCard(i));
    top.show();
    QApplication::setActiveWindow(&top);
    QVERIFY(QTest::qWaitForWindowActive(&top));
    pArea->CardWidget()->CardAt(CShowCardWidget::kMaxCards - 1)->setFocus(); // the oldest, "0"
    if (strAction == "clear")
        pArea->ClearCards();
    if (strAction == "outside")
        pOther->setFocus();
    pArea->AddCard(NamedCard(100));
    QCOMPARE(QApplication::focusWidget()->objectName() + ',' + pArea->TabStopCard()->objectName(), strFocusAndTabStop);
}

QTEST_MAIN(tst_SnapshotCards)
#include "tst_snapshotcards.moc"
