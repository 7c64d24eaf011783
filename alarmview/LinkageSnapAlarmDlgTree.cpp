// The linkage dialog's camera tree panel: creating it with the camera lookup
// over its model, placing it at the dialog's left edge, collapsing it to its
// strip and back.

#include "alarmview/LinkageSnapAlarmDlg.h"

#include "cameratree/GroupTreeWidget.h"
#include "cameratree/LiveViewPlugin.h"
#include "common/LsaCheck.h"

namespace LinkageSnapAlarm {

void CLinkageSnapAlarmDlg::InitCameraTree()
{
    if (!m_pGroupTreeWidget)
        m_pGroupTreeWidget = new CGroupTreeWidget(this);
    if (!m_upLiveViewPlugin && m_pGroupTreeWidget)
        m_upLiveViewPlugin = std::make_unique<CLiveViewPlugin>(m_pGroupTreeWidget->m_pModel);
}

void CLinkageSnapAlarmDlg::ConnectCameraTree()
{
    connect(m_pGroupTreeWidget, SIGNAL(SignalBtnShrink()), this, SLOT(onBtnShrinkCamera()));
}

void CLinkageSnapAlarmDlg::FitToScreen(const QRect& rcScreen)
{
    setGeometry(rcScreen);
    LSA_CHECK(m_pGroupTreeWidget) return;
    m_pGroupTreeWidget->setFixedSize(PanelSize(rcScreen.size()));
    PlaceCameraPanel();
    m_pGroupTreeWidget->SetShrinkState(!m_bExpandCamera);
    m_pGroupTreeWidget->show();
}

void CLinkageSnapAlarmDlg::onBtnShrinkCamera()
{
    m_bExpandCamera = !m_bExpandCamera;
    LSA_CHECK(m_pGroupTreeWidget) return;
    PlaceCameraPanel();
    m_pGroupTreeWidget->SetShrinkState(!m_bExpandCamera);
}

void CLinkageSnapAlarmDlg::PlaceCameraPanel()
{
    // Expanded at the left edge; collapsed, only its last strip stays inside.
    m_pGroupTreeWidget->move(PanelPos(height(), m_pGroupTreeWidget->size(), m_bExpandCamera));
    m_pGroupTreeWidget->raise();
}

} // namespace LinkageSnapAlarm
