#pragma once

#include <QObject>

class CStreamPlayWindowWithTask;
class QKeyEvent;
class QWidget;

namespace LinkageSnapAlarm {

class CLinkageSnapAlarmDlg;

// The linkage view without a mouse. Tab runs search box -> camera tree ->
// selected live window -> scene picture -> card strip; the arrow keys move the
// selection between the live windows (the cards move their own focus); Enter
// in the tree starts the current camera in the selected window; the action
// shortcuts act on the selected window, only while the focus is in the view;
// Escape leaves a window's PTZ or digital zoom mode. A focus on the search box
// or the tree opens a collapsed camera panel, so that what is typed is seen.
class CKeyboardFlow : public QObject
{
    Q_OBJECT
public:
    CKeyboardFlow(CLinkageSnapAlarmDlg& dlg, QWidget* pScene, QWidget* pCardArea);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void ChainTabOrder();
    void AddShortcuts();
    void TriggerOnSelectedWindow(int nAction);
    bool OnTreeKey(const QKeyEvent* pEvent);
    bool OnWindowKey(CStreamPlayWindowWithTask* pWindow, const QKeyEvent* pEvent);
    void SelectNeighbour(CStreamPlayWindowWithTask* pWindow, int nStep);

    CLinkageSnapAlarmDlg& m_dlg;
    QWidget* m_pScene = nullptr;
    QWidget* m_pCardArea = nullptr;
};

} // namespace LinkageSnapAlarm
