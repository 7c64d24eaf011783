#pragma once

#include "ui_LinkageSnapAlarmDlgForm.h"

namespace LinkageSnapAlarm {

// The widgets of the linkage dialog's form (LinkageSnapAlarmDlgForm.ui). The host
// style sheet addresses them by object name, so every child carries one.
struct CLinkageSnapAlarmDlgForm : public Ui::LinkageSnapAlarmDlg
{
};

} // namespace LinkageSnapAlarm
