#pragma once

// Small sites for the camera tree's tests, applied to the process-wide group
// manager, and the tree written as one short line.

#include "TesselGUIToolkit/ItemDataRole.h"
#include "tessel/GroupManager.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QImage>
#include <QStringList>

namespace TreeTest {

inline tessel::CameraInfo Cam(const std::string& strGuid, const std::string& strGroup, const std::string& strName)
{
    tessel::CameraInfo info;
    info.strGUID = strGuid;
    info.strGroupID = strGroup;
    info.strName = strName;
    return info;
}

// Gate: c1 "Front Door", c2 "Back Door" (offline), c3 "Lobby" (disabled), alarm
// input a1 "Door Contact"; Yard: c4 "Yard North".
inline tessel::SiteData BaseSite()
{
    tessel::SiteData site;
    site.vecGroups = {{"g1", "Gate"}, {"g2", "Yard"}};
    site.vecCameras = {Cam("c1", "g1", "Front Door"), Cam("c2", "g1", "Back Door"), Cam("c3", "g1", "Lobby"),
                       Cam("c4", "g2", "Yard North")};
    site.vecCameras[1].bOnline = false;
    site.vecCameras[2].bEnabled = false;
    site.vecAlarmInputs = {{"a1", "Door Contact", "g1"}};
    return site;
}

inline void Apply(const tessel::SiteData& site)
{
    tessel::CGroupManager::Instance().ApplySite(site);
}

// The row of a camera or alarm input by its id, else of a group by its id.
template <class Model>
QModelIndex Row(Model& model, const QString& strId)
{
    const QModelIndex row = model.GetElementIndexByElementID(strId.toStdString());
    return row.isValid() ? row : model.GetAreaIndexByAreaID(strId.toStdString());
}

// Icons compared as 16x16 images: a row's decoration, or a public icon file.
inline QImage IconImage(const QVariant& icon)
{
    return qvariant_cast<QIcon>(icon).pixmap(16, 16).toImage();
}

inline QImage IconImage(const QString& strFile)
{
    return QIcon(QStringLiteral(":/publicIcon/Images/public/PublicIcon/") + strFile).pixmap(16, 16).toImage();
}

// "Gate[Front Door,Back Door] Yard[Yard North]"
inline QString Dump(const QAbstractItemModel& model)
{
    QStringList lstGroups;
    for (int nGroup = 0; nGroup < model.rowCount(); ++nGroup) {
        const QModelIndex group = model.index(nGroup, 0);
        QStringList lstRows;
        for (int nRow = 0; nRow < model.rowCount(group); ++nRow)
            lstRows << model.index(nRow, 0, group).data().toString();
        lstGroups << group.data().toString() + "[" + lstRows.join(',') + "]";
    }
    return lstGroups.join(' ');
}

} // namespace TreeTest
