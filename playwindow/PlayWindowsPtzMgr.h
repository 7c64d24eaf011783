#pragma once

#include "playwindow/PlayWindowEvent.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <string>

class CPTZControlWnd;
class CStreamPlayWindowWithTask;
class IPtzPanelWindow;
class QWidget;

// Ties the shared PTZ panel to the play windows: the panel follows the selected
// window's camera and the user's PTZ right on it (checked without a prompt),
// and closes when that right is taken away or the window goes.
class CPlayWindowsPtzMgr : public QObject
{
    Q_OBJECT
public:
    explicit CPlayWindowsPtzMgr(QWidget* pParent);
    ~CPlayWindowsPtzMgr() override;

    void SetPTZControlWnd(CPTZControlWnd* pPanel);
    CPTZControlWnd* GetPTZControlWnd() const { return m_pPTZControlWnd; }
    void SetPlayWindows(const QList<IPtzPanelWindow*>& listWindows);
    void SetPlayWindows(const QList<CStreamPlayWindowWithTask*>& listWindows);
    IPtzPanelWindow* GetActiveWindow() const;

    // Runs the panel update for a window now (the window changed its mouse mode).
    void UpdatePanel(IPtzPanelWindow* pWindow);

public slots:
    void OnUpdateActiveState();
    void OnUpdateLiveViewState(const CLiveViewEvent& eventLiveView);
    // A live-view state change of a window by its kind.
    void OnUpdateLiveViewKind(QObject* pSender, int nKind);

private slots:
    void OnElementChanged(const QString& strGuid);
    void OnWindowDestroyed(QObject* pWindow);

private:
    IPtzPanelWindow* FindWindow(const QObject* pSender) const;
    void ClearPanel();
    void Disconnect(IPtzPanelWindow* pWindow);

    QPointer<CPTZControlWnd> m_pPTZControlWnd;
    QList<QObject*> m_listPtzClients; // further panel users; none in this system
    QList<IPtzPanelWindow*> m_listWindows;
    QList<QPointer<QWidget>> m_listWindowGuards;
    QWidget* m_pParent = nullptr;
    IPtzPanelWindow* m_pActiveWindow = nullptr;
};
