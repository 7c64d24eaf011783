#pragma once

#include <QCoreApplication>

namespace LinkageSnapAlarm {

// The texts the linkage view shows from code, listed once so that lupdate finds
// every key (the form's own texts are in LinkageSnapAlarmDlgForm.ui).
struct AlarmViewTexts
{
    static constexpr const char* kContext = "LinkageSnapAlarm::CLinkageSnapAlarmDlg";
    static constexpr const char* Close = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "Close");
    static constexpr const char* NoEnoughFreeSpace =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "NoEnoughFreeSpace");
    static constexpr const char* SavePictureFailed =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "SavePictureFailed");

    static QString Text(const char* szKey) { return QCoreApplication::translate(kContext, szKey); }
};

} // namespace LinkageSnapAlarm
