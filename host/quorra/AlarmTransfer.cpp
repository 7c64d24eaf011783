#include "quorra/AlarmTransfer.h"
#include "Fendra/SingletonImpl.h"
#include "quorra/AlarmEvent.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QThread>
#include <QTimer>

#include <utility>

namespace quorra {
namespace {
Q_LOGGING_CATEGORY(lcAlarmTransfer, "lsa.host.alarms", QtInfoMsg)
} // namespace

AlarmTransfer::AlarmTransfer()
    : m_pQuietTimer(new QTimer(this))
{
    // Deliveries and releases run in the application's thread, whichever thread
    // happened to ask for the transfer first.
    if (QCoreApplication* pApp = QCoreApplication::instance())
        moveToThread(pApp->thread());
    m_pQuietTimer->setSingleShot(true);
    m_pQuietTimer->setInterval(int(std::chrono::milliseconds(kDropEpisodeQuiet).count()));
    connect(m_pQuietTimer, &QTimer::timeout, this, &AlarmTransfer::ReportDrops);
}

AlarmTransfer::~AlarmTransfer() = default;

int AlarmTransfer::UndeliveredEvents() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_deqBacklog.size());
}

void AlarmTransfer::SetBacklogLimits(int nMaxEvents, std::int64_t nMaxBytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nMaxBacklogEvents = qMax(1, nMaxEvents);
    m_nMaxBacklogBytes = qMax<std::int64_t>(0, nMaxBytes);
}

void AlarmTransfer::PostAlarmEvent(std::shared_ptr<IAlarmEvent> spEvent)
{
    if (!spEvent)
        return;
    ++m_nPending;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (QThread::currentThread() == thread() && m_deqBacklog.empty()) {
        lock.unlock();
        Emit(std::move(spEvent));
        return;
    }
    const std::int64_t nBytes = spEvent->GetPayloadBytes();
    m_deqBacklog.push_back({std::move(spEvent), nBytes});
    m_nBacklogBytes += nBytes;
    // The newest event always stays: it is the one the operator most needs.
    int nDropped = 0;
    while (m_deqBacklog.size() > 1
           && (int(m_deqBacklog.size()) > m_nMaxBacklogEvents || m_nBacklogBytes > m_nMaxBacklogBytes)) {
        m_nBacklogBytes -= m_deqBacklog.front().nBytes;
        m_deqBacklog.pop_front();
        ++nDropped;
    }
    if (nDropped > 0) {
        if (m_nEpisodeDropped == 0)
            m_tpEpisodeStart = std::chrono::steady_clock::now();
        m_nEpisodeDropped += nDropped;
        m_nDroppedTotal += nDropped;
        m_nPending -= nDropped;
    }
    if (m_bDeliveryPosted)
        return;
    m_bDeliveryPosted = true;
    lock.unlock();
    QMetaObject::invokeMethod(this, &AlarmTransfer::DeliverBacklog, Qt::QueuedConnection);
}

void AlarmTransfer::Emit(std::shared_ptr<IAlarmEvent> spEvent)
{
    emit signalAlarmEventInfo(spEvent.get());
    std::vector<std::shared_ptr<IAlarmEvent>> vecEvents;
    vecEvents.push_back(std::move(spEvent));
    PostRelease(std::move(vecEvents));
}

void AlarmTransfer::PostRelease(std::vector<std::shared_ptr<IAlarmEvent>> vecEvents)
{
    // A thread's posted events run in posting order, so a release posted now
    // runs after every queued slot the emissions reached in our thread; direct
    // slots have already returned. One posted call for many events keeps the
    // thread's event queue short, which every object deletion scans. Should the
    // release never run (the transfer dies first), deleting the pending call
    // still frees the objects.
    QMetaObject::invokeMethod(
        this,
        [this, vecEvents = std::move(vecEvents)]() mutable {
            const int nReleased = int(vecEvents.size());
            vecEvents.clear();
            m_nPending -= nReleased;
        },
        Qt::QueuedConnection);
}

void AlarmTransfer::DeliverBacklog()
{
    QElapsedTimer timerSlice;
    timerSlice.start();
    std::vector<std::shared_ptr<IAlarmEvent>> vecDelivered;
    FollowDropEpisode();
    for (;;) {
        std::unique_lock<std::mutex> lock(m_mutex);
        const bool bSliceUsed = timerSlice.hasExpired(kDeliverySlice.count());
        if (m_deqBacklog.empty() || bSliceUsed) {
            // The rest goes behind what was posted meanwhile (paints, timers, input).
            const bool bMore = !m_deqBacklog.empty();
            m_bDeliveryPosted = bMore;
            lock.unlock();
            if (!vecDelivered.empty())
                PostRelease(std::move(vecDelivered));
            if (bMore)
                QMetaObject::invokeMethod(this, &AlarmTransfer::DeliverBacklog, Qt::QueuedConnection);
            return;
        }
        Waiting waiting = std::move(m_deqBacklog.front());
        m_deqBacklog.pop_front();
        m_nBacklogBytes -= waiting.nBytes;
        lock.unlock();
        emit signalAlarmEventInfo(waiting.spEvent.get());
        vecDelivered.push_back(std::move(waiting.spEvent));
    }
}

void AlarmTransfer::FollowDropEpisode()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_nEpisodeDropped == 0 || m_nDroppedTotal == m_nDropsFollowed)
        return;
    m_nDropsFollowed = m_nDroppedTotal;
    const bool bLong = std::chrono::steady_clock::now() - m_tpEpisodeStart >= kDropReportInterval;
    lock.unlock();
    if (bLong)
        ReportDrops();
    else
        m_pQuietTimer->start(); // the episode ends when no drop follows for a while
}

void AlarmTransfer::ReportDrops()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const int nReport = std::exchange(m_nEpisodeDropped, 0);
    lock.unlock();
    if (nReport <= 0)
        return;
    qCWarning(lcAlarmTransfer, "%d alarms dropped: they came faster than they could be shown", nReport);
    emit signalAlarmsDropped(nReport);
}

} // namespace quorra

// The one holder of this type, in host code (see Fendra/Singleton.h).
FENDRA_HOST_SINGLETON(quorra::AlarmTransfer)
