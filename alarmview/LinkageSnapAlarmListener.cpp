#include "alarmview/LinkageSnapAlarmListener.h"

#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"

namespace LinkageSnapAlarm {

CLinkageSnapAlarmListener::CLinkageSnapAlarmListener(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<quorra::IntelAlarmEventInfo>();
}

void CLinkageSnapAlarmListener::SetAlarmListening(bool bListen)
{
    auto* pTransfer = &Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    if (bListen) {
        // Unique: a second "on" must not deliver every alarm twice (two cards, two files).
        connect(pTransfer, &quorra::AlarmTransfer::signalAlarmEventInfo, this,
                &CLinkageSnapAlarmListener::OnClientAlarmEvent,
                static_cast<Qt::ConnectionType>(Qt::AutoConnection | Qt::UniqueConnection));
    } else {
        disconnect(pTransfer, &quorra::AlarmTransfer::signalAlarmEventInfo, this,
                   &CLinkageSnapAlarmListener::OnClientAlarmEvent);
    }
    m_bAcceptPanoramicAlarm = bListen;
    m_bAcceptLinkageAlarm = bListen;
}

void CLinkageSnapAlarmListener::OnClientAlarmEvent(void* pAlarm)
{
    if (!pAlarm)
        return;
    const quorra::IntelAlarmEventInfo info = static_cast<quorra::IAlarmEvent*>(pAlarm)->GetIntelAlarmEventInfo();
    const bool bPanoramic =
        info.AlarmType == quorra::AlarmTypePanoramicSmart || info.AlarmType == quorra::AlarmTypePanoramicSmartEx;
    if ((bPanoramic && m_bAcceptPanoramicAlarm)
        || (info.AlarmType == quorra::AlarmTypeLinkageChannel && m_bAcceptLinkageAlarm))
        emit signalNewAlarmComing(info);
}

} // namespace LinkageSnapAlarm
