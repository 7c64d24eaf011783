#include "alarmview/AlarmDisplayQueue.h"
#include "alarmview/AlarmPictureDecoder.h"
#include "alarmview/LinkageSnapAlarmDlg.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(protocol::PictureRect)

using namespace LinkageSnapAlarm;

namespace {

QString Text(const QRect& rc)
{
    return rc.isNull() ? QString("empty")
                       : QString("%1,%2 %3x%4").arg(rc.x()).arg(rc.y()).arg(rc.width()).arg(rc.height());
}

QString Text(const QSize& size)
{
    return size.isValid() ? QString("%1x%2").arg(size.width()).arg(size.height()) : QString("refused");
}

// Left half red, right half blue, so a cut tells where it came from.
std::string Picture(const QSize& size, const char* szFormat = "JPEG", bool bProgressive = false)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    painter.fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), Qt::blue);
    painter.end();
    QByteArray ba;
    QBuffer buffer(&ba);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, szFormat);
    writer.setProgressiveScanWrite(bProgressive);
    writer.write(image);
    return ba.toStdString();
}

// Lossless: nearly every pixel different, so that a cut from the wrong place
// or scale shows. Lossy: smooth gradients that survive any decoding scale.
std::string Textured(const QSize& size, const char* szFormat)
{
    const bool bLossless = qstrcmp(szFormat, "PNG") == 0;
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           bLossless ? qRgb(x * 7 % 256, y * 5 % 256, (x * y) % 256)
                                     : qRgb(x * 255 / size.width(), y * 255 / size.height(), 128));
    QByteArray ba;
    QBuffer buffer(&ba);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, szFormat).write(image);
    return ba.toStdString();
}

// Person i of n: a body and its face, spread over the picture.
std::vector<AlarmPicture::CutRequest> PersonCuts(int nPersons, const QSize& sizeBody, const QSize& sizeFace)
{
    std::vector<AlarmPicture::CutRequest> vecCuts;
    for (int i = 0; i < nPersons; ++i) {
        const double dX = 0.02 + 0.8 * i / nPersons;
        const double dY = 0.1 + 0.3 * (i % 3) / 3;
        vecCuts.push_back({protocol::MakePictureRect(dX, dY, 0.12, 0.5), sizeBody});
        vecCuts.push_back({protocol::MakePictureRect(dX + 0.03, dY, 0.05, 0.08), sizeFace});
    }
    return vecCuts;
}

// A small JPEG whose frame header claims the given size.
std::string ClaimingSize(int nWidth, int nHeight, bool bProgressive = false)
{
    std::string str = Picture(QSize(16, 16), "JPEG", bProgressive);
    const size_t nSof = str.find(bProgressive ? "\xFF\xC2" : "\xFF\xC0");
    str[nSof + 5] = static_cast<char>(nHeight >> 8);
    str[nSof + 6] = static_cast<char>(nHeight & 0xFF);
    str[nSof + 7] = static_cast<char>(nWidth >> 8);
    str[nSof + 8] = static_cast<char>(nWidth & 0xFF);
    return str;
}

} // namespace

class tst_AlarmPictureDecoder : public QObject
{
    Q_OBJECT
private slots:
    void displayCut_data();
    void displayCut();
    void headerCheck_data();
    void headerCheck();
    void decodedSizes_data();
    void decodedSizes();
    void cutShowsTheTarget();
    void decodeOnceMatchesEachCut_data();
    void decodeOnceMatchesEachCut();
    void alarmShownOverTurnsCountsOnce();
};

void tst_AlarmPictureDecoder::displayCut_data()
{
    const double dNaN = std::numeric_limits<double>::quiet_NaN();
    const double dInf = std::numeric_limits<double>::infinity();
    QTest::addColumn<QSize>("sizeImage");
    QTest::addColumn<protocol::PictureRect>("rect");
    QTest::addColumn<QString>("strCut");
    const QSize size1080(1920, 1080);
    QTest::newRow("centre target") << size1080 << protocol::MakePictureRect(0.5, 0.5, 0.1, 0.2) << "912,496 256x288";
    QTest::newRow("top left corner") << size1080 << protocol::MakePictureRect(0, 0, 0.1, 0.1) << "0,0 256x144";
    QTest::newRow("clipped at the right and bottom")
        << size1080 << protocol::MakePictureRect(0.9, 0.9, 0.1, 0.1) << "1680,944 240x136";
    QTest::newRow("reaches past the right edge")
        << size1080 << protocol::MakePictureRect(0.95, 0.5, 0.1, 0.1) << "0,0 1920x1080";
    QTest::newRow("negative end") << size1080 << protocol::MakePictureRect(-0.5, 0.2, 0.1, 0.1) << "0,0 1920x1080";
    QTest::newRow("negative corner, end inside")
        << size1080 << protocol::MakePictureRect(-0.05, 0.1, 0.15, 0.1) << "0,80 400x144";
    QTest::newRow("negative width") << size1080 << protocol::MakePictureRect(0.5, 0.5, -0.1, 0.1) << "empty";
    QTest::newRow("tiny target") << size1080 << protocol::MakePictureRect(0.5, 0.5, 0.001, 0.001) << "empty";
    QTest::newRow("zero rectangle") << size1080 << protocol::MakePictureRect(0, 0, 0, 0) << "empty";
    QTest::newRow("NaN") << size1080 << protocol::MakePictureRect(dNaN, 0.1, 0.1, 0.1) << "0,0 1920x1080";
    QTest::newRow("infinite pair summing to NaN")
        << size1080 << protocol::MakePictureRect(-dInf, 0.1, dInf, 0.1) << "0,0 1920x1080";
    QTest::newRow("huge pair inside by sum")
        << size1080 << protocol::MakePictureRect(-1e9, 0.1, 1e9 + 0.5, 0.1) << "0,0 1920x1080";
    QTest::newRow("4K centre target") << QSize(3840, 2160) << protocol::MakePictureRect(0.5, 0.5, 0.1, 0.2)
                                      << "1840,992 528x592";
}

void tst_AlarmPictureDecoder::displayCut()
{
    QFETCH(QSize, sizeImage);
    QFETCH(protocol::PictureRect, rect);
    QFETCH(QString, strCut);
    QCOMPARE(Text(AlarmPicture::DisplayCut(sizeImage, rect)), strCut);
    // The dialog's cut of a decoded picture is the same rectangle.
    const QImage image(sizeImage, QImage::Format_RGB32);
    const QImage cut = CLinkageSnapAlarmDlg::CropPictureByRect(image, rect);
    QCOMPARE(cut.isNull() ? QString("empty") : Text(cut.size()), strCut == "empty" ? strCut : strCut.section(' ', 1));
}

void tst_AlarmPictureDecoder::headerCheck_data()
{
    QTest::addColumn<QByteArray>("baBytes");
    QTest::addColumn<QString>("strSize");
    const std::string strJpeg = Picture(QSize(640, 360));
    QTest::newRow("JPEG") << QByteArray::fromStdString(strJpeg) << "640x360";
    QTest::newRow("PNG") << QByteArray::fromStdString(Picture(QSize(200, 100), "PNG")) << "200x100";
    QTest::newRow("zero-padded JPEG") << QByteArray::fromStdString(strJpeg + std::string(8, '\0')) << "640x360";
    QTest::newRow("empty") << QByteArray() << "refused";
    QTest::newRow("text") << QByteArray("hello, not a picture") << "refused";
    QTest::newRow("cut-short JPEG") << QByteArray::fromStdString(strJpeg.substr(0, strJpeg.size() / 2)) << "refused";
    QTest::newRow("header only") << QByteArray::fromStdString(strJpeg.substr(0, 200)) << "refused";
    QTest::newRow("claims 60000 x 60000") << QByteArray::fromStdString(ClaimingSize(60000, 60000)) << "refused";
    QTest::newRow("claims 10001 x 10000") << QByteArray::fromStdString(ClaimingSize(10001, 10000)) << "refused";
    // Decoded on the GUI thread: 8K UHD at most, a progressive picture 4K UHD.
    QTest::newRow("claims just over 8K UHD") << QByteArray::fromStdString(ClaimingSize(7681, 4320)) << "refused";
    QTest::newRow("progressive") << QByteArray::fromStdString(Picture(QSize(640, 360), "JPEG", true)) << "640x360";
    QTest::newRow("progressive, claims just over 4K UHD")
        << QByteArray::fromStdString(ClaimingSize(3841, 2160, true)) << "refused";
}

void tst_AlarmPictureDecoder::headerCheck()
{
    QFETCH(QByteArray, baBytes);
    QFETCH(QString, strSize);
    const std::string strBytes = baBytes.toStdString();
    QCOMPARE(Text(AlarmPicture::HeaderSize(strBytes)), strSize);
    // Refused bytes decode to nothing, whatever is asked of them.
    const bool bRefused = strSize == "refused";
    QCOMPARE(AlarmPicture::DecodeScaled(strBytes, QSize(100, 50)).isNull(), bRefused);
    QCOMPARE(AlarmPicture::DecodeFitted(strBytes, QSize(100, 50)).isNull(), bRefused);
    QCOMPARE(AlarmPicture::DecodeCut(strBytes, protocol::MakePictureRect(0.2, 0.2, 0.5, 0.5), QSize(100, 50)).isNull(),
             bRefused);
}

void tst_AlarmPictureDecoder::decodedSizes_data()
{
    QTest::addColumn<QString>("strHow");
    QTest::addColumn<QSize>("sizePicture");
    QTest::addColumn<QSize>("sizeShown");
    QTest::addColumn<QSize>("sizeDecoded");
    QTest::newRow("scene at its panel size") << "scaled" << QSize(3840, 2160) << QSize(330, 182) << QSize(330, 182);
    QTest::newRow("scene into a larger panel") << "scaled" << QSize(320, 180) << QSize(660, 364) << QSize(660, 364);
    QTest::newRow("scene into no panel") << "scaled" << QSize(320, 180) << QSize(0, 0) << QSize();
    QTest::newRow("close-up larger than its label") << "fitted" << QSize(400, 800) << QSize(89, 112) << QSize(89, 112);
    QTest::newRow("close-up smaller than its label") << "fitted" << QSize(60, 90) << QSize(89, 112) << QSize(60, 90);
    QTest::newRow("cut larger than its label") << "cut" << QSize(1920, 1080) << QSize(89, 112) << QSize(89, 112);
    QTest::newRow("cut smaller than its label") << "cut" << QSize(384, 216) << QSize(89, 112) << QSize(48, 48);
}

void tst_AlarmPictureDecoder::decodedSizes()
{
    QFETCH(QString, strHow);
    QFETCH(QSize, sizePicture);
    QFETCH(QSize, sizeShown);
    QFETCH(QSize, sizeDecoded);
    const std::string strBytes = Picture(sizePicture);
    QImage image;
    if (strHow == "scaled")
        image = AlarmPicture::DecodeScaled(strBytes, sizeShown);
    else if (strHow == "fitted")
        image = AlarmPicture::DecodeFitted(strBytes, sizeShown);
    else
        image = AlarmPicture::DecodeCut(strBytes, protocol::MakePictureRect(0.5, 0.5, 0.1, 0.2), sizeShown);
    QCOMPARE(image.size(), sizeDecoded.isValid() ? sizeDecoded : QSize(0, 0));
}

void tst_AlarmPictureDecoder::cutShowsTheTarget()
{
    // Targets well inside the red (left) and blue (right) halves.
    const std::string strBytes = Picture(QSize(1920, 1080));
    const QImage imgLeft =
        AlarmPicture::DecodeCut(strBytes, protocol::MakePictureRect(0.1, 0.3, 0.1, 0.2), QSize(89, 112));
    const QImage imgRight =
        AlarmPicture::DecodeCut(strBytes, protocol::MakePictureRect(0.7, 0.3, 0.1, 0.2), QSize(89, 112));
    QCOMPARE(imgLeft.size(), QSize(89, 112));
    QVERIFY(qRed(imgLeft.pixel(44, 56)) > 200 && qBlue(imgLeft.pixel(44, 56)) < 60);
    QVERIFY(qBlue(imgRight.pixel(44, 56)) > 200 && qRed(imgRight.pixel(44, 56)) < 60);
}

void tst_AlarmPictureDecoder::decodeOnceMatchesEachCut_data()
{
    QTest::addColumn<QByteArray>("baFormat");
    QTest::addColumn<QSize>("sizePicture");
    QTest::addColumn<int>("nPersons");
    for (const int nPersons : {1, 3, 10, 30})
        QTest::addRow("PNG, %d persons", nPersons) << QByteArray("PNG") << QSize(960, 540) << nPersons;
    QTest::newRow("PNG, cuts smaller than their labels") << QByteArray("PNG") << QSize(320, 180) << 3;
    QTest::newRow("JPEG 1080p, 3 persons") << QByteArray("JPEG") << QSize(1920, 1080) << 3;
    QTest::newRow("JPEG 4K, 30 persons") << QByteArray("JPEG") << QSize(3840, 2160) << 30;
}

void tst_AlarmPictureDecoder::decodeOnceMatchesEachCut()
{
    QFETCH(QByteArray, baFormat);
    QFETCH(QSize, sizePicture);
    QFETCH(int, nPersons);
    const std::string strBytes = Textured(sizePicture, baFormat.constData());
    const auto vecCuts = PersonCuts(nPersons, QSize(89, 112), QSize(89, 66));
    const std::vector<QImage> vecOnce = AlarmPicture::DecodeCuts(strBytes, vecCuts);
    QCOMPARE(vecOnce.size(), vecCuts.size());
    for (size_t i = 0; i < vecCuts.size(); ++i) {
        const QImage imgEach = AlarmPicture::DecodeCut(strBytes, vecCuts[i].rect, vecCuts[i].sizeShown);
        QCOMPARE(vecOnce[i].size(), imgEach.size());
        if (baFormat == "PNG") {
            QCOMPARE(vecOnce[i], imgEach); // lossless: the very same pixels
            continue;
        }
        // Lossy pictures decode at another scale: the same place, close in colour.
        const QPoint ptMid(imgEach.width() / 2, imgEach.height() / 2);
        QVERIFY(qAbs(qRed(vecOnce[i].pixel(ptMid)) - qRed(imgEach.pixel(ptMid))) < 8);
        QVERIFY(qAbs(qGreen(vecOnce[i].pixel(ptMid)) - qGreen(imgEach.pixel(ptMid))) < 8);
    }
}

void tst_AlarmPictureDecoder::alarmShownOverTurnsCountsOnce()
{
    auto spBytes = std::make_shared<protocol::PicBinary>();
    spBytes->strData = Picture(QSize(64, 64));
    CAlarmDisplayQueue queue(50);
    queue.SetScene(CardPicture{spBytes, std::nullopt}, 1);
    for (int i = 0; i < 3; ++i)
        queue.AddCard(
            {CardPicture{spBytes, std::nullopt}, CardPicture{spBytes, std::nullopt}, QSize(101, 160), 2, nullptr});
    QCOMPARE(queue.HoldsOnly(2), false); // the scene is alarm 1's
    QString strTurns;
    while (!queue.IsEmpty()) {
        const auto decoded = queue.TakeDecoded(QSize(330, 182), 2);
        strTurns += QString("%1 cards, %2 new alarms; ").arg(decoded.vecCards.size()).arg(decoded.nAlarmsShown);
    }
    QCOMPARE(strTurns, QString("2 cards, 2 new alarms; 1 cards, 0 new alarms; "));
}

QTEST_MAIN(tst_AlarmPictureDecoder)
#include "tst_alarmpicturedecoder.moc"
