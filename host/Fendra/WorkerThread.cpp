#include "Fendra/WorkerThread.h"

#include <utility>

namespace Fendra {

CWorkerThread::CWorkerThread(std::mutex& mutex, std::condition_variable& cvWake)
    : m_mutex(mutex)
    , m_cvWake(cvWake)
{
}

CWorkerThread::~CWorkerThread()
{
    Stop();
}

bool CWorkerThread::Start(std::function<void()> fnLoop)
{
    if (m_thread.joinable())
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = false;
    }
    m_thread = std::thread(std::move(fnLoop));
    return true;
}

bool CWorkerThread::Stop()
{
    if (!m_thread.joinable())
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_cvWake.notify_all();
    m_thread.join();
    return true;
}

} // namespace Fendra
