#include "cameratree/RightShrinkWid.h"

#include "ui_RightShrinkWid.h"

#include <QStyle>

namespace LinkageSnapAlarm {

CRightShrinkWid::CRightShrinkWid(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::RightShrinkWid>())
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->m_pBtnShrink->setToolTip(tr("ShrinkOrExpand"));
    ui->m_pBtnShrink->setAccessibleName(ui->m_pBtnShrink->toolTip());
    connect(ui->m_pBtnShrink, SIGNAL(clicked()), this, SIGNAL(SignalShrinkBtnCk()));
}

CRightShrinkWid::~CRightShrinkWid() = default;

void CRightShrinkWid::SetShrinkIn(bool bShrinkIn)
{
    ui->m_pBtnShrink->setProperty("bShrinkIn", bShrinkIn);
    // Property selectors of the style sheet are evaluated at polish time; a
    // button not polished yet reads the value when it first is.
    if (!ui->m_pBtnShrink->testAttribute(Qt::WA_WState_Polished))
        return;
    ui->m_pBtnShrink->style()->unpolish(ui->m_pBtnShrink);
    ui->m_pBtnShrink->style()->polish(ui->m_pBtnShrink);
}

} // namespace LinkageSnapAlarm
