// Runs on the xcb platform under a virtual X server: the video is drawn by
// the X server into the play window's native window.

#include "tests/playwindow/PlayWindowTestUtil.h"

#include "playwindow/PlayWindowLibrary.h"

#include "Vantrel/PreviewICamera.h"
#include "Vantrel/Vantrel.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QTest>

#include <memory>
#include <vector>

namespace {
constexpr int kWaitMs = 10000;
// Errors of the X connections come in through the event loop.
constexpr int kLateErrorWaitMs = 300;

QStringList g_lstXErrors;
QtMessageHandler g_fnPreviousHandler = nullptr;

void CollectXErrors(QtMsgType type, const QMessageLogContext& context, const QString& strMessage)
{
    if (strMessage.contains(QLatin1String("X error"), Qt::CaseInsensitive))
        g_lstXErrors << strMessage;
    g_fnPreviousHandler(type, context, strMessage);
}

// Distinct colours on a coarse grid of the picture.
int ColourCount(const QImage& image)
{
    QSet<QRgb> setColours;
    for (int y = 0; y < image.height(); y += 8)
        for (int x = 0; x < image.width(); x += 8)
            setColours.insert(image.pixel(x, y));
    return setColours.size();
}
} // namespace

class tst_PlayWindowXcb : public QObject
{
    Q_OBJECT
private slots:
    void playsIntoNativeWindow_data();
    void playsIntoNativeWindow();
    void survivesDestroyRightAfterStop_data();
    void survivesDestroyRightAfterStop();
};

void tst_PlayWindowXcb::playsIntoNativeWindow_data()
{
    QTest::addColumn<QString>("strUrl");
    QTest::addColumn<QSize>("sizePicture");
    QTest::newRow("test pattern") << "test:smpte" << QSize(640, 360);
    QTest::newRow("small moving ball") << "test:ball?size=320x240" << QSize(320, 240);
}

void tst_PlayWindowXcb::playsIntoNativeWindow()
{
    QFETCH(QString, strUrl);
    QFETCH(QSize, sizePicture);
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs the xcb platform");
    const CPlayWindowLibrary library(nullptr, nullptr);
    CTestLivePlugin plugin;
    plugin.AddCamera("cam-x", strUrl.toStdString(), "Yard");
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&plugin));
    upWindow->resize(402, 302);
    upWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(upWindow.get()));
    // The first paint makes no X windows of its own for the video and what lies over it.
    auto* pTitle = upWindow->findChild<QWidget*>("m_pTitleWidget");
    QVERIFY(pTitle && !pTitle->internalWinId() && !upWindow->GetVideoSurface()->internalWinId());
    QVERIFY(upWindow->StartLiveView("cam-x", 100, false));
    QTRY_VERIFY_WITH_TIMEOUT(upWindow->GetPreview()->IsPlaying(), kWaitMs);
    QVERIFY(upWindow->IsPreviewing());
    QVERIFY(upWindow->GetPreview()->IsNativeOverlay());
    QVERIFY(pTitle->internalWinId()); // above the video's window
    unsigned uWidth = 0, uHeight = 0;
    QVERIFY(upWindow->GetPreview()->GetPictureSize(uWidth, uHeight));
    QCOMPARE(QSize(int(uWidth), int(uHeight)), sizePicture);
    // The X server's picture of the surface shows the video, not a flat fill.
    QWidget* pSurface = upWindow->GetVideoSurface();
    QScreen* pScreen = QGuiApplication::primaryScreen();
    QTRY_VERIFY_WITH_TIMEOUT(ColourCount(pScreen->grabWindow(pSurface->winId()).toImage()) > 4, kWaitMs);
    upWindow->StopLiveView();
    upWindow.reset();
    QVERIFY(Vantrel::WaitForTeardowns(kWaitMs));
}

void tst_PlayWindowXcb::survivesDestroyRightAfterStop_data()
{
    QTest::addColumn<int>("nWindows");
    QTest::addColumn<bool>("bStopFirst");
    QTest::newRow("stopped, then destroyed") << 1 << true;
    QTest::newRow("destroyed while playing") << 1 << false;
    QTest::newRow("three stopped, then destroyed") << 3 << true;
}

// The X sink must never draw into a window that is gone: an X error there
// ends the process.
void tst_PlayWindowXcb::survivesDestroyRightAfterStop()
{
    QFETCH(int, nWindows);
    QFETCH(bool, bStopFirst);
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs the xcb platform");
    const CPlayWindowLibrary library(nullptr, nullptr);
    CTestLivePlugin plugin;
    plugin.AddCamera("cam-x", "test:ball", "Yard");
    std::vector<std::unique_ptr<CStreamPlayWindowWithTask>> vecWindows;
    for (int i = 0; i < nWindows; ++i) {
        vecWindows.emplace_back(NewPlayWindow(&plugin));
        vecWindows.back()->resize(322, 242);
        vecWindows.back()->show();
        QVERIFY(QTest::qWaitForWindowExposed(vecWindows.back().get()));
        QVERIFY(vecWindows.back()->StartLiveView("cam-x", 100, false));
    }
    QScreen* pScreen = QGuiApplication::primaryScreen();
    for (auto& upWindow : vecWindows)
        QTRY_VERIFY_WITH_TIMEOUT(ColourCount(pScreen->grabWindow(upWindow->GetVideoSurface()->winId()).toImage()) > 4,
                                 kWaitMs);
    g_lstXErrors.clear();
    g_fnPreviousHandler = qInstallMessageHandler(&CollectXErrors);
    for (auto& upWindow : vecWindows) {
        if (bStopFirst)
            upWindow->StopLiveView();
        upWindow.reset();
    }
    QVERIFY(Vantrel::WaitForTeardowns(kWaitMs));
    QTest::qWait(kLateErrorWaitMs);
    qInstallMessageHandler(g_fnPreviousHandler);
    QCOMPARE(g_lstXErrors, QStringList());
}

QTEST_MAIN(tst_PlayWindowXcb)
#include "tst_playwindowxcb.moc"
