#pragma once

#include "quorra/IntelAlarmEventInfo.h"

#include <QMetaType>
#include <QObject>

Q_DECLARE_METATYPE(quorra::IntelAlarmEventInfo)

namespace LinkageSnapAlarm {

// The plug-in's one subscriber to the host's alarm stream: while listening it
// copies each event out of the host object once and passes on the panoramic
// and linkage channel alarms.
class CLinkageSnapAlarmListener : public QObject
{
    Q_OBJECT
public:
    explicit CLinkageSnapAlarmListener(QObject* parent = nullptr);

    void SetAlarmListening(bool bListen);
    bool IsListening() const { return m_bAcceptPanoramicAlarm; }

signals:
    void signalNewAlarmComing(const quorra::IntelAlarmEventInfo& struAlarmInfo);

public slots:
    void OnClientAlarmEvent(void* pAlarm);

private:
    bool m_bAcceptPanoramicAlarm = false;
    bool m_bAcceptLinkageAlarm = false;
};

} // namespace LinkageSnapAlarm
