#pragma once

#include "ui_LinkageSetupDlgForm.h"

namespace LinkageSnapAlarm {

// The widgets of the setup dialog's form (LinkageSetupDlgForm.ui); the host style
// sheet addresses them by object name.
struct CLinkageSetupDlgForm : public Ui::LinkageSetupDlg
{
};

} // namespace LinkageSnapAlarm
