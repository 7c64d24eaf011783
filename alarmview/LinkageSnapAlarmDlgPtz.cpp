// The linkage dialog's shared PTZ panel: created hidden and tied to the play
// windows by its manager, which keeps it on the selected window's camera.

#include "alarmview/LinkageSnapAlarmDlg.h"

#include "playwindow/PlayWindowsPtzMgr.h"
#include "playwindow/StreamPlayWindowWithTask.h"
#include "playwindow/ptz/PTZControlWnd.h"

namespace LinkageSnapAlarm {

void CLinkageSnapAlarmDlg::InitPtzPanel()
{
    if (!m_pPTZControlWnd) {
        m_pPTZControlWnd = new CPTZControlWnd(this, false, false, true);
        m_pPTZControlWnd->hide();
    }
    if (!m_pPlayWindowsPtzMgr)
        m_pPlayWindowsPtzMgr = new CPlayWindowsPtzMgr(this);
    m_pPlayWindowsPtzMgr->SetPTZControlWnd(m_pPTZControlWnd);
    m_pPlayWindowsPtzMgr->SetPlayWindows(QList<CStreamPlayWindowWithTask*>::fromVector(m_vecPlayWindows));
}

} // namespace LinkageSnapAlarm
