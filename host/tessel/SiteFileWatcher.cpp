#include "tessel/SiteFileWatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include "tessel/GroupManager.h"

namespace tessel {

CSiteFileWatcher::CSiteFileWatcher(QObject* parent)
    : QObject(parent)
    , m_pParse(new QFutureWatcher<SiteLoadResult>(this))
    , m_pWatcher(new QFileSystemWatcher(this))
    , m_pSettleTimer(new QTimer(this))
{
    connect(m_pParse, &QFutureWatcher<SiteLoadResult>::finished, this, &CSiteFileWatcher::OnParsed);
    m_pSettleTimer->setSingleShot(true);
    m_pSettleTimer->setInterval(kSettleMs);
    connect(m_pSettleTimer, &QTimer::timeout, this, &CSiteFileWatcher::Reload);
    connect(m_pWatcher, &QFileSystemWatcher::fileChanged, this, &CSiteFileWatcher::OnPathChanged);
    connect(m_pWatcher, &QFileSystemWatcher::directoryChanged, this, &CSiteFileWatcher::OnPathChanged);
}

CSiteFileWatcher::~CSiteFileWatcher() = default;

SiteLoadResult CSiteFileWatcher::Watch(const QString& strPath)
{
    m_strPath = strPath;
    RewatchPaths();
    SiteLoadResult result = ApplySiteFile(m_strPath);
    emit signalSiteLoaded(result.lstMessages, result.bUsable);
    return result;
}

void CSiteFileWatcher::Reload()
{
    if (m_strPath.isEmpty())
        return;
    RewatchPaths();
    if (m_pParse->isRunning()) {
        m_bReloadAgain = true; // the newest state of the file wins
        return;
    }
    const QString strPath = m_strPath;
    m_pParse->setFuture(QtConcurrent::run([strPath] { return LoadSiteFile(strPath); }));
}

void CSiteFileWatcher::OnParsed()
{
    const SiteLoadResult result = m_pParse->result();
    if (result.bUsable)
        CGroupManager::Instance().ApplySite(result.site);
    emit signalSiteLoaded(result.lstMessages, result.bUsable);
    if (m_bReloadAgain) {
        m_bReloadAgain = false;
        Reload();
    }
}

void CSiteFileWatcher::OnPathChanged()
{
    // Editors write in several steps: read once things have settled.
    m_pSettleTimer->start();
}

void CSiteFileWatcher::RewatchPaths()
{
    // A file replaced by rename is a new file: watch the folder too, and
    // watch the file again whenever it exists.
    if (!m_pWatcher->files().isEmpty())
        m_pWatcher->removePaths(m_pWatcher->files());
    if (!m_pWatcher->directories().isEmpty())
        m_pWatcher->removePaths(m_pWatcher->directories());
    const QFileInfo info(m_strPath);
    if (info.exists())
        m_pWatcher->addPath(info.absoluteFilePath());
    if (info.absoluteDir().exists())
        m_pWatcher->addPath(info.absolutePath());
}

} // namespace tessel
