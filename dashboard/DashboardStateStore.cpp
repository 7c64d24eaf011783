#include "dashboard/DashboardStateStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

CDashboardStateStore::CDashboardStateStore(const QString& strFilePath)
    : m_strFilePath(strFilePath)
{
}

QString CDashboardStateStore::DefaultFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath("LinkageHost/dashboard-state.ini");
}

quorra::AIWidgetStateList CDashboardStateStore::Load(const QString& strPlugin) const
{
    QSettings settings(m_strFilePath, QSettings::IniFormat);
    quorra::AIWidgetStateList vecState;
    const int nCount = settings.beginReadArray(strPlugin);
    for (int i = 0; i < nCount; ++i) {
        settings.setArrayIndex(i);
        quorra::AIWidgetStateItem item;
        item.strText = settings.value("text").toString().toStdString();
        for (const QString& strValue : settings.value("values").toStringList())
            item.vecValues.push_back(strValue.toInt());
        vecState.push_back(std::move(item));
    }
    settings.endArray();
    return vecState;
}

bool CDashboardStateStore::Save(const QString& strPlugin, const quorra::AIWidgetStateList& vecState) const
{
    QDir().mkpath(QFileInfo(m_strFilePath).absolutePath());
    QSettings settings(m_strFilePath, QSettings::IniFormat);
    settings.remove(strPlugin);
    settings.beginWriteArray(strPlugin, static_cast<int>(vecState.size()));
    for (int i = 0; i < static_cast<int>(vecState.size()); ++i) {
        settings.setArrayIndex(i);
        settings.setValue("text", QString::fromStdString(vecState[i].strText));
        QStringList lstValues;
        for (int nValue : vecState[i].vecValues)
            lstValues << QString::number(nValue);
        settings.setValue("values", lstValues);
    }
    settings.endArray();
    settings.sync();
    return settings.status() == QSettings::NoError;
}
