#include "plugin/LinckageSnap.h"

#include "alarmview/LinkageSnapAlarmDlg.h"

#include "common/LsaCheck.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QGridLayout>

namespace LinkageSnapAlarm {

CLinckageSnap::CLinckageSnap()
    : CLinckageSnap(nullptr)
{
}

CLinckageSnap::CLinckageSnap(QWidget* parent)
    : quorra::IAIWidget(parent)
{
    m_pGridLayout = new QGridLayout(this);
    m_pGridLayout->setContentsMargins(0, 0, 0, 0);
    m_pLinkageSnapAlarmDlg = new CLinkageSnapAlarmDlg(this);
    // The view is designed against the whole screen, not the work area.
    QDesktopWidget* pDesktop = QApplication::desktop();
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    m_pLinkageSnapAlarmDlg->FitToScreen(pDesktop->screenGeometry(pDesktop->screenNumber(this)));
    QT_WARNING_POP
    m_pGridLayout->addWidget(m_pLinkageSnapAlarmDlg, 0, 0);
}

CLinckageSnap::~CLinckageSnap() = default;

void CLinckageSnap::readState()
{
    std::vector<std::string> vecGuid;
    vecGuid.reserve(m_vecStateList.size());
    for (const quorra::AIWidgetStateItem& item : m_vecStateList)
        vecGuid.push_back(item.strText);
    m_pLinkageSnapAlarmDlg->RestoreLiveCameras(vecGuid);
    m_pLinkageSnapAlarmDlg->SetAlarmListening(true);
    m_pLinkageSnapAlarmDlg->update();
}

void CLinckageSnap::saveState()
{
    m_vecStateList.clear();
    std::vector<std::string> vecGuid;
    m_pLinkageSnapAlarmDlg->CollectLiveCameras(vecGuid);
    m_pLinkageSnapAlarmDlg->SetAlarmListening(false);
    for (const std::string& strGuid : vecGuid)
        m_vecStateList.push_back({strGuid, {}});
}

void CLinckageSnap::onConfigBtnClicked()
{
    LSA_CHECK(m_pLinkageSnapAlarmDlg) return;
    m_pLinkageSnapAlarmDlg->onBtnSetUpClicked();
}

void CLinckageSnap::onMinmumBtnClicked()
{
}

void CLinckageSnap::onCloseBtnClicked()
{
    LSA_CHECK(m_pLinkageSnapAlarmDlg) return;
    m_pLinkageSnapAlarmDlg->onBtnCloseClicked();
}

} // namespace LinkageSnapAlarm
