#include "quorra/AlarmTransfer.h"
#include "Fendra/SingletonImpl.h"

namespace quorra {

AlarmTransfer::AlarmTransfer() = default;
AlarmTransfer::~AlarmTransfer() = default;

void AlarmTransfer::PostAlarmEvent(std::shared_ptr<IAlarmEvent> spEvent)
{
    if (!spEvent)
        return;
    ++m_nPending;
    emit signalAlarmEventInfo(spEvent.get());
    // A thread's posted events run in posting order, so a release posted now
    // runs after every queued slot this emission reached in our thread; direct
    // slots have already returned. Should the release never run (the transfer
    // dies first), deleting the pending call still frees the object.
    QMetaObject::invokeMethod(
        this,
        [this, spEvent = std::move(spEvent)]() mutable {
            spEvent.reset();
            --m_nPending;
        },
        Qt::QueuedConnection);
}

} // namespace quorra

// The one holder of this type, in host code (see Fendra/Singleton.h).
FENDRA_HOST_SINGLETON(quorra::AlarmTransfer)
