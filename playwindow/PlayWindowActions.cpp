#include "playwindow/PlayWindowActions.h"

#include "playwindow/LiveViewController.h"
#include "playwindow/LiveViewMenuMgr.h"
#include "playwindow/PlayWindowPlayback.h"
#include "playwindow/PlayWindowPtzZoom.h"

#include "Vantrel/PreviewICamera.h"

#include <QMenu>
#include <QWidget>

CPlayWindowActions::CPlayWindowActions(QWidget* pWindow, CLiveViewMenuMgr* pMenuMgr, CLiveViewController* pController,
                                       CPlayWindowPtzZoom* pPtzZoom)
    : QObject(pWindow)
    , m_pWindow(pWindow)
    , m_pMenuMgr(pMenuMgr)
    , m_pController(pController)
    , m_pPtzZoom(pPtzZoom)
{
}

void CPlayWindowActions::Run(int nType)
{
    Vantrel::CPreviewICamera* pPreview = m_pController->GetPreview();
    if (!pPreview->IsPreview() || !pPreview->GetPreviewCamera())
        return;
    switch (nType) {
    case CLiveViewMenuMgr::Screenshot:
        m_pController->Capture();
        break;
    case CLiveViewMenuMgr::StartRecording:
        ToggleRecording();
        break;
    case CLiveViewMenuMgr::OpenPTZControl:
        m_pPtzZoom->TogglePanel();
        break;
    case CLiveViewMenuMgr::OpenDigitalZoom:
        m_pPtzZoom->ToggleDigitalZoom();
        break;
    case CLiveViewMenuMgr::AudioOn:
        ToggleSound();
        break;
    case CLiveViewMenuMgr::InstantPlayback:
        if (m_pPlayback)
            m_pPlayback->Toggle();
        break;
    default:
        break;
    }
}

void CPlayWindowActions::ToggleRecording()
{
    Vantrel::CPreviewICamera* pPreview = m_pController->GetPreview();
    if (pPreview->IsRecord())
        m_pController->StopRecord();
    else
        m_pController->StartRecord();
    m_pMenuMgr->SetChecked(CLiveViewMenuMgr::StartRecording, pPreview->IsRecord());
}

void CPlayWindowActions::ToggleSound()
{
    Vantrel::CPreviewICamera* pPreview = m_pController->GetPreview();
    if (!pPreview->IsOpenSound())
        m_pController->OpenSound();
    else
        m_pController->CloseSound();
    m_pMenuMgr->SetChecked(CLiveViewMenuMgr::AudioOn, pPreview->IsOpenSound());
}

void CPlayWindowActions::ShowContextMenu(const QPoint& ptPos)
{
    QMenu menu(m_pWindow);
    menu.setObjectName("m_pLiveViewMenu");
    m_pMenuMgr->FillMenu(menu);
    if (!menu.isEmpty())
        menu.exec(m_pWindow->mapToGlobal(ptPos));
}
