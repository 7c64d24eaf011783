#include "analytics/AnalyticsHub.h"

#include "analytics/AnalyticsLogging.h"

#include "Fendra/Singleton.h"
#include "TesselGUIToolkit/UiSingletonImpl.h"
#include "Vantrel/PipelineLink.h"
#include "Vantrel/Vantrel.h"
#include "quorra/AlarmTransfer.h"
#include "tessel/GroupManager.h"

#include <QTimer>

namespace Analytics {

struct CAnalyticsHub::Entry
{
    AnalyticsCamera camera;
    std::string strStream;
    std::shared_ptr<ICameraAnalytics> spAnalytics;
    std::set<GstElement*> setPreviews; // window streams carrying our branch
    GstElement* pHeadless = nullptr;   // our own stream, when no window plays the camera
    bool bRestartPending = false;
    QString strLastFailure; // said once, not at every retry
};

namespace {

std::shared_ptr<ICameraAnalytics> MakeAnalytics(IAnalyticsModule& module, const AnalyticsCamera& camera,
                                                const AlarmSink& fnSink, const std::string& strFaceModel,
                                                const DetectorSettings& detector)
{
    auto spAnalytics = module.CreateCamera(camera, fnSink, strFaceModel, detector);
    return spAnalytics && spAnalytics->IsUsable() ? spAnalytics : nullptr;
}

void PostToTransfer(quorra::IntelAlarmEventInfo info)
{
    Fendra::CSingleton<quorra::AlarmTransfer>::Instance().PostAlarmEvent(
        std::make_shared<quorra::CIntelAlarmEvent>(std::move(info)));
}

void ReleasePipeline(GstElement* pPipeline)
{
    Vantrel::RunOffGuiThread([pPipeline] {
        gst_element_set_state(pPipeline, GST_STATE_NULL);
        gst_object_unref(pPipeline);
    });
}

} // namespace

CAnalyticsHub::CAnalyticsHub() = default;

CAnalyticsHub::~CAnalyticsHub()
{
    Stop();
}

CAnalyticsHub& CAnalyticsHub::Instance()
{
    return TesselGUIToolkit::CUiSingleton<CAnalyticsHub>::Instance();
}

void CAnalyticsHub::Start()
{
    if (m_bStarted)
        return;
    m_bStarted = true;
    Vantrel::InitVantrel(nullptr, nullptr);
    tessel::CGroupManager& manager = tessel::CGroupManager::Instance();
    auto refresh = [this](const QString& strGUID) { Refresh(strGUID.toStdString()); };
    m_lstConnections << connect(&manager, &tessel::CGroupManager::signalElementAdded, this, refresh)
                     << connect(&manager, &tessel::CGroupManager::signalElementChanged, this, refresh)
                     << connect(&manager, &tessel::CGroupManager::signalElementRemoved, this,
                                [this](const QString& strGUID) { Remove(strGUID.toStdString()); });
    for (const tessel::GroupInfo& group : manager.GetAllGroups())
        for (tessel::IElement* pElement : manager.GetElementsOfGroup(group.strGUID))
            Refresh(pElement->GetElementID());
}

void CAnalyticsHub::Stop()
{
    for (const QMetaObject::Connection& connection : qAsConst(m_lstConnections))
        disconnect(connection);
    m_lstConnections.clear();
    while (!m_mapEntries.empty())
        Remove(m_mapEntries.begin()->first);
    m_bStarted = false;
    m_bModuleTried = false; // a later start tries (and says) again
}

IAnalyticsModule* CAnalyticsHub::Module()
{
    if (m_bModuleTried)
        return m_pModule;
    m_bModuleTried = true;
    const QString strPath = m_strModulePath.isEmpty() ? DefaultAnalyticsModulePath() : m_strModulePath;
    QString strError;
    m_pModule = LoadAnalyticsModule(strPath, strError);
    if (!m_pModule)
        qCWarning(lcAnalytics).noquote() << "analytics off: module not loaded:" << strError
                                         << "(live video is not affected)";
    return m_pModule;
}

void CAnalyticsHub::Refresh(const std::string& strGUID)
{
    const auto* pCamera = dynamic_cast<const tessel::CCamera*>(tessel::CGroupManager::Instance().FindCamera(strGUID));
    if (!pCamera || !pCamera->Info().analytics.Enabled() || !pCamera->IsEnabled() || !pCamera->IsOnline()) {
        Remove(strGUID);
        return;
    }
    const tessel::CameraInfo& info = pCamera->Info();
    AnalyticsCamera camera{
        info.strGUID,  info.strName, info.strAlarmSourceID, info.strGroupID, info.strLinkageRole == "panoramic",
        info.analytics};
    auto it = m_mapEntries.find(strGUID);
    if (it != m_mapEntries.end()) {
        const AnalyticsCamera& old = it->second->camera;
        if (old.strName == camera.strName && old.strAlarmSource == camera.strAlarmSource
            && old.strGroup == camera.strGroup && old.bPanoramic == camera.bPanoramic && old.settings == camera.settings
            && it->second->strStream == info.strStreamUrl)
            return;
        Remove(strGUID);
    }
    IAnalyticsModule* pModule = Module();
    if (!pModule)
        return;
    auto upEntry = std::make_unique<Entry>();
    upEntry->camera = camera;
    upEntry->strStream = info.strStreamUrl;
    upEntry->spAnalytics =
        MakeAnalytics(*pModule, camera, m_fnSink ? m_fnSink : AlarmSink(&PostToTransfer), m_strFaceModel, m_detector);
    if (!upEntry->spAnalytics)
        return; // the reason is logged; the camera's video is not touched
    if (m_fnObserver)
        upEntry->spAnalytics->SetReportObserver(m_fnObserver);
    Entry& entry = *upEntry;
    m_mapEntries[strGUID] = std::move(upEntry);
    if (entry.strStream.empty()) {
        qCWarning(lcAnalytics).noquote() << "camera" << QString::fromStdString(camera.strName)
                                         << ": analytics on but no stream; nothing to analyse";
        return;
    }
    StartHeadless(entry);
}

void CAnalyticsHub::Remove(const std::string& strGUID)
{
    auto it = m_mapEntries.find(strGUID);
    if (it == m_mapEntries.end())
        return;
    StopHeadless(*it->second);
    // Stopped here, not whenever a stream thread lets go of it last (which may
    // be after the process has begun to exit). Window streams keep running;
    // their branches find no analytics any more.
    if (it->second->spAnalytics)
        it->second->spAnalytics->Shutdown();
    m_mapEntries.erase(it);
}

void CAnalyticsHub::StartHeadless(Entry& entry)
{
    if (entry.pHeadless || !entry.setPreviews.empty() || entry.strStream.empty())
        return;
    auto spLink = std::make_shared<Vantrel::PipelineLink>(); // no preview owns it
    Vantrel::BuildRequest request;
    request.strAddress = QString::fromStdString(entry.strStream);
    request.strTitle = QString::fromStdString(entry.camera.strName);
    request.bHeadless = true;
    QString strError;
    int nReason = 0;
    Vantrel::BuiltPipeline built = Vantrel::BuildPipeline(request, spLink, strError, nReason);
    const QString strName = QString::fromStdString(entry.camera.strName);
    if (!built.pPipeline
        || !AttachAnalysisBranch(built.pPipeline, built.pTee, entry.camera.settings.nFps, entry.camera.settings.nWidth,
                                 entry.spAnalytics)) {
        qCWarning(lcAnalytics).noquote() << "camera" << strName << ": no stream for analytics:"
                                         << (strError.isEmpty() ? QStringLiteral("pipeline not built") : strError);
        if (built.pPipeline)
            gst_object_unref(built.pPipeline);
        return;
    }
    // Errors and the end of the stream come back to the GUI thread; the stream starts again after a pause.
    const std::string strGUID = entry.camera.strGUID;
    GstElement* pPipeline = built.pPipeline;
    GstBus* pBus = gst_pipeline_get_bus(GST_PIPELINE(pPipeline));
    struct BusContext
    {
        CAnalyticsHub* pHub;
        std::string strGUID;
        GstElement* pPipeline;
    };
    gst_bus_set_sync_handler(
        pBus,
        [](GstBus*, GstMessage* pMessage, gpointer pData) -> GstBusSyncReply {
            auto* pCtx = static_cast<BusContext*>(pData);
            QString strWhy;
            if (GST_MESSAGE_TYPE(pMessage) == GST_MESSAGE_ERROR) {
                GError* pError = nullptr;
                gst_message_parse_error(pMessage, &pError, nullptr);
                strWhy = QString::fromUtf8(pError ? pError->message : "stream error");
                g_clear_error(&pError);
            } else if (GST_MESSAGE_TYPE(pMessage) == GST_MESSAGE_EOS) {
                strWhy = QStringLiteral("end of stream");
            } else {
                return GST_BUS_DROP;
            }
            QMetaObject::invokeMethod(
                pCtx->pHub,
                [pHub = pCtx->pHub, strGUID = pCtx->strGUID, pPipeline = pCtx->pPipeline, strWhy] {
                    pHub->OnHeadlessEnded(strGUID, pPipeline, strWhy);
                },
                Qt::QueuedConnection);
            return GST_BUS_DROP;
        },
        new BusContext{this, strGUID, pPipeline}, [](gpointer p) { delete static_cast<BusContext*>(p); });
    gst_object_unref(pBus);
    if (gst_element_set_state(pPipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        qCWarning(lcAnalytics).noquote() << "camera" << strName << ": analytics stream does not start";
        ReleasePipeline(pPipeline);
        return;
    }
    entry.pHeadless = pPipeline;
    qCInfo(lcAnalytics).noquote() << "camera" << strName << ": headless stream for analytics (plays in no window)";
}

void CAnalyticsHub::StopHeadless(Entry& entry)
{
    if (!entry.pHeadless)
        return;
    ReleasePipeline(entry.pHeadless);
    entry.pHeadless = nullptr;
}

void CAnalyticsHub::OnHeadlessEnded(const std::string& strGUID, GstElement* pPipeline, const QString& strWhy)
{
    auto it = m_mapEntries.find(strGUID);
    if (it == m_mapEntries.end() || it->second->pHeadless != pPipeline)
        return; // a stream already let go
    Entry& entry = *it->second;
    const QString strText = QStringLiteral("camera %1: analytics stream stopped (%2); trying again every %3 s")
                                .arg(QString::fromStdString(entry.camera.strName), strWhy)
                                .arg(kRestartDelayMs / 1000);
    if (strWhy != entry.strLastFailure)
        qCWarning(lcAnalytics).noquote() << strText;
    else
        qCDebug(lcAnalytics).noquote() << strText;
    entry.strLastFailure = strWhy;
    StopHeadless(entry);
    if (entry.bRestartPending)
        return;
    entry.bRestartPending = true;
    QTimer::singleShot(kRestartDelayMs, this, [this, strGUID] {
        auto it = m_mapEntries.find(strGUID);
        if (it == m_mapEntries.end())
            return;
        it->second->bRestartPending = false;
        StartHeadless(*it->second);
    });
}

void CAnalyticsHub::AttachPreview(const std::string& strGUID, GstElement* pPipeline, GstElement* pTee)
{
    auto it = m_mapEntries.find(strGUID);
    if (it == m_mapEntries.end() || !pPipeline)
        return;
    Entry& entry = *it->second;
    if (!AttachAnalysisBranch(pPipeline, pTee, entry.camera.settings.nFps, entry.camera.settings.nWidth,
                              entry.spAnalytics)) {
        qCWarning(lcAnalytics).noquote() << "camera" << QString::fromStdString(entry.camera.strName)
                                         << ": analysis branch not added to the window's stream";
        return;
    }
    // One connection per camera: the window's stream takes over.
    entry.setPreviews.insert(pPipeline);
    StopHeadless(entry);
}

void CAnalyticsHub::DetachPreview(const std::string& strGUID, GstElement* pPipeline)
{
    auto it = m_mapEntries.find(strGUID);
    if (it == m_mapEntries.end() || !it->second->setPreviews.erase(pPipeline))
        return;
    if (m_bStarted)
        StartHeadless(*it->second);
}

std::shared_ptr<ICameraAnalytics> CAnalyticsHub::Find(const std::string& strGUID) const
{
    auto it = m_mapEntries.find(strGUID);
    return it == m_mapEntries.end() ? nullptr : it->second->spAnalytics;
}

bool CAnalyticsHub::HasHeadlessStream(const std::string& strGUID) const
{
    auto it = m_mapEntries.find(strGUID);
    return it != m_mapEntries.end() && it->second->pHeadless;
}

} // namespace Analytics

TESSEL_HOST_UI_SINGLETON(Analytics::CAnalyticsHub)
