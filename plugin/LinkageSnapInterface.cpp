#include "plugin/LinkageSnapInterface.h"

#include "alarmview/LinkageSnapAlarmDlg.h"
#include "plugin/LinckageSnap.h"
#include "plugin/PluginTexts.h"

#include <QCoreApplication>

#include <new>

namespace LinkageSnapAlarm {

QString CLinkageSnapInterface::getObjectName() const
{
    return "m_LinkageAlarmBtn";
}

QString CLinkageSnapInterface::getAIName() const
{
    return PluginTexts::Text(PluginTexts::LinkageSnapshotAlarm);
}

QString CLinkageSnapInterface::getAIIconUrl() const
{
    return ":/Images/Images/AIDashboard/linkage_alarm_btn.png";
}

quorra::IAIWidget* CLinkageSnapInterface::getAIWidget(QWidget* parent)
{
    // Created once while it lives; a failed allocation leaves null so the next
    // call tries again.
    if (!m_pAIWidget)
        m_pAIWidget = new (std::nothrow) CLinckageSnap(parent);
    return m_pAIWidget;
}

QString CLinkageSnapInterface::getAIDllName() const
{
    return "LinkageSnapAlarm";
}

} // namespace LinkageSnapAlarm
