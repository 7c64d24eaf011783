#pragma once

#include "common/TranslationKeys.h"

#include <QStringList>

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

    // Incident export: the action, its dialog and what it tells.
    //: "Export incident…"
    static constexpr const char* ExportIncident =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportIncident");
    //: "Export incident"
    static constexpr const char* ExportTitle =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportTitle");
    //: "Folder"
    static constexpr const char* ExportFolder =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportFolder");
    //: "Browse…"
    static constexpr const char* ExportBrowse =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportBrowse");
    //: "Seconds of video before and after"
    static constexpr const char* ExportSeconds =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportSeconds");
    //: "Note"
    static constexpr const char* ExportNote = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportNote");
    //: "Export"
    static constexpr const char* ExportStart =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportStart");
    //: "Cancel"
    static constexpr const char* ExportCancel =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportCancel");
    //: "There is no alarm to export."
    static constexpr const char* ExportNoAlarm =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportNoAlarm");
    //: "The export cannot be written to %1."
    static constexpr const char* ExportFolderFailed =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportFolderFailed");
    //: "Not enough free space for the export: %1 MiB needed, %2 MiB free."
    static constexpr const char* ExportNotEnoughSpace =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportNotEnoughSpace");
    //: "Writing the pictures"
    static constexpr const char* ExportPictures =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportPictures");
    //: "Waiting for the video after the last alarm (%1 s)"
    static constexpr const char* ExportWaiting =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportWaiting");
    //: "Writing the clip of %1"
    static constexpr const char* ExportClip = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportClip");
    //: "Computing the checksums"
    static constexpr const char* ExportHashing =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportHashing");
    //: "Exported to %1"
    static constexpr const char* ExportDone = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportDone");
    //: "The export was cancelled; nothing was written."
    static constexpr const char* ExportCancelled =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportCancelled");
    //: "Without video: %1"
    static constexpr const char* ExportMissing =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportMissing");
    //: "An export is running already."
    static constexpr const char* ExportBusy = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CLinkageSnapAlarmDlg", "ExportBusy");

    // A text that takes %1, %2...; without a translation the key and the values.
    static QString WithArgs(const char* szKey, const QStringList& lstArgs)
    {
        QString strText = Text(szKey);
        if (!strText.contains(QLatin1String("%1")))
            return lstArgs.isEmpty() ? strText
                                     : QStringLiteral("%1 (%2)").arg(strText, lstArgs.join(QLatin1String(", ")));
        for (const QString& strArg : lstArgs)
            strText = strText.arg(strArg);
        return strText;
    }

    // A text that takes a count as %1; without a translation the key and the count.
    static QString Counted(const char* szKey, int nCount)
    {
        const QString strText = Text(szKey);
        return strText.contains(QLatin1String("%1")) ? strText.arg(nCount)
                                                     : QStringLiteral("%1 (%2)").arg(strText).arg(nCount);
    }
};

} // namespace LinkageSnapAlarm
