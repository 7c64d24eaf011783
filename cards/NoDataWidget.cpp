#include "cards/NoDataWidget.h"

#include "ui_NoDataWidget.h"

namespace LinkageSnapAlarm {

CNoDataWidget::CNoDataWidget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::NoDataWidget>())
{
    ui->setupUi(this);
}

CNoDataWidget::~CNoDataWidget() = default;

} // namespace LinkageSnapAlarm
