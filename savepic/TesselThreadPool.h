#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace LinkageSnapAlarm {

// A job for CtesselThreadPool. The pool owns it and destroys it after Run(),
// or without running it when the pool stops first.
class CtesselThreadPoolTask
{
public:
    virtual ~CtesselThreadPoolTask() = default;
    virtual void Run() = 0; // must not throw
};

// Worker threads fed from one bounded first-in-first-out queue. Each worker takes
// the whole queue at once, so with one worker jobs run in the order added.
class CtesselThreadPool
{
public:
    explicit CtesselThreadPool(int nThreadCount);
    ~CtesselThreadPool();
    CtesselThreadPool(const CtesselThreadPool&) = delete;
    CtesselThreadPool& operator=(const CtesselThreadPool&) = delete;

    void Start(int nThreadCount);
    // Takes ownership; blocks while the queue is full. After Stop the job is destroyed unrun.
    void AddTask(CtesselThreadPoolTask* pTask);
    // Takes ownership and queues the job only when that needs no wait; false
    // (the caller keeps the job) when the queue is full or the pool has stopped.
    bool TryAddTask(CtesselThreadPoolTask* pTask);
    // True while the queue holds its most jobs.
    bool IsFull();
    // Stops and joins the workers; only the first call does anything.
    void Stop();
    // Blocks until the queue is empty and no worker runs a job. Returns at once
    // when there is no worker or the pool has stopped.
    void WaitIdle();
    // Waits at most the budget for the queue to empty, then stops: the running
    // job finishes, queued ones are destroyed unrun. Returns how many were dropped.
    int StopAfter(std::chrono::milliseconds budget);

private:
    void WorkerLoop();
    std::list<CtesselThreadPoolTask*> TakeBatch();
    void RunBatch(std::list<CtesselThreadPoolTask*>& lstBatch);

    std::list<std::shared_ptr<std::thread>> m_lstWorkers;
    std::list<CtesselThreadPoolTask*> m_lstTasks;
    std::mutex m_mutex;
    std::condition_variable m_condNotEmpty;
    std::condition_variable m_condNotFull;
    std::int32_t m_nMaxTasks = 100;
    bool m_bStop = false;
    std::atomic<std::int32_t> m_nRunning{0};
    std::once_flag m_stopOnce;
    // For WaitIdle: workers started, batches being run, and the condition
    // signalled when one ends.
    int m_nWorkerCount = 0;
    int m_nBusyWorkers = 0;
    std::condition_variable m_condIdle;
    // Jobs destroyed unrun because the pool stopped.
    std::atomic<int> m_nDropped{0};
};

} // namespace LinkageSnapAlarm
