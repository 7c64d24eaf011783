#pragma once

#include "common/LinkageRules.h"

#include <QString>

namespace LinkageSnapAlarm {

// The three user settings of the linkage view.
struct LinkageSetupInfo
{
    bool IsSavePicture = false;         // alarm pictures are written to disk
    QString SavePicPath;                // folder the pictures go to
    int PreviewMode = kPreviewModeDual; // two live windows; any other value: three
};

} // namespace LinkageSnapAlarm
