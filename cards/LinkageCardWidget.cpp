#include "cards/LinkageCardWidget.h"

#include "ui_LinkageCardWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace LinkageSnapAlarm {

namespace {
// Share of the card's height each picture label takes (33/95 and 56/95).
constexpr float kFaceHeightShare = 0.34736842f;
constexpr float kBodyHeightShare = 0.58947366f;
// Inner margin of the card background on every side.
constexpr int kCardMargin = 6;

int ShareOf(int nHeight, float fShare)
{
    return static_cast<int>(static_cast<float>(nHeight) * fShare);
}

QPixmap Stretched(const QPixmap& pix, const QSize& size)
{
    if (pix.isNull() || size.isEmpty())
        return QPixmap();
    return pix.size() == size ? pix : pix.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}
} // namespace

CLinkageCardWidget::CLinkageCardWidget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::LinkageCardWidget>())
{
    ui->setupUi(this);
    setFocusPolicy(Qt::StrongFocus);
}

CLinkageCardWidget::~CLinkageCardWidget() = default;

QSize CLinkageCardWidget::FaceLabelSize(const QSize& sizeCard)
{
    return QSize(qMax(0, sizeCard.width() - 2 * kCardMargin), ShareOf(sizeCard.height(), kFaceHeightShare));
}

QSize CLinkageCardWidget::BodyLabelSize(const QSize& sizeCard)
{
    return QSize(qMax(0, sizeCard.width() - 2 * kCardMargin), ShareOf(sizeCard.height(), kBodyHeightShare));
}

void CLinkageCardWidget::SetCardSize(int nWidth, int nHeight)
{
    setFixedSize(nWidth, nHeight);
    ui->m_pLabelFacePic->setFixedHeight(ShareOf(nHeight, kFaceHeightShare));
    ui->m_pLabelHumanPic->setFixedHeight(ShareOf(nHeight, kBodyHeightShare));
    // The card is not shown yet: lay it out now so the labels have their
    // final sizes when the pictures are stretched to them.
    layout()->activate();
    ui->m_pWidgetCardBack->layout()->activate();
}

void CLinkageCardWidget::SetPictures(const QPixmap& pixFace, const QPixmap& pixBody)
{
    ui->m_pLabelFacePic->setPixmap(Stretched(pixFace, ui->m_pLabelFacePic->size()));
    ui->m_pLabelHumanPic->setPixmap(Stretched(pixBody, ui->m_pLabelHumanPic->size()));
}

void CLinkageCardWidget::SetRecord(std::shared_ptr<const CardRecord> spRecord)
{
    m_spRecord = std::move(spRecord);
    setToolTip(ToolTipText());
}

QString CLinkageCardWidget::ToolTipText() const
{
    if (!m_spRecord)
        return QString();
    return m_spRecord->CameraName + QLatin1Char('\n') + AlarmTimeText(m_spRecord->AlarmTime);
}

bool CLinkageCardWidget::event(QEvent* pEvent)
{
    // The date shows once the alarm's day has passed: the text is made when asked for.
    if (pEvent->type() == QEvent::ToolTip)
        setToolTip(ToolTipText());
    return QWidget::event(pEvent);
}

void CLinkageCardWidget::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton && rect().contains(pEvent->pos())) {
        emit signalCardActivated(this);
        return;
    }
    QWidget::mouseReleaseEvent(pEvent);
}

void CLinkageCardWidget::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
        emit signalCardActivated(this);
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

} // namespace LinkageSnapAlarm
