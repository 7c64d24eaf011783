#pragma once

#include "common/TranslationKeys.h"

namespace LinkageSnapAlarm {

// The texts the camera panel gives from code, listed once so that lupdate finds
// every key (the forms' own texts are in the .ui files).
struct CameraTreeTexts : TranslationKeys<CameraTreeTexts>
{
    static constexpr const char* kContext = "LinkageSnapAlarm::CGroupTreeWidget";
    //: Accessible name of the panel: "Camera panel"
    static constexpr const char* CameraPanel = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CGroupTreeWidget", "CameraPanel");
    //: Accessible name of the tree: "Cameras"
    static constexpr const char* CameraTree = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CGroupTreeWidget", "CameraTree");
    //: "Enter starts the camera in the selected live window. Right and Left open and close a group."
    static constexpr const char* CameraTreeHelp =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CGroupTreeWidget", "CameraTreeHelp");
    //: Accessible name of the search box: "Search cameras"
    static constexpr const char* CameraSearch = QT_TRANSLATE_NOOP("LinkageSnapAlarm::CGroupTreeWidget", "CameraSearch");
    //: "Ctrl+F comes here. Type to filter the cameras; Down moves into the list, Escape clears the search."
    static constexpr const char* CameraSearchHelp =
        QT_TRANSLATE_NOOP("LinkageSnapAlarm::CGroupTreeWidget", "CameraSearchHelp");
};

} // namespace LinkageSnapAlarm
