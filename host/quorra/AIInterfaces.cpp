#include "quorra/IAIInterface.h"
#include "quorra/IAIWidget.h"

namespace quorra {

IAIInterface::~IAIInterface() = default;

IAIWidget::IAIWidget(QWidget* parent)
    : QWidget(parent)
{
}

IAIWidget::~IAIWidget() = default;

} // namespace quorra
