#include "sim/AlarmFactory.h"

#include <QDateTime>

namespace AlarmSim {
namespace {

constexpr double kPersonHeight = 0.6; // close enough for a readable face

std::shared_ptr<protocol::PicBinary> Binary(const QByteArray& baJpeg)
{
    auto sp = std::make_shared<protocol::PicBinary>();
    sp->strData = baJpeg.toStdString();
    return sp;
}

protocol::PictureRect Rect(const QRectF& rc)
{
    return protocol::MakePictureRect(rc.x(), rc.y(), rc.width(), rc.height());
}

quorra::IntelAlarmEventInfo Event(const SimCamera& camera, int32_t nType, const std::string& strUid)
{
    quorra::IntelAlarmEventInfo info;
    info.AlarmSourceID = camera.strSourceID;
    info.AlarmSourceName = camera.strName;
    info.AlarmType = nType;
    info.AlarmTime = QDateTime::currentMSecsSinceEpoch();
    info.IntelAlarmInfo.LinkageUid = strUid;
    return info;
}

} // namespace

CAlarmFactory::CAlarmFactory(const QSize& sizePicture, int nPersons)
    : m_nPersons(qMax(0, nPersons))
{
    for (int v = 0; v < kVariants; ++v) {
        const quint32 uSeed = 1000u + static_cast<quint32>(v);
        Variant variant;
        // The panoramic channel and its linked channels watch one street: the
        // scene is the linked cameras' background too, so the persons'
        // rectangles mark them in the scene picture as well.
        variant.vecPeople = PlacePeople(m_nPersons, kPersonHeight, uSeed + 7);
        const QImage imgLinked = RenderScene(sizePicture, variant.vecPeople, uSeed + 7);
        variant.spLinkedBk = Binary(EncodeJpeg(imgLinked));
        variant.spScene = variant.spLinkedBk;
        for (const ScenePerson& person : variant.vecPeople) {
            variant.vecBodies.push_back(Binary(EncodeJpeg(Cut(imgLinked, person.rcBody))));
            variant.vecFaces.push_back(Binary(EncodeJpeg(Cut(imgLinked, person.rcFace))));
        }
        m_vecVariants.push_back(std::move(variant));
    }
}

quorra::IntelAlarmEventInfo CAlarmFactory::Panoramic(const SimCamera& camera, const std::string& strUid,
                                                     int nVariant) const
{
    quorra::IntelAlarmEventInfo info = Event(camera, quorra::AlarmTypePanoramicSmart, strUid);
    info.IntelAlarmInfo.VCASmart.bkPic.pPicBinary = m_vecVariants[size_t(nVariant) % kVariants].spScene;
    return info;
}

quorra::IntelAlarmEventInfo CAlarmFactory::Linkage(const SimCamera& camera, const std::string& strUid,
                                                   int nVariant) const
{
    const Variant& variant = m_vecVariants[size_t(nVariant) % kVariants];
    quorra::IntelAlarmEventInfo info = Event(camera, quorra::AlarmTypeLinkageChannel, strUid);
    auto& alarm = info.IntelAlarmInfo;
    for (size_t i = 0; i < variant.vecPeople.size(); ++i) {
        const ScenePerson& person = variant.vecPeople[i];
        protocol::IntelAlarmHumanInfo human;
        human.bkPic.pPicBinary = variant.spLinkedBk;
        human.SubPic.PictureRectList.push_back(Rect(person.rcBody));
        switch (i % 3) {
        case 0: // the body close-up comes along
            human.SubPic.pPicBinary = variant.vecBodies[i];
            break;
        case 1: // only the rectangle in the background
            break;
        default: // the face is cut from the same background
            human.FaceFromSamePic = true;
            human.SubPic.PictureRectList.push_back(Rect(person.rcFace));
            human.SubPic.PictureRectList.push_back(Rect(person.rcBody.adjusted(0, 0, 0, -person.rcBody.height() / 2)));
            break;
        }
        alarm.IntelAlarmHumanInfoList.push_back(human);
    }
    if (!variant.vecPeople.empty()) {
        protocol::IntelAlarmFaceInfo face;
        face.SubPic.pPicBinary = variant.vecFaces.front();
        face.bkPic.pPicBinary = variant.spLinkedBk;
        face.SubPic.PictureRectList.push_back(Rect(variant.vecPeople.front().rcFace));
        alarm.IntelAlarmFaceInfoList.push_back(face);
    }
    return info;
}

} // namespace AlarmSim
