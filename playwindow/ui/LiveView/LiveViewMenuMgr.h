#pragma once

#include <QList>
#include <QMap>
#include <QObject>

class QAction;
class QMenu;

namespace tessel {
class ICamera;
}

namespace TesselPlayWindow {
struct PlaybackMenuParam
{
    enum PlaybackActionType { PlaybackScreenshot = 17 };
};
} // namespace TesselPlayWindow

// The live view actions a play window offers in its menu and tool bar: one
// action object per listed type, enabled while a camera plays.
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
        AudioOn = 18,
    };

    CLiveViewMenuMgr(const QList<LiveViewActionType>& lstTypes, QObject* parent);
    ~CLiveViewMenuMgr() override;

    QList<LiveViewActionType> ActionTypes() const { return m_lstTypes; }
    QAction* Action(LiveViewActionType eType) const { return m_mapActions.value(eType); }
    QList<QAction*> Actions() const;
    void FillMenu(QMenu& menu) const;

    // The camera that now plays, or none: actions are enabled accordingly and
    // their check marks reset.
    void SetCamera(tessel::ICamera* pCamera);
    tessel::ICamera* Camera() const { return m_pCamera; }
    void SetChecked(LiveViewActionType eType, bool bChecked);
    void ResetCheckMarks();

signals:
    void SignalActionTriggered(int nType);

private:
    QList<LiveViewActionType> m_lstTypes;
    QMap<LiveViewActionType, QAction*> m_mapActions;
    tessel::ICamera* m_pCamera = nullptr;
};
