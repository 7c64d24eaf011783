#include "alarmview/KeyboardFlow.h"

#include "alarmview/LinkageSnapAlarmDlg.h"
#include "cameratree/GroupTreeView.h"
#include "cameratree/GroupTreeWidget.h"
#include "cards/FocusMark.h"
#include "playwindow/LiveViewMenuMgr.h"
#include "playwindow/StreamPlayWindowWithTask.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace LinkageSnapAlarm {

namespace {

struct ActionShortcut
{
    const char* szKeys; // portable text of the key sequence
    CLiveViewMenuMgr::LiveViewActionType eAction;
};

// Ctrl+Shift keeps them clear of typing in the search box, of the tree's
// type-ahead and of Ctrl+F; README.md lists them.
constexpr ActionShortcut kActionShortcuts[] = {
    {"Ctrl+Shift+S", CLiveViewMenuMgr::Screenshot},      {"Ctrl+Shift+R", CLiveViewMenuMgr::StartRecording},
    {"Ctrl+Shift+A", CLiveViewMenuMgr::AudioOn},         {"Ctrl+Shift+P", CLiveViewMenuMgr::OpenPTZControl},
    {"Ctrl+Shift+D", CLiveViewMenuMgr::OpenDigitalZoom},
};

bool IsEnter(const QKeyEvent* pEvent)
{
    return pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter;
}

bool HasNoModifier(const QKeyEvent* pEvent)
{
    return (pEvent->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

CKeyboardFlow::CKeyboardFlow(CLinkageSnapAlarmDlg& dlg, QWidget* pScene, QWidget* pCardArea)
    : QObject(&dlg)
    , m_dlg(dlg)
    , m_pScene(pScene)
    , m_pCardArea(pCardArea)
{
    // The scene picture is a stop of its own, marked while it has the focus.
    m_pScene->setFocusPolicy(Qt::StrongFocus);
    CFocusMark::Install(m_pScene);
    if (CGroupTreeWidget* pPanel = m_dlg.GroupTreeWidget()) {
        pPanel->TreeView()->installEventFilter(this);
        pPanel->SearchEdit()->installEventFilter(this);
    }
    for (CStreamPlayWindowWithTask* pWindow : m_dlg.PlayWindows()) {
        pWindow->installEventFilter(this);
        // Beside the window's own ":focus" frame, its title bar shows the mark.
        CFocusMark::Install(pWindow);
    }
    ChainTabOrder();
    AddShortcuts();
}

void CKeyboardFlow::ChainTabOrder()
{
    QList<QWidget*> lstChain;
    if (CGroupTreeWidget* pPanel = m_dlg.GroupTreeWidget())
        lstChain << pPanel->SearchEdit() << pPanel->TreeView();
    // Only the selected window takes Tab (CLiveWindows::Select); the others stay in order behind it.
    for (CStreamPlayWindowWithTask* pWindow : m_dlg.PlayWindows())
        lstChain << pWindow;
    // The strip puts the card that Tab enters it at right behind itself.
    lstChain << m_pScene << m_pCardArea;
    for (int i = 1; i < lstChain.size(); ++i)
        QWidget::setTabOrder(lstChain.at(i - 1), lstChain.at(i));
}

void CKeyboardFlow::AddShortcuts()
{
    for (const ActionShortcut& shortcut : kActionShortcuts) {
        // Scoped to the view: never fired from the host's other windows or the setup dialog.
        auto* pShortcut = new QShortcut(QKeySequence(QString::fromLatin1(shortcut.szKeys)), &m_dlg);
        pShortcut->setContext(Qt::WidgetWithChildrenShortcut);
        pShortcut->setObjectName(QStringLiteral("m_pShortcut_%1").arg(shortcut.eAction));
        const int nAction = shortcut.eAction;
        connect(pShortcut, &QShortcut::activated, this, [this, nAction] { TriggerOnSelectedWindow(nAction); });
    }
}

void CKeyboardFlow::TriggerOnSelectedWindow(int nAction)
{
    CStreamPlayWindowWithTask* pWindow = m_dlg.PlayWindows().value(m_dlg.SelectedPlayWindow());
    QAction* pAction = pWindow ? pWindow->GetMenuMgr()->Action(nAction) : nullptr;
    // As from the menu or the tool bar: an action the camera does not offer does nothing.
    if (pAction && pAction->isEnabled())
        pAction->trigger();
}

bool CKeyboardFlow::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    CGroupTreeWidget* pPanel = m_dlg.GroupTreeWidget();
    const bool bInPanel = pPanel && (pWatched == pPanel->TreeView() || pWatched == pPanel->SearchEdit());
    if (bInPanel && pEvent->type() == QEvent::FocusIn && !m_dlg.IsCameraPanelExpanded())
        m_dlg.onBtnShrinkCamera();
    if (pEvent->type() != QEvent::KeyPress)
        return QObject::eventFilter(pWatched, pEvent);
    const auto* pKeyEvent = static_cast<const QKeyEvent*>(pEvent);
    if (pPanel && pWatched == pPanel->TreeView() && OnTreeKey(pKeyEvent))
        return true;
    if (auto* pWindow = qobject_cast<CStreamPlayWindowWithTask*>(pWatched); pWindow && OnWindowKey(pWindow, pKeyEvent))
        return true;
    return QObject::eventFilter(pWatched, pEvent);
}

bool CKeyboardFlow::OnTreeKey(const QKeyEvent* pEvent)
{
    if (!IsEnter(pEvent) || !HasNoModifier(pEvent))
        return false;
    CGroupTreeView* pTree = m_dlg.GroupTreeWidget()->TreeView();
    const QModelIndex row = pTree->currentIndex();
    if (!row.isValid())
        return false;
    // A group opens or closes; a camera starts in the selected window.
    if (pTree->model()->hasChildren(row))
        pTree->setExpanded(row, !pTree->isExpanded(row));
    else
        m_dlg.onGroupDoubleClicked(row);
    return true;
}

bool CKeyboardFlow::OnWindowKey(CStreamPlayWindowWithTask* pWindow, const QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F10 && pEvent->modifiers() == Qt::ShiftModifier) {
        // The window's menu, opened from the keyboard in the middle of the window.
        const QPoint ptCentre = pWindow->rect().center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, ptCentre, pWindow->mapToGlobal(ptCentre));
        QCoreApplication::sendEvent(pWindow, &menuEvent);
        return true;
    }
    if (!HasNoModifier(pEvent))
        return false;
    switch (pEvent->key()) {
    case Qt::Key_Left:
        SelectNeighbour(pWindow, -1);
        return true;
    case Qt::Key_Right:
        SelectNeighbour(pWindow, 1);
        return true;
    case Qt::Key_Escape: {
        // Leaving PTZ mode closes its panel; leaving digital zoom shows the whole picture.
        const int nMode = pWindow->GetMouseMode();
        if (nMode != CStreamPlayWindowWithTask::MousePTZ && nMode != CStreamPlayWindowWithTask::MouseDigitalZoom)
            return false;
        pWindow->SetMouseMode(CStreamPlayWindowWithTask::MousePlain);
        return true;
    }
    default:
        return false;
    }
}

void CKeyboardFlow::SelectNeighbour(CStreamPlayWindowWithTask* pWindow, int nStep)
{
    const QVector<CStreamPlayWindowWithTask*>& vecWindows = m_dlg.PlayWindows();
    // Hidden windows (the third one in dual mode) are passed over.
    for (int i = vecWindows.indexOf(pWindow) + nStep; i >= 0 && i < vecWindows.size(); i += nStep) {
        if (vecWindows.at(i)->isVisibleTo(&m_dlg)) {
            vecWindows.at(i)->MarkSelectedAndFocus();
            return;
        }
    }
}

} // namespace LinkageSnapAlarm
