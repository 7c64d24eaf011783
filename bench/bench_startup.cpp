// Start to first picture: the dashboard as a person starts it (demo site,
// simulator, live windows) against a Qt hello world (a QApplication and one
// QLabel window taking the screen like the dashboard), each timed from just
// before its process is spawned to the flush of its window's first paint. The
// same platform serves both: run it under `xvfb-run -a` for X11, or with
// QT_QPA_PLATFORM=offscreen. Repetitions are interleaved, so that a busy
// shared machine shifts both sides alike; the ratio of the medians is printed
// at the end, beside the ratio of the CPU time each process's GUI thread used
// before its first paint (less sensitive to the other work on the machine).
//
// Each process is spawned anew per iteration; the state the dashboard saves
// goes to a private folder that is emptied before each start, so every start
// is a first start with the demo's cameras. Each start waits a moment after
// the last one, which would otherwise still be ending (its exit, the display
// server freeing its window) and slow the next: a dashboard start straight
// after another measured about 6 ms more under Xvfb.

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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kHelloArg = "--hello-world";
constexpr double kAim = 1.3;
constexpr std::chrono::milliseconds kSettle{300};
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

struct FirstPaint
{
    double dSeconds = -1;  // from just before the spawn to the first paint
    double dGuiCpuMs = -1; // the GUI thread's CPU time up to then
};

// Spawns the program and returns when it reported its first paint; negative
// seconds when it reports none.
FirstPaint TimeToFirstPaint(const std::vector<std::string>& vecArgs)
{
    int aPipe[2];
    if (pipe(aPipe) != 0)
        return {};
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
        return {};
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);

    long long llPaintNs = 0;
    long long llCpuNs = -1;
    const std::size_t nAt = strOutput.find("first-paint ");
    if (nAt == std::string::npos
        || std::sscanf(strOutput.c_str() + nAt, "first-paint %lld %lld", &llPaintNs, &llCpuNs) < 1)
        return {};
    const auto tPaint = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(llPaintNs));
    return {std::chrono::duration<double>(tPaint - tStart).count(), llCpuNs < 0 ? -1.0 : llCpuNs / 1e6};
}

// The GUI-thread CPU times of every start, by benchmark.
std::map<std::string, std::vector<double>>& GuiCpuTimes()
{
    static std::map<std::string, std::vector<double>> s_map;
    return s_map;
}

double Median(std::vector<double> vec)
{
    if (vec.empty())
        return -1;
    std::sort(vec.begin(), vec.end());
    const std::size_t n = vec.size();
    return n % 2 ? vec[n / 2] : (vec[n / 2 - 1] + vec[n / 2]) / 2;
}

void RunStarts(benchmark::State& state, const char* szName, const std::vector<std::string>& vecArgs,
               const QString& strStateDir)
{
    std::vector<double>& vecCpu = GuiCpuTimes()[szName];
    for (auto _ : state) {
        QDir(strStateDir).removeRecursively();
        std::this_thread::sleep_for(kSettle);
        const FirstPaint paint = TimeToFirstPaint(vecArgs);
        if (paint.dSeconds < 0) {
            state.SkipWithError("no first paint reported");
            return;
        }
        state.SetIterationTime(paint.dSeconds);
        if (paint.dGuiCpuMs >= 0)
            vecCpu.push_back(paint.dGuiCpuMs);
    }
}

void PrintGuiCpuRatio(const std::string& strFigure, const std::string& strFloor)
{
    const double dFigure = Median(GuiCpuTimes()[strFigure]);
    const double dFloor = Median(GuiCpuTimes()[strFloor]);
    if (dFigure < 0 || dFloor <= 0)
        return;
    std::printf("GUI-thread CPU before the first paint (median of all starts): %s %.1f ms, %s %.1f ms\n",
                strFigure.c_str(), dFigure, strFloor.c_str(), dFloor);
    std::printf("  %-62s %.2f\n", "GUI-thread CPU to first paint, dashboard / Qt hello world", dFigure / dFloor);
}

QTemporaryDir& DataHome()
{
    static QTemporaryDir s_dir;
    return s_dir;
}

void BM_Start_HelloWorld(benchmark::State& state)
{
    RunStarts(state, "BM_Start_HelloWorld", {ProgramDir() + "/bench_startup", kHelloArg},
              DataHome().path() + "/LinkageHost");
}
BENCHMARK(BM_Start_HelloWorld)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Start_Dashboard(benchmark::State& state)
{
    RunStarts(state, "BM_Start_Dashboard", {ProgramDir() + "/LinkageDashboard", "--print-first-paint"},
              DataHome().path() + "/LinkageHost");
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
    PrintGuiCpuRatio("BM_Start_Dashboard", "BM_Start_HelloWorld");
    benchmark::Shutdown();
    return 0;
}
