#include "analytics/AnalyticsAlarms.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <QImageWriter>
#include <QUuid>

namespace Analytics {
namespace {

constexpr int kJpegQuality = 85;
// Close-ups take a little of the surroundings.
constexpr double kCloseUpMargin = 0.1;

std::shared_ptr<protocol::PicBinary> Jpeg(const cv::Mat& matImage)
{
    // Qt's JPEG writer, so that the host does not load OpenCV's codecs and all
    // the image libraries they bring at start.
    auto sp = std::make_shared<protocol::PicBinary>();
    if (matImage.empty() || matImage.depth() != CV_8U || (matImage.channels() != 3 && matImage.channels() != 1))
        return sp;
    const QImage image(matImage.data, matImage.cols, matImage.rows, static_cast<int>(matImage.step),
                       matImage.channels() == 3 ? QImage::Format_BGR888 : QImage::Format_Grayscale8);
    QByteArray baJpeg;
    QBuffer buffer(&baJpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(kJpegQuality);
    if (writer.write(image))
        sp->strData.assign(baJpeg.constData(), static_cast<size_t>(baJpeg.size()));
    return sp;
}

// A box as fractions of the picture, as alarm records carry them.
protocol::PictureRect Fraction(const cv::Rect& rc, const cv::Size& size)
{
    return protocol::MakePictureRect(double(rc.x) / size.width, double(rc.y) / size.height,
                                     double(rc.width) / size.width, double(rc.height) / size.height);
}

cv::Rect Widened(const cv::Rect& rc, const cv::Size& size)
{
    const int dx = cvRound(rc.width * kCloseUpMargin), dy = cvRound(rc.height * kCloseUpMargin);
    return cv::Rect(rc.x - dx, rc.y - dy, rc.width + 2 * dx, rc.height + 2 * dy) & cv::Rect(cv::Point(), size);
}

quorra::IntelAlarmEventInfo Event(const AnalyticsCamera& camera, int32_t nType, const std::string& strUid)
{
    quorra::IntelAlarmEventInfo info;
    info.AlarmID = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    info.AlarmSourceID = camera.strAlarmSource;
    info.AlarmSourceName = camera.strName;
    info.AlarmType = nType;
    info.AlarmTime = QDateTime::currentMSecsSinceEpoch();
    info.AlarmDescription = nType == quorra::AlarmTypeLinkageChannel ? "person" : "persons in the scene";
    info.IntelAlarmInfo.LinkageUid = strUid;
    return info;
}

} // namespace

quorra::IntelAlarmEventInfo MakePanoramicAlarm(const AnalyticsCamera& camera, const std::string& strUid,
                                               const cv::Mat& matFrame, const std::vector<cv::Rect>& vecBodies)
{
    quorra::IntelAlarmEventInfo info = Event(camera, quorra::AlarmTypePanoramicSmart, strUid);
    protocol::AlarmPictureInfo& picture = info.IntelAlarmInfo.VCASmart.bkPic;
    picture.pPicBinary = Jpeg(matFrame);
    for (const cv::Rect& rc : vecBodies)
        picture.PictureRectList.push_back(Fraction(rc, matFrame.size()));
    return info;
}

quorra::IntelAlarmEventInfo MakeLinkageAlarm(const AnalyticsCamera& camera, const std::string& strUid,
                                             const cv::Mat& matFrame, const Detection& person)
{
    quorra::IntelAlarmEventInfo info = Event(camera, quorra::AlarmTypeLinkageChannel, strUid);
    const cv::Size size = matFrame.size();
    const cv::Rect rcBody = person.rcBody & cv::Rect(cv::Point(), size);
    protocol::IntelAlarmHumanInfo human;
    human.bkPic.pPicBinary = Jpeg(matFrame);
    human.SubPic.pPicBinary = Jpeg(matFrame(Widened(rcBody, size)));
    human.SubPic.PictureRectList.push_back(Fraction(rcBody, size));
    const cv::Rect rcFace = person.rcFace & cv::Rect(cv::Point(), size);
    if (!rcFace.empty()) {
        // Body, face, upper body: the face is cut from the background picture.
        human.FaceFromSamePic = true;
        human.SubPic.PictureRectList.push_back(Fraction(Widened(rcFace, size), size));
        human.SubPic.PictureRectList.push_back(
            Fraction(cv::Rect(rcBody.x, rcBody.y, rcBody.width, rcBody.height / 2), size));
        protocol::IntelAlarmFaceInfo face;
        face.bkPic.pPicBinary = human.bkPic.pPicBinary;
        face.SubPic.pPicBinary = Jpeg(matFrame(Widened(rcFace, size)));
        face.SubPic.PictureRectList.push_back(Fraction(rcFace, size));
        info.IntelAlarmInfo.IntelAlarmFaceInfoList.push_back(face);
    }
    info.IntelAlarmInfo.IntelAlarmHumanInfoList.push_back(human);
    return info;
}

} // namespace Analytics
