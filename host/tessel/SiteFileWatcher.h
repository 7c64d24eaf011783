#pragma once

#include "tessel/Site.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

namespace tessel {

// Keeps the process-wide site in step with a site file: every save of the file
// (also by editors that write a new file and rename it over the old one) is
// read again and applied, so cameras added, removed or switched offline in the
// file reach the tree while the application runs. A file that cannot be used
// leaves the current site as it is.
class HOST_API CSiteFileWatcher : public QObject
{
    Q_OBJECT
public:
    // Quiet time after the last change before the file is read again.
    static constexpr int kSettleMs = 200;

    explicit CSiteFileWatcher(QObject* parent = nullptr);
    ~CSiteFileWatcher() override;

    // Loads the file now and watches it from then on.
    SiteLoadResult Watch(const QString& strPath);
    QString WatchedFile() const { return m_strPath; }

public slots:
    // Reads the file again and applies it when usable.
    void Reload();

signals:
    // After each read: the problems found (empty when none) and whether applied.
    void signalSiteLoaded(const QStringList& lstMessages, bool bApplied);

private:
    void OnPathChanged();
    void RewatchPaths();

    QString m_strPath;
    QFileSystemWatcher* m_pWatcher = nullptr;
    QTimer* m_pSettleTimer = nullptr;
};

} // namespace tessel
