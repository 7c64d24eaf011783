#include "alarmview/LinkageSnapAlarmDlg.h"

#include "alarmview/AlarmPresenter.h"
#include "alarmview/AlarmViewTexts.h"
#include "alarmview/HistoryDetails.h"
#include "alarmview/HistoryThumbnail.h"
#include "alarmview/IncidentExportDialog.h"
#include "alarmview/KeyboardFlow.h"
#include "alarmview/LinkageSnapAlarmListener.h"
#include "alarmview/LiveWindows.h"
#include "cameratree/GroupTreeWidget.h"
#include "cameratree/LiveViewPlugin.h"
#include "cards/LinkageCardWidget.h"
#include "cards/ShowPicWidget.h"
#include "history/AlarmHistory.h"
#include "playwindow/StreamPlayWindowWithTask.h"
#include "savepic/LinkageSavePicMgr.h"
#include "settings/LinkageSetupDlg.h"

#include "Fendra/Singleton.h"
#include "Kelmot/ConfigMgr.h"
#include "Kelmot/GroupManagerDeletage.h"
#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "quorra/AlarmTransfer.h"
#include "quorra/LocalDataManagerDelegate.h"
#include "tessel/IVideoSystemConfig.h"

#include "ui_LinkageSnapAlarmDlgForm.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>

namespace LinkageSnapAlarm {
namespace {

// Shares of the live row (LayoutPanorama): a gap, then a window, three times over;
// the same stretches as the form's.
constexpr int kLiveGapStretch = 15;
constexpr int kLiveWindowStretch = 906;
constexpr int kThirdGapIndex = 4;

static_assert(CLinkageSnapAlarmDlg::kPlayWindowCount == CLiveWindows::kWindowCount, "one window count");

} // namespace

CLinkageSnapAlarmDlg::CLinkageSnapAlarmDlg(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::LinkageSnapAlarmDlg>())
    , m_spGroupManager(std::make_shared<Kelmot::CGroupManagerDeletage>())
    , m_spLocalDataManager(std::make_shared<quorra::CLocalDataManagerDelegate>())
{
    ui->setupUi(this);
    m_upLiveWindows = std::make_unique<CLiveWindows>(
        this, CLiveWindows::Holders{ui->m_pWidgetLive1, ui->m_pWidgetLive2, ui->m_pWidgetLive3});
    InitLinkageDlg();
    InitConnect();
}

CLinkageSnapAlarmDlg::~CLinkageSnapAlarmDlg()
{
    // Its filters must not see the focus moves of the widgets going down with us.
    delete m_pKeyboardFlow;
    // The configuration outlives us: it must not call back into a dead dialog.
    if (tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig())
        pConfig->UnregisterObserver(this);
    // Windows stop and forget the camera lookup before it goes.
    m_upLiveWindows->Release();
}

void CLinkageSnapAlarmDlg::InitLinkageDlg()
{
    CLinkageSavePicMgr::GetSavePicMgr(this);
    // The setup dialog loads the stored settings; apply them as if just saved.
    // Its form waits until it is first opened: the first picture does not show it.
    if (!m_pSetupDlg)
        m_pSetupDlg = new CLinkageSetupDlg(this, CLinkageSetupDlg::Form::OnFirstShow);
    onBtnSetupSaveClicked(true);
    m_upAlarmPresenter = std::make_unique<CAlarmPresenter>(this, ui->m_pWidgetScenePic, ui->m_pWidgetLinkagePic,
                                                           m_stSetupInfo, *m_upLiveWindows);
    InitAlarmHistory();
    InitCameraTree();
    if (Fendra::CSingleton<Kelmot::CConfigMgr>::Instance().GetStyleVariant() == 0)
        UseAlternativeHolderNames();
    m_upLiveWindows->CreateWindows(m_pGroupTreeWidget, m_upLiveViewPlugin.get());
    ConnectPlayWindows();
    m_upLiveWindows->InitPtzPanel();

    if (tessel::CVideoSystemConfig* pConfig = m_spLocalDataManager->GetVideoSystemConfig()) {
        pConfig->RegisterObserver(this);
        m_upLiveWindows->SetVideoScaleMode(pConfig->GetVideoScaleMode());
    }
    SetTitleFontsBold();
    InitAccessibility();
}

void CLinkageSnapAlarmDlg::InitAlarmHistory()
{
    // Opened on the history's own thread: a damaged or locked file never holds up the view.
    m_pAlarmHistory = new CAlarmHistory(CAlarmHistory::DefaultPath(), m_pSetupDlg->GetHistoryBounds(), this);
    m_pAlarmHistory->SetThumbnailer(&HistoryThumbnail::Make);
    m_pSetupDlg->SetAlarmHistory(m_pAlarmHistory);
    m_upAlarmPresenter->SetHistory(m_pAlarmHistory);
    // A past linkage chosen in the history panel opens in the same detail view
    // as the strip's: the newest card first, or the scene when it has none.
    connect(m_pAlarmHistory, &CAlarmHistory::signalLinkageChosen, this, [this](const HistoryLinkageRecord& linkage) {
        OpenLinkageDetails(DetailsOfHistory(linkage), linkage.vecCards.isEmpty() ? CAlarmDetailView::kScene : 0);
    });
    connect(m_pAlarmHistory, &CAlarmHistory::signalLinkageExportChosen, this,
            [this](const HistoryLinkageRecord& linkage) { OpenIncidentExport(DetailsOfHistory(linkage)); });
    connect(m_pAlarmHistory, &CAlarmHistory::signalNotice, this, [this](const QString& strText) {
        TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
            strText, this, false, false, false);
    });
}

void CLinkageSnapAlarmDlg::InitConnect()
{
    connect(m_pSetupDlg, SIGNAL(signalSaved(bool)), this, SLOT(onBtnSetupSaveClicked(bool)));
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    connect(pSavePicMgr, SIGNAL(signalSpaceNotEnough()), this, SLOT(onSignalSpaceNotEnough()));
    connect(pSavePicMgr, SIGNAL(signalSaveFailed()), this, SLOT(onSignalSaveFailed()));
    connect(pSavePicMgr, SIGNAL(signalPicturesNotSaved(int)), this, SLOT(onPicturesNotSaved(int)));
    connect(pSavePicMgr, SIGNAL(signalPictureSaved(QString)), this, SLOT(onSignalPictureSaved()));
    connect(pSavePicMgr, &CLinkageSavePicMgr::signalPictureSavedFor, m_upAlarmPresenter.get(),
            &CAlarmPresenter::OnPictureSaved);
    ConnectAlarms();
    ConnectCameraTree();
    ConnectTreeToWindows();
}

void CLinkageSnapAlarmDlg::ConnectAlarms()
{
    connect(m_upAlarmPresenter->Listener(), &CLinkageSnapAlarmListener::signalNewAlarmComing, this,
            &CLinkageSnapAlarmDlg::onNewAlarmComing);
    connect(&Fendra::CSingleton<quorra::AlarmTransfer>::Instance(), &quorra::AlarmTransfer::signalAlarmsDropped, this,
            &CLinkageSnapAlarmDlg::onAlarmsDropped);
    // What stands behind a card or the scene, at a readable size.
    connect(m_upAlarmPresenter.get(), &CAlarmPresenter::signalCardActivated, this,
            [this](CLinkageCardWidget* pCard) { OpenStripDetails(m_upAlarmPresenter->StripIndexOf(pCard)); });
    connect(ui->m_pWidgetScenePic, &CShowPicWidget::signalPictureActivated, this,
            [this] { OpenStripDetails(CAlarmDetailView::kScene); });
    connect(m_upAlarmPresenter.get(), &CAlarmPresenter::signalCardMenuRequested, this,
            [this](CLinkageCardWidget*, const QPoint& ptGlobal) { CardMenu()->popup(ptGlobal); });
    connect(m_upAlarmPresenter.get(), &CAlarmPresenter::signalRecordChanged, this, [this] {
        if (m_pDetailView)
            m_pDetailView->RefreshRecord();
    });
}

CAlarmDetailView* CLinkageSnapAlarmDlg::DetailView()
{
    if (!m_pDetailView) {
        m_pDetailView = new CAlarmDetailView(this);
        connect(m_pDetailView, &CAlarmDetailView::signalExportRequested, this,
                [this](const LinkageRecordSet& set) { OpenIncidentExport(set); });
    }
    return m_pDetailView;
}

CIncidentExportDialog* CLinkageSnapAlarmDlg::ExportDialog()
{
    if (!m_pExportDialog)
        m_pExportDialog = new CIncidentExportDialog(this);
    return m_pExportDialog;
}

void CLinkageSnapAlarmDlg::OpenIncidentExport(LinkageRecordSet set)
{
    ExportDialog()->Open(std::move(set), m_upLiveWindows->ClipSources(), DefaultExportFolder());
}

QString CLinkageSnapAlarmDlg::DefaultExportFolder() const
{
    // Beside the saved pictures when there are any, else in the user's documents.
    const QString strBase = m_stSetupInfo.SavePicPath.isEmpty()
                                ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                : m_stSetupInfo.SavePicPath;
    return QDir(strBase).filePath(QStringLiteral("Incidents"));
}

QMenu* CLinkageSnapAlarmDlg::CardMenu()
{
    if (!m_pCardMenu) {
        m_pCardMenu = new QMenu(this);
        m_pCardMenu->setObjectName(QStringLiteral("m_pCardMenu"));
        QAction* pExport = m_pCardMenu->addAction(AlarmViewTexts::Text(AlarmViewTexts::ExportIncident));
        pExport->setObjectName(QStringLiteral("m_pActionExportIncident"));
        // Every card on the strip belongs to the strip's linkage.
        connect(pExport, &QAction::triggered, this, [this] { OpenIncidentExport(m_upAlarmPresenter->StripRecords()); });
    }
    return m_pCardMenu;
}

void CLinkageSnapAlarmDlg::OpenLinkageDetails(LinkageRecordSet set, int nCard)
{
    DetailView()->Open(std::move(set), nCard);
}

void CLinkageSnapAlarmDlg::OpenStripDetails(int nCard)
{
    OpenLinkageDetails(m_upAlarmPresenter->StripRecords(), nCard);
}

void CLinkageSnapAlarmDlg::ConnectPlayWindows()
{
    for (CStreamPlayWindowWithTask* pWindow : m_upLiveWindows->Windows()) {
        connect(pWindow, SIGNAL(SignalPlayWindowSelected()), this, SLOT(onPlayWindowSelected()));
        connect(pWindow, SIGNAL(SignalPlayClosedByBtn()), this, SLOT(onPreviewClosedByBtn()));
        connect(pWindow, SIGNAL(SignalDropEvent(QDropEvent*)), this, SLOT(onPlayWindowDropEvent(QDropEvent*)));
        connect(pWindow, SIGNAL(SignalUpdateLiveViewState(const CLiveViewEvent&)), this,
                SLOT(onUpdateLiveViewState(const CLiveViewEvent&)));
    }
}

void CLinkageSnapAlarmDlg::ConnectTreeToWindows()
{
    if (m_pGroupTreeWidget) {
        connect(m_pGroupTreeWidget, SIGNAL(SignalCameraDClicked(void*)), this, SLOT(onCameraDClicked(void*)));
        connect(m_pGroupTreeWidget, SIGNAL(signalStartLiveView(const QModelIndex&)), this,
                SLOT(onGroupDoubleClicked(const QModelIndex&)));
        connect(m_pGroupTreeWidget, SIGNAL(SignalCameraRemoved(tessel::StrGUID)), this,
                SLOT(onCameraRemoved(tessel::StrGUID)));
    }
    connect(m_upLiveWindows.get(), &CLiveWindows::signalSelectedCamera, this,
            &CLinkageSnapAlarmDlg::signalUpdateGroupSelectState);
    connect(this, SIGNAL(signalUpdateGroupSelectState(std::string)), this,
            SLOT(onUpdateGroupTreeSelectedCamera(std::string)));
}

void CLinkageSnapAlarmDlg::UseAlternativeHolderNames()
{
    ui->m_pWidgetLive1->setObjectName("m_pWidgetLive1ZV");
    ui->m_pWidgetLive2->setObjectName("m_pWidgetLive2ZV");
    ui->m_pWidgetLive3->setObjectName("m_pWidgetLive3ZV");
}

void CLinkageSnapAlarmDlg::SetTitleFontsBold()
{
    QFont font = ui->m_pLabelLiveTitle->font();
    font.setBold(true);
    ui->m_pLabelLiveTitle->setFont(font);
    ui->m_pLabelSceneTitle->setFont(font);
    ui->m_pLabelLinkageTitle->setFont(font);
}

void CLinkageSnapAlarmDlg::InitAccessibility()
{
    setAccessibleName(AlarmViewTexts::Text(AlarmViewTexts::LinkageView));
    ui->m_pWidgetScenePic->setAccessibleName(AlarmViewTexts::Text(AlarmViewTexts::ScenePicture));
    m_pKeyboardFlow = new CKeyboardFlow(*this, ui->m_pWidgetScenePic, ui->m_pWidgetLinkagePic);
}

QSize CLinkageSnapAlarmDlg::PanelSize(const QSize& sizeScreen)
{
    return QSize(static_cast<int>(static_cast<float>(sizeScreen.width()) * 0.1921875f),
                 static_cast<int>(static_cast<float>(sizeScreen.height()) * 0.9324074f));
}

QPoint CLinkageSnapAlarmDlg::PanelPos(int nDlgHeight, const QSize& sizePanel, bool bExpanded)
{
    const int nX = bExpanded ? 1 : kPanelStripWidth - sizePanel.width();
    return QPoint(nX, nDlgHeight - sizePanel.height() - 1);
}

CLinkageSetupDlg* CLinkageSnapAlarmDlg::SetupDialog()
{
    if (!m_pSetupDlg)
        m_pSetupDlg = new CLinkageSetupDlg(this);
    m_pSetupDlg->EnsureForm();
    return m_pSetupDlg;
}

void CLinkageSnapAlarmDlg::onBtnSetUpClicked()
{
    SetupDialog()->show();
}

void CLinkageSnapAlarmDlg::onBtnCloseClicked()
{
    if (m_pSetupDlg)
        m_pSetupDlg->hide();
    StopAllLiveViews();
    m_upAlarmPresenter->Close();
    if (m_pDetailView)
        m_pDetailView->close();
}

void CLinkageSnapAlarmDlg::onBtnSetupSaveClicked(bool bSuccess)
{
    if (!bSuccess)
        return;
    if (m_pSetupDlg)
        m_pSetupDlg->GetSetupInfo(m_stSetupInfo);
    if (CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr()) {
        pSavePicMgr->SetSavePicture(m_stSetupInfo.IsSavePicture);
        pSavePicMgr->SetSavePicPath(m_stSetupInfo.SavePicPath);
    }
    ApplyPreviewMode(m_stSetupInfo.PreviewMode);
}

void CLinkageSnapAlarmDlg::ApplyPreviewMode(int nPreviewMode)
{
    // The third window and the gap before it give up their share in dual mode.
    const bool bDual = nPreviewMode == kPreviewModeDual;
    ui->LayoutPanorama->setStretch(kThirdGapIndex, bDual ? 0 : kLiveGapStretch);
    ui->LayoutPanorama->setStretch(kThirdGapIndex + 1, bDual ? 0 : kLiveWindowStretch);
    m_upLiveWindows->SetDualMode(bDual);
}

void CLinkageSnapAlarmDlg::OnVideoSystemConfigChanged(const int32_t* pnCode)
{
    if (!pnCode || *pnCode != tessel::CVideoSystemConfig::kScaleModeChanged)
        return;
    if (tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig())
        m_upLiveWindows->SetVideoScaleMode(pConfig->GetVideoScaleMode());
}

// What the live windows answer and do.

void CLinkageSnapAlarmDlg::SelectPlayWindow(int index)
{
    m_upLiveWindows->Select(index);
}

void CLinkageSnapAlarmDlg::StopAllLiveViews()
{
    m_upLiveWindows->StopAll();
}

void CLinkageSnapAlarmDlg::RestoreLiveCameras(const std::vector<std::string>& vecGuid)
{
    m_upLiveWindows->Restore(vecGuid);
}

void CLinkageSnapAlarmDlg::CollectLiveCameras(std::vector<std::string>& vecGuid)
{
    m_upLiveWindows->Collect(vecGuid);
}

bool CLinkageSnapAlarmDlg::IsAlarmSourceOutsideWindows(const std::string& strSourceID) const
{
    return m_upLiveWindows->IsAlarmSourceOutsideWindows(strSourceID);
}

int CLinkageSnapAlarmDlg::SelectedPlayWindow() const
{
    return m_upLiveWindows->SelectedIndex();
}

const QVector<CStreamPlayWindowWithTask*>& CLinkageSnapAlarmDlg::PlayWindows() const
{
    return m_upLiveWindows->Windows();
}

tessel::ICamera* CLinkageSnapAlarmDlg::WindowCamera(int nIndex) const
{
    return m_upLiveWindows->Camera(nIndex);
}

int32_t CLinkageSnapAlarmDlg::VideoScaleMode() const
{
    return m_upLiveWindows->VideoScaleMode();
}

void CLinkageSnapAlarmDlg::onCameraDClicked(void* pCamera)
{
    // The panel hands over the tree's element.
    m_upLiveWindows->OnCameraChosen(static_cast<tessel::IElement*>(pCamera));
}

void CLinkageSnapAlarmDlg::onGroupDoubleClicked(const QModelIndex& mIndex)
{
    m_upLiveWindows->OnTreeRowStarted(mIndex);
}

void CLinkageSnapAlarmDlg::onCameraRemoved(tessel::StrGUID strGUID)
{
    m_upLiveWindows->OnCameraRemoved(strGUID);
}

void CLinkageSnapAlarmDlg::onPlayWindowSelected()
{
    m_upLiveWindows->OnWindowSelected(qobject_cast<CStreamPlayWindowWithTask*>(sender()));
}

void CLinkageSnapAlarmDlg::onPreviewClosedByBtn()
{
    m_upLiveWindows->OnWindowClosed(qobject_cast<CStreamPlayWindowWithTask*>(sender()));
}

void CLinkageSnapAlarmDlg::onPlayWindowDropEvent(QDropEvent* pEvent)
{
    m_upLiveWindows->OnDrop(qobject_cast<CStreamPlayWindowWithTask*>(sender()), pEvent);
}

void CLinkageSnapAlarmDlg::onUpdateLiveViewState(const CLiveViewEvent& eventLiveView)
{
    m_upLiveWindows->OnLiveViewState(sender(), eventLiveView);
}

void CLinkageSnapAlarmDlg::onUpdateGroupTreeSelectedCamera(std::string idCamera)
{
    m_upLiveWindows->ShowCameraInTree(idCamera);
}

// What the alarm presenter answers and does.

void CLinkageSnapAlarmDlg::SetAlarmListening(bool bListen)
{
    m_upAlarmPresenter->SetListening(bListen);
}

QImage CLinkageSnapAlarmDlg::CropPictureByRect(const QImage& image, const protocol::PictureRect& rect)
{
    return CAlarmPresenter::CropPictureByRect(image, rect);
}

CLinkageSnapAlarmListener* CLinkageSnapAlarmDlg::AlarmListener() const
{
    return m_upAlarmPresenter->Listener();
}

const QString& CLinkageSnapAlarmDlg::LinkageUid() const
{
    return m_upAlarmPresenter->LinkageUid();
}

std::int64_t CLinkageSnapAlarmDlg::AlarmsAccepted() const
{
    return m_upAlarmPresenter->AlarmsAccepted();
}

std::int64_t CLinkageSnapAlarmDlg::AlarmsShown() const
{
    return m_upAlarmPresenter->AlarmsShown();
}

void CLinkageSnapAlarmDlg::onNewAlarmComing(const quorra::IntelAlarmEventInfo& struAlarmIn)
{
    m_upAlarmPresenter->Present(struAlarmIn);
}

void CLinkageSnapAlarmDlg::onBtnTestClicked()
{
    m_upAlarmPresenter->PresentTestAlarms();
}

void CLinkageSnapAlarmDlg::onSignalSpaceNotEnough()
{
    m_upAlarmPresenter->NoticeSpaceNotEnough();
}

void CLinkageSnapAlarmDlg::onSignalSaveFailed()
{
    m_upAlarmPresenter->NoticeSaveFailed();
}

void CLinkageSnapAlarmDlg::onSignalPictureSaved()
{
    m_upAlarmPresenter->NoticePictureSaved();
}

void CLinkageSnapAlarmDlg::onAlarmsDropped(int nCount)
{
    m_upAlarmPresenter->NoticeAlarmsDropped(nCount);
}

void CLinkageSnapAlarmDlg::onPicturesNotSaved(int nCount)
{
    m_upAlarmPresenter->NoticePicturesNotSaved(nCount);
}

} // namespace LinkageSnapAlarm
