#pragma once

#include "playwindow/LiveViewMenuMgr.h"
#include "playwindow/PlayWindowEvent.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <string>

class CLiveViewControllerPlugin;
class CLiveViewMenuMgr;

namespace tessel {
class ICamera;
} // namespace tessel
namespace Vantrel {
class CPreviewICamera;
} // namespace Vantrel

// Starts and stops one window's host preview and runs the actions behind the
// window's menu (screenshot, recording, sound) with their permission checks.
// Preview notifications come back queued and leave as CLiveViewEvent.
class CLiveViewController : public QObject
{
    Q_OBJECT
public:
    // The failure recorded when a GUID resolves to no camera.
    static constexpr int kFailKindNoCamera = 2;
    static constexpr int kFailCodeNoCamera = 202;
    // Stream values the host understands as they come.
    static constexpr int kStreamTypeAsGiven = 100;

    CLiveViewController(CLiveViewControllerPlugin* pPlugin, QWidget* pWindow);
    ~CLiveViewController() override;

    Vantrel::CPreviewICamera* GetPreview() const { return m_pPreview; }
    void SetPlugin(CLiveViewControllerPlugin* pPlugin) { m_pPlugin = pPlugin; }
    CLiveViewControllerPlugin* GetPlugin() const { return m_pPlugin; }

    // The camera of a GUID through the plug-in: only an element whose type
    // says camera, with a non-empty GUID.
    tessel::ICamera* ResolveCamera(const std::string& strGUID) const;

    bool StartPreview(const std::string& strGUID, int nStreamType, WId hWnd);
    // Stops recording and sound first, then the preview; logs the stop.
    void StopPreview();
    void ForgetCamera(const std::string& strGUID);

    bool Capture();
    bool StartRecord();
    void StopRecord();
    bool OpenSound();
    void CloseSound();

    // The host's stream numbering for a requested stream type.
    int HostStreamType(int nStreamType, int nChannelKind) const;
    void SetAlternateStreamMode(bool bOn) { m_bAlternateStream = bOn; }

    // The window's actions, whose looks follow the preview's notifications.
    void SetMenuMgr(CLiveViewMenuMgr* pMenuMgr) { m_pMenuMgr = pMenuMgr; }

    int FailKind() const { return m_nFailKind; }
    int FailCode() const { return m_nFailCode; }

signals:
    void SignalLiveViewEvent(const CLiveViewEvent& eventLiveView);

private slots:
    void OnPreviewNotify(const Vantrel::CPreviewObserver::Param& param);

private:
    bool HasRunningCamera() const;
    void ApplyActionStates(int nKind);
    QString CameraName() const;
    // The one "live view failed" notice of a start.
    void TellFailure(const QString& strError);

    CLiveViewControllerPlugin* m_pPlugin = nullptr;
    QWidget* m_pWindow = nullptr;
    Vantrel::CPreviewICamera* m_pPreview = nullptr;
    bool m_bAlternateStream = false;
    int m_nFailKind = 0;
    int m_nFailCode = 0;
    QPointer<CLiveViewMenuMgr> m_pMenuMgr;
    // Set when a running stream was lost, so that its return is announced.
    bool m_bNoticeReconnected = false;
    bool m_bFailureTold = false; // since the last start
};
