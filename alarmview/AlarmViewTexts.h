#pragma once

#include "common/TranslationKeys.h"

namespace LinkageSnapAlarm {

// The texts the linkage view shows from code, listed once so that lupdate finds
// every key (the form's own texts are in LinkageSnapAlarmDlgForm.ui).
struct AlarmViewTexts : TranslationKeys<AlarmViewTexts>
{
    static constexpr const char* kContext = "LinkageSnapAlarm::CLinkageSnapAlarmDlg";
    static constexpr const char* Close = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "Close");
    static constexpr const char* NoEnoughFreeSpace =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "NoEnoughFreeSpace");
    static constexpr const char* SavePictureFailed =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "SavePictureFailed");
    // %1: how many alarms came faster than the view could show them.
    static constexpr const char* AlarmsNotShown =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "AlarmsNotShown");
    // %1: how many pictures the disk could not keep up with.
    static constexpr const char* PicturesNotSaved =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "PicturesNotSaved");

    // The detail view: where it shows the linkage's scene instead of a card's
    // position, and in place of a picture that is missing or cannot be decoded.
    static constexpr const char* DetailScene =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "DetailScene");
    static constexpr const char* DetailNoPicture =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "DetailNoPicture");
    // Accessible names and help.
    //: "Linkage snapshot alarm view"
    static constexpr const char* LinkageView =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "LinkageView");
    //: %1: the window's number from the left. "Live window %1"
    static constexpr const char* LiveWindowNumber =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "LiveWindowNumber");
    //: "Left and Right select the next window. Ctrl+Shift+S screenshot, Ctrl+Shift+R recording, Ctrl+Shift+A sound,
    //: Ctrl+Shift+P PTZ, Ctrl+Shift+D digital zoom; Escape leaves PTZ or digital zoom; Shift+F10 opens the menu."
    static constexpr const char* LiveWindowHelp =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "LiveWindowHelp");
    //: "Scene picture of the panoramic alarm"
    static constexpr const char* ScenePicture =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ScenePicture");

    // A text that takes a count as %1; without a translation the key and the count.
    static QString Counted(const char* szKey, int nCount)
    {
        const QString strText = Text(szKey);
        return strText.contains(QLatin1String("%1")) ? strText.arg(nCount)
                                                     : QStringLiteral("%1 (%2)").arg(strText).arg(nCount);
    }
};

} // namespace LinkageSnapAlarm
