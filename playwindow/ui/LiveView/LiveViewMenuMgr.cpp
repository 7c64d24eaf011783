#include "LiveViewMenuMgr.h"

#include <QAction>
#include <QMenu>

namespace {
const char* ActionKey(CLiveViewMenuMgr::LiveViewActionType eType)
{
    switch (eType) {
    case CLiveViewMenuMgr::StopLiveView: return QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "StopLiveView");
    case CLiveViewMenuMgr::Screenshot: return QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "Screenshot");
    case CLiveViewMenuMgr::StartRecording: return QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "StartRecording");
    case CLiveViewMenuMgr::OpenPTZControl: return QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "OpenPTZControl");
    case CLiveViewMenuMgr::OpenDigitalZoom: return QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "OpenDigitalZoom");
    case CLiveViewMenuMgr::AudioOn: return QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "AudioOn");
    }
    return nullptr;
}

bool IsToggle(CLiveViewMenuMgr::LiveViewActionType eType)
{
    return eType == CLiveViewMenuMgr::StartRecording || eType == CLiveViewMenuMgr::OpenPTZControl
           || eType == CLiveViewMenuMgr::OpenDigitalZoom || eType == CLiveViewMenuMgr::AudioOn;
}
} // namespace

CLiveViewMenuMgr::CLiveViewMenuMgr(const QList<LiveViewActionType>& lstTypes, QObject* parent)
    : QObject(parent)
{
    for (LiveViewActionType eType : lstTypes) {
        const char* szKey = ActionKey(eType);
        if (!szKey || m_mapActions.contains(eType))
            continue; // only the actions this library knows, once each
        auto* pAction = new QAction(tr(szKey), this);
        pAction->setObjectName(QString::fromLatin1(szKey));
        pAction->setCheckable(IsToggle(eType));
        pAction->setEnabled(false);
        connect(pAction, &QAction::triggered, this, [this, eType] { emit SignalActionTriggered(eType); });
        m_lstTypes.append(eType);
        m_mapActions.insert(eType, pAction);
    }
}

CLiveViewMenuMgr::~CLiveViewMenuMgr() = default;

QList<QAction*> CLiveViewMenuMgr::Actions() const
{
    QList<QAction*> lstActions;
    for (LiveViewActionType eType : m_lstTypes)
        lstActions.append(m_mapActions.value(eType));
    return lstActions;
}

void CLiveViewMenuMgr::FillMenu(QMenu& menu) const
{
    menu.addActions(Actions());
}

void CLiveViewMenuMgr::SetCamera(tessel::ICamera* pCamera)
{
    m_pCamera = pCamera;
    for (QAction* pAction : Actions())
        pAction->setEnabled(pCamera != nullptr);
    ResetCheckMarks();
}

void CLiveViewMenuMgr::SetChecked(LiveViewActionType eType, bool bChecked)
{
    if (QAction* pAction = m_mapActions.value(eType); pAction && pAction->isCheckable())
        pAction->setChecked(bChecked);
}

void CLiveViewMenuMgr::ResetCheckMarks()
{
    for (QAction* pAction : Actions())
        if (pAction->isCheckable())
            pAction->setChecked(false);
}
