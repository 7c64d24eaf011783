#pragma once
// Header only, on Qt alone, so that the start-up benchmark's hello-world
// window marks its first picture exactly as the dashboard does.

#include <QEvent>
#include <QObject>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <utility>

// Runs a function once, as soon as the window's first paint has been flushed
// to the screen: the paint happens while the window's update is handled, and a
// call queued from there runs when that update, flush included, is done.
class CFirstPaintWatch : public QObject
{
public:
    static void AfterFirstPaint(QWidget& window, std::function<void()> fnAfter)
    {
        window.installEventFilter(new CFirstPaintWatch(window, std::move(fnAfter)));
    }

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pWatched == parent() && pEvent->type() == QEvent::Paint) {
            pWatched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_fnAfter();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    CFirstPaintWatch(QWidget& window, std::function<void()> fnAfter)
        : QObject(&window)
        , m_fnAfter(std::move(fnAfter))
    {
    }

    std::function<void()> m_fnAfter;
};

// The line the start-up benchmark reads: the steady clock's nanoseconds at the
// first paint, the same clock the benchmark reads before it starts the process,
// then the CPU nanoseconds the calling (GUI) thread has used up to then, which
// a busy shared machine does not inflate as it does the wall time.
inline void PrintFirstPaintTime()
{
    const auto nsNow = std::chrono::steady_clock::now().time_since_epoch();
    timespec tsCpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &tsCpu);
    std::printf("first-paint %lld %lld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(nsNow).count()),
                static_cast<long long>(tsCpu.tv_sec) * 1000000000LL + tsCpu.tv_nsec);
    std::fflush(stdout);
}
