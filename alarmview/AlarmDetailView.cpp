#include "alarmview/AlarmDetailView.h"

#include "alarmview/AlarmPictureDecoder.h"
#include "alarmview/AlarmViewLogging.h"
#include "alarmview/AlarmViewTexts.h"

#include "ui_AlarmDetailView.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>

#include <algorithm>

namespace LinkageSnapAlarm {
namespace {

// The view takes this share of its screen when it opens.
constexpr double kScreenShare = 0.7;
// Rectangles stand out from street colours; their pen grows with the picture.
const QColor kRectColor(255, 90, 54);
constexpr int kMinPenWidth = 2;
constexpr int kPixelsPerPenWidth = 400;

void DrawRects(QImage& image, const std::vector<protocol::PictureRect>& vecRects)
{
    if (vecRects.empty())
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setPen(QPen(kRectColor, qMax(kMinPenWidth, image.width() / kPixelsPerPenWidth)));
    painter.setBrush(Qt::NoBrush);
    for (const protocol::PictureRect& rect : vecRects)
        painter.drawRect(QRectF(rect.x * image.width(), rect.y * image.height(), rect.width * image.width(),
                                rect.height * image.height()));
}

} // namespace

CAlarmDetailView::CAlarmDetailView(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::AlarmDetailView>())
{
    ui->setupUi(this);
    qRegisterMetaType<LinkageRecordSet>();
    connect(ui->m_pBtnDetailPrev, &QPushButton::clicked, this, &CAlarmDetailView::onBtnPrevClicked);
    connect(ui->m_pBtnDetailNext, &QPushButton::clicked, this, &CAlarmDetailView::onBtnNextClicked);
    connect(ui->m_pBtnDetailOpenFolder, &QPushButton::clicked, this, &CAlarmDetailView::onBtnOpenFolderClicked);
    connect(ui->m_pBtnDetailClose, &QPushButton::clicked, this, &CAlarmDetailView::reject);
    connect(ui->m_pBtnDetailExport, &QPushButton::clicked, this, [this] { emit signalExportRequested(m_set); });
    // Buttons would take the arrow keys to move the focus: the view steps instead.
    for (QPushButton* pButton : findChildren<QPushButton*>())
        pButton->installEventFilter(this);
}

CAlarmDetailView::~CAlarmDetailView() = default;

void CAlarmDetailView::Open(LinkageRecordSet set, int nCard)
{
    auto& vecCards = set.vecCards;
    vecCards.erase(std::remove(vecCards.begin(), vecCards.end(), nullptr), vecCards.end());
    if (!set.spScene && vecCards.empty()) {
        qCDebug(lcAlarmView) << "detail view not opened: nothing to show";
        return;
    }
    m_set = std::move(set);
    int nPosition = 0;
    if (nCard >= 0 && size_t(nCard) < m_set.vecCards.size())
        nPosition = nCard + SceneOffset();
    m_nPosition = nPosition;
    if (!isVisible()) {
        SizeToScreen();
        show();
    }
    raise();
    activateWindow();
    ShowPosition(nPosition);
}

int CAlarmDetailView::PositionCount() const
{
    return SceneOffset() + int(m_set.vecCards.size());
}

int CAlarmDetailView::CurrentCard() const
{
    return m_nPosition - SceneOffset();
}

const CardRecord* CAlarmDetailView::CurrentRecord() const
{
    if (PositionCount() == 0)
        return nullptr;
    const int nCard = CurrentCard();
    return nCard == kScene ? m_set.spScene.get() : m_set.vecCards[size_t(nCard)].get();
}

void CAlarmDetailView::onBtnPrevClicked()
{
    if (m_nPosition > 0)
        ShowPosition(m_nPosition - 1);
}

void CAlarmDetailView::onBtnNextClicked()
{
    if (m_nPosition + 1 < PositionCount())
        ShowPosition(m_nPosition + 1);
}

void CAlarmDetailView::onBtnOpenFolderClicked()
{
    const CardRecord* pRecord = CurrentRecord();
    if (!pRecord || pRecord->SavedFiles.isEmpty())
        return;
    const QString strFolder = QFileInfo(pRecord->SavedFiles.front()).absolutePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(strFolder)))
        qCWarning(lcAlarmView) << "cannot open the folder" << strFolder;
}

void CAlarmDetailView::RefreshRecord()
{
    if (const CardRecord* pRecord = CurrentRecord(); pRecord && isVisible())
        ShowTexts(*pRecord);
}

void CAlarmDetailView::ShowPosition(int nPosition)
{
    m_nPosition = nPosition;
    const bool bScene = CurrentCard() == kScene;
    ui->m_pWidgetDetailPerson->setVisible(!bScene);
    ui->m_pBtnDetailPrev->setEnabled(nPosition > 0);
    ui->m_pBtnDetailNext->setEnabled(nPosition + 1 < PositionCount());
    ui->m_pLabelDetailPosition->setText(
        bScene ? AlarmViewTexts::Text(AlarmViewTexts::DetailScene)
               : QStringLiteral("%1 / %2").arg(CurrentCard() + 1).arg(m_set.vecCards.size()));
    ShowTexts(*CurrentRecord());
    // The labels take their new sizes before anything is decoded for them.
    layout()->activate();
    QueuePictures();
    emit signalCurrentChanged(CurrentCard());
}

void CAlarmDetailView::ShowTexts(const CardRecord& record)
{
    ui->m_pLabelDetailCamera->setText(record.CameraName);
    ui->m_pLabelDetailTime->setText(AlarmTimeText(record.AlarmTime));
    ui->m_pLabelDetailLinkage->setText(record.LinkageUid);
    ui->m_pBtnDetailOpenFolder->setEnabled(!record.SavedFiles.isEmpty());
}

void CAlarmDetailView::QueuePictures()
{
    m_deqJobs.clear();
    for (QLabel* pLabel : {ui->m_pLabelDetailFace, ui->m_pLabelDetailBody, ui->m_pLabelDetailScene})
        pLabel->clear();
    const CardPicture scene = m_set.spScene ? m_set.spScene->Scene : CardPicture();
    if (CurrentCard() == kScene) {
        std::vector<protocol::PictureRect> vecRects = m_set.spScene->PersonRects;
        for (const auto& spCard : m_set.vecCards)
            vecRects.insert(vecRects.end(), spCard->PersonRects.begin(), spCard->PersonRects.end());
        m_deqJobs.push_back({scene, ui->m_pLabelDetailScene, std::move(vecRects)});
    } else {
        const CardRecord& card = *m_set.vecCards[size_t(CurrentCard())];
        m_deqJobs.push_back({card.Face, ui->m_pLabelDetailFace, {}});
        m_deqJobs.push_back({card.Body, ui->m_pLabelDetailBody, {}});
        m_deqJobs.push_back({card.Scene.IsNull() ? scene : card.Scene, ui->m_pLabelDetailScene, card.PersonRects});
    }
    ScheduleDecode();
}

void CAlarmDetailView::ScheduleDecode()
{
    if (m_bDecodePosted || m_deqJobs.empty())
        return;
    m_bDecodePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bDecodePosted = false;
            DecodeNext();
        },
        Qt::QueuedConnection);
}

void CAlarmDetailView::DecodeNext()
{
    if (m_deqJobs.empty())
        return;
    const DecodeJob job = std::move(m_deqJobs.front());
    m_deqJobs.pop_front();
    QImage image;
    if (!job.picture.IsNull())
        image = AlarmPicture::DecodeToFit(job.picture.spBytes->strData, job.picture.optCut,
                                          job.pLabel->contentsRect().size());
    if (image.isNull()) {
        job.pLabel->setText(AlarmViewTexts::Text(AlarmViewTexts::DetailNoPicture));
    } else {
        DrawRects(image, job.vecRects);
        job.pLabel->setPixmap(QPixmap::fromImage(image));
    }
    ScheduleDecode();
}

void CAlarmDetailView::FinishDecoding()
{
    while (!m_deqJobs.empty())
        DecodeNext();
}

void CAlarmDetailView::SizeToScreen()
{
    QScreen* pScreen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!pScreen)
        return;
    const QRect rcScreen = pScreen->availableGeometry();
    const QSize size =
        (QSizeF(rcScreen.size()) * kScreenShare).toSize().expandedTo(minimumSizeHint()).boundedTo(rcScreen.size());
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, rcScreen));
}

bool CAlarmDetailView::StepByKey(int nKey)
{
    if (nKey == Qt::Key_Left)
        onBtnPrevClicked();
    else if (nKey == Qt::Key_Right)
        onBtnNextClicked();
    else
        return false;
    return true;
}

bool CAlarmDetailView::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() == QEvent::KeyPress && StepByKey(static_cast<QKeyEvent*>(pEvent)->key()))
        return true;
    return QDialog::eventFilter(pWatched, pEvent);
}

void CAlarmDetailView::keyPressEvent(QKeyEvent* pEvent)
{
    if (!StepByKey(pEvent->key()))
        QDialog::keyPressEvent(pEvent);
}

void CAlarmDetailView::resizeEvent(QResizeEvent* pEvent)
{
    QDialog::resizeEvent(pEvent);
    // Pictures are decoded for the sizes they are shown at.
    if (isVisible() && PositionCount() > 0)
        QueuePictures();
}

void CAlarmDetailView::hideEvent(QHideEvent* pEvent)
{
    QDialog::hideEvent(pEvent);
    if (pEvent->spontaneous())
        return;
    // Closed: the pictures and the records go.
    m_deqJobs.clear();
    m_set = LinkageRecordSet();
    m_nPosition = 0;
    for (QLabel* pLabel : {ui->m_pLabelDetailFace, ui->m_pLabelDetailBody, ui->m_pLabelDetailScene})
        pLabel->clear();
}

} // namespace LinkageSnapAlarm
