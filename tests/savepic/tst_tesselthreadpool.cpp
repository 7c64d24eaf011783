#include "savepic/TesselThreadPool.h"

#include <QLoggingCategory>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <utility>

using LinkageSnapAlarm::CtesselThreadPool;
using LinkageSnapAlarm::CtesselThreadPoolTask;

namespace {

// What the jobs did, in order ("wait N" when a gated job starts, "run N", "del N"),
// and the pool's debug lines ("log: ...").
std::mutex g_mutex;
QStringList g_lstEvents;

void Record(const QString& strEvent)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lstEvents << strEvent;
}

QStringList Events(const char* szPattern = "^(wait|run|del) ")
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_lstEvents.filter(QRegularExpression(QString::fromUtf8(szPattern)));
}

QStringList RunThenDelete(int nJobs)
{
    QStringList lstEvents;
    for (int i = 0; i < nJobs; ++i)
        lstEvents << QStringLiteral("run %1").arg(i) << QStringLiteral("del %1").arg(i);
    return lstEvents;
}

class RecordingTask : public CtesselThreadPoolTask
{
public:
    explicit RecordingTask(int nId, std::shared_future<void> gate = {})
        : m_strId(QString::number(nId))
        , m_gate(std::move(gate))
    {
    }
    ~RecordingTask() override { Record(QStringLiteral("del ") + m_strId); }
    void Run() override
    {
        if (m_gate.valid()) {
            Record(QStringLiteral("wait ") + m_strId);
            m_gate.wait();
        }
        Record(QStringLiteral("run ") + m_strId);
    }

private:
    QString m_strId;
    std::shared_future<void> m_gate;
};

// A one-worker pool whose worker is held in gated job 0 until Open().
struct BlockedPool
{
    std::promise<void> gate;
    bool bOpen = false;
    std::unique_ptr<CtesselThreadPool> spPool = std::make_unique<CtesselThreadPool>(1);

    BlockedPool() { spPool->AddTask(new RecordingTask(0, gate.get_future().share())); }
    ~BlockedPool()
    {
        Open(); // a failed check must not leave the worker waiting forever
        spPool.reset();
    }
    void Open()
    {
        if (!std::exchange(bOpen, true))
            gate.set_value();
    }
};

bool IsReady(std::future<void>& future)
{
    return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void CollectPoolLog(QtMsgType, const QMessageLogContext& context, const QString& strMessage)
{
    if (qstrcmp(context.category, "lsa.savepic") == 0)
        Record(QStringLiteral("log: ") + strMessage);
}

// Records the pool's debug lines while it lives.
struct PoolDebugLog
{
    QtMessageHandler previous = qInstallMessageHandler(CollectPoolLog);
    PoolDebugLog() { QLoggingCategory::setFilterRules(QStringLiteral("lsa.savepic.debug=true")); }
    ~PoolDebugLog()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous);
    }
};

} // namespace

class TestTesselThreadPool : public QObject
{
    Q_OBJECT

private slots:
    void boundedStopFinishesRunningJobAndCountsDropped();
    void init();
    void jobsRunInAddedOrder_data();
    void jobsRunInAddedOrder();
    void hundredAndFirstAddBlocksUntilWorkerTakesQueue();
    void stopLeavesQueuedJobsUnrunAndDestroysLaterOnes();
};

void TestTesselThreadPool::init()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lstEvents.clear();
}

void TestTesselThreadPool::jobsRunInAddedOrder_data()
{
    QTest::addColumn<int>("workers");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<QStringList>("whenIdle"); // once WaitIdle returned
    QTest::addColumn<QStringList>("atEnd");    // once the pool is gone
    QTest::newRow("250 jobs, more than the queue holds") << 1 << 250 << RunThenDelete(250) << RunThenDelete(250);
    const QStringList lstUnrun{"del 0", "del 1", "del 2"};
    QTest::newRow("thread count 0: kept, destroyed unrun") << 0 << 3 << QStringList() << lstUnrun;
}

void TestTesselThreadPool::jobsRunInAddedOrder()
{
    QFETCH(int, workers);
    QFETCH(int, jobs);
    QFETCH(QStringList, whenIdle);
    QFETCH(QStringList, atEnd);
    {
        CtesselThreadPool pool(workers);
        for (int i = 0; i < jobs; ++i)
            pool.AddTask(new RecordingTask(i));
        pool.WaitIdle();
        QCOMPARE(Events(), whenIdle);
    }
    QCOMPARE(Events(), atEnd);
}

// The pool logs "full, waiting" just before AddTask blocks, which shows the
// blocking without timing it.
void TestTesselThreadPool::hundredAndFirstAddBlocksUntilWorkerTakesQueue()
{
    PoolDebugLog log;
    BlockedPool rig;
    QTRY_COMPARE(Events(), QStringList{"wait 0"});
    for (int i = 1; i <= 100; ++i)
        rig.spPool->AddTask(new RecordingTask(i));
    auto adding = std::async(std::launch::async, [&rig] { rig.spPool->AddTask(new RecordingTask(101)); });
    QTRY_VERIFY(!Events("^log: full, waiting\uFF0Cthread id: \\d+$").isEmpty());
    QVERIFY(!IsReady(adding));

    rig.Open();
    QTRY_VERIFY(IsReady(adding));
    // The wait shows at warning level once, with its length.
    QCOMPARE(Events("^log: Picture queue was full \\(100 pending\\): the caller waited \\d+ ms$").size(), 1);
    QTRY_COMPARE(Events("^del ").size(), 102);
    QTRY_VERIFY(!Events("^log: empty,waiting\uFF0Cthread id: \\d+$").isEmpty());
}

// Stop waits for the running job only. Queued jobs stay unrun until the pool is
// destroyed; jobs added once stopping began are destroyed at once. A second Stop,
// and WaitIdle with jobs still queued, return at once.
void TestTesselThreadPool::stopLeavesQueuedJobsUnrunAndDestroysLaterOnes()
{
    BlockedPool rig;
    QTRY_COMPARE(Events(), QStringList{"wait 0"});
    for (int i = 1; i <= 5; ++i)
        rig.spPool->AddTask(new RecordingTask(i));
    auto stopping = std::async(std::launch::async, [&rig] { rig.spPool->Stop(); });
    int nProbe = 9000;
    QTRY_VERIFY([&] {
        rig.spPool->AddTask(new RecordingTask(++nProbe));
        return Events().contains(QStringLiteral("del %1").arg(nProbe));
    }());
    rig.Open();
    QTRY_VERIFY(IsReady(stopping));
    rig.spPool->Stop();
    rig.spPool->WaitIdle();
    rig.spPool->AddTask(new RecordingTask(7));
    QVERIFY(Events().contains(QStringLiteral("del 7")));

    rig.spPool.reset();
    QCOMPARE(Events("^run "), QStringList{"run 0"});
    QCOMPARE(Events("^del ").size(), 7 + (nProbe - 9000));
}

// Closing must not wait for a whole queue on a slow disk: once the budget is spent
// the running job finishes and the queued ones are dropped and counted.
void TestTesselThreadPool::boundedStopFinishesRunningJobAndCountsDropped()
{
    BlockedPool rig;
    QTRY_COMPARE(Events(), QStringList{"wait 0"});
    for (int i = 1; i <= 5; ++i)
        rig.spPool->AddTask(new RecordingTask(i));
    auto stopping =
        std::async(std::launch::async, [&rig] { return rig.spPool->StopAfter(std::chrono::milliseconds(0)); });
    // Once stopping has begun, a job added is destroyed at once.
    int nProbe = 9000;
    do {
        QThread::msleep(1);
        rig.spPool->AddTask(new RecordingTask(++nProbe));
    } while (!Events().contains(QStringLiteral("del %1").arg(nProbe)));
    rig.Open();
    // Jobs 1-5 and the probes queued before stopping began; the last probe was refused.
    QCOMPARE(stopping.get(), 5 + (nProbe - 9001));
    QCOMPARE(Events("^run "), QStringList{"run 0"});
    QCOMPARE(Events("^del [0-5]$").size(), 6);
}

QTEST_GUILESS_MAIN(TestTesselThreadPool)
#include "tst_tesselthreadpool.moc"
