#pragma once

#include "quorra/IAIWidget.h"

class QGridLayout;

namespace LinkageSnapAlarm {

class CLinkageSnapAlarmDlg;

// The widget the dashboard embeds: a frame around the linkage dialog that maps
// the host's state save/restore and its buttons onto the dialog.
class CLinckageSnap : public quorra::IAIWidget
{
    Q_OBJECT
public:
    CLinckageSnap();
    explicit CLinckageSnap(QWidget* parent);
    ~CLinckageSnap() override;

    void saveState() override;
    void readState() override;

    CLinkageSnapAlarmDlg* LinkageDlg() const { return m_pLinkageSnapAlarmDlg; }

public slots:
    void onConfigBtnClicked() override;
    void onMinmumBtnClicked() override;
    void onCloseBtnClicked() override;

private:
    QGridLayout* m_pGridLayout = nullptr;
    CLinkageSnapAlarmDlg* m_pLinkageSnapAlarmDlg = nullptr;
};

} // namespace LinkageSnapAlarm
