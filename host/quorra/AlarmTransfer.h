#pragma once

#include "HostExport.h"

#include <QObject>

#include <atomic>
#include <memory>

namespace quorra {

class IAlarmEvent;

// The host's alarm stream. signalAlarmEventInfo may be emitted from any thread;
// the pointer designates a host event object that stays alive until every queued
// receiver has run.
class HOST_API AlarmTransfer : public QObject
{
    Q_OBJECT
public:
    AlarmTransfer();
    ~AlarmTransfer() override;

    // Emits the event from the calling thread (any thread) and keeps it alive
    // until every receiver living in this object's thread has run, including
    // those reached through the event queue.
    void PostAlarmEvent(std::shared_ptr<IAlarmEvent> spEvent);
    // Events posted and not yet released.
    int PendingEvents() const { return m_nPending.load(); }

signals:
    void signalAlarmEventInfo(void* pAlarm);

private:
    std::atomic<int> m_nPending{0};
};

} // namespace quorra
