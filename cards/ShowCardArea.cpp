#include "cards/ShowCardArea.h"

#include "cards/CornerMark.h"
#include "cards/ShowCardWidget.h"
#include "ui_ShowCardArea.h"

namespace LinkageSnapAlarm {

CShowCardArea::CShowCardArea(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ShowCardArea>())
{
    ui->setupUi(this);
    ui->m_pStackShow->setCurrentWidget(ui->m_pPageNoData);
    m_pLabelTriangle = CCornerMark::Create(this);
}

CShowCardArea::~CShowCardArea() = default;

CShowCardWidget* CShowCardArea::CardWidget() const
{
    return ui->m_pScrollWidgetShow;
}

void CShowCardArea::InitCardLayout(bool bVertical)
{
    ui->m_pScrollWidgetShow->InitCardLayout(bVertical);
}

void CShowCardArea::SetCardSpacing(int nPixels)
{
    ui->m_pScrollWidgetShow->SetCardSpacing(nPixels);
}

void CShowCardArea::AddCard(QWidget* pCard)
{
    if (!m_bHasCards) {
        m_pLabelTriangle->hide();
        ui->m_pStackShow->setCurrentWidget(ui->m_pPageShow);
        m_bHasCards = true;
    }
    ui->m_pScrollWidgetShow->AddCard(pCard);
}

QWidget* CShowCardArea::TakeCardToReuse()
{
    return ui->m_pScrollWidgetShow->TakeCardToReuse();
}

void CShowCardArea::ClearCards()
{
    if (m_bHasCards) {
        m_pLabelTriangle->show();
        ui->m_pStackShow->setCurrentWidget(ui->m_pPageNoData);
        m_bHasCards = false;
    }
    ui->m_pScrollWidgetShow->ClearCards();
}

void CShowCardArea::resizeEvent(QResizeEvent* pEvent)
{
    CCornerMark::Place(m_pLabelTriangle, size());
    QWidget::resizeEvent(pEvent);
}

} // namespace LinkageSnapAlarm
