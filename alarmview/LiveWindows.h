#pragma once

#include "playwindow/PlayWindowEvent.h"

#include <QObject>
#include <QVector>

#include <array>
#include <memory>
#include <string>
#include <vector>

class CStreamPlayWindowWithTask;
class CPTZControlWnd;
class CPlayWindowsPtzMgr;
class QDropEvent;
class QModelIndex;
class QWidget;

namespace tessel {
class ICamera;
class IElement;
} // namespace tessel

namespace LinkageSnapAlarm {

struct IncidentClipSource;
class CGroupTreeWidget;
class CLiveViewPlugin;

// The linkage view's live windows: the play windows in their holders, the
// camera each window is given (double click, play pixmap or drop from the
// tree, restore), the selected window, and the shared PTZ panel. Each
// window's camera is kept here and nowhere else: it decides whose alarms the
// view accepts, and it may differ from what the window plays (a refused start
// keeps it, a direct stop does not clear it).
class CLiveWindows : public QObject
{
    Q_OBJECT
public:
    static constexpr int kWindowCount = 3;
    using Holders = std::array<QWidget*, kWindowCount>;

    // The windows go into the holders; pDialog parents them and the PTZ panel.
    CLiveWindows(QWidget* pDialog, const Holders& holders);
    ~CLiveWindows() override;
    // Stops the windows and detaches them from the camera lookup, which may go
    // next.
    void Release();

    // Creates the windows; the dialog wires their signals before InitPtzPanel.
    void CreateWindows(CGroupTreeWidget* pGroupTree, CLiveViewPlugin* pLiveViewPlugin);
    void InitPtzPanel();

    const QVector<CStreamPlayWindowWithTask*>& Windows() const { return m_vecWindows; }
    int SelectedIndex() const { return m_vecWindows.indexOf(m_pSelected); }
    // The camera whose alarms window nIndex accepts, or null.
    tessel::ICamera* Camera(int nIndex) const;
    void SetCamera(int nIndex, tessel::ICamera* pCamera);
    // True unless one window camera's alarm source is exactly strSourceID
    // (a window without camera counts as the empty source).
    bool IsAlarmSourceOutsideWindows(const std::string& strSourceID) const;

    // Each window's pre-alarm buffer under the name of the camera it holds
    // frames of (the one it plays or played last), for an incident export.
    std::vector<IncidentClipSource> ClipSources() const;

    void Select(int nIndex);
    void SetDualMode(bool bDual);
    void StopAll();
    void SetVideoScaleMode(int nMode);
    int VideoScaleMode() const { return m_nVideoScaleMode; }

    // Cameras from the tree and the windows' own reports.
    void OnCameraChosen(tessel::IElement* pElement);
    void OnTreeRowStarted(const QModelIndex& index);
    void OnDrop(CStreamPlayWindowWithTask* pWindow, QDropEvent* pEvent);
    void OnCameraRemoved(const std::string& strGUID);
    void OnWindowSelected(CStreamPlayWindowWithTask* pWindow);
    void OnWindowClosed(CStreamPlayWindowWithTask* pWindow);
    void OnLiveViewState(const QObject* pReporter, const CLiveViewEvent& eventLiveView);
    void ShowCameraInTree(const std::string& strGUID);

    // The cameras the windows play, by window, for the next run; stops them all.
    void Collect(std::vector<std::string>& vecGuid);
    void Restore(const std::vector<std::string>& vecGuid);

signals:
    // The selected window's camera, for the tree to follow.
    void signalSelectedCamera(std::string strGUID);

private:
    void AddWindow(int nIndex);
    tessel::ICamera* CameraOfGUID(const std::string& strGUID) const;
    void ApplyConfiguredScaleMode(CStreamPlayWindowWithTask* pWindow);
    void SelectNextEmptyWindow(int nFilled);

    QWidget* m_pDialog = nullptr;
    Holders m_holders{};
    CGroupTreeWidget* m_pGroupTree = nullptr;
    CLiveViewPlugin* m_pLiveViewPlugin = nullptr;
    QVector<CStreamPlayWindowWithTask*> m_vecWindows;
    CStreamPlayWindowWithTask* m_pSelected = nullptr;
    std::array<tessel::ICamera*, kWindowCount> m_arrCameras{};
    // The host's video scale mode, handed to every window.
    int m_nVideoScaleMode = 0;
    CPTZControlWnd* m_pPTZControlWnd = nullptr;
    CPlayWindowsPtzMgr* m_pPlayWindowsPtzMgr = nullptr;
};

} // namespace LinkageSnapAlarm
