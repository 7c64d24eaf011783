#pragma once

#include "Miravel/LogicModel.h"

#include <QModelIndex>

#include <cstdint>
#include <string>

namespace LinkageSnapAlarm {

// The camera tree's model: the host's groups and cameras, with the preview
// pixmap at the right of camera rows, search matches coloured, the cameras'
// play state icons and lookups from a row to its camera or group GUID.
class CLinkageCameraModel : public Miravel::CLogicModel
{
    Q_OBJECT
public:
    CLinkageCameraModel(QObject* parent, unsigned int mode, bool bShowPreview);
    ~CLinkageCameraModel() override;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    std::string GetCameraIDByIndex(const QModelIndex& index) const;
    std::string GetAreaIDByIndex(const QModelIndex& index) const;
    void SetCameraPlayIcon(const QModelIndex& index, bool bPlaying);

private slots:
    // Decorates every row the host has just inserted (a group's cameras, or cameras).
    void OnGroupRowsAdd(const QModelIndex& miParent, int iStart, int iEnd);

private:
    void DecorateGroupCameras(const std::string& strAreaID);
    std::string IdByIndex(const QModelIndex& index, unsigned nType, int nIdRole) const;

    uint32_t m_nMode = 1;
    bool m_bShowPreview = true;
};

} // namespace LinkageSnapAlarm
