#pragma once

#include "HostExport.h"

#include <QtGlobal>

#include <deque>
#include <memory>
#include <mutex>

namespace quorra {
class IAlarmEvent;
} // namespace quorra

namespace mqtt {

// Alarms between the network thread and the GUI thread, bounded in count and
// bytes: a push into a full queue drops the oldest alarms. A drop starts an
// "episode", which ends when the queue runs empty, so a flood is reported once.
class HOST_API CAlarmQueue
{
public:
    struct PushResult
    {
        int nDropped = 0;           // oldest alarms this push dropped
        bool bEpisodeStart = false; // the first drop since the queue last ran empty
        bool bWake = false;         // the consumer is not yet told that alarms wait
    };
    struct PopResult
    {
        std::shared_ptr<quorra::IAlarmEvent> spEvent; // null when the queue was empty
        bool bMore = false;                           // further alarms wait (the consumer stays awake)
        quint64 nEpisodeDropped = 0;                  // the queue ran empty ending an episode of this many drops
    };

    CAlarmQueue(int nMaxAlarms, qint64 nMaxBytes);

    PushResult Push(std::shared_ptr<quorra::IAlarmEvent> spEvent, qint64 nBytes);
    PopResult Pop();

    int Size() const;
    qint64 Bytes() const;
    int PeakSize() const;
    qint64 PeakBytes() const;
    quint64 Dropped() const;

private:
    struct Entry
    {
        std::shared_ptr<quorra::IAlarmEvent> spEvent;
        qint64 nBytes = 0;
    };

    const int m_nMaxAlarms;
    const qint64 m_nMaxBytes;
    mutable std::mutex m_mutex;
    std::deque<Entry> m_deqEntries;
    qint64 m_nBytes = 0;
    int m_nPeakSize = 0;
    qint64 m_nPeakBytes = 0;
    quint64 m_nDropped = 0;
    quint64 m_nEpisodeDropped = 0;
    bool m_bConsumerAwake = false;
};

} // namespace mqtt
