// The linkage dialog's alarm handling: a panoramic alarm of a window camera
// shows its scene picture and opens a linkage; linkage alarms of that linkage
// add one card per person, pairing the face with the body.

#include "alarmview/LinkageSnapAlarmDlg.h"

#include "alarmview/AlarmPictureDecoder.h"
#include "alarmview/AlarmViewLogging.h"
#include "alarmview/LinkageSnapAlarmListener.h"
#include "cards/LinkageCardWidget.h"
#include "cards/ShowCardArea.h"
#include "cards/ShowCardWidget.h"
#include "cards/ShowPicWidget.h"
#include "protocol/LogText.h"
#include "savepic/LinkageSavePicMgr.h"

#include "alarmview/AlarmViewTexts.h"

#include "Fendra/Singleton.h"
#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "quorra/AlarmTransfer.h"
#include "tessel/ICamera.h"

#include <QDateTime>

#include <climits>

namespace LinkageSnapAlarm {

namespace {

// The scene picture fills 330/338 x 182/190 of its panel; a card is 101/1920 of
// the dialog wide and 10 pixels lower than the card strip.
constexpr float kSceneWidthShare = 0.97633135f;
constexpr float kSceneHeightShare = 0.95789474f;
constexpr float kCardWidthShare = 0.052604165f;
constexpr int kCardHeightGap = 10;
// What one turn of the event loop decodes while alarms keep coming: at most
// ten cards, and pictures of about one 4K frame in all, so the turn stays short
// and the strip keeps moving.
constexpr int kCardsPerTurn = 10;
constexpr qint64 kPixelsPerTurn = 3840 * 2160;

const char* const kKindHumanSub = "_Human_Sub";
const char* const kKindHumanBk = "_Human_Bk";
const char* const kKindFaceSub = "_Face_Sub";
const char* const kKindScene = "_VCA";

const std::string& Bytes(const protocol::AlarmPictureInfo& pic)
{
    static const std::string s_strNone;
    const protocol::PicBinary* pBinary = pic.pPicBinary.Peek();
    return pBinary ? pBinary->strData : s_strNone;
}

// The picture's bytes shared with the alarm, or null when it has none.
std::shared_ptr<const protocol::PicBinary> SharedBytes(const protocol::AlarmPictureInfo& pic)
{
    return Bytes(pic).empty() ? nullptr : std::shared_ptr<const protocol::PicBinary>(pic.pPicBinary.Shared());
}

CardPicture Whole(const protocol::AlarmPictureInfo& pic)
{
    return CardPicture{SharedBytes(pic), std::nullopt};
}

CardPicture Cut(const protocol::AlarmPictureInfo& pic, const protocol::PictureRect& rect)
{
    return CardPicture{SharedBytes(pic), rect};
}

quorra::AlarmTransfer& Transfer()
{
    return Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
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
    std::uint64_t nAlarm = 0;
    bool bQueued = false; // the alarm put something on the display queue
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
    connect(&Transfer(), &quorra::AlarmTransfer::signalAlarmsDropped, this, &CLinkageSnapAlarmDlg::onAlarmsDropped);
}

void CLinkageSnapAlarmDlg::CloseAlarmView()
{
    SetAlarmListening(false);
    m_pScenePic->ClearPicture();
    m_pCardArea->ClearCards();
    m_displayQueue.Clear(); // what waited is no longer wanted
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
        qCDebug(lcAlarmView) << "panoramic alarm dropped: source" << protocol::EscapeForLog(info.AlarmSourceID).c_str()
                             << "is in no window";
        return;
    }
    if (alarm.LinkageUid.empty()) {
        qCDebug(lcAlarmView) << "panoramic alarm dropped: no LinkageUid";
        return;
    }
    m_strLinkageUid = QString::fromStdString(alarm.LinkageUid);

    // The scene is decoded when shown, at the panel's size; in a flood only
    // the newest one is.
    ++m_nAlarmsAccepted;
    m_displayQueue.SetScene(Whole(alarm.VCASmart.bkPic), ++m_nAlarmSerial);
    m_pCardArea->ClearCards();
    PresentWhenIdle();

    if (m_stSetupInfo.IsSavePicture)
        RequestSave(info, m_strLinkageUid + kKindScene, alarm.VCASmart.bkPic, protocol::PictureRect());
}

void CLinkageSnapAlarmDlg::HandleLinkageAlarm(const quorra::IntelAlarmEventInfo& info)
{
    const protocol::IntelAlarmInfoStruct& alarm = info.IntelAlarmInfo;
    const auto& vecHumans = alarm.IntelAlarmHumanInfoList;
    if (vecHumans.empty()) {
        qCDebug(lcAlarmView) << "linkage alarm dropped: no persons";
        return;
    }
    if (IsAlarmSourceOutsideWindows(info.AlarmSourceID)) {
        qCDebug(lcAlarmView) << "linkage alarm dropped: source" << protocol::EscapeForLog(info.AlarmSourceID).c_str()
                             << "is in no window";
        return;
    }
    if (m_strLinkageUid.isEmpty() || m_strLinkageUid.toStdString() != alarm.LinkageUid) {
        qCDebug(lcAlarmView) << "linkage alarm dropped: LinkageUid" << protocol::EscapeForLog(alarm.LinkageUid).c_str()
                             << "is not the open linkage" << m_strLinkageUid;
        return;
    }

    AlarmContext ctx{
        info, QString::fromStdString(alarm.LinkageUid), m_stSetupInfo.IsSavePicture,
        QSize(static_cast<int>(static_cast<float>(width()) * kCardWidthShare), m_pCardArea->height() - kCardHeightGap),
        ++m_nAlarmSerial};
    for (const protocol::IntelAlarmHumanInfo& human : vecHumans)
        HandleHuman(ctx, human);
    if (ctx.bQueued) {
        ++m_nAlarmsAccepted;
        PresentWhenIdle();
    }
}

void CLinkageSnapAlarmDlg::HandleHuman(AlarmContext& ctx, const protocol::IntelAlarmHumanInfo& human)
{
    const auto& vecRects = human.SubPic.PictureRectList;
    CAlarmDisplayQueue::Card card{{}, {}, ctx.sizeCard, ctx.nAlarm};
    if (!Bytes(human.SubPic).empty()) {
        card.body = Whole(human.SubPic);
        SaveIfOn(ctx, kKindHumanSub, human.SubPic, protocol::PictureRect());
    } else if (vecRects.empty() || Bytes(human.bkPic).empty()) {
        // Nothing to show this person by; the persons after it still count.
        qCDebug(lcAlarmView) << "person skipped: neither a close-up nor a picture with a rectangle";
        return;
    } else {
        card.body = Cut(human.bkPic, vecRects.front());
        SaveIfOn(ctx, kKindHumanSub, human.bkPic, vecRects.front());
    }
    SaveIfOn(ctx, kKindHumanBk, human.bkPic, protocol::PictureRect());

    const auto& vecFaces = ctx.info.IntelAlarmInfo.IntelAlarmFaceInfoList;
    if (human.FaceFromSamePic && vecRects.size() > 2 && !Bytes(human.bkPic).empty()) {
        card.face = Cut(human.bkPic, vecRects[1]);
        SaveIfOn(ctx, kKindFaceSub, human.bkPic, vecRects[1]);
    } else if (!vecFaces.empty()) {
        // The first face of the list stands for every person of the alarm.
        const protocol::IntelAlarmFaceInfo& face = vecFaces.front();
        const auto& vecFaceRects = face.SubPic.PictureRectList;
        if (!Bytes(face.SubPic).empty()) {
            card.face = Whole(face.SubPic);
            SaveIfOn(ctx, kKindFaceSub, face.SubPic, protocol::PictureRect());
        } else if (!vecFaceRects.empty() && !Bytes(face.bkPic).empty()) {
            card.face = Cut(face.bkPic, vecFaceRects.front());
            SaveIfOn(ctx, kKindFaceSub, face.bkPic, vecFaceRects.front());
        }
        SaveIfOn(ctx, kKindFaceSub, face.bkPic, protocol::PictureRect());
    }
    m_displayQueue.AddCard(std::move(card));
    ctx.bQueued = true;
}

void CLinkageSnapAlarmDlg::PresentWhenIdle()
{
    // One alarm on its own is shown at once; an alarm that finds earlier ones
    // still waiting is part of a flood, shown a turn at a time.
    if (Transfer().UndeliveredEvents() == 0 && m_displayQueue.HoldsOnly(m_nAlarmSerial)) {
        PresentPending(INT_MAX, LLONG_MAX);
        return;
    }
    SchedulePresent();
}

void CLinkageSnapAlarmDlg::SchedulePresent()
{
    if (m_bPresentPosted)
        return;
    m_bPresentPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bPresentPosted = false;
            PresentPending(kCardsPerTurn, kPixelsPerTurn);
        },
        Qt::QueuedConnection);
}

void CLinkageSnapAlarmDlg::PresentPending(int nMaxCards, qint64 nMaxPixels)
{
    const QSize sizeScene(static_cast<int>(static_cast<float>(m_pScenePic->width()) * kSceneWidthShare),
                          static_cast<int>(static_cast<float>(m_pScenePic->height()) * kSceneHeightShare));
    CAlarmDisplayQueue::Decoded decoded = m_displayQueue.TakeDecoded(sizeScene, nMaxCards, nMaxPixels);
    if (decoded.bScene)
        m_pScenePic->SetPicture(QPixmap::fromImage(decoded.imgScene));
    for (const CAlarmDisplayQueue::DecodedCard& card : decoded.vecCards) {
        // A full strip would destroy its oldest card: fill that one anew instead.
        auto* pCard = qobject_cast<CLinkageCardWidget*>(m_pCardArea->TakeCardToReuse());
        if (!pCard)
            pCard = new CLinkageCardWidget(this);
        pCard->SetCardSize(card.sizeCard.width(), card.sizeCard.height());
        pCard->SetPictures(QPixmap::fromImage(card.imgFace), QPixmap::fromImage(card.imgBody));
        m_pCardArea->AddCard(pCard);
    }
    m_nAlarmsShown += decoded.nAlarmsShown;
    // In a flood the rest follows in the next turns, between deliveries and paints.
    if (!m_displayQueue.IsEmpty())
        SchedulePresent();
}

void CLinkageSnapAlarmDlg::SaveIfOn(const AlarmContext& ctx, const char* pszKind, const protocol::AlarmPictureInfo& pic,
                                    const protocol::PictureRect& rcCrop)
{
    if (ctx.bSave)
        RequestSave(ctx.info, ctx.strLinkageUid + pszKind, pic, rcCrop);
}

void CLinkageSnapAlarmDlg::RequestSave(const quorra::IntelAlarmEventInfo& info, const QString& strStemHead,
                                       const protocol::AlarmPictureInfo& pic, const protocol::PictureRect& rcCrop)
{
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    if (!pSavePicMgr || Bytes(pic).empty()) // the manager would skip it anyway
        return;
    LinkageSavePicInfo request;
    request.strFolderName = QString::fromStdString(info.AlarmSourceName);
    // Each name takes the moment it is built; the manager numbers clashes.
    request.strFileName = strStemHead + QDateTime::currentDateTime().toString("_yyyyMMddHHmmss_zzz");
    request.spPicBytes = SharedBytes(pic); // shared with the alarm, not copied
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

void CLinkageSnapAlarmDlg::onAlarmsDropped(int nCount)
{
    if (m_pAlarmListener && m_pAlarmListener->IsListening())
        TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
            AlarmViewTexts::Counted(AlarmViewTexts::AlarmsNotShown, nCount), this, false, false, false);
}

void CLinkageSnapAlarmDlg::onPicturesNotSaved(int nCount)
{
    TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
        AlarmViewTexts::Counted(AlarmViewTexts::PicturesNotSaved, nCount), this, false, false, false);
}

} // namespace LinkageSnapAlarm
