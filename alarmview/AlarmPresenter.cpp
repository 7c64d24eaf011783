// Where an alarm becomes a card: a panoramic alarm of a window camera shows
// its scene picture and opens a linkage; linkage alarms of that linkage add
// one card per person, pairing the face with the body.

#include "alarmview/AlarmPresenter.h"

#include "alarmview/AlarmPictureDecoder.h"
#include "alarmview/AlarmViewLogging.h"
#include "alarmview/AlarmViewTexts.h"
#include "alarmview/LinkageSnapAlarmListener.h"
#include "alarmview/LiveWindows.h"
#include "cards/LinkageCardWidget.h"
#include "cards/ShowCardArea.h"
#include "cards/ShowCardWidget.h"
#include "cards/ShowPicWidget.h"
#include "common/LsaCheck.h"
#include "history/AlarmHistory.h"
#include "protocol/LogText.h"
#include "savepic/LinkageSavePicMgr.h"
#include "savepic/PictureFile.h"

#include "Fendra/Singleton.h"
#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "quorra/AlarmTransfer.h"

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
// Save requests of records still alive are kept; past this many, those whose
// record has gone are forgotten (their pictures failed or were never written).
constexpr size_t kSaveRequestsBeforePurge = 1024;

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

HistoryPictureSource ForHistory(const CardPicture& picture, const QString& strSavedPath)
{
    return HistoryPictureSource{picture.spBytes, picture.optCut, strSavedPath};
}

QVector<QRectF> Fractions(const std::vector<protocol::PictureRect>& vecRects)
{
    QVector<QRectF> vecFractions;
    for (const protocol::PictureRect& rect : vecRects)
        vecFractions.append(QRectF(rect.x, rect.y, rect.width, rect.height));
    return vecFractions;
}

bool IsPanoramic(int32_t nAlarmType)
{
    return nAlarmType == quorra::AlarmTypePanoramicSmart || nAlarmType == quorra::AlarmTypePanoramicSmartEx;
}

} // namespace

// The pictures of one alarm a card is made of, and where the saved ones go.
struct CAlarmPresenter::AlarmContext
{
    const quorra::IntelAlarmEventInfo& info;
    QString strLinkageUid;
    bool bSave = false;
    QSize sizeCard;
    std::uint64_t nAlarm = 0;
    bool bQueued = false; // the alarm put something on the display queue
    std::vector<HistoryCardSource> vecHistoryCards;
};

std::shared_ptr<CardRecord> CAlarmPresenter::NewRecord(const quorra::IntelAlarmEventInfo& info) const
{
    auto spRecord = std::make_shared<CardRecord>();
    spRecord->CameraName = QString::fromStdString(info.AlarmSourceName);
    spRecord->CameraId = QString::fromStdString(info.AlarmSourceID);
    // Alarms that do not tell their time are as old as their arrival.
    spRecord->AlarmTime =
        info.AlarmTime > 0 ? QDateTime::fromMSecsSinceEpoch(info.AlarmTime) : QDateTime::currentDateTime();
    spRecord->AlarmType = info.AlarmType;
    spRecord->LinkageUid = QString::fromStdString(info.IntelAlarmInfo.LinkageUid);
    if (m_spSceneRecord && m_spSceneRecord->LinkageUid == m_strLinkageUid)
        spRecord->Scene = m_spSceneRecord->Scene;
    return spRecord;
}

CAlarmPresenter::CAlarmPresenter(QWidget* pView, CShowPicWidget* pScenePic, CShowCardArea* pCardArea,
                                 const LinkageSetupInfo& setupInfo, const CLiveWindows& liveWindows)
    : m_pView(pView)
    , m_pScenePic(pScenePic)
    , m_pCardArea(pCardArea)
    , m_setupInfo(setupInfo)
    , m_liveWindows(liveWindows)
    , m_pListener(new CLinkageSnapAlarmListener(pView))
    , m_displayQueue(CShowCardWidget::kMaxCards)
{
    m_pCardArea->InitCardLayout(false);
    m_pCardArea->SetCardSpacing(0);
}

void CAlarmPresenter::Close()
{
    SetListening(false);
    m_pScenePic->ClearPicture();
    m_pCardArea->ClearCards();
    m_displayQueue.Clear(); // what waited is no longer wanted
}

void CAlarmPresenter::SetListening(bool bListen)
{
    LSA_CHECK(m_pListener) return;
    m_pListener->SetAlarmListening(bListen);
}

QImage CAlarmPresenter::CropPictureByRect(const QImage& image, const protocol::PictureRect& rect)
{
    const QRect rcCut = AlarmPicture::DisplayCut(image.size(), rect);
    return rcCut.isEmpty() ? QImage() : image.copy(rcCut);
}

void CAlarmPresenter::Present(const quorra::IntelAlarmEventInfo& info)
{
    if (IsPanoramic(info.AlarmType))
        PresentPanoramic(info);
    else
        PresentLinkage(info);
}

void CAlarmPresenter::PresentPanoramic(const quorra::IntelAlarmEventInfo& info)
{
    const protocol::IntelAlarmInfoStruct& alarm = info.IntelAlarmInfo;
    if (m_liveWindows.IsAlarmSourceOutsideWindows(info.AlarmSourceID)) {
        qCDebug(lcAlarmView) << "panoramic alarm dropped: source" << protocol::EscapeForLog(info.AlarmSourceID).c_str()
                             << "is in no window";
        return;
    }
    if (alarm.LinkageUid.empty()) {
        qCDebug(lcAlarmView) << "panoramic alarm dropped: no LinkageUid";
        return;
    }
    m_strLinkageUid = QString::fromStdString(alarm.LinkageUid);
    m_spSceneRecord = NewRecord(info);
    m_spSceneRecord->Scene = Whole(alarm.VCASmart.bkPic);

    // The scene is decoded when shown, at the panel's size; in a flood only
    // the newest one is.
    ++m_nAlarmsAccepted;
    m_displayQueue.SetScene(Whole(alarm.VCASmart.bkPic), ++m_nAlarmSerial);
    m_pCardArea->ClearCards();
    PresentWhenIdle();

    QString strScenePath;
    if (m_setupInfo.IsSavePicture)
        strScenePath = RequestSave(info, m_spSceneRecord, m_strLinkageUid + kKindScene, alarm.VCASmart.bkPic,
                                   protocol::PictureRect());
    RecordHistory(info, ForHistory(Whole(alarm.VCASmart.bkPic), strScenePath), {});
}

void CAlarmPresenter::PresentLinkage(const quorra::IntelAlarmEventInfo& info)
{
    const protocol::IntelAlarmInfoStruct& alarm = info.IntelAlarmInfo;
    const auto& vecHumans = alarm.IntelAlarmHumanInfoList;
    if (vecHumans.empty()) {
        qCDebug(lcAlarmView) << "linkage alarm dropped: no persons";
        return;
    }
    if (m_liveWindows.IsAlarmSourceOutsideWindows(info.AlarmSourceID)) {
        qCDebug(lcAlarmView) << "linkage alarm dropped: source" << protocol::EscapeForLog(info.AlarmSourceID).c_str()
                             << "is in no window";
        return;
    }
    if (m_strLinkageUid.isEmpty() || m_strLinkageUid.toStdString() != alarm.LinkageUid) {
        qCDebug(lcAlarmView) << "linkage alarm dropped: LinkageUid" << protocol::EscapeForLog(alarm.LinkageUid).c_str()
                             << "is not the open linkage" << m_strLinkageUid;
        return;
    }

    AlarmContext ctx{info,
                     QString::fromStdString(alarm.LinkageUid),
                     m_setupInfo.IsSavePicture,
                     QSize(static_cast<int>(static_cast<float>(m_pView->width()) * kCardWidthShare),
                           m_pCardArea->height() - kCardHeightGap),
                     ++m_nAlarmSerial,
                     false,
                     {}};
    for (const protocol::IntelAlarmHumanInfo& human : vecHumans)
        QueueHuman(ctx, human);
    if (ctx.bQueued) {
        ++m_nAlarmsAccepted;
        PresentWhenIdle();
        RecordHistory(info, {}, std::move(ctx.vecHistoryCards));
    }
}

void CAlarmPresenter::QueueHuman(AlarmContext& ctx, const protocol::IntelAlarmHumanInfo& human)
{
    const auto& vecRects = human.SubPic.PictureRectList;
    std::shared_ptr<CardRecord> spRecord = NewRecord(ctx.info);
    CAlarmDisplayQueue::Card card{{}, {}, ctx.sizeCard, ctx.nAlarm, spRecord};
    QString strBodyPath;
    QString strFacePath;
    if (!Bytes(human.SubPic).empty()) {
        card.body = Whole(human.SubPic);
        strBodyPath = SaveIfOn(ctx, spRecord, kKindHumanSub, human.SubPic, protocol::PictureRect());
    } else if (vecRects.empty() || Bytes(human.bkPic).empty()) {
        // Nothing to show this person by; the persons after it still count.
        qCDebug(lcAlarmView) << "person skipped: neither a close-up nor a picture with a rectangle";
        return;
    } else {
        card.body = Cut(human.bkPic, vecRects.front());
        strBodyPath = SaveIfOn(ctx, spRecord, kKindHumanSub, human.bkPic, vecRects.front());
    }
    if (!vecRects.empty())
        spRecord->PersonRects.push_back(vecRects.front());
    SaveIfOn(ctx, spRecord, kKindHumanBk, human.bkPic, protocol::PictureRect());

    const auto& vecFaces = ctx.info.IntelAlarmInfo.IntelAlarmFaceInfoList;
    if (human.FaceFromSamePic && vecRects.size() > 2 && !Bytes(human.bkPic).empty()) {
        card.face = Cut(human.bkPic, vecRects[1]);
        spRecord->PersonRects.push_back(vecRects[1]);
        strFacePath = SaveIfOn(ctx, spRecord, kKindFaceSub, human.bkPic, vecRects[1]);
    } else if (!vecFaces.empty()) {
        // The first face of the list stands for every person of the alarm.
        const protocol::IntelAlarmFaceInfo& face = vecFaces.front();
        const auto& vecFaceRects = face.SubPic.PictureRectList;
        if (!Bytes(face.SubPic).empty()) {
            card.face = Whole(face.SubPic);
            strFacePath = SaveIfOn(ctx, spRecord, kKindFaceSub, face.SubPic, protocol::PictureRect());
        } else if (!vecFaceRects.empty() && !Bytes(face.bkPic).empty()) {
            card.face = Cut(face.bkPic, vecFaceRects.front());
            strFacePath = SaveIfOn(ctx, spRecord, kKindFaceSub, face.bkPic, vecFaceRects.front());
        }
        SaveIfOn(ctx, spRecord, kKindFaceSub, face.bkPic, protocol::PictureRect());
    }
    spRecord->Face = card.face;
    spRecord->Body = card.body;
    if (m_pHistory)
        ctx.vecHistoryCards.push_back(HistoryCardSource{ForHistory(card.face, strFacePath),
                                                        ForHistory(card.body, strBodyPath), Fractions(vecRects)});
    m_displayQueue.AddCard(std::move(card));
    ctx.bQueued = true;
}

void CAlarmPresenter::PresentWhenIdle()
{
    // One alarm on its own is shown at once; an alarm that finds earlier ones
    // still waiting is part of a flood, shown a turn at a time.
    if (Transfer().UndeliveredEvents() == 0 && m_displayQueue.HoldsOnly(m_nAlarmSerial)) {
        PresentPending(INT_MAX, LLONG_MAX);
        return;
    }
    SchedulePresent();
}

void CAlarmPresenter::SchedulePresent()
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

void CAlarmPresenter::PresentPending(int nMaxCards, qint64 nMaxPixels)
{
    const QSize sizeScene(static_cast<int>(static_cast<float>(m_pScenePic->width()) * kSceneWidthShare),
                          static_cast<int>(static_cast<float>(m_pScenePic->height()) * kSceneHeightShare));
    CAlarmDisplayQueue::Decoded decoded = m_displayQueue.TakeDecoded(sizeScene, nMaxCards, nMaxPixels);
    if (decoded.bScene)
        m_pScenePic->SetPicture(QPixmap::fromImage(decoded.imgScene));
    for (const CAlarmDisplayQueue::DecodedCard& card : decoded.vecCards) {
        // A full strip would destroy its oldest card: fill that one anew instead.
        auto* pCard = qobject_cast<CLinkageCardWidget*>(m_pCardArea->TakeCardToReuse());
        if (!pCard) {
            pCard = new CLinkageCardWidget(m_pView);
            connect(pCard, &CLinkageCardWidget::signalCardActivated, this, &CAlarmPresenter::signalCardActivated);
            // The card's menu is the view's: the card only asks for it.
            pCard->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(pCard, &QWidget::customContextMenuRequested, this,
                    [this, pCard](const QPoint& pt) { emit signalCardMenuRequested(pCard, pCard->mapToGlobal(pt)); });
        }
        pCard->SetRecord(card.spRecord);
        pCard->SetCardSize(card.sizeCard.width(), card.sizeCard.height());
        pCard->SetPictures(QPixmap::fromImage(card.imgFace), QPixmap::fromImage(card.imgBody));
        m_pCardArea->AddCard(pCard);
    }
    m_nAlarmsShown += decoded.nAlarmsShown;
    // In a flood the rest follows in the next turns, between deliveries and paints.
    if (!m_displayQueue.IsEmpty())
        SchedulePresent();
}

QString CAlarmPresenter::SaveIfOn(const AlarmContext& ctx, const std::shared_ptr<CardRecord>& spRecord,
                                  const char* pszKind, const protocol::AlarmPictureInfo& pic,
                                  const protocol::PictureRect& rcCrop)
{
    return ctx.bSave ? RequestSave(ctx.info, spRecord, ctx.strLinkageUid + pszKind, pic, rcCrop) : QString();
}

QString CAlarmPresenter::RequestSave(const quorra::IntelAlarmEventInfo& info,
                                     const std::shared_ptr<CardRecord>& spRecord, const QString& strStemHead,
                                     const protocol::AlarmPictureInfo& pic, const protocol::PictureRect& rcCrop)
{
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    LSA_CHECK(pSavePicMgr) return QString();
    if (Bytes(pic).empty()) // the manager would skip it anyway
        return QString();
    LinkageSavePicInfo request;
    request.strFolderName = QString::fromStdString(info.AlarmSourceName);
    // Each name takes the moment it is built; the manager numbers clashes.
    const QString strStamp = QDateTime::currentDateTime().toString("_yyyyMMddHHmmss_zzz");
    request.strFileName = strStemHead + strStamp;
    request.spPicBytes = SharedBytes(pic); // shared with the alarm, not copied
    request.struCropRect = rcCrop;
    request.nRequestId = ++m_nLastSaveRequest;
    if (m_mapSaveRequests.size() >= kSaveRequestsBeforePurge) {
        for (auto it = m_mapSaveRequests.begin(); it != m_mapSaveRequests.end();)
            it = it->second.expired() ? m_mapSaveRequests.erase(it) : std::next(it);
    }
    m_mapSaveRequests.emplace(request.nRequestId, spRecord);
    pSavePicMgr->SavePicture(request);
    // Where the manager writes it: it numbers a name asked for again within the
    // same millisecond (stem, stem1, stem2, ... in the order asked).
    if (strStamp != m_strStemStamp) {
        m_strStemStamp = strStamp;
        m_hashStemsAsked.clear();
    }
    const QString strBase = pSavePicMgr->GetSavePicPath() + QLatin1Char('/')
                            + PictureFile::SafeName(request.strFolderName) + QLatin1Char('/')
                            + PictureFile::SafeName(request.strFileName);
    const int nAskedBefore = m_hashStemsAsked[strBase]++;
    return strBase + (nAskedBefore ? QString::number(nAskedBefore) : QString()) + QStringLiteral(".jpg");
}

void CAlarmPresenter::RecordHistory(const quorra::IntelAlarmEventInfo& info, HistoryPictureSource scene,
                                    std::vector<HistoryCardSource> vecCards)
{
    if (!m_pHistory)
        return;
    HistoryAlarmSource alarm;
    // The moment it was shown, on this computer's clock, as the saved files' names.
    alarm.nTimeMs = QDateTime::currentMSecsSinceEpoch();
    alarm.nAlarmType = info.AlarmType;
    alarm.bPanoramic = IsPanoramic(info.AlarmType);
    alarm.strLinkageUid = QString::fromStdString(info.IntelAlarmInfo.LinkageUid);
    alarm.strCameraId = QString::fromStdString(info.AlarmSourceID);
    alarm.strCameraName = QString::fromStdString(info.AlarmSourceName);
    alarm.scene = std::move(scene);
    alarm.vecCards = std::move(vecCards);
    m_pHistory->Record(std::move(alarm));
}

void CAlarmPresenter::OnPictureSaved(quint64 nRequestId, const QString& strFilePath)
{
    const auto it = m_mapSaveRequests.find(nRequestId);
    if (it == m_mapSaveRequests.end())
        return;
    const std::shared_ptr<CardRecord> spRecord = it->second.lock();
    m_mapSaveRequests.erase(it);
    if (!spRecord)
        return;
    spRecord->SavedFiles.append(strFilePath);
    emit signalRecordChanged();
}

LinkageRecordSet CAlarmPresenter::StripRecords() const
{
    LinkageRecordSet set;
    if (m_spSceneRecord && m_spSceneRecord->LinkageUid == m_strLinkageUid)
        set.spScene = m_spSceneRecord;
    for (QWidget* pWidget : m_pCardArea->CardWidget()->Cards()) {
        if (auto* pCard = qobject_cast<CLinkageCardWidget*>(pWidget); pCard && pCard->Record())
            set.vecCards.push_back(pCard->Record());
    }
    return set;
}

int CAlarmPresenter::StripIndexOf(const CLinkageCardWidget* pCard) const
{
    int nIndex = 0;
    for (QWidget* pWidget : m_pCardArea->CardWidget()->Cards()) {
        auto* pStripCard = qobject_cast<CLinkageCardWidget*>(pWidget);
        if (!pStripCard || !pStripCard->Record())
            continue;
        if (pStripCard == pCard)
            return nIndex;
        ++nIndex;
    }
    return -1;
}

void CAlarmPresenter::PresentTestAlarms()
{
    const std::string strUid = m_strLinkageUid.toStdString() + "1";
    quorra::IntelAlarmEventInfo panoramic;
    panoramic.AlarmType = quorra::AlarmTypePanoramicSmart;
    panoramic.IntelAlarmInfo.LinkageUid = strUid;
    Present(panoramic);
    quorra::IntelAlarmEventInfo linkage;
    linkage.IntelAlarmInfo.LinkageUid = strUid;
    linkage.IntelAlarmInfo.IntelAlarmHumanInfoList.emplace_back();
    Present(linkage);
}

void CAlarmPresenter::NoticeAlarmsDropped(int nCount)
{
    // Alarms shed while nobody listens are nobody's news.
    if (m_pListener && m_pListener->IsListening())
        Notice(AlarmViewTexts::Counted(AlarmViewTexts::AlarmsNotShown, nCount));
}

void CAlarmPresenter::NoticePicturesNotSaved(int nCount)
{
    Notice(AlarmViewTexts::Counted(AlarmViewTexts::PicturesNotSaved, nCount));
}

void CAlarmPresenter::NoticeSpaceNotEnough()
{
    NoticeOncePerRun(m_nSpaceFailRun, AlarmViewTexts::Text(AlarmViewTexts::NoEnoughFreeSpace));
}

void CAlarmPresenter::NoticeSaveFailed()
{
    NoticeOncePerRun(m_nSaveFailRun, AlarmViewTexts::Text(AlarmViewTexts::SavePictureFailed));
}

void CAlarmPresenter::NoticePictureSaved()
{
    // Saving works again: the next failure is news. (The save worker logs how
    // many pictures the run cost, with the system's reason.)
    m_nSpaceFailRun = 0;
    m_nSaveFailRun = 0;
}

void CAlarmPresenter::NoticeOncePerRun(int& nRunCount, const QString& strText)
{
    // A full disk under an alarm storm fails every picture: one notice is news,
    // hundreds are noise.
    if (nRunCount++ == 0)
        Notice(strText);
}

void CAlarmPresenter::Notice(const QString& strText)
{
    TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
        strText, m_pView, false, false, false);
}

} // namespace LinkageSnapAlarm
