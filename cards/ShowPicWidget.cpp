#include "cards/ShowPicWidget.h"

#include "cards/CornerMark.h"
#include "ui_ShowPicWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace LinkageSnapAlarm {

CShowPicWidget::CShowPicWidget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ShowPicWidget>())
{
    ui->setupUi(this);
    ui->m_pStackShow->setCurrentWidget(ui->m_pPageNoData);
    m_pLabelTriangle = CCornerMark::Create(this);
    setFocusPolicy(Qt::StrongFocus);
}

CShowPicWidget::~CShowPicWidget() = default;

void CShowPicWidget::SetPicture(const QPixmap& pixPicture)
{
    if (!m_bHasPicture) {
        m_pLabelTriangle->hide();
        ui->m_pStackShow->setCurrentWidget(ui->m_pPagePic);
        m_bHasPicture = true;
    }
    ui->m_pLabelPic->setPixmap(pixPicture);
}

void CShowPicWidget::ClearPicture()
{
    if (m_bHasPicture) {
        m_pLabelTriangle->show();
        ui->m_pStackShow->setCurrentWidget(ui->m_pPageNoData);
        m_bHasPicture = false;
    }
    ui->m_pLabelPic->clear();
}

void CShowPicWidget::resizeEvent(QResizeEvent* pEvent)
{
    CCornerMark::Place(m_pLabelTriangle, size());
    QWidget::resizeEvent(pEvent);
}

void CShowPicWidget::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (m_bHasPicture && pEvent->button() == Qt::LeftButton && rect().contains(pEvent->pos())) {
        emit signalPictureActivated();
        return;
    }
    QWidget::mouseReleaseEvent(pEvent);
}

void CShowPicWidget::keyPressEvent(QKeyEvent* pEvent)
{
    if (m_bHasPicture && (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter)) {
        emit signalPictureActivated();
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

} // namespace LinkageSnapAlarm
