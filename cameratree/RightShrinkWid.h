#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class RightShrinkWid;
} // namespace Ui

namespace LinkageSnapAlarm {

// The narrow strip at the panel's right edge with the collapse button. The
// button's property "bShrinkIn" says whether the panel is collapsed, for the
// style sheet to draw the matching arrow.
class CRightShrinkWid : public QWidget
{
    Q_OBJECT
public:
    explicit CRightShrinkWid(QWidget* parent = nullptr);
    ~CRightShrinkWid() override;

    void SetShrinkIn(bool bShrinkIn);

signals:
    void SignalShrinkBtnCk();

private:
    std::unique_ptr<Ui::RightShrinkWid> ui;
};

} // namespace LinkageSnapAlarm
