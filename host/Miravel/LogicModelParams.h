#pragma once

#include "HostExport.h"

#include <QString>

namespace Miravel {

// How a logic model shows the host's tree.
struct HOST_API LogicNodeParam
{
    bool bCheckable = false;       // rows carry check boxes
    bool bDragEnabled = true;      // rows may be dragged
    QString strRootAreaID;         // only this group; empty: every group
    bool bEditable = false;        // names may be edited in place
    bool bShowElementState = true; // element rows show the host's state icons
    int nElementTypeMask = 0;      // element types shown, bit (1 << type); 0: every type
};

// The pictures of the tree's rows (resource paths).
struct HOST_API StruResouceOfElementParam
{
    QString strGroupIcon = QStringLiteral(":/publicIcon/Images/public/PublicIcon/Group.svg");
    QString strCameraIcon = QStringLiteral(":/publicIcon/Images/public/PublicIcon/Camera.svg");
    QString strCameraOfflineIcon = QStringLiteral(":/publicIcon/Images/public/PublicIcon/CameraOffline.svg");
    QString strCameraDisabledIcon = QStringLiteral(":/publicIcon/Images/public/PublicIcon/CameraDisabled.svg");
    QString strAlarmInputIcon = QStringLiteral(":/publicIcon/Images/public/PublicIcon/AlarmInput.svg");
};

} // namespace Miravel
