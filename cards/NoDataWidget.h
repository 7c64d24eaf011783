#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class NoDataWidget;
} // namespace Ui

namespace LinkageSnapAlarm {

// What a picture panel shows while it has nothing: an icon and "NoData".
class CNoDataWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CNoDataWidget(QWidget* parent = nullptr);
    ~CNoDataWidget() override;

private:
    std::unique_ptr<Ui::NoDataWidget> ui;
};

} // namespace LinkageSnapAlarm
