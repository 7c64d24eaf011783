#pragma once

#include <QList>
#include <QMap>
#include <QObject>

class QAction;
class QMenu;

namespace tessel {
class ICamera;
} // namespace tessel

namespace TesselPlayWindow {
struct PlaybackMenuParam
{
    enum PlaybackActionType { PlaybackScreenshot = 17 };
};
} // namespace TesselPlayWindow

// The live-view actions of one play window, for its context menu and tool bar.
// Switching actions (recording, PTZ, digital zoom, sound) have an off and an on
// look: text, menu icon, tool-bar icon ("toolBarIcon" property) and, for PTZ and
// digital zoom, the data value 0 or 1.
class CLiveViewMenuMgr : public QObject
{
    Q_OBJECT
public:
    enum LiveViewActionType {
        StopLiveView = 3,
        Screenshot = 4,
        StartRecording = 9,
        OpenPTZControl = 10,
        OpenDigitalZoom = 11,
        InstantPlayback = 15,
        AudioOn = 18,
    };
    Q_ENUM(LiveViewActionType)

    // Property names on each action: the resource paths of its current icons.
    static constexpr const char* kMenuIconProperty = "menuIcon";
    static constexpr const char* kToolBarIconProperty = "toolBarIcon";
    // Property naming an action's type, so handlers of a shared slot can tell them apart.
    static constexpr const char* kActionTypeProperty = "liveViewActionType";

    explicit CLiveViewMenuMgr(const QList<LiveViewActionType>& listTypes, QObject* pParent = nullptr);

    QList<LiveViewActionType> ActionTypes() const { return m_listTypes; }
    QAction* Action(int nType) const;
    // The offered actions in the order they were listed.
    QList<QAction*> Actions() const;
    // The visible actions, in order.
    void FillMenu(QMenu& menu) const;

    void SetActionEnabled(int nType, bool bEnabled);
    void SetActionVisible(int nType, bool bVisible);

    void SetRecordingState(bool bOn);
    void SetPtzState(bool bOn);
    void SetDigitalZoomState(bool bOn);
    void SetSoundState(bool bOn);
    void SetInstantPlaybackState(bool bOn);

    // A switching action's look by its check mark: checked is the on look.
    void SetChecked(int nType, bool bChecked);
    // Every switching action back to its off look.
    void ResetCheckMarks();

    // The camera that now plays (none when idle): actions are enabled as far as
    // the camera supports them (PTZ needs a PTZ camera, sound a camera with
    // sound, instant playback the user's playback right on the camera) and
    // every switching action takes its off look.
    void SetCamera(tessel::ICamera* pCamera);
    tessel::ICamera* Camera() const { return m_pCamera; }

signals:
    void SignalActionTriggered(int nType);

private:
    struct Look
    {
        const char* pszText;
        const char* pszMenuIcon;
        const char* pszToolBarIcon; // null: left as it is
        int nData;                  // -1: left as it is
    };
    void CreateAction(LiveViewActionType eType);
    static void ApplyLook(QAction* pAction, const Look& look);
    void SetSwitchState(int nType, bool bOn);

    QList<LiveViewActionType> m_listTypes;
    QMap<int, QAction*> m_mapActions;
    tessel::ICamera* m_pCamera = nullptr;
};
