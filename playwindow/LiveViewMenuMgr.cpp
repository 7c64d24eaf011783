#include "playwindow/LiveViewMenuMgr.h"

#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/LazyIcon.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "tessel/ICamera.h"

#include <QAction>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QMetaEnum>

namespace {

constexpr const char* kContext = "CLiveViewMenuMgr";

// The menu texts of the actions, as translation keys.
struct LiveViewMenuTexts
{
    static constexpr const char* kStopLiveView = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "StopLiveView");
    static constexpr const char* kScreenshot = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "Screenshot");
    static constexpr const char* kStartRecording = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "StartRecording");
    static constexpr const char* kStopRecording = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "StopRecording");
    static constexpr const char* kOpenPTZControl = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "OpenPTZControl");
    static constexpr const char* kClosePTZControl = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "ClosePTZControl");
    static constexpr const char* kOpenDigitalZoom = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "OpenDigitalZoom");
    static constexpr const char* kCloseDigitalZoom = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "CloseDigitalZoom");
    static constexpr const char* kAudioOn = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "AudioOn");
    static constexpr const char* kCloseVoice = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "CloseVoice");
    static constexpr const char* kInstantPlayback = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "InstantPlayback");
    static constexpr const char* kBackToLive = QT_TRANSLATE_NOOP("CLiveViewMenuMgr", "BackToLive");
};

#define LSA_MENU_ICON(name) ":/Tessel/Menu/Images/Public/Menu/" name ".svg"
#define LSA_TOOLBAR_ICON(name) ":/Tessel/Toolbar/Images/Public/Control/Toolbar/" name ".svg"

constexpr int kKeepData = -1;

struct SwitchLooks
{
    int nType;
    const char* pszOffText;
    const char* pszOffMenu;
    const char* pszOffToolBar;
    int nOffData;
    const char* pszOnText;
    const char* pszOnMenu;
    const char* pszOnToolBar;
    int nOnData;
};

// The two looks of every switching action: off first, on second.
constexpr SwitchLooks kSwitchLooks[] = {
    {CLiveViewMenuMgr::StartRecording, LiveViewMenuTexts::kStartRecording, LSA_MENU_ICON("Record_nor"),
     LSA_TOOLBAR_ICON("Record_nor"), kKeepData, LiveViewMenuTexts::kStopRecording, LSA_MENU_ICON("RecordStop_nor"),
     LSA_TOOLBAR_ICON("RecordStop_sli"), kKeepData},
    {CLiveViewMenuMgr::OpenPTZControl, LiveViewMenuTexts::kOpenPTZControl, LSA_MENU_ICON("PTZ_nor"),
     LSA_TOOLBAR_ICON("PTZ_nor"), 0, LiveViewMenuTexts::kClosePTZControl, LSA_MENU_ICON("PTZ_nor"),
     LSA_TOOLBAR_ICON("PTZ_sli"), 1},
    {CLiveViewMenuMgr::OpenDigitalZoom, LiveViewMenuTexts::kOpenDigitalZoom, LSA_MENU_ICON("EZoom_nor"),
     LSA_TOOLBAR_ICON("EZoom_nor"), 0, LiveViewMenuTexts::kCloseDigitalZoom, LSA_MENU_ICON("EZoom_nor"),
     LSA_TOOLBAR_ICON("EZoom_sli"), 1},
    {CLiveViewMenuMgr::AudioOn, LiveViewMenuTexts::kAudioOn, LSA_MENU_ICON("VolumeOpen_nor"), nullptr, kKeepData,
     LiveViewMenuTexts::kCloseVoice, LSA_MENU_ICON("VolumeClose_nor"), nullptr, kKeepData},
    {CLiveViewMenuMgr::InstantPlayback, LiveViewMenuTexts::kInstantPlayback, LSA_MENU_ICON("InstantPlayback_nor"),
     LSA_TOOLBAR_ICON("InstantPlayback_nor"), kKeepData, LiveViewMenuTexts::kBackToLive,
     LSA_MENU_ICON("BackToLive_nor"), LSA_TOOLBAR_ICON("InstantPlayback_sli"), kKeepData},
};

// Actions that do not switch have one look.
struct PlainLook
{
    int nType;
    const char* pszText;
    const char* pszMenuIcon;
    const char* pszToolBarIcon;
};
constexpr PlainLook kPlainLooks[] = {
    {CLiveViewMenuMgr::StopLiveView, LiveViewMenuTexts::kStopLiveView, LSA_MENU_ICON("StopLiveView_nor"),
     LSA_TOOLBAR_ICON("StopLiveView_nor")},
    {CLiveViewMenuMgr::Screenshot, LiveViewMenuTexts::kScreenshot, LSA_MENU_ICON("Capture_nor"),
     LSA_TOOLBAR_ICON("Capture_nor")},
};

#undef LSA_MENU_ICON
#undef LSA_TOOLBAR_ICON

bool IsKnownType(int nType)
{
    for (const PlainLook& plain : kPlainLooks)
        if (plain.nType == nType)
            return true;
    for (const SwitchLooks& looks : kSwitchLooks)
        if (looks.nType == nType)
            return true;
    return false;
}

// Asked silently: a refusal here only greys the action out.
bool MayPlayBack(tessel::ICamera* pCamera)
{
    auto* pPermissions = TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::Instance();
    return !pPermissions
           || pPermissions->verityResPermission(Miravel::PermissionModuleCamera, Miravel::RightCodePlayback,
                                                pCamera->GetElementID(), nullptr, Miravel::NoPrivilegeSilent);
}

const SwitchLooks* FindSwitchLooks(int nType)
{
    for (const SwitchLooks& looks : kSwitchLooks)
        if (looks.nType == nType)
            return &looks;
    return nullptr;
}

} // namespace

CLiveViewMenuMgr::CLiveViewMenuMgr(const QList<LiveViewActionType>& listTypes, QObject* pParent)
    : QObject(pParent)
{
    for (LiveViewActionType eType : listTypes)
        if (!m_mapActions.contains(eType) && IsKnownType(eType))
            CreateAction(eType); // only the actions this library knows, once each
}

void CLiveViewMenuMgr::CreateAction(LiveViewActionType eType)
{
    auto* pAction = new QAction(this);
    pAction->setObjectName(QString::fromLatin1(QMetaEnum::fromType<LiveViewActionType>().valueToKey(eType)));
    pAction->setProperty(kActionTypeProperty, int(eType));
    pAction->setEnabled(false); // nothing plays yet
    if (const SwitchLooks* pLooks = FindSwitchLooks(eType)) {
        pAction->setCheckable(true);
        ApplyLook(pAction, {pLooks->pszOffText, pLooks->pszOffMenu, pLooks->pszOffToolBar, pLooks->nOffData});
    } else {
        for (const PlainLook& plain : kPlainLooks)
            if (plain.nType == eType)
                ApplyLook(pAction, {plain.pszText, plain.pszMenuIcon, plain.pszToolBarIcon, kKeepData});
    }
    connect(pAction, &QAction::triggered, this, [this, eType] { emit SignalActionTriggered(eType); });
    m_listTypes.append(eType);
    m_mapActions.insert(eType, pAction);
}

void CLiveViewMenuMgr::ApplyLook(QAction* pAction, const Look& look)
{
    pAction->setText(QCoreApplication::translate(kContext, look.pszText));
    pAction->setProperty(kMenuIconProperty, QString::fromLatin1(look.pszMenuIcon));
    // The images are the host application's; without them the action has text only.
    pAction->setIcon(TesselGUIToolkit::LazyIcon(QString::fromLatin1(look.pszMenuIcon)));
    if (look.pszToolBarIcon)
        pAction->setProperty(kToolBarIconProperty, QString::fromLatin1(look.pszToolBarIcon));
    if (look.nData != kKeepData)
        pAction->setData(look.nData);
}

QAction* CLiveViewMenuMgr::Action(int nType) const
{
    return m_mapActions.value(nType, nullptr);
}

QList<QAction*> CLiveViewMenuMgr::Actions() const
{
    QList<QAction*> listActions;
    for (LiveViewActionType eType : m_listTypes)
        listActions.append(m_mapActions.value(eType));
    return listActions;
}

void CLiveViewMenuMgr::FillMenu(QMenu& menu) const
{
    for (QAction* pAction : Actions())
        if (pAction->isVisible())
            menu.addAction(pAction);
}

void CLiveViewMenuMgr::SetActionEnabled(int nType, bool bEnabled)
{
    if (QAction* pAction = Action(nType))
        pAction->setEnabled(bEnabled);
}

void CLiveViewMenuMgr::SetActionVisible(int nType, bool bVisible)
{
    if (QAction* pAction = Action(nType))
        pAction->setVisible(bVisible);
}

void CLiveViewMenuMgr::SetSwitchState(int nType, bool bOn)
{
    QAction* pAction = Action(nType);
    const SwitchLooks* pLooks = FindSwitchLooks(nType);
    if (!pAction || !pLooks)
        return;
    pAction->setChecked(bOn);
    if (bOn)
        ApplyLook(pAction, {pLooks->pszOnText, pLooks->pszOnMenu, pLooks->pszOnToolBar, pLooks->nOnData});
    else
        ApplyLook(pAction, {pLooks->pszOffText, pLooks->pszOffMenu, pLooks->pszOffToolBar, pLooks->nOffData});
}

void CLiveViewMenuMgr::SetRecordingState(bool bOn)
{
    SetSwitchState(StartRecording, bOn);
}

void CLiveViewMenuMgr::SetPtzState(bool bOn)
{
    SetSwitchState(OpenPTZControl, bOn);
}

void CLiveViewMenuMgr::SetDigitalZoomState(bool bOn)
{
    SetSwitchState(OpenDigitalZoom, bOn);
}

void CLiveViewMenuMgr::SetSoundState(bool bOn)
{
    SetSwitchState(AudioOn, bOn);
}

void CLiveViewMenuMgr::SetInstantPlaybackState(bool bOn)
{
    SetSwitchState(InstantPlayback, bOn);
}

void CLiveViewMenuMgr::SetChecked(int nType, bool bChecked)
{
    SetSwitchState(nType, bChecked);
}

void CLiveViewMenuMgr::ResetCheckMarks()
{
    for (const SwitchLooks& looks : kSwitchLooks)
        SetSwitchState(looks.nType, false);
}

void CLiveViewMenuMgr::SetCamera(tessel::ICamera* pCamera)
{
    m_pCamera = pCamera;
    ResetCheckMarks();
    const bool bPlays = pCamera != nullptr;
    for (LiveViewActionType eType : m_listTypes)
        SetActionEnabled(eType, bPlays);
    // Rights are checked when an action is used, so a refusal can say why.
    SetActionEnabled(OpenPTZControl, bPlays && pCamera->HasPTZ());
    SetActionEnabled(AudioOn, bPlays && pCamera->HasSound());
    SetActionEnabled(InstantPlayback, bPlays && MayPlayBack(pCamera));
}
