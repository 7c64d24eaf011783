#pragma once

#include "alarmview/AlarmDisplayQueue.h"
#include "alarmview/LinkageSnapAlarmDlgForm.h"
#include "settings/LinkageSetupInfo.h"

#include "playwindow/PlayWindowEvent.h"
#include "playwindow/PlayWindowLibrary.h"

#include "quorra/IntelAlarmEventInfo.h"
#include "tessel/IElement.h"
#include "tessel/IVideoSystemConfigObserver.h"

#include <QImage>

#include <QModelIndex>
#include <QRect>
#include <QString>
#include <QVector>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class tst_LinkageSnapAlarmDlgAlarms;
class CStreamPlayWindowWithTask;
class CPTZControlWnd;
class CPlayWindowsPtzMgr;
class QDropEvent;

namespace Kelmot {
class CGroupManagerDeletage;
} // namespace Kelmot
namespace quorra {
class CLocalDataManagerDelegate;
} // namespace quorra
namespace tessel {
class ICamera;
} // namespace tessel

namespace LinkageSnapAlarm {

class CGroupTreeWidget;
class CLinkageSetupDlg;
class CLinkageSnapAlarmListener;
class CShowCardArea;
class CShowPicWidget;
class CLiveViewPlugin;

// The whole linkage view: live windows above, the panoramic scene picture and
// the linkage snapshot cards below, and the camera tree panel pinned to the left.
class CLinkageSnapAlarmDlg : public QWidget, public tessel::IVideoSystemConfigObserver
{
    Q_OBJECT
    Q_INTERFACES(tessel::IVideoSystemConfigObserver)
public:
    static constexpr int kPlayWindowCount = 3;
    // Width of the panel strip that stays inside the dialog when collapsed.
    static constexpr int kPanelStripWidth = 26;

    explicit CLinkageSnapAlarmDlg(QWidget* parent = nullptr);
    ~CLinkageSnapAlarmDlg() override;

    void FitToScreen(const QRect& rcScreen);
    void SelectPlayWindow(int index);
    void StopAllLiveViews();

    void RestoreLiveCameras(const std::vector<std::string>& vecGuid);
    void CollectLiveCameras(std::vector<std::string>& vecGuid);

    // The panel's size on a screen of the given size, truncated as designed at
    // 1920 x 1080; and its place in a dialog of the given height.
    static QSize PanelSize(const QSize& sizeScreen);
    static QPoint PanelPos(int nDlgHeight, const QSize& sizePanel, bool bExpanded);

    void OnVideoSystemConfigChanged(const int32_t* pnCode) override;

    // Alarm intake on or off (the dashboard widget's readState and saveState).
    void SetAlarmListening(bool bListen);
    // True unless one window camera's alarm source is exactly strSourceID
    // (a window without camera counts as the empty source).
    bool IsAlarmSourceOutsideWindows(const std::string& strSourceID) const;
    // The part of the picture a card shows for a target rectangle.
    static QImage CropPictureByRect(const QImage& image, const protocol::PictureRect& rect);
    CLinkageSnapAlarmListener* AlarmListener() const { return m_pAlarmListener; }
    const QString& LinkageUid() const { return m_strLinkageUid; }
    // Alarms that asked to show something, and those of them shown; the others
    // were shed in a flood (their pictures still saved).
    std::int64_t AlarmsAccepted() const { return m_nAlarmsAccepted; }
    std::int64_t AlarmsShown() const { return m_nAlarmsShown; }

    const CLinkageSnapAlarmDlgForm& Form() const { return ui; }
    CGroupTreeWidget* GroupTreeWidget() const { return m_pGroupTreeWidget; }
    CLiveViewPlugin* LiveViewPlugin() const { return m_pLiveViewPlugin; }
    bool IsCameraPanelExpanded() const { return m_bExpandCamera; }
    // The selected window's place in the window list, or -1.
    int SelectedPlayWindow() const { return m_vecPlayWindows.indexOf(m_pSelectedPlayWindow); }
    const QVector<CStreamPlayWindowWithTask*>& PlayWindows() const { return m_vecPlayWindows; }
    // The camera recorded for a window (0, 1, 2), whose alarms are accepted.
    tessel::ICamera* WindowCamera(int nIndex) const;
    const LinkageSetupInfo& SetupInfo() const { return m_stSetupInfo; }
    int32_t VideoScaleMode() const { return m_nVideoScaleMode; }

signals:
    void signalUpdateGroupSelectState(std::string guidCamera);

public slots:
    void onBtnSetUpClicked();
    void onBtnCloseClicked();
    void onBtnSetupSaveClicked(bool bSuccess);
    void onBtnShrinkCamera();
    void onCameraDClicked(void* pCamera);
    void onGroupDoubleClicked(const QModelIndex& mIndex);
    void onCameraRemoved(tessel::StrGUID strGUID);
    void onNewAlarmComing(const quorra::IntelAlarmEventInfo& struAlarmIn);
    void onBtnTestClicked();
    void onPlayWindowSelected();
    void onPreviewClosedByBtn();
    void onPlayWindowDropEvent(QDropEvent* pEvent);
    void onSignalSpaceNotEnough();
    void onUpdateGroupTreeSelectedCamera(std::string idCamera);
    void onUpdateLiveViewState(const CLiveViewEvent& eventLiveView);
    // Slots the host does not know come after its own: method indices are
    // part of what its string-based connections see.
    void onSignalSaveFailed();
    void onSignalPictureSaved();
    void onAlarmsDropped(int nCount);
    void onPicturesNotSaved(int nCount);

private:
    struct AlarmContext;
    void InitAlarmView();
    void ConnectAlarmView();
    void CloseAlarmView();
    void HandlePanoramicAlarm(const quorra::IntelAlarmEventInfo& info);
    void HandleLinkageAlarm(const quorra::IntelAlarmEventInfo& info);
    void HandleHuman(AlarmContext& ctx, const protocol::IntelAlarmHumanInfo& human);
    void SaveIfOn(const AlarmContext& ctx, const char* pszKind, const protocol::AlarmPictureInfo& pic,
                  const protocol::PictureRect& rcCrop);
    void RequestSave(const quorra::IntelAlarmEventInfo& info, const QString& strStemHead,
                     const protocol::AlarmPictureInfo& pic, const protocol::PictureRect& rcCrop);
    // Shows what waits now when no alarm is behind this one; in a flood a few
    // cards a turn of the event loop, so that only what can still be seen is
    // decoded and the turns stay short.
    void PresentWhenIdle();
    void SchedulePresent();
    void PresentPending(int nMaxCards, qint64 nMaxPixels);

    void InitLinkageDlg();
    void InitConnect();
    // The camera tree panel and the camera lookup over its model (LinkageSnapAlarmDlgTree.cpp).
    void InitCameraTree();
    void ConnectCameraTree();
    void PlaceCameraPanel();
    // The play windows and camera assignment (LinkageSnapAlarmDlgCameras.cpp).
    void InitPlayWindows();
    void ConnectPlayWindows();
    void ReleasePlayWindows();
    // The shared PTZ panel and its manager (LinkageSnapAlarmDlgPtz.cpp).
    void InitPtzPanel();
    void ApplyVideoScaleMode(CStreamPlayWindowWithTask* pWindow);
    static bool IsPreviewing(const CStreamPlayWindowWithTask* pWindow);
    static std::string PlayingGUID(const CStreamPlayWindowWithTask* pWindow);
    tessel::ICamera* CameraOfGUID(const std::string& strGUID) const;
    void ApplyPreviewMode(int nPreviewMode);
    void ReadVideoScaleMode();
    void UseAlternativeHolderNames();
    void SetTitleFontsBold();
    // Shows the text once, then stays quiet for the next ten calls.
    // One notice per run of failures of a kind; a saved picture ends every run.
    void NoticeOncePerRun(int& nRunCount, const QString& strText);

    CLinkageSnapAlarmDlgForm ui;
    CGroupTreeWidget* m_pGroupTreeWidget = nullptr;
    bool m_bExpandCamera = false;
    CLinkageSetupDlg* m_pSetupDlg = nullptr;
    LinkageSetupInfo m_stSetupInfo;
    std::shared_ptr<Kelmot::CGroupManagerDeletage> m_spGroupManager;
    std::shared_ptr<quorra::CLocalDataManagerDelegate> m_spLocalDataManager;
    // The play-window library's shared objects live as long as the dialog.
    CPlayWindowLibrary m_playWindowLibrary{m_spGroupManager, m_spLocalDataManager};
    CLiveViewPlugin* m_pLiveViewPlugin = nullptr;
    CStreamPlayWindowWithTask* m_pSelectedPlayWindow = nullptr;
    CStreamPlayWindowWithTask* m_pSecondPlayWindow = nullptr;
    QVector<CStreamPlayWindowWithTask*> m_vecPlayWindows;
    // The host's video scale mode, handed to every play window.
    int32_t m_nVideoScaleMode = 0;
    tessel::ICamera* m_pLiveCamera0 = nullptr;
    tessel::ICamera* m_pLiveCamera2 = nullptr;
    tessel::ICamera* m_pLiveCamera1 = nullptr;
    CPTZControlWnd* m_pPTZControlWnd = nullptr;
    CPlayWindowsPtzMgr* m_pPlayWindowsPtzMgr = nullptr;
    QString m_strLinkageUid = "None";
    int m_nSpaceFailRun = 0; // pictures refused for space since the last one saved
    int m_nSaveFailRun = 0;  // pictures not written since the last one saved
    CLinkageSnapAlarmListener* m_pAlarmListener = nullptr;
    // The form's "m_pWidgetScenePic" and "m_pWidgetLinkagePic" (promoted in the form).
    CShowPicWidget* m_pScenePic = nullptr;
    CShowCardArea* m_pCardArea = nullptr;
    CAlarmDisplayQueue m_displayQueue;
    bool m_bPresentPosted = false;
    std::uint64_t m_nAlarmSerial = 0;
    std::int64_t m_nAlarmsAccepted = 0;
    std::int64_t m_nAlarmsShown = 0;

    // Tests set the window cameras directly.
    friend class ::tst_LinkageSnapAlarmDlgAlarms;
};

} // namespace LinkageSnapAlarm
