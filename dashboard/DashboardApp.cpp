// The dashboard host: loads the AI dashboard plug-ins the way the client does,
// embeds their widgets and keeps their state across runs. Its launcher loads
// this library and calls in once the application object exists.

#include "dashboard/DashboardLauncher.h"
#include "dashboard/DashboardLogging.h"
#include "dashboard/DashboardPlugin.h"
#include "dashboard/DashboardStateStore.h"
#include "dashboard/DashboardTexts.h"
#include "dashboard/DashboardWindow.h"
#include "dashboard/DemoAlarms.h"
#include "dashboard/FirstPaint.h"

#include "common/IncidentManifest.h"

#include "Vantrel/Vantrel.h"
#include "analytics/AnalyticsHub.h"
#include "quorra/IAIWidget.h"
#include "tessel/SiteFileWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <future>

namespace {

constexpr const char* kPluginName = "LinkageSnapAlarm";

void InstallLook(QApplication& app, QTranslator& translator)
{
    if (translator.load(":/translations/linkage_en.qm"))
        app.installTranslator(&translator);
    QFile styleSheet(":/dashboard/dashboard.qss");
    if (styleSheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
}

// The window with every other visible top-level window (dialogs, notices)
// painted over it where it stands: what a person would see on the screen.
QImage Screenshot(CDashboardWindow& window)
{
    // Video drawn by the X server into native windows is only on the screen.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QRect rc = window.frameGeometry();
        return QGuiApplication::primaryScreen()->grabWindow(0, rc.x(), rc.y(), rc.width(), rc.height()).toImage();
    }
    QImage image = window.grab().toImage();
    QPainter painter(&image);
    for (QWidget* pTop : QApplication::topLevelWidgets()) {
        if (pTop != &window && pTop->isVisible())
            painter.drawPixmap(pTop->geometry().topLeft() - window.geometry().topLeft(), pTop->grab());
    }
    return image;
}

// Headless runs: after the given time, write the screen's picture and quit.
void ScheduleScreenshot(CDashboardWindow& window, const QString& strFile, int nMs)
{
    QTimer::singleShot(nMs, &window, [&window, strFile] {
        if (!strFile.isEmpty() && !Screenshot(window).save(strFile))
            qCWarning(lcDashboard, "cannot write %s", qPrintable(strFile));
        QCoreApplication::quit();
    });
}

// The demo site built into the dashboard, or the operator's own site file,
// which is then watched so that edits reach the tree while the dashboard runs.
void LoadSite(const QString& strSiteFile, tessel::CSiteFileWatcher& watcher)
{
    QObject::connect(&watcher, &tessel::CSiteFileWatcher::signalSiteLoaded, [](const QStringList& lstMessages, bool) {
        for (const QString& strMessage : lstMessages)
            qCWarning(lcDashboard, "%s", qPrintable(strMessage));
    });
    if (!strSiteFile.isEmpty()) {
        watcher.Watch(strSiteFile);
        return;
    }
    for (const QString& strMessage : tessel::ApplySiteFile(QStringLiteral(":/demo/site.json")).lstMessages)
        qCWarning(lcDashboard, "%s", qPrintable(strMessage));
}

// Cameras for the live windows when the plug-in has no saved state: those
// given on the command line, else (with the demo site) its panorama and
// first linked camera.
void SeedLiveCameras(quorra::IAIWidget* pWidget, QStringList lstGuids, bool bDemoSite)
{
    if (!pWidget || !pWidget->stateList().empty())
        return;
    if (lstGuids.isEmpty() && bDemoSite)
        lstGuids = QStringList{"{7C3B9D21-4F7A-4E55-8A01-000000000101}", "{7C3B9D21-4F7A-4E55-8A01-000000000102}"};
    if (lstGuids.isEmpty())
        return;
    for (const QString& strGuid : qAsConst(lstGuids))
        pWidget->stateList().push_back({strGuid.trimmed().toStdString(), {}});
    pWidget->readState();
}

// Demo runs: open the plug-in's camera panel (its collapse strip's button) and
// type a search, as an operator would, found by the object names the style
// sheet uses too.
void ScriptCameraPanel(QWidget& window, bool bOpen, const QString& strSearch)
{
    if (bOpen || !strSearch.isEmpty()) {
        if (auto* pShrink = window.findChild<QPushButton*>(QStringLiteral("m_pBtnShrink")))
            pShrink->click();
    }
    if (auto* pSearch = window.findChild<QLineEdit*>(QStringLiteral("m_pEditSearch")); pSearch && !strSearch.isEmpty())
        pSearch->setText(strSearch);
}

// Demo runs: open the PTZ panel of the first window that shows a PTZ camera through its tool-bar
// button and hold the panel's pan-right and zoom-in buttons for a while.
void ScriptPtzPanel(QWidget& window, int nHoldMs)
{
    QAbstractButton* pOpen = nullptr;
    for (auto* pButton : window.findChildren<QAbstractButton*>(QStringLiteral("m_pToolBtn_OpenPTZControl")))
        if (!pOpen && pButton->isEnabled())
            pOpen = pButton;
    if (!pOpen) {
        qCWarning(lcDashboard, "no play window shows a PTZ camera");
        return;
    }
    pOpen->click();
    // About twice as close at the default speed, while the camera pans.
    const std::pair<const char*, int> arrHolds[] = {{"m_pBtnRight", nHoldMs}, {"m_pBtnZoomIn", nHoldMs / 2}};
    for (const auto& [szButton, nMs] : arrHolds)
        if (auto* pButton = window.findChild<QAbstractButton*>(QLatin1String(szButton));
            pButton && pButton->isEnabled())
            pButton->animateClick(nMs);
}

// Demo runs: click the newest card (the leftmost of the strip) as an operator
// would, which opens its details.
void ScriptDetailView(QWidget& window)
{
    auto* pStrip = window.findChild<QWidget*>(QStringLiteral("m_pScrollWidgetShow"));
    QWidget* pNewest = nullptr;
    for (QWidget* pCard :
         pStrip ? pStrip->findChildren<QWidget*>(QStringLiteral("LinkageCardWidget"), Qt::FindDirectChildrenOnly)
                : QList<QWidget*>()) {
        if (pCard->isVisible() && (!pNewest || pCard->x() < pNewest->x()))
            pNewest = pCard;
    }
    if (!pNewest) {
        qCWarning(lcDashboard, "no card to open");
        return;
    }
    const QPoint ptCentre = pNewest->rect().center();
    for (QEvent::Type eType : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(eType, ptCentre, pNewest->mapToGlobal(ptCentre), Qt::LeftButton,
                          eType == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pNewest, &event);
    }
}

// Demo runs: Tab through the plug-in's view as an operator would until the
// keyboard is on a snapshot card, so that its focus mark shows.
void ScriptKeyboardFocus(QWidget& window)
{
    constexpr int kMaxTabs = 40;
    QApplication::setActiveWindow(&window);
    for (int i = 0; i < kMaxTabs; ++i) {
        QWidget* pFocus = QApplication::focusWidget();
        if (pFocus && pFocus->objectName() == QLatin1String("LinkageCardWidget"))
            return;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(pFocus ? pFocus : &window, &tab);
    }
    qCWarning(lcDashboard, "no snapshot card to focus");
}

// Demo runs: play back the first playing window's buffered seconds through its
// tool-bar button, as an operator would after an alarm.
void ScriptInstantPlayback(QWidget& window)
{
    for (auto* pButton : window.findChildren<QAbstractButton*>(QStringLiteral("m_pToolBtn_InstantPlayback"))) {
        if (pButton->isEnabled()) {
            pButton->click();
            return;
        }
    }
    qCWarning(lcDashboard, "no play window may play back its buffer");
}

// Demo runs: open the plug-in's settings and, from them, its alarm history, as
// an operator would (the settings' history button, found by its object name).
void ScriptHistoryPanel(CDashboardWindow& window)
{
    if (quorra::IAIWidget* pWidget = window.CurrentWidget())
        pWidget->onConfigBtnClicked();
    if (auto* pButton = window.findChild<QPushButton*>(QStringLiteral("m_pBtnHistory")))
        pButton->click();
    else
        qCWarning(lcDashboard, "the plug-in has no alarm history button");
}

// Demo runs: export the newest card's linkage as an operator would (the card's
// menu, then the export dialog) into a fresh folder, and print where it went.
void ScriptExport(QWidget& window, const QString& strFolder)
{
    auto* pStrip = window.findChild<QWidget*>(QStringLiteral("m_pScrollWidgetShow"));
    QWidget* pCard = pStrip ? pStrip->findChild<QWidget*>(QStringLiteral("LinkageCardWidget")) : nullptr;
    if (!pCard) {
        qCWarning(lcDashboard, "no card to export");
        return;
    }
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, pCard->rect().center());
    QCoreApplication::sendEvent(pCard, &menuEvent);
    auto* pMenu = window.findChild<QMenu*>(QStringLiteral("m_pCardMenu"));
    auto* pAction = pMenu ? pMenu->findChild<QAction*>(QStringLiteral("m_pActionExportIncident")) : nullptr;
    if (pAction)
        pAction->trigger();
    if (pMenu)
        pMenu->hide();
    auto* pDialog = window.findChild<QWidget*>(QStringLiteral("IncidentExportDialog"));
    auto* pFolder = pDialog ? pDialog->findChild<QLineEdit*>(QStringLiteral("m_pFolderEdit")) : nullptr;
    auto* pExport = pDialog ? pDialog->findChild<QPushButton*>(QStringLiteral("m_pExportBtn")) : nullptr;
    if (!pFolder || !pExport) {
        qCWarning(lcDashboard, "the card has no export");
        return;
    }
    pFolder->setText(strFolder);
    pExport->click();
    // The export tells its folder when it is done.
    auto* pPoll = new QTimer(pDialog);
    QObject::connect(pPoll, &QTimer::timeout, pDialog, [pDialog, pPoll] {
        if (pDialog->property("bExporting").toBool())
            return;
        pPoll->deleteLater();
        const QString strDone = pDialog->property("strExportedFolder").toString();
        std::printf("%s\n", qPrintable(strDone.isEmpty() ? QStringLiteral("export failed") : strDone));
        std::fflush(stdout);
    });
    pPoll->start(200);
}

// LinkageDashboard --verify-export PATH: checks an incident export against its
// manifest without starting the window (no display needed).
int VerifyExport(const QCoreApplication& app)
{
    QCommandLineParser parser;
    const QCommandLineOption optVerify("verify-export", "Check an incident export's files against its manifest.",
                                       "folder");
    parser.addOption(optVerify);
    parser.process(app);
    const LinkageSnapAlarm::IncidentManifest::Check check =
        LinkageSnapAlarm::IncidentManifest::Verify(parser.value(optVerify));
    if (!check.strError.isEmpty()) {
        std::fprintf(stderr, "verify-export: %s\n", qPrintable(check.strError));
        return 1;
    }
    for (const QString& strFile : check.lstChanged)
        std::printf("changed: %s\n", qPrintable(strFile));
    for (const QString& strFile : check.lstMissing)
        std::printf("missing: %s\n", qPrintable(strFile));
    if (check.bOk)
        std::printf("all files match the manifest\n");
    return check.bOk ? 0 : 1;
}

} // namespace

// Outside the C entry point and the unnamed namespace, either of which would
// give the macro's declaration another name than the resources' own.
static void InitResources()
{
    Q_INIT_RESOURCE(dashboard);
}

extern "C" Q_DECL_EXPORT int LinkageDashboardRun(int nApplication)
{
    if (nApplication == kDashboardVerifyExport)
        return VerifyExport(*QCoreApplication::instance());
    QApplication& app = *qApp;
    InitResources();

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption optPluginDir("plugin-dir", "Folder of the plug-in libraries.", "dir",
                                          QCoreApplication::applicationDirPath());
    const QCommandLineOption optQuitAfter("quit-after", "Quit after this many seconds.", "seconds");
    const QCommandLineOption optScreenshot("screenshot", "Write a picture of the window before quitting.", "file");
    const QCommandLineOption optSize("size", "Window size instead of the whole screen.", "WxH");
    const QCommandLineOption optConfigure("configure", "Open the plug-in's settings at start.");
    const QCommandLineOption optSite("site", "Site file (JSON) instead of the demo site; watched for changes.", "file");
    const QCommandLineOption optShowTree("show-tree", "Open the camera panel at start.");
    const QCommandLineOption optSearch("search", "Open the camera panel and search it for this text.", "text");
    const QCommandLineOption optLive(
        "live", "Cameras (GUIDs, comma-separated) for the live windows when none are saved.", "guids");
    const QCommandLineOption optPtz("demo-ptz",
                                    "After this many seconds open the first window's PTZ panel and turn "
                                    "its camera for a while.",
                                    "seconds");
    const QCommandLineOption optDetail("demo-detail", "After this many seconds open the details of the newest card.",
                                       "seconds");
    const QCommandLineOption optPlayback(
        "demo-playback", "After this many seconds play back the first window's last seconds.", "seconds");
    const QCommandLineOption optHistory("show-history",
                                        "After this many seconds open the plug-in's settings and from them its "
                                        "alarm history.",
                                        "seconds");
    const QCommandLineOption optPrintFirstPaint(
        "print-first-paint", "Print the steady clock's nanoseconds at the window's first paint, then quit.");
    const QCommandLineOption optKeys(
        "demo-keys", "After this many seconds Tab through the view to the newest snapshot card.", "seconds");
    const QCommandLineOption optExport("demo-export",
                                       "After this many seconds export the newest card's linkage into a new "
                                       "temporary folder and print the export's folder.",
                                       "seconds");
    const QCommandLineOption optVerify("verify-export",
                                       "Check an incident export's files against its manifest and quit (0: all "
                                       "match).",
                                       "folder");
    parser.addOptions({optPluginDir, optQuitAfter, optScreenshot, optSize, optConfigure, optSite, optShowTree,
                       optSearch, optLive, optPtz, optDetail, optKeys, optPlayback, optHistory, optPrintFirstPaint,
                       optExport, optVerify});
    CDemoAlarms demoAlarms;
    demoAlarms.AddOptions(parser);
    parser.process(app);

    QTranslator translator;
    InstallLook(app, translator);

    CDashboardStateStore stateStore;
    CDashboardWindow window(stateStore);
    auto upPlugin = std::make_unique<CDashboardPlugin>(kPluginName);
    if (!upPlugin->Load(parser.value(optPluginDir)) || !window.AddPlugin(std::move(upPlugin), false)) {
        const QString strError = upPlugin ? upPlugin->ErrorString() : QStringLiteral("no widget");
        std::fprintf(stderr, "dashboard: %s\n", qPrintable(strError));
        if (!parser.isSet(optQuitAfter))
            QMessageBox::critical(nullptr, "LinkageDashboard",
                                  DashboardTexts::Text(DashboardTexts::PluginLoadFailed).arg(kPluginName, strError));
        return 1;
    }
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.SaveStates(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { Analytics::CAnalyticsHub::Instance().Stop(); });
    // Alarms stop before the window goes.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &demoAlarms, [&demoAlarms] { demoAlarms.Stop(); });
    QObject::connect(&demoAlarms, &CDemoAlarms::signalStatusChanged, &window, &CDashboardWindow::SetStatusText);

    // The first picture comes first: the window with the plug-in's empty views
    // in their final places. The site, the live windows' cameras and the alarm
    // sources follow it and fill those views where they stand.
    tessel::CSiteFileWatcher siteWatcher;
    std::future<void> futVideo;
    CFirstPaintWatch::AfterFirstPaint(window, [&] {
        // GStreamer reads its plug-in registry on a worker while the site
        // loads; the live windows, which need it, wait for it only if it is late.
        futVideo = std::async(std::launch::async, [] { Vantrel::InitVantrel(nullptr, nullptr); });
        // The site comes first: the plug-in's tree and cameras are built from it.
        LoadSite(parser.value(optSite), siteWatcher);
        // Cameras whose site entry switches analytics on raise real alarms.
        Analytics::CAnalyticsHub::Instance().Start();
        window.RestoreStates();
        SeedLiveCameras(window.CurrentWidget(), parser.value(optLive).split(',', Qt::SkipEmptyParts),
                        !parser.isSet(optSite));
        ScriptCameraPanel(window, parser.isSet(optShowTree), parser.value(optSearch));
        // Alarms start once the plug-in listens (its state was restored above).
        if (!demoAlarms.Start(parser, !parser.isSet(optQuitAfter))) {
            QCoreApplication::exit(2);
            return;
        }
        if (parser.isSet(optPtz))
            QTimer::singleShot(static_cast<int>(parser.value(optPtz).toDouble() * 1000), &window,
                               [&window] { ScriptPtzPanel(window, 2500); });
        if (parser.isSet(optDetail))
            QTimer::singleShot(static_cast<int>(parser.value(optDetail).toDouble() * 1000), &window,
                               [&window] { ScriptDetailView(window); });
        if (parser.isSet(optKeys))
            QTimer::singleShot(static_cast<int>(parser.value(optKeys).toDouble() * 1000), &window,
                               [&window] { ScriptKeyboardFocus(window); });
        if (parser.isSet(optPlayback))
            QTimer::singleShot(static_cast<int>(parser.value(optPlayback).toDouble() * 1000), &window,
                               [&window] { ScriptInstantPlayback(window); });
        if (parser.isSet(optHistory))
            QTimer::singleShot(static_cast<int>(parser.value(optHistory).toDouble() * 1000), &window,
                               [&window] { ScriptHistoryPanel(window); });
        if (parser.isSet(optExport))
            QTimer::singleShot(static_cast<int>(parser.value(optExport).toDouble() * 1000), &window, [&window] {
                static const QString s_strFolder =
                    QDir::temp().filePath(QStringLiteral("linkage-export-%1").arg(QCoreApplication::applicationPid()));
                ScriptExport(window, s_strFolder);
            });
        if (parser.isSet(optConfigure))
            window.CurrentWidget()->onConfigBtnClicked();
    });
    // Watched after the start-up work, so that the time is taken before that work runs.
    if (parser.isSet(optPrintFirstPaint))
        CFirstPaintWatch::AfterFirstPaint(window, [] {
            PrintFirstPaintTime();
            QCoreApplication::quit();
        });

    const QStringList lstSize = parser.value(optSize).split('x');
    if (lstSize.size() == 2) {
        window.resize(lstSize[0].toInt(), lstSize[1].toInt());
        window.show();
    } else {
        // Without a window manager "maximised" means nothing: take the screen.
        window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        window.showMaximized();
    }
    if (parser.isSet(optQuitAfter))
        ScheduleScreenshot(window, parser.value(optScreenshot),
                           static_cast<int>(parser.value(optQuitAfter).toDouble() * 1000));
    return app.exec();
}
