#pragma once

#include "HostExport.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace Fendra {

// A thread of its own for a loop that runs until asked to stop. The owner's
// mutex guards the stop flag, so the loop can wait on the owner's condition
// for its own reasons and for Stop() at once:
//     m_cvWake.wait_for(lock, pause, [this] { return m_worker.StopRequested() || m_bChanged; });
class HOST_API CWorkerThread
{
public:
    CWorkerThread(std::mutex& mutex, std::condition_variable& cvWake);
    // Stops the thread; an owner whose loop uses its own members stops it in its
    // own destructor, before they go.
    ~CWorkerThread();

    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Runs fnLoop on a new thread; false (and nothing done) while one runs.
    bool Start(std::function<void()> fnLoop);
    // Raises the stop flag, wakes the loop and waits for it; false when none ran.
    bool Stop();
    bool IsRunning() const { return m_thread.joinable(); }
    // Read with the owner's mutex held.
    bool StopRequested() const { return m_bStop; }

private:
    std::mutex& m_mutex;
    std::condition_variable& m_cvWake;
    bool m_bStop = false;
    std::thread m_thread;
};

} // namespace Fendra
