// The linkage dialog's alarm handling: a panoramic alarm of a window camera
// shows its scene picture and opens a linkage; linkage alarms of that linkage
// add one card per person, pairing the face with the body.

#include "LinkageSnapAlarmDlg.h"

#include "AlarmPictureDecoder.h"
#include "LinkageCardWidget.h"
#include "LinkageSavePicMgr.h"
#include "LinkageSnapAlarmListener.h"
#include "LogText.h"
#include "LsaLogging.h"
#include "ShowCardArea.h"
#include "ShowCardWidget.h"
#include "ShowPicWidget.h"

#include "tessel/ICamera.h"

#include <QDateTime>

#include <optional>

namespace LinkageSnapAlarm {

namespace {

// The scene picture fills 330/338 x 182/190 of its panel; a card is 101/1920 of
// the dialog wide and 10 pixels lower than the card strip.
constexpr float kSceneWidthShare = 0.97633135f;
constexpr float kSceneHeightShare = 0.95789474f;
constexpr float kCardWidthShare = 0.052604165f;
constexpr int kCardHeightGap = 10;

const char* const kKindHumanSub = "_Human_Sub";
const char* const kKindHumanBk = "_Human_Bk";
const char* const kKindFaceSub = "_Face_Sub";
const char* const kKindScene = "_VCA";

const std::string& Bytes(const protocol::AlarmPictureInfo& pic)
{
    static const std::string s_strNone;
    return pic.pPicBinary ? pic.pPicBinary->strData : s_strNone;
}

bool IsPanoramic(int32_t nAlarmType)
{
    return nAlarmType == quorra::AlarmTypePanoramicSmart || nAlarmType == quorra::AlarmTypePanoramicSmartEx;
}

} // namespace

// The pictures of one alarm a card is made of, and where the saved ones go.
struct CLinkageSnapAlarmDlg::AlarmContext
{
    const quorra::IntelAlarmEventInfo& info;
    QString strLinkageUid;
    bool bSave = false;
    QSize sizeCard;
    // The face of the face list is the same for every person of an alarm.
    std::optional<QImage> optListFace;
};

void CLinkageSnapAlarmDlg::InitAlarmView()
{
    if (!m_pAlarmListener)
        m_pAlarmListener = new CLinkageSnapAlarmListener(this);
    m_pScenePic = ui.m_pWidgetScenePic;
    m_pCardArea = ui.m_pWidgetLinkagePic;
    m_pCardArea->InitCardLayout(false);
    m_pCardArea->SetCardSpacing(0);
}

void CLinkageSnapAlarmDlg::ConnectAlarmView()
{
    connect(m_pAlarmListener, &CLinkageSnapAlarmListener::signalNewAlarmComing, this,
            &CLinkageSnapAlarmDlg::onNewAlarmComing);
}

void CLinkageSnapAlarmDlg::CloseAlarmView()
{
    SetAlarmListening(false);
    m_pScenePic->ClearPicture();
    m_pCardArea->ClearCards();
}

void CLinkageSnapAlarmDlg::SetAlarmListening(bool bListen)
{
    if (m_pAlarmListener)
        m_pAlarmListener->SetAlarmListening(bListen);
}

bool CLinkageSnapAlarmDlg::IsAlarmSourceOutsideWindows(const std::string& strSourceID) const
{
    for (tessel::ICamera* pCamera : {m_pLiveCamera0, m_pLiveCamera2, m_pLiveCamera1}) {
        if ((pCamera ? pCamera->GetAlarmSourceID() : std::string()) == strSourceID)
            return false;
    }
    return true;
}

QImage CLinkageSnapAlarmDlg::CropPictureByRect(const QImage& image, const protocol::PictureRect& rect)
{
    const QRect rcCut = AlarmPicture::DisplayCut(image.size(), rect);
    return rcCut.isEmpty() ? QImage() : image.copy(rcCut);
}

void CLinkageSnapAlarmDlg::onNewAlarmComing(const quorra::IntelAlarmEventInfo& struAlarmIn)
{
    if (IsPanoramic(struAlarmIn.AlarmType))
        HandlePanoramicAlarm(struAlarmIn);
    else
        HandleLinkageAlarm(struAlarmIn);
}

void CLinkageSnapAlarmDlg::HandlePanoramicAlarm(const quorra::IntelAlarmEventInfo& info)
{
    const protocol::IntelAlarmInfoStruct& alarm = info.IntelAlarmInfo;
    if (IsAlarmSourceOutsideWindows(info.AlarmSourceID)) {
        qCInfo(lcAlarmView) << "panoramic alarm dropped: source" << protocol::EscapeForLog(info.AlarmSourceID).c_str()
                            << "is in no window";
        return;
    }
    if (alarm.LinkageUid.empty()) {
        qCInfo(lcAlarmView) << "panoramic alarm dropped: no LinkageUid";
        return;
    }
    m_strLinkageUid = QString::fromStdString(alarm.LinkageUid);

    // Decoded right at the size it is shown, never in full and then scaled.
    const std::string& strScene = Bytes(alarm.VCASmart.bkPic);
    const QSize sizeScene(static_cast<int>(static_cast<float>(m_pScenePic->width()) * kSceneWidthShare),
                          static_cast<int>(static_cast<float>(m_pScenePic->height()) * kSceneHeightShare));
    QPixmap pixScene;
    if (!strScene.empty())
        pixScene = QPixmap::fromImage(AlarmPicture::DecodeScaled(strScene, sizeScene));
    m_pScenePic->SetPicture(pixScene);
    m_pCardArea->ClearCards();

    if (m_stSetupInfo.IsSavePicture)
        RequestSave(info, m_strLinkageUid + kKindScene, strScene, protocol::PictureRect());
}

void CLinkageSnapAlarmDlg::HandleLinkageAlarm(const quorra::IntelAlarmEventInfo& info)
{
    const protocol::IntelAlarmInfoStruct& alarm = info.IntelAlarmInfo;
    const auto& vecHumans = alarm.IntelAlarmHumanInfoList;
    if (vecHumans.empty()) {
        qCInfo(lcAlarmView) << "linkage alarm dropped: no persons";
        return;
    }
    if (IsAlarmSourceOutsideWindows(info.AlarmSourceID)) {
        qCInfo(lcAlarmView) << "linkage alarm dropped: source" << protocol::EscapeForLog(info.AlarmSourceID).c_str()
                            << "is in no window";
        return;
    }
    if (m_strLinkageUid.isEmpty() || m_strLinkageUid.toStdString() != alarm.LinkageUid) {
        qCInfo(lcAlarmView) << "linkage alarm dropped: LinkageUid" << protocol::EscapeForLog(alarm.LinkageUid).c_str()
                            << "is not the open linkage" << m_strLinkageUid;
        return;
    }

    AlarmContext ctx{
        info, QString::fromStdString(alarm.LinkageUid), m_stSetupInfo.IsSavePicture,
        QSize(static_cast<int>(static_cast<float>(width()) * kCardWidthShare), m_pCardArea->height() - kCardHeightGap),
        std::nullopt};
    // Only the newest cards stay: persons whose card would be pushed out by
    // later persons of this same alarm are saved but not decoded.
    const size_t nFirstShown = vecHumans.size() > static_cast<size_t>(CShowCardWidget::kMaxCards)
                                   ? vecHumans.size() - CShowCardWidget::kMaxCards
                                   : 0;
    for (size_t i = 0; i < vecHumans.size(); ++i)
        HandleHuman(ctx, vecHumans[i], i >= nFirstShown);
}

void CLinkageSnapAlarmDlg::HandleHuman(AlarmContext& ctx, const protocol::IntelAlarmHumanInfo& human, bool bShown)
{
    const std::string& strSub = Bytes(human.SubPic);
    const std::string& strBk = Bytes(human.bkPic);
    const auto& vecRects = human.SubPic.PictureRectList;
    const QSize sizeBody = CLinkageCardWidget::BodyLabelSize(ctx.sizeCard);
    const QSize sizeFace = CLinkageCardWidget::FaceLabelSize(ctx.sizeCard);

    QImage imgBody;
    if (!strSub.empty()) {
        if (bShown)
            imgBody = AlarmPicture::DecodeFitted(strSub, sizeBody);
        SaveIfOn(ctx, kKindHumanSub, strSub, protocol::PictureRect());
    } else if (vecRects.empty() || strBk.empty()) {
        // Nothing to show this person by; the persons after it still count.
        qCInfo(lcAlarmView) << "person skipped: neither a close-up nor a picture with a rectangle";
        return;
    } else {
        if (bShown)
            imgBody = AlarmPicture::DecodeCut(strBk, vecRects.front(), sizeBody);
        SaveIfOn(ctx, kKindHumanSub, strBk, vecRects.front());
    }
    SaveIfOn(ctx, kKindHumanBk, strBk, protocol::PictureRect());

    QImage imgFace;
    const auto& vecFaces = ctx.info.IntelAlarmInfo.IntelAlarmFaceInfoList;
    if (human.FaceFromSamePic && vecRects.size() > 2 && !strBk.empty()) {
        if (bShown)
            imgFace = AlarmPicture::DecodeCut(strBk, vecRects[1], sizeFace);
        SaveIfOn(ctx, kKindFaceSub, strBk, vecRects[1]);
    } else if (!vecFaces.empty()) {
        const protocol::IntelAlarmFaceInfo& face = vecFaces.front();
        const std::string& strFaceSub = Bytes(face.SubPic);
        const std::string& strFaceBk = Bytes(face.bkPic);
        const auto& vecFaceRects = face.SubPic.PictureRectList;
        if (!strFaceSub.empty()) {
            if (bShown && !ctx.optListFace)
                ctx.optListFace = AlarmPicture::DecodeFitted(strFaceSub, sizeFace);
            SaveIfOn(ctx, kKindFaceSub, strFaceSub, protocol::PictureRect());
        } else if (!vecFaceRects.empty() && !strFaceBk.empty()) {
            if (bShown && !ctx.optListFace)
                ctx.optListFace = AlarmPicture::DecodeCut(strFaceBk, vecFaceRects.front(), sizeFace);
            SaveIfOn(ctx, kKindFaceSub, strFaceBk, vecFaceRects.front());
        }
        if (!strFaceBk.empty())
            SaveIfOn(ctx, kKindFaceSub, strFaceBk, protocol::PictureRect());
        if (ctx.optListFace)
            imgFace = *ctx.optListFace;
    }

    if (!bShown)
        return;
    auto* pCard = new CLinkageCardWidget(this);
    pCard->SetCardSize(ctx.sizeCard.width(), ctx.sizeCard.height());
    pCard->SetPictures(QPixmap::fromImage(imgFace), QPixmap::fromImage(imgBody));
    m_pCardArea->AddCard(pCard);
}

void CLinkageSnapAlarmDlg::SaveIfOn(const AlarmContext& ctx, const char* pszKind, const std::string& strBytes,
                                    const protocol::PictureRect& rcCrop)
{
    if (ctx.bSave)
        RequestSave(ctx.info, ctx.strLinkageUid + pszKind, strBytes, rcCrop);
}

void CLinkageSnapAlarmDlg::RequestSave(const quorra::IntelAlarmEventInfo& info, const QString& strStemHead,
                                       const std::string& strBytes, const protocol::PictureRect& rcCrop)
{
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    if (!pSavePicMgr)
        return;
    LinkageSavePicInfo request;
    request.strFolderName = QString::fromStdString(info.AlarmSourceName);
    // Each name takes the moment it is built; the manager numbers clashes.
    request.strFileName = strStemHead + QDateTime::currentDateTime().toString("_yyyyMMddHHmmss_zzz");
    request.strPicData = strBytes;
    request.struCropRect = rcCrop;
    pSavePicMgr->SavePicture(request);
}

void CLinkageSnapAlarmDlg::onBtnTestClicked()
{
    const std::string strUid = m_strLinkageUid.toStdString() + "1";
    quorra::IntelAlarmEventInfo panoramic;
    panoramic.AlarmType = quorra::AlarmTypePanoramicSmart;
    panoramic.IntelAlarmInfo.LinkageUid = strUid;
    onNewAlarmComing(panoramic);
    quorra::IntelAlarmEventInfo linkage;
    linkage.IntelAlarmInfo.LinkageUid = strUid;
    linkage.IntelAlarmInfo.IntelAlarmHumanInfoList.emplace_back();
    onNewAlarmComing(linkage);
}

} // namespace LinkageSnapAlarm
