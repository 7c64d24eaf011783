#pragma once

#include "quorra/IAIWidget.h"

#include <QString>

// Keeps each dashboard widget's state list from one run of the host to the next,
// in the host's data folder.
class CDashboardStateStore
{
public:
    explicit CDashboardStateStore(const QString& strFilePath = DefaultFilePath());

    quorra::AIWidgetStateList Load(const QString& strPlugin) const;
    bool Save(const QString& strPlugin, const quorra::AIWidgetStateList& vecState) const;

    static QString DefaultFilePath();

private:
    QString m_strFilePath;
};
