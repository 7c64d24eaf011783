#include "TesselThreadPool.h"

#include <QLoggingCategory>
#include <QtTest>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

using LinkageSnapAlarm::CtesselThreadPool;
using LinkageSnapAlarm::CtesselThreadPoolTask;

namespace {

// What the jobs did, in order: "wait N" (a gated job started), "run N", "del N".
class Journal
{
public:
    void Add(const std::string& strEvent)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_vecEvents.push_back(strEvent);
    }
    std::vector<std::string> Events()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_vecEvents;
    }
    int Count(const std::string& strPrefix)
    {
        int nCount = 0;
        for (const std::string& strEvent : Events())
            nCount += strEvent.rfind(strPrefix, 0) == 0;
        return nCount;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_vecEvents;
};

// A job that optionally waits for a gate before it records its run.
class RecordingTask : public CtesselThreadPoolTask
{
public:
    RecordingTask(Journal& journal, int nId, std::shared_future<void> gate = {})
        : m_journal(journal)
        , m_nId(nId)
        , m_gate(std::move(gate))
    {
    }
    ~RecordingTask() override { m_journal.Add("del " + std::to_string(m_nId)); }
    void Run() override
    {
        if (m_gate.valid()) {
            m_journal.Add("wait " + std::to_string(m_nId));
            m_gate.wait();
        }
        m_journal.Add("run " + std::to_string(m_nId));
    }

private:
    Journal& m_journal;
    int m_nId;
    std::shared_future<void> m_gate;
};

// A gate that a job waits for; opened once.
struct Gate
{
    std::promise<void> promise;
    std::shared_future<void> future = promise.get_future().share();
    void Open() { promise.set_value(); }
};

std::vector<std::string> RunThenDelete(int nFrom, int nTo)
{
    std::vector<std::string> vecEvents;
    for (int i = nFrom; i <= nTo; ++i) {
        vecEvents.push_back("run " + std::to_string(i));
        vecEvents.push_back("del " + std::to_string(i));
    }
    return vecEvents;
}

// Messages of the pool's logging category; written from the worker thread.
std::mutex g_logMutex;
QStringList g_lstLog;
void CollectLog(QtMsgType, const QMessageLogContext& context, const QString& strMessage)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (qstrcmp(context.category, "linkage.savepic.pool") == 0)
        g_lstLog << strMessage;
}
QStringList PoolLog()
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    return g_lstLog;
}

} // namespace

class TestTesselThreadPool : public QObject
{
    Q_OBJECT

private slots:
    // Order and ownership.
    void oneWorkerRunsJobsInAddedOrder_data();
    void oneWorkerRunsJobsInAddedOrder();
    void zeroWorkersKeepJobsUntilDestroyedUnrun();

    // The bounded queue.
    void hundredAndFirstAddBlocksUntilWorkerTakesQueue();

    // Stopping.
    void stopTwiceThenAddDestroysJobUnrun();
    void stopLeavesQueuedJobsUnrunAndDestructionFreesThem();

    // Waiting for the queue to drain.
    void waitIdleReturnsAfterQueuedJobsRan();
    void waitIdleWithoutWorkersReturnsAtOnce();

    // Diagnostics.
    void waitingLinesGoToLoggingCategoryOffByDefault();
};

void TestTesselThreadPool::oneWorkerRunsJobsInAddedOrder_data()
{
    QTest::addColumn<int>("jobs");
    QTest::newRow("A, B, C") << 3;
    QTest::newRow("250 jobs, more than the queue holds") << 250;
}

void TestTesselThreadPool::oneWorkerRunsJobsInAddedOrder()
{
    QFETCH(int, jobs);
    Journal journal;
    {
        CtesselThreadPool pool(1);
        for (int i = 0; i < jobs; ++i)
            pool.AddTask(new RecordingTask(journal, i));
        QTRY_COMPARE(journal.Count("del "), jobs);
    }
    QCOMPARE(journal.Events(), RunThenDelete(0, jobs - 1));
}

void TestTesselThreadPool::zeroWorkersKeepJobsUntilDestroyedUnrun()
{
    Journal journal;
    {
        CtesselThreadPool pool(0);
        for (int i = 0; i < 3; ++i)
            pool.AddTask(new RecordingTask(journal, i));
        QCOMPARE(journal.Events().size(), std::size_t(0));
    }
    QCOMPARE(journal.Events(), (std::vector<std::string>{"del 0", "del 1", "del 2"}));
}

// Blocks the worker in a gated job 0, fills the queue with jobs 1..100 and starts
// adding job 101 on another thread; returns that addition.
std::future<void> FillQueueAndAddOneMore(CtesselThreadPool& pool, Journal& journal, Gate& gate)
{
    pool.AddTask(new RecordingTask(journal, 0, gate.future));
    if (!QTest::qWaitFor([&] { return journal.Count("wait ") == 1; }))
        return {};
    for (int i = 1; i <= 100; ++i)
        pool.AddTask(new RecordingTask(journal, i));
    return std::async(std::launch::async, [&pool, &journal] { pool.AddTask(new RecordingTask(journal, 101)); });
}

bool IsReady(std::future<void>& future)
{
    return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void TestTesselThreadPool::hundredAndFirstAddBlocksUntilWorkerTakesQueue()
{
    Journal journal;
    Gate gate;
    CtesselThreadPool pool(1);
    std::future<void> adding = FillQueueAndAddOneMore(pool, journal, gate);
    QVERIFY(adding.valid());
    QCOMPARE(adding.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);

    gate.Open();
    QTRY_VERIFY(IsReady(adding));
    QTRY_COMPARE(journal.Count("del "), 102);
    std::vector<std::string> vecExpected{"wait 0"};
    for (const std::string& strEvent : RunThenDelete(0, 101))
        vecExpected.push_back(strEvent);
    QCOMPARE(journal.Events(), vecExpected);
}

void TestTesselThreadPool::stopTwiceThenAddDestroysJobUnrun()
{
    Journal journal;
    CtesselThreadPool pool(1);
    pool.Stop();
    pool.Stop();
    pool.AddTask(new RecordingTask(journal, 7));
    QCOMPARE(journal.Events(), std::vector<std::string>{"del 7"});
}

void TestTesselThreadPool::stopLeavesQueuedJobsUnrunAndDestructionFreesThem()
{
    Journal journal;
    Gate gate;
    auto pPool = std::make_unique<CtesselThreadPool>(1);
    pPool->AddTask(new RecordingTask(journal, 0, gate.future));
    QTRY_COMPARE(journal.Count("wait "), 1);
    for (int i = 1; i <= 5; ++i)
        pPool->AddTask(new RecordingTask(journal, i));
    auto stopping = std::async(std::launch::async, [&pPool] { pPool->Stop(); });

    // Once the stop flag is set, a new job is destroyed at once without running.
    int nProbe = 1000;
    QTRY_VERIFY(([&] {
        pPool->AddTask(new RecordingTask(journal, ++nProbe));
        return journal.Count("del " + std::to_string(nProbe)) == 1;
    }()));
    gate.Open();
    QTRY_VERIFY(IsReady(stopping));
    QCOMPARE(journal.Count("run "), 1); // only the job that was running

    const int nDeletedBefore = journal.Count("del ");
    pPool.reset();
    QCOMPARE(journal.Count("run "), 1);
    QCOMPARE(journal.Count("del "), 6 + (nProbe - 1000));
    QVERIFY(journal.Count("del ") > nDeletedBefore);
}

void TestTesselThreadPool::waitIdleReturnsAfterQueuedJobsRan()
{
    Journal journal;
    Gate gate;
    CtesselThreadPool pool(1);
    pool.AddTask(new RecordingTask(journal, 0, gate.future));
    QTRY_COMPARE(journal.Count("wait "), 1);
    for (int i = 1; i <= 5; ++i)
        pool.AddTask(new RecordingTask(journal, i));
    auto waiting = std::async(std::launch::async, [&pool, &journal] {
        pool.WaitIdle();
        return journal.Count("del ");
    });
    QCOMPARE(waiting.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    gate.Open();
    QCOMPARE(waiting.get(), 6); // everything ran and was destroyed before it returned
}

void TestTesselThreadPool::waitIdleWithoutWorkersReturnsAtOnce()
{
    Journal journal;
    CtesselThreadPool idlePool(0);
    idlePool.AddTask(new RecordingTask(journal, 1));
    auto waiting = std::async(std::launch::async, [&idlePool] { idlePool.WaitIdle(); });
    QTRY_VERIFY(IsReady(waiting));

    CtesselThreadPool stoppedPool(1);
    stoppedPool.Stop();
    stoppedPool.WaitIdle();
    QCOMPARE(journal.Count("run "), 0);
}

void TestTesselThreadPool::waitingLinesGoToLoggingCategoryOffByDefault()
{
    const QtMessageHandler previous = qInstallMessageHandler(CollectLog);
    for (bool bEnabled : {false, true}) {
        if (bEnabled)
            QLoggingCategory::setFilterRules(QStringLiteral("linkage.savepic.pool.debug=true"));
        Journal journal;
        Gate gate;
        CtesselThreadPool pool(1);
        std::future<void> adding = FillQueueAndAddOneMore(pool, journal, gate);
        QVERIFY(adding.valid());
        adding.wait_for(std::chrono::milliseconds(200)); // let it reach the full queue
        gate.Open();
        adding.wait();
        QTRY_COMPARE(journal.Count("del "), 102);
        if (!bEnabled) {
            QCOMPARE(PoolLog(), QStringList());
            continue;
        }
        QTRY_VERIFY(!PoolLog().filter(QRegularExpression(QStringLiteral("^empty,waiting\uFF0Cthread id: \\d+$"))).isEmpty());
        QVERIFY(!PoolLog().filter(QRegularExpression(QStringLiteral("^full, waiting\uFF0Cthread id: \\d+$"))).isEmpty());
    }
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
}

QTEST_GUILESS_MAIN(TestTesselThreadPool)
#include "tst_tesselthreadpool.moc"
