// Start to first picture: the dashboard as a person starts it (demo site,
// simulator, live windows) against a Qt hello world (a QApplication and one
// QLabel window taking the screen like the dashboard), each timed from just
// before its process is spawned to the flush of its window's first paint. The
// same platform serves both: run it under `xvfb-run -a` for X11, or with
// QT_QPA_PLATFORM=offscreen. Repetitions are interleaved, so that a busy
// shared machine shifts both sides alike; the ratio of the medians is printed
// at the end.
//
// Each process is spawned anew per iteration; the state the dashboard saves
// goes to a private folder that is emptied before each start, so every start
// is a first start with the demo's cameras.

#include "bench/BenchRatios.h"
#include "dashboard/FirstPaint.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kHelloArg = "--hello-world";
constexpr double kAim = 1.3;
constexpr const char* kDefaultArgs[] = {"--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
                                        "--benchmark_report_aggregates_only=true"};

// The floor's own process: what any Qt program does before its first picture.
int RunHelloWorld(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Hello world"));
    label.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    CFirstPaintWatch::AfterFirstPaint(label, [] {
        PrintFirstPaintTime();
        QCoreApplication::quit();
    });
    label.showMaximized();
    return app.exec();
}

std::string ProgramDir()
{
    char szPath[4096] = {};
    const ssize_t nLength = readlink("/proc/self/exe", szPath, sizeof szPath - 1);
    const std::string strPath(szPath, nLength > 0 ? static_cast<std::size_t>(nLength) : 0);
    return strPath.substr(0, strPath.rfind('/'));
}

// Spawns the program and returns the seconds from just before the spawn to
// the first paint it reports; negative when it reports none.
double TimeToFirstPaint(const std::vector<std::string>& vecArgs)
{
    int aPipe[2];
    if (pipe(aPipe) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, aPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, aPipe[0]);
    std::vector<char*> vecArgv;
    for (const std::string& strArg : vecArgs)
        vecArgv.push_back(const_cast<char*>(strArg.c_str()));
    vecArgv.push_back(nullptr);

    const auto tStart = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int nError = posix_spawn(&pid, vecArgv[0], &actions, nullptr, vecArgv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(aPipe[1]);
    std::string strOutput;
    char szBuffer[256];
    for (ssize_t n; nError == 0 && (n = read(aPipe[0], szBuffer, sizeof szBuffer)) > 0;)
        strOutput.append(szBuffer, static_cast<std::size_t>(n));
    close(aPipe[0]);
    if (nError != 0)
        return -1;
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);

    long long llPaintNs = 0;
    const std::size_t nAt = strOutput.find("first-paint ");
    if (nAt == std::string::npos || std::sscanf(strOutput.c_str() + nAt, "first-paint %lld", &llPaintNs) != 1)
        return -1;
    const auto tPaint = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(llPaintNs));
    return std::chrono::duration<double>(tPaint - tStart).count();
}

void RunStarts(benchmark::State& state, const std::vector<std::string>& vecArgs, const QString& strStateDir)
{
    for (auto _ : state) {
        QDir(strStateDir).removeRecursively();
        const double dSeconds = TimeToFirstPaint(vecArgs);
        if (dSeconds < 0) {
            state.SkipWithError("no first paint reported");
            return;
        }
        state.SetIterationTime(dSeconds);
    }
}

QTemporaryDir& DataHome()
{
    static QTemporaryDir s_dir;
    return s_dir;
}

void BM_Start_HelloWorld(benchmark::State& state)
{
    RunStarts(state, {ProgramDir() + "/bench_startup", kHelloArg}, DataHome().path() + "/LinkageHost");
}
BENCHMARK(BM_Start_HelloWorld)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Start_Dashboard(benchmark::State& state)
{
    RunStarts(state, {ProgramDir() + "/LinkageDashboard", "--print-first-paint"}, DataHome().path() + "/LinkageHost");
}
BENCHMARK(BM_Start_Dashboard)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], kHelloArg) == 0)
        return RunHelloWorld(argc, argv);
    // Both programs keep their saved state and runtime files in private folders.
    qputenv("XDG_DATA_HOME", DataHome().path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", DataHome().path().toLocal8Bit());
    // The defaults come first, so that flags given on the command line win.
    std::vector<char*> vecArgs{argv[0]};
    for (const char* szArg : kDefaultArgs)
        vecArgs.push_back(const_cast<char*>(szArg));
    vecArgs.insert(vecArgs.end(), argv + 1, argv + argc);
    int nArgs = static_cast<int>(vecArgs.size());
    benchmark::Initialize(&nArgs, vecArgs.data());
    bench::CRatioReporter reporter(bench::CRatioReporter::Keep::MedianReal);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("Ratios (median of the repetitions, platform %s):\n",
                qEnvironmentVariableIsSet("DISPLAY") && qgetenv("QT_QPA_PLATFORM") != "offscreen" ? "xcb"
                                                                                                  : "offscreen");
    reporter.PrintTimeRatio("start to first paint, dashboard / Qt hello world", "BM_Start_Dashboard",
                            "BM_Start_HelloWorld", kAim);
    benchmark::Shutdown();
    return 0;
}
