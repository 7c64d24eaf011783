#pragma once

#include "HostExport.h"

#include <QObject>

namespace quorra {

// The host's alarm stream. signalAlarmEventInfo may be emitted from any thread;
// the pointer designates a host event object that stays alive until every queued
// receiver has run.
class HOST_API AlarmTransfer : public QObject
{
    Q_OBJECT
public:
    AlarmTransfer();
    ~AlarmTransfer() override;

signals:
    void signalAlarmEventInfo(void* pAlarm);
};

} // namespace quorra
