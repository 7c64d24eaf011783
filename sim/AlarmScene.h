#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>

#include <vector>

// Pictures of the alarm simulator, drawn with Qt: a street scene with people.
namespace AlarmSim {

// One person in a picture, in fractions of the picture's width and height.
struct ScenePerson
{
    QRectF rcBody;
    QRectF rcFace;
};

// nCount people of the given height (a fraction of the picture) spread over
// the picture from a seed, so that every variant looks different.
std::vector<ScenePerson> PlacePeople(int nCount, double dHeight, quint32 uSeed);

// The scene with the people standing in it.
QImage RenderScene(const QSize& size, const std::vector<ScenePerson>& vecPeople, quint32 uSeed);

QByteArray EncodeJpeg(const QImage& image, int nQuality = 85);

// The part of the picture a rectangle in fractions covers.
QImage Cut(const QImage& image, const QRectF& rcFraction);

} // namespace AlarmSim
