#pragma once

#include "common/TranslationKeys.h"

namespace LinkageSnapAlarm {

// The texts the setup dialog shows from code, listed once so that lupdate finds
// every key (the form's own texts are in LinkageSetupDlgForm.ui).
struct SetupDlgTexts : TranslationKeys<SetupDlgTexts>
{
    static constexpr const char* kContext = "LinkageSnapAlarm::CLinkageSetupDlg";
    static constexpr const char* Close = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "Close");
    static constexpr const char* ExportPicture =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "ExportPicture");
    static constexpr const char* NoEnoughFreeSpace =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "NoEnoughFreeSpace");
    static constexpr const char* NoAccessToThisFolder =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "NoAccessToThisFolder");
    static constexpr const char* SaveFailed = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "SaveFailed");
    static constexpr const char* Saved = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "Saved");
    static constexpr const char* SettingsDatabaseDamaged =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "SettingsDatabaseDamaged");
    // The button and shortcut (Ctrl+H) that open the alarm history.
    static constexpr const char* AlarmHistory = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "AlarmHistory");
    static constexpr const char* SettingsNotAvailableYet =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "SettingsNotAvailableYet");
    // Accessible names and help.
    //: "Linkage view settings"
    static constexpr const char* SetupDialog = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "SetupDialog");
    //: "Save pictures"
    static constexpr const char* SavePictureSwitch =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "SavePictureSwitch");
    //: "Picture folder"
    static constexpr const char* SaveFolderField =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "SaveFolderField");
    //: "Enter, Space or a click chooses another folder."
    static constexpr const char* SaveFolderFieldHelp =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSetupDlg", "SaveFolderFieldHelp");
};

} // namespace LinkageSnapAlarm
