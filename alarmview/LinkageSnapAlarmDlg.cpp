#include "alarmview/LinkageSnapAlarmDlg.h"

#include "alarmview/AlarmViewTexts.h"

#include "cameratree/LiveViewPlugin.h"
#include "cards/ShowCardWidget.h"
#include "playwindow/StreamPlayWindowWithTask.h"
#include "savepic/LinkageSavePicMgr.h"
#include "settings/LinkageSetupDlg.h"

#include "Fendra/Singleton.h"
#include "Kelmot/ConfigMgr.h"
#include "Kelmot/GroupManagerDeletage.h"
#include "Miravel/InformationMgr.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "quorra/LocalDataManagerDelegate.h"
#include "tessel/IVideoSystemConfig.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVariant>

namespace LinkageSnapAlarm {
namespace {

// Shares of the live row (LayoutPanorama): a gap, then a window, three times over;
// the same stretches as the form's.
constexpr int kLiveGapStretch = 15;
constexpr int kLiveWindowStretch = 906;
constexpr int kThirdGapIndex = 4;

} // namespace

CLinkageSnapAlarmDlg::CLinkageSnapAlarmDlg(QWidget* parent)
    : QWidget(parent)
    , m_spGroupManager(std::make_shared<Kelmot::CGroupManagerDeletage>())
    , m_spLocalDataManager(std::make_shared<quorra::CLocalDataManagerDelegate>())
    , m_displayQueue(CShowCardWidget::kMaxCards)
{
    ui.setupUi(this);
    InitLinkageDlg();
    InitConnect();
}

CLinkageSnapAlarmDlg::~CLinkageSnapAlarmDlg()
{
    // The configuration outlives us: it must not call back into a dead dialog.
    if (tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig())
        pConfig->UnregisterObserver(this);
    // Windows stop and forget the camera lookup before it goes.
    ReleasePlayWindows();
    delete m_pLiveViewPlugin;
}

void CLinkageSnapAlarmDlg::InitLinkageDlg()
{
    CLinkageSavePicMgr::GetSavePicMgr(this);
    // The setup dialog loads the stored settings; apply them as if just saved.
    if (!m_pSetupDlg)
        m_pSetupDlg = new CLinkageSetupDlg(this);
    onBtnSetupSaveClicked(true);
    InitAlarmView();
    InitCameraTree();
    if (Fendra::CSingleton<Kelmot::CConfigMgr>::Instance().GetStyleVariant() == 0)
        UseAlternativeHolderNames();
    InitPlayWindows();
    InitPtzPanel();

    if (tessel::CVideoSystemConfig* pConfig = m_spLocalDataManager->GetVideoSystemConfig()) {
        pConfig->RegisterObserver(this);
        m_nVideoScaleMode = pConfig->GetVideoScaleMode();
        for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecPlayWindows))
            pWindow->SetVideoScaleMode(m_nVideoScaleMode);
    }
    SetTitleFontsBold();
}

void CLinkageSnapAlarmDlg::InitConnect()
{
    connect(m_pSetupDlg, SIGNAL(signalSaved(bool)), this, SLOT(onBtnSetupSaveClicked(bool)));
    CLinkageSavePicMgr* pSavePicMgr = CLinkageSavePicMgr::GetLiveSavePicMgr();
    connect(pSavePicMgr, SIGNAL(signalSpaceNotEnough()), this, SLOT(onSignalSpaceNotEnough()));
    connect(pSavePicMgr, SIGNAL(signalSaveFailed()), this, SLOT(onSignalSaveFailed()));
    connect(pSavePicMgr, SIGNAL(signalPicturesNotSaved(int)), this, SLOT(onPicturesNotSaved(int)));
    connect(pSavePicMgr, SIGNAL(signalPictureSaved(QString)), this, SLOT(onSignalPictureSaved()));
    ConnectAlarmView();
    ConnectCameraTree();
    ConnectPlayWindows();
}

void CLinkageSnapAlarmDlg::UseAlternativeHolderNames()
{
    ui.m_pWidgetLive1->setObjectName("m_pWidgetLive1ZV");
    ui.m_pWidgetLive2->setObjectName("m_pWidgetLive2ZV");
    ui.m_pWidgetLive3->setObjectName("m_pWidgetLive3ZV");
}

void CLinkageSnapAlarmDlg::SetTitleFontsBold()
{
    QFont font = ui.m_pLabelLiveTitle->font();
    font.setBold(true);
    ui.m_pLabelLiveTitle->setFont(font);
    ui.m_pLabelSceneTitle->setFont(font);
    ui.m_pLabelLinkageTitle->setFont(font);
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

void CLinkageSnapAlarmDlg::SelectPlayWindow(int index)
{
    QWidget* arrHolders[] = {ui.m_pWidgetLive1, ui.m_pWidgetLive2, ui.m_pWidgetLive3};
    for (int i = 0; i < kPlayWindowCount; ++i) {
        arrHolders[i]->setProperty("bSelected", index == i);
        // Property selectors of the style sheet are evaluated at polish time.
        arrHolders[i]->style()->unpolish(arrHolders[i]);
        arrHolders[i]->style()->polish(arrHolders[i]);
    }
    if (m_vecPlayWindows.size() >= kPlayWindowCount && index >= 0 && index < m_vecPlayWindows.size())
        m_pSelectedPlayWindow = m_vecPlayWindows.at(index);
    // The tree follows the camera of the selected window.
    const std::string strGUID = PlayingGUID(m_pSelectedPlayWindow);
    if (!strGUID.empty())
        emit signalUpdateGroupSelectState(strGUID);
}

void CLinkageSnapAlarmDlg::onBtnSetUpClicked()
{
    if (!m_pSetupDlg)
        m_pSetupDlg = new CLinkageSetupDlg(this);
    m_pSetupDlg->show();
}

void CLinkageSnapAlarmDlg::onBtnCloseClicked()
{
    if (m_pSetupDlg)
        m_pSetupDlg->hide();
    StopAllLiveViews();
    CloseAlarmView();
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
    // The third window and the gap before it give up their share in dual mode,
    // and the third window stops.
    const bool bDual = nPreviewMode == kPreviewModeDual;
    ui.LayoutPanorama->setStretch(kThirdGapIndex, bDual ? 0 : kLiveGapStretch);
    ui.LayoutPanorama->setStretch(kThirdGapIndex + 1, bDual ? 0 : kLiveWindowStretch);
    if (bDual && m_vecPlayWindows.size() > 2 && IsPreviewing(m_vecPlayWindows.at(2))) {
        m_vecPlayWindows.at(2)->StopLiveView();
        m_pLiveCamera2 = nullptr;
    }
    if (bDual)
        SelectPlayWindow(0);
    ui.m_pWidgetLive3->setVisible(!bDual);
}

void CLinkageSnapAlarmDlg::onSignalSpaceNotEnough()
{
    NoticeOncePerRun(m_nSpaceFailRun, AlarmViewTexts::Text(AlarmViewTexts::NoEnoughFreeSpace));
}

void CLinkageSnapAlarmDlg::onSignalSaveFailed()
{
    NoticeOncePerRun(m_nSaveFailRun, AlarmViewTexts::Text(AlarmViewTexts::SavePictureFailed));
}

void CLinkageSnapAlarmDlg::onSignalPictureSaved()
{
    // Saving works again: the next failure is news. (The save worker logs how
    // many pictures the run cost, with the system's reason.)
    m_nSpaceFailRun = 0;
    m_nSaveFailRun = 0;
}

void CLinkageSnapAlarmDlg::NoticeOncePerRun(int& nRunCount, const QString& strText)
{
    // A full disk under an alarm storm fails every picture: one notice is news,
    // hundreds are noise.
    if (nRunCount++ == 0)
        TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
            strText, this, false, false, false);
}

void CLinkageSnapAlarmDlg::OnVideoSystemConfigChanged(const int32_t* pnCode)
{
    if (!pnCode || *pnCode != tessel::CVideoSystemConfig::kScaleModeChanged)
        return;
    if (tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig()) {
        m_nVideoScaleMode = pConfig->GetVideoScaleMode();
        for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecPlayWindows))
            pWindow->SetVideoScaleMode(m_nVideoScaleMode);
    }
}

} // namespace LinkageSnapAlarm
