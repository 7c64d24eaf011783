#include "sim/AlarmScene.h"

#include <QBuffer>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

namespace AlarmSim {
namespace {

constexpr double kHorizon = 0.45;    // sky above, pavement below
constexpr double kBodyAspect = 0.38; // body width / height
constexpr double kHeadShare = 0.16;  // head height / body height

const QColor kClothes[] = {QColor(40, 70, 140), QColor(150, 40, 40),  QColor(40, 110, 60),  QColor(200, 170, 60),
                           QColor(90, 90, 90),  QColor(120, 60, 140), QColor(230, 230, 230)};
const QColor kSkin[] = {QColor(241, 194, 125), QColor(224, 172, 105), QColor(198, 134, 66), QColor(141, 85, 36)};

void DrawBackground(QPainter& painter, const QSize& size, QRandomGenerator& random)
{
    const double dW = size.width();
    const double dH = size.height();
    QLinearGradient sky(0, 0, 0, dH * kHorizon);
    sky.setColorAt(0, QColor(110, 160, 215));
    sky.setColorAt(1, QColor(200, 220, 235));
    painter.fillRect(QRectF(0, 0, dW, dH * kHorizon), sky);
    // Buildings along the horizon, then the pavement with its joints.
    for (double dX = 0; dX < dW;) {
        const double dBuildingW = dW * (0.08 + random.bounded(0.12));
        const double dBuildingH = dH * (0.12 + random.bounded(0.25));
        painter.fillRect(QRectF(dX, dH * kHorizon - dBuildingH, dBuildingW, dBuildingH),
                         QColor::fromHsv(random.bounded(360), 30, 120 + random.bounded(80)));
        dX += dBuildingW + dW * 0.01;
    }
    QLinearGradient ground(0, dH * kHorizon, 0, dH);
    ground.setColorAt(0, QColor(150, 150, 145));
    ground.setColorAt(1, QColor(95, 95, 90));
    painter.fillRect(QRectF(0, dH * kHorizon, dW, dH * (1 - kHorizon)), ground);
    painter.setPen(QPen(QColor(80, 80, 78), qMax(1.0, dH / 540)));
    for (int i = 1; i < 8; ++i)
        painter.drawLine(QPointF(dW * i / 8.0, dH * kHorizon), QPointF(dW * (i / 8.0 - 0.5) * 3 + dW / 2, dH));
}

void DrawPerson(QPainter& painter, const QSize& size, const ScenePerson& person, QRandomGenerator& random)
{
    const QRectF rcBody(person.rcBody.x() * size.width(), person.rcBody.y() * size.height(),
                        person.rcBody.width() * size.width(), person.rcBody.height() * size.height());
    const QRectF rcFace(person.rcFace.x() * size.width(), person.rcFace.y() * size.height(),
                        person.rcFace.width() * size.width(), person.rcFace.height() * size.height());
    painter.setPen(Qt::NoPen);
    const QColor colorTop = kClothes[random.bounded(int(std::size(kClothes)))];
    const QColor colorLegs = kClothes[random.bounded(int(std::size(kClothes)))].darker(140);
    const double dTorsoTop = rcFace.bottom();
    const double dLegsTop = rcBody.top() + rcBody.height() * 0.58;
    painter.setBrush(colorLegs);
    painter.drawRect(
        QRectF(rcBody.left() + rcBody.width() * 0.18, dLegsTop, rcBody.width() * 0.28, rcBody.bottom() - dLegsTop));
    painter.drawRect(
        QRectF(rcBody.left() + rcBody.width() * 0.54, dLegsTop, rcBody.width() * 0.28, rcBody.bottom() - dLegsTop));
    painter.setBrush(colorTop);
    painter.drawRoundedRect(QRectF(rcBody.left(), dTorsoTop, rcBody.width(), dLegsTop - dTorsoTop + 1),
                            rcBody.width() * 0.2, rcBody.width() * 0.2);
    painter.setBrush(kSkin[random.bounded(int(std::size(kSkin)))]);
    painter.drawEllipse(rcFace);
    // Eyes, so that a face close-up reads as a face.
    painter.setBrush(QColor(30, 30, 30));
    const double dEye = rcFace.width() * 0.12;
    painter.drawEllipse(
        QRectF(rcFace.left() + rcFace.width() * 0.28, rcFace.top() + rcFace.height() * 0.38, dEye, dEye));
    painter.drawEllipse(
        QRectF(rcFace.left() + rcFace.width() * 0.60, rcFace.top() + rcFace.height() * 0.38, dEye, dEye));
}

} // namespace

std::vector<ScenePerson> PlacePeople(int nCount, double dHeight, quint32 uSeed)
{
    QRandomGenerator random(uSeed);
    std::vector<ScenePerson> vecPeople;
    const double dBodyW = dHeight * kBodyAspect * 9.0 / 16.0; // pictures are 16:9
    const double dSlot = 1.0 / qMax(1, nCount);
    for (int i = 0; i < nCount; ++i) {
        const double dX = dSlot * i + random.bounded(qMax(0.0001, dSlot - dBodyW));
        const double dY = qBound(
            0.0, kHorizon - dHeight * 0.1 + random.bounded(qMax(0.0001, 1 - kHorizon - dHeight * 0.9)), 1 - dHeight);
        ScenePerson person;
        person.rcBody = QRectF(qMin(dX, 1 - dBodyW), dY, dBodyW, dHeight);
        const double dHeadH = dHeight * kHeadShare;
        const double dHeadW = dHeadH * 9.0 / 16.0 * 0.85;
        person.rcFace = QRectF(person.rcBody.center().x() - dHeadW / 2, dY, dHeadW, dHeadH);
        vecPeople.push_back(person);
    }
    return vecPeople;
}

QImage RenderScene(const QSize& size, const std::vector<ScenePerson>& vecPeople, quint32 uSeed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(uSeed);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawBackground(painter, size, random);
    for (const ScenePerson& person : vecPeople)
        DrawPerson(painter, size, person, random);
    return image;
}

QByteArray EncodeJpeg(const QImage& image, int nQuality)
{
    QByteArray baData;
    QBuffer buffer(&baData);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(nQuality);
    writer.write(image);
    return baData;
}

QImage Cut(const QImage& image, const QRectF& rcFraction)
{
    const QRect rc(int(rcFraction.x() * image.width()), int(rcFraction.y() * image.height()),
                   qMax(1, int(rcFraction.width() * image.width())),
                   qMax(1, int(rcFraction.height() * image.height())));
    return image.copy(rc.intersected(image.rect()));
}

} // namespace AlarmSim
