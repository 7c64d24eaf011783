#pragma once

#include <QList>
#include <QMap>
#include <QObject>

class QAction;
class QMenu;

namespace tessel {
class ICamera;
}

// The live-view actions of one play window, for its context menu and tool bar.
// Switching actions (recording, PTZ, digital zoom, sound) have an off and an on
// look: text, menu icon, tool-bar icon ("toolBarIcon" property) and, for PTZ and
// digital zoom, the data value 0 or 1.
class CLiveViewMenuMgr : public QObject
{
    Q_OBJECT
public:
    enum LiveViewActionType {
        LiveViewStop = 3,
        LiveViewCapture = 4,
        LiveViewRecord = 9,
        LiveViewPTZ = 10,
        LiveViewDigitalZoom = 11,
        LiveViewSound = 18,
    };
    Q_ENUM(LiveViewActionType)

    // Property names on each action: the resource paths of its current icons.
    static constexpr const char* kMenuIconProperty = "menuIcon";
    static constexpr const char* kToolBarIconProperty = "toolBarIcon";
    // Property naming an action's type, so handlers of a shared slot can tell them apart.
    static constexpr const char* kActionTypeProperty = "liveViewActionType";

    explicit CLiveViewMenuMgr(const QList<LiveViewActionType>& listTypes, QObject* pParent = nullptr);

    QAction* GetAction(int nType) const;
    // The offered actions in the order they were listed.
    QList<QAction*> GetActions() const;
    void PopulateMenu(QMenu* pMenu) const;

    void SetActionEnabled(int nType, bool bEnabled);
    void SetActionVisible(int nType, bool bVisible);

    void SetRecordingState(bool bOn);
    void SetPtzState(bool bOn);
    void SetDigitalZoomState(bool bOn);
    void SetSoundState(bool bOn);

    // The camera that now plays (none when idle): actions are enabled as far as
    // the camera supports them; PTZ needs a PTZ camera, sound a camera with sound.
    void SetCamera(tessel::ICamera* pCamera);

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
};
