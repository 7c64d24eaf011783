#include "playwindow/LiveViewWndTitle.h"

#include "Fendra/Singleton.h"
#include "Kelmot/ConfigMgr.h"
#include "TesselGUIToolkit/Label.h"

#include <QtTest>

using Vantrel::StreamInfo;
Q_DECLARE_METATYPE(StreamInfo)

namespace {
QString LineOf(const CLiveViewWndTitle& title)
{
    return title.findChild<QLabel*>("m_pAnalyzeResultLabel")->text();
}
} // namespace

class tst_LiveViewWndTitle : public QObject
{
    Q_OBJECT
private slots:
    void streamLine_data();
    void streamLine();
    void frameRateIsKeptOverZero_data();
    void frameRateIsKeptOverZero();
    void labelDirectionFollowsLanguage_data();
    void labelDirectionFollowsLanguage();
    void barHasItsPartsAndClears();
    void elidedLineKeepsFullTextAsTip();
};

void tst_LiveViewWndTitle::streamLine_data()
{
    QTest::addColumn<StreamInfo>("info");
    QTest::addColumn<bool>("withName");
    QTest::addColumn<int>("streamType");
    QTest::addColumn<QString>("line");
    QTest::newRow("main stream at 600000 bytes per second")
        << StreamInfo{1920, 1080, 600000, 25, 0} << false << 0 << "4800.00kbps, 1920*1080, 25fps";
    QTest::newRow("sub-stream, one frame per two seconds")
        << StreamInfo{704, 576, 131, 2, 1} << true << 1 << "Sub-stream(1.04kbps, 704*576, 1/2fps)";
    QTest::newRow("1000 bit/s stays in bps")
        << StreamInfo{640, 480, 125, 5, 0} << false << 0 << "1000bps, 640*480, 5fps";
    QTest::newRow("first rate above 1000 bit/s")
        << StreamInfo{640, 480, 126, 5, 0} << false << 0 << "1.00kbps, 640*480, 5fps";
    QTest::newRow("hundredths below ten get a leading zero")
        << StreamInfo{640, 480, 135, 5, 0} << false << 0 << "1.08kbps, 640*480, 5fps";
    QTest::newRow("no statistics yet") << StreamInfo{} << false << 0 << "0bps, 0*0, fps";
    QTest::newRow("rate beyond 32 bits of bits")
        << StreamInfo{3840, 2160, 600000000, 30, 0} << false << 0 << "4800000.00kbps, 3840*2160, 30fps";
    QTest::newRow("type 6 has no name") << StreamInfo{352, 288, 1000, 25, 0} << true << 6
                                        << "(8.00kbps, 352*288, 25fps)";
    QTest::newRow("unknown type has no name")
        << StreamInfo{352, 288, 1000, 25, 0} << true << 42 << "(8.00kbps, 352*288, 25fps)";
    QTest::newRow("negative type has no name")
        << StreamInfo{352, 288, 1000, 25, 0} << true << -1 << "(8.00kbps, 352*288, 25fps)";
    QTest::newRow("main stream by name") << StreamInfo{
        352, 288, 1000, 25,
        0} << true << 0 << "Tessel_Client.3f0fe9311dfe46ff9ea7f16dab6eef2a.name(8.00kbps, 352*288, 25fps)";
    QTest::newRow("tenth stream by name")
        << StreamInfo{352, 288, 1000, 25, 0} << true << 10 << "TenthStream(8.00kbps, 352*288, 25fps)";
    QTest::newRow("type ignored without name")
        << StreamInfo{352, 288, 1000, 25, 0} << false << 1 << "8.00kbps, 352*288, 25fps";
}

void tst_LiveViewWndTitle::streamLine()
{
    QFETCH(StreamInfo, info);
    QFETCH(bool, withName);
    QFETCH(int, streamType);
    QFETCH(QString, line);
    CLiveViewWndTitle title;
    title.ShowStreamInfo(info, withName, streamType);
    QCOMPARE(LineOf(title), line);
}

void tst_LiveViewWndTitle::frameRateIsKeptOverZero_data()
{
    QTest::addColumn<StreamInfo>("first");
    QTest::addColumn<StreamInfo>("second");
    QTest::addColumn<QString>("line");
    QTest::newRow("zero after 25 keeps 25")
        << StreamInfo{1280, 720, 1000, 25, 0} << StreamInfo{1280, 720, 2000, 0, 0} << "16.00kbps, 1280*720, 25fps";
    QTest::newRow("zero after a fraction keeps the fraction")
        << StreamInfo{1280, 720, 1000, 4, 1} << StreamInfo{1280, 720, 1000, 0, 1} << "8.00kbps, 1280*720, 1/4fps";
    QTest::newRow("a new rate replaces the kept one")
        << StreamInfo{1280, 720, 1000, 4, 1} << StreamInfo{1280, 720, 1000, 12, 0} << "8.00kbps, 1280*720, 12fps";
}

void tst_LiveViewWndTitle::frameRateIsKeptOverZero()
{
    QFETCH(StreamInfo, first);
    QFETCH(StreamInfo, second);
    QFETCH(QString, line);
    CLiveViewWndTitle title;
    title.ShowStreamInfo(first, false, 0);
    title.ShowStreamInfo(second, false, 0);
    QCOMPARE(LineOf(title), line);
}

void tst_LiveViewWndTitle::labelDirectionFollowsLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("direction");
    QTest::newRow("language 34 runs right to left") << 34 << int(Qt::RightToLeft);
    QTest::newRow("language 13 runs right to left") << 13 << int(Qt::RightToLeft);
    QTest::newRow("language 1 runs left to right") << 1 << int(Qt::LeftToRight);
    QTest::newRow("language 0 runs left to right") << 0 << int(Qt::LeftToRight);
}

void tst_LiveViewWndTitle::labelDirectionFollowsLanguage()
{
    QFETCH(int, language);
    QFETCH(int, direction);
    auto& config = Fendra::CSingleton<Kelmot::CConfigMgr>::Instance();
    config.SetSetting(Kelmot::CConfigMgr::LanguageType, language);
    CLiveViewWndTitle title;
    config.SetSetting(Kelmot::CConfigMgr::LanguageType, 1);
    for (const char* name : {"m_pWndLabel", "m_pDetailLabel", "m_pAnalyzeResultLabel"})
        QCOMPARE(int(title.findChild<QLabel*>(name)->layoutDirection()), direction);
    QCOMPARE(title.layoutDirection(), Qt::LeftToRight);
}

void tst_LiveViewWndTitle::barHasItsPartsAndClears()
{
    CLiveViewWndTitle title;
    QVERIFY(!title.IsOpenWidgetMoveEnable());
    QCOMPARE(title.minimumHeight(), 32);
    QCOMPARE(title.maximumHeight(), 32);
    auto* pWnd = title.findChild<TesselGUIToolkit::CLabel*>("m_pWndLabel");
    auto* pDetail = title.findChild<TesselGUIToolkit::CLabel*>("m_pDetailLabel");
    auto* pLine = title.findChild<TesselGUIToolkit::CLabel*>("m_pAnalyzeResultLabel");
    QVERIFY(pWnd && pDetail && pLine);
    title.resize(400, 32);
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));
    title.SetTitleText("<b>Gate 1</b>");
    pDetail->setText("detail");
    title.ShowStreamInfo(StreamInfo{1920, 1080, 600000, 25, 0}, false, 0);
    QCOMPARE(pWnd->textFormat(), Qt::PlainText);
    // Name left of the stream line, both inside the 4-pixel margins.
    QVERIFY(pWnd->geometry().right() < pLine->geometry().left());
    QCOMPARE(pWnd->geometry().left(), 4);
    QCOMPARE(pLine->geometry().right(), 400 - 4 - 1);
    title.SetStreamInfoVisible(false);
    QVERIFY(pLine->isHidden());
    title.SetStreamInfoVisible(true);
    QVERIFY(!pLine->isHidden());
    title.ClearTitle();
    QVERIFY(pWnd->text().isEmpty() && pDetail->text().isEmpty() && pLine->text().isEmpty());
}

void tst_LiveViewWndTitle::elidedLineKeepsFullTextAsTip()
{
    CLiveViewWndTitle title;
    title.SetTitleText("Gate");
    title.SetElideStreamInfo(true);
    title.resize(200, 32);
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));
    title.ShowStreamInfo(StreamInfo{1920, 1080, 600000, 25, 0}, true, 1);
    auto* pLine = title.findChild<QLabel*>("m_pAnalyzeResultLabel");
    QCOMPARE(pLine->toolTip(), QString("Sub-stream(4800.00kbps, 1920*1080, 25fps)"));
    QVERIFY(pLine->width() > 1);
    QVERIFY(pLine->text().endsWith(QChar(0x2026)));
    QTRY_VERIFY(QFontMetrics(title.font()).horizontalAdvance(pLine->text()) <= pLine->width());
    // Room again: the whole line comes back, and stays when the stream updates.
    title.resize(600, 32);
    QCOMPARE(pLine->text(), QString("Sub-stream(4800.00kbps, 1920*1080, 25fps)"));
    title.ShowStreamInfo(StreamInfo{1920, 1080, 600000, 25, 0}, true, 1);
    QTRY_VERIFY(QFontMetrics(title.font()).horizontalAdvance(pLine->text()) <= pLine->width());
    QCOMPARE(pLine->text(), QString("Sub-stream(4800.00kbps, 1920*1080, 25fps)"));
    QVERIFY(pLine->geometry().left() > title.findChild<QLabel*>("m_pWndLabel")->geometry().right());
}

QTEST_MAIN(tst_LiveViewWndTitle)
#include "tst_liveviewwndtitle.moc"
