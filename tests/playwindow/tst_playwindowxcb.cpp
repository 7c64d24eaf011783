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

namespace {
constexpr int kWaitMs = 10000;

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
    QVERIFY(upWindow->StartLiveView("cam-x", 100, false));
    QTRY_VERIFY_WITH_TIMEOUT(upWindow->GetPreview()->IsPlaying(), kWaitMs);
    QVERIFY(upWindow->IsPreviewing());
    QVERIFY(upWindow->GetPreview()->IsNativeOverlay());
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

QTEST_MAIN(tst_PlayWindowXcb)
#include "tst_playwindowxcb.moc"
