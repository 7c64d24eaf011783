#pragma once

#include "HostExport.h"

#include <QObject>

class QTimer;

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace quorra {

class IAlarmEvent;

// The host's alarm stream. signalAlarmEventInfo may be emitted from any thread;
// the pointer designates a host event object that stays alive until every queued
// receiver has run.
//
// Events posted from another thread wait in a backlog bounded by count and by
// bytes and are delivered in this object's thread a slice at a time, so that a
// flood never holds that thread's event loop: paints, timers and input run
// between slices. When the backlog is full the oldest undelivered events are
// dropped (never the newest) and counted, one report per episode.
class HOST_API AlarmTransfer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultMaxBacklogEvents = 4096;
    static constexpr std::int64_t kDefaultMaxBacklogBytes = std::int64_t(256) << 20;
    // The longest the thread spends delivering before it turns to its other events.
    static constexpr std::chrono::milliseconds kDeliverySlice{20};
    // An episode of drops ends once none has followed for kDropEpisodeQuiet; one
    // that goes on is reported at least every kDropReportInterval.
    static constexpr std::chrono::seconds kDropEpisodeQuiet{3};
    static constexpr std::chrono::seconds kDropReportInterval{10};

    AlarmTransfer();
    ~AlarmTransfer() override;

    // Emits the event and keeps it alive until every receiver living in this
    // object's thread has run, including those reached through the event queue.
    // From this object's thread with nothing waiting the emission is immediate;
    // otherwise the event joins the backlog.
    void PostAlarmEvent(std::shared_ptr<IAlarmEvent> spEvent);
    // Events posted and not yet released (waiting, or delivered and still held).
    int PendingEvents() const { return m_nPending.load(); }
    // Events waiting in the backlog, not yet emitted.
    int UndeliveredEvents() const;
    // Events dropped from a full backlog since the start.
    std::int64_t DroppedEvents() const { return m_nDroppedTotal.load(); }
    void SetBacklogLimits(int nMaxEvents, std::int64_t nMaxBytes);

signals:
    void signalAlarmEventInfo(void* pAlarm);
    // nCount events were dropped from a full backlog since the last report.
    void signalAlarmsDropped(int nCount);

private:
    struct Waiting
    {
        std::shared_ptr<IAlarmEvent> spEvent;
        std::int64_t nBytes = 0;
    };

    // Emits the event; its release is posted behind every queued slot it reached.
    void Emit(std::shared_ptr<IAlarmEvent> spEvent);
    // Releases a slice's events with one posted call, which runs after every
    // queued slot their emissions reached in this thread.
    void PostRelease(std::vector<std::shared_ptr<IAlarmEvent>> vecEvents);
    void DeliverBacklog();
    // In this object's thread after drops: reports a long episode, or waits for quiet.
    void FollowDropEpisode();
    void ReportDrops();

    std::atomic<int> m_nPending{0};
    std::atomic<std::int64_t> m_nDroppedTotal{0};
    mutable std::mutex m_mutex;
    std::deque<Waiting> m_deqBacklog;
    std::int64_t m_nBacklogBytes = 0;
    int m_nMaxBacklogEvents = kDefaultMaxBacklogEvents;
    std::int64_t m_nMaxBacklogBytes = kDefaultMaxBacklogBytes;
    bool m_bDeliveryPosted = false;
    int m_nEpisodeDropped = 0;
    std::chrono::steady_clock::time_point m_tpEpisodeStart;
    std::int64_t m_nDropsFollowed = 0; // drops the quiet timer has seen
    QTimer* m_pQuietTimer = nullptr;
};

} // namespace quorra
