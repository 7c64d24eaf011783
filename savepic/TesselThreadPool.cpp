#include "savepic/TesselThreadPool.h"

#include "savepic/SavePicLogging.h"

#include <algorithm>
#include <chrono>
#include <sstream>

namespace LinkageSnapAlarm {
namespace {

QString ThreadIdText()
{
    std::ostringstream stream;
    stream << std::this_thread::get_id();
    return QString::fromStdString(stream.str());
}

void DeleteAll(std::list<CtesselThreadPoolTask*>& lstTasks)
{
    for (CtesselThreadPoolTask* pTask : lstTasks)
        delete pTask;
    lstTasks.clear();
}

} // namespace

CtesselThreadPool::CtesselThreadPool(int nThreadCount)
{
    Start(nThreadCount);
}

CtesselThreadPool::~CtesselThreadPool()
{
    Stop();
    DeleteAll(m_lstTasks);
}

void CtesselThreadPool::Start(int nThreadCount)
{
    m_nRunning = 1;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nWorkerCount += std::max(0, nThreadCount);
    }
    for (int i = 0; i < nThreadCount; ++i)
        m_lstWorkers.push_back(std::make_shared<std::thread>(&CtesselThreadPool::WorkerLoop, this));
}

void CtesselThreadPool::AddTask(CtesselThreadPoolTask* pTask)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_bStop && m_lstTasks.size() >= std::size_t(m_nMaxTasks)) {
        // One warning per episode of a full queue, with the time the caller waited.
        const auto tpStart = std::chrono::steady_clock::now();
        qCDebug(lcSavePic).noquote() << QStringLiteral("full, waiting\uFF0Cthread id: ") + ThreadIdText();
        m_condNotFull.wait(lock, [this] { return m_bStop || m_lstTasks.size() < std::size_t(m_nMaxTasks); });
        const auto nWaitedMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - tpStart).count();
        qCWarning(lcSavePic, "Picture queue was full (%d pending): the caller waited %lld ms", m_nMaxTasks,
                  static_cast<long long>(nWaitedMs));
    }
    if (m_bStop) {
        lock.unlock();
        delete pTask;
        return;
    }
    m_lstTasks.push_back(pTask);
    m_condNotEmpty.notify_one();
}

bool CtesselThreadPool::TryAddTask(CtesselThreadPoolTask* pTask)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bStop || m_lstTasks.size() >= std::size_t(m_nMaxTasks))
        return false;
    m_lstTasks.push_back(pTask);
    m_condNotEmpty.notify_one();
    return true;
}

bool CtesselThreadPool::IsFull()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lstTasks.size() >= std::size_t(m_nMaxTasks);
}

void CtesselThreadPool::Stop()
{
    std::call_once(m_stopOnce, [this] {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = true;
        }
        m_condNotFull.notify_all();
        m_condNotEmpty.notify_all();
        m_condIdle.notify_all();
        m_nRunning = 0;
        for (const auto& spWorker : m_lstWorkers)
            spWorker->join(); // throws std::system_error for a bad join, as the library does
        m_lstWorkers.clear();
    });
}

void CtesselThreadPool::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_nWorkerCount == 0)
        return;
    m_condIdle.wait(lock, [this] { return m_bStop || (m_lstTasks.empty() && m_nBusyWorkers == 0); });
}

int CtesselThreadPool::StopAfter(std::chrono::milliseconds budget)
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_nWorkerCount > 0)
            m_condIdle.wait_for(lock, budget,
                                [this] { return m_bStop || (m_lstTasks.empty() && m_nBusyWorkers == 0); });
    }
    Stop();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nDropped += int(m_lstTasks.size());
    DeleteAll(m_lstTasks);
    return m_nDropped;
}

void CtesselThreadPool::WorkerLoop()
{
    while (m_nRunning == 1) {
        std::list<CtesselThreadPoolTask*> lstBatch = TakeBatch();
        RunBatch(lstBatch);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_nBusyWorkers == 0 && m_lstTasks.empty())
            m_condIdle.notify_all();
    }
}

std::list<CtesselThreadPoolTask*> CtesselThreadPool::TakeBatch()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_bStop && m_lstTasks.empty()) {
        qCDebug(lcSavePic).noquote() << QStringLiteral("empty,waiting\uFF0Cthread id: ") + ThreadIdText();
        m_condNotEmpty.wait(lock);
    }
    ++m_nBusyWorkers;
    std::list<CtesselThreadPoolTask*> lstBatch;
    if (m_bStop)
        return lstBatch;
    lstBatch.swap(m_lstTasks);
    m_condNotFull.notify_one();
    return lstBatch;
}

void CtesselThreadPool::RunBatch(std::list<CtesselThreadPoolTask*>& lstBatch)
{
    while (!lstBatch.empty()) {
        if (m_nRunning == 0) {
            m_nDropped += int(lstBatch.size());
            DeleteAll(lstBatch);
            return;
        }
        CtesselThreadPoolTask* pTask = lstBatch.front();
        lstBatch.pop_front();
        pTask->Run();
        delete pTask;
    }
}

} // namespace LinkageSnapAlarm
