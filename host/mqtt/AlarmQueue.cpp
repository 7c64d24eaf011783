#include "mqtt/AlarmQueue.h"

#include <algorithm>
#include <vector>

namespace mqtt {

CAlarmQueue::CAlarmQueue(int nMaxAlarms, qint64 nMaxBytes)
    : m_nMaxAlarms(std::max(1, nMaxAlarms))
    , m_nMaxBytes(std::max<qint64>(1, nMaxBytes))
{
}

CAlarmQueue::PushResult CAlarmQueue::Push(std::shared_ptr<quorra::IAlarmEvent> spEvent, qint64 nBytes)
{
    PushResult result;
    std::vector<std::shared_ptr<quorra::IAlarmEvent>> vecDropped; // freed outside the lock
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // One alarm larger than the byte bound still goes through, alone.
        while (!m_deqEntries.empty() && (int(m_deqEntries.size()) >= m_nMaxAlarms || m_nBytes + nBytes > m_nMaxBytes)) {
            m_nBytes -= m_deqEntries.front().nBytes;
            vecDropped.push_back(std::move(m_deqEntries.front().spEvent));
            m_deqEntries.pop_front();
            ++result.nDropped;
        }
        if (result.nDropped > 0) {
            result.bEpisodeStart = m_nEpisodeDropped == 0;
            m_nEpisodeDropped += quint64(result.nDropped);
            m_nDropped += quint64(result.nDropped);
        }
        m_deqEntries.push_back({std::move(spEvent), nBytes});
        m_nBytes += nBytes;
        m_nPeakSize = std::max(m_nPeakSize, int(m_deqEntries.size()));
        m_nPeakBytes = std::max(m_nPeakBytes, m_nBytes);
        result.bWake = !m_bConsumerAwake;
        m_bConsumerAwake = true;
    }
    return result;
}

CAlarmQueue::PopResult CAlarmQueue::Pop()
{
    PopResult result;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_deqEntries.empty()) {
        result.spEvent = std::move(m_deqEntries.front().spEvent);
        m_nBytes -= m_deqEntries.front().nBytes;
        m_deqEntries.pop_front();
    }
    result.bMore = !m_deqEntries.empty();
    if (!result.bMore) {
        m_bConsumerAwake = false;
        result.nEpisodeDropped = m_nEpisodeDropped;
        m_nEpisodeDropped = 0;
    }
    return result;
}

int CAlarmQueue::Size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_deqEntries.size());
}

qint64 CAlarmQueue::Bytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nBytes;
}

int CAlarmQueue::PeakSize() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nPeakSize;
}

qint64 CAlarmQueue::PeakBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nPeakBytes;
}

quint64 CAlarmQueue::Dropped() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nDropped;
}

} // namespace mqtt
