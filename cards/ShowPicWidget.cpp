#include "cards/ShowPicWidget.h"

#include "cards/CornerMark.h"
#include "ui_ShowPicWidget.h"

namespace LinkageSnapAlarm {

CShowPicWidget::CShowPicWidget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ShowPicWidget>())
{
    ui->setupUi(this);
    ui->m_pStackShow->setCurrentWidget(ui->m_pPageNoData);
    m_pLabelTriangle = CCornerMark::Create(this);
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

} // namespace LinkageSnapAlarm
