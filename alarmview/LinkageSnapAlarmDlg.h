#pragma once

#include "alarmview/AlarmDetailView.h"
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

class tst_AlarmDetailView;
class tst_AlarmHistoryFeed;
class tst_LinkageSnapAlarmDlgAlarms;
class CStreamPlayWindowWithTask;
class QDropEvent;
class QMenu;

namespace Ui {
class LinkageSnapAlarmDlg;
} // namespace Ui

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

class CAlarmHistory;
class CAlarmPresenter;
class CIncidentExportDialog;
class CGroupTreeWidget;
class CKeyboardFlow;
class CLinkageSetupDlg;
class CLinkageSnapAlarmListener;
class CLiveViewPlugin;
class CLiveWindows;

// The whole linkage view: live windows above, the panoramic scene picture and
// the linkage snapshot cards below, and the camera tree panel pinned to the left.
// The dialog holds the form, the settings and the tree panel, and wires the
// host's signals to its slots; the slots hand alarms to the alarm presenter
// (AlarmPresenter.h) and cameras to the live windows (LiveWindows.h).
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
    CLinkageSnapAlarmListener* AlarmListener() const;
    const QString& LinkageUid() const;
    // Alarms that asked to show something, and those of them shown; the others
    // were shed in a flood (their pictures still saved).
    std::int64_t AlarmsAccepted() const;
    std::int64_t AlarmsShown() const;

    CGroupTreeWidget* GroupTreeWidget() const { return m_pGroupTreeWidget; }
    CLiveViewPlugin* LiveViewPlugin() const { return m_upLiveViewPlugin.get(); }
    bool IsCameraPanelExpanded() const { return m_bExpandCamera; }
    // The selected window's place in the window list, or -1.
    int SelectedPlayWindow() const;
    const QVector<CStreamPlayWindowWithTask*>& PlayWindows() const;
    // The camera recorded for a window (0, 1, 2), whose alarms are accepted.
    tessel::ICamera* WindowCamera(int nIndex) const;
    const LinkageSetupInfo& SetupInfo() const { return m_stSetupInfo; }
    // The setup dialog with its form, which is otherwise built when first shown.
    CLinkageSetupDlg* SetupDialog();

    // The detail view of the dialog's alarms, made on first use.
    CAlarmDetailView* DetailView();
    // Opens the detail view on card nCard of a linkage (CAlarmDetailView::kScene:
    // its scene with every person's rectangle), for records from anywhere,
    // such as an alarm history; the strip's cards and scene open it themselves.
    void OpenLinkageDetails(LinkageRecordSet set, int nCard);
    // Every alarm shown is kept there; its signalLinkageChosen carries a past
    // linkage the operator chose in the history panel.
    CAlarmHistory* AlarmHistory() const { return m_pAlarmHistory; }
    // "Export incident…" for a linkage: the export dialog, made on first use,
    // with the windows' pre-alarm buffers as the cameras' video.
    CIncidentExportDialog* ExportDialog();
    void OpenIncidentExport(LinkageRecordSet set);
    // The folder an export goes to unless the operator picks another.
    QString DefaultExportFolder() const;
    // The cards' context menu ("Export incident…"), made on first use.
    QMenu* CardMenu();
    int32_t VideoScaleMode() const;

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
    void InitLinkageDlg();
    void InitConnect();
    // The camera tree panel and the camera lookup over its model (LinkageSnapAlarmDlgTree.cpp).
    void InitCameraTree();
    void ConnectCameraTree();
    void PlaceCameraPanel();
    // The windows' own signals come to the dialog's slots before the PTZ
    // panel's manager sees them.
    void ConnectPlayWindows();
    void ConnectTreeToWindows();
    void ConnectAlarms();
    // The alarm history beside the settings database, fed by the presenter.
    void InitAlarmHistory();
    void ApplyPreviewMode(int nPreviewMode);
    void UseAlternativeHolderNames();
    void SetTitleFontsBold();
    // A card or the scene panel asked for the details: the strip's linkage, there.
    void OpenStripDetails(int nCard);
    // Names and help for screen readers, and the keyboard flow (KeyboardFlow.h).
    void InitAccessibility();

    std::unique_ptr<Ui::LinkageSnapAlarmDlg> ui;
    CGroupTreeWidget* m_pGroupTreeWidget = nullptr;
    bool m_bExpandCamera = false;
    CLinkageSetupDlg* m_pSetupDlg = nullptr;
    CAlarmHistory* m_pAlarmHistory = nullptr;
    LinkageSetupInfo m_stSetupInfo;
    std::shared_ptr<Kelmot::CGroupManagerDeletage> m_spGroupManager;
    std::shared_ptr<quorra::CLocalDataManagerDelegate> m_spLocalDataManager;
    // The play-window library's shared objects live as long as the dialog.
    CPlayWindowLibrary m_playWindowLibrary{m_spGroupManager, m_spLocalDataManager};
    // The windows are released before the camera lookup goes.
    std::unique_ptr<CLiveViewPlugin> m_upLiveViewPlugin;
    std::unique_ptr<CLiveWindows> m_upLiveWindows;
    std::unique_ptr<CAlarmPresenter> m_upAlarmPresenter;
    CAlarmDetailView* m_pDetailView = nullptr;
    CIncidentExportDialog* m_pExportDialog = nullptr;
    QMenu* m_pCardMenu = nullptr;
    CKeyboardFlow* m_pKeyboardFlow = nullptr;

    // Tests set the window cameras and the saving switch directly.
    friend class ::tst_LinkageSnapAlarmDlgAlarms;
    friend class ::tst_AlarmDetailView;
    friend class ::tst_AlarmHistoryFeed;
};

} // namespace LinkageSnapAlarm
