// The dashboard's launcher, on Qt alone. The dashboard is a library that
// brings the host's libraries (GStreamer, SQLite, the plug-in's) with it:
// loading and relocating them takes milliseconds, which a worker spends while
// this thread connects to the display.

#include "dashboard/DashboardLauncher.h"

#include <QApplication>
#include <QByteArray>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <future>
#include <string>

namespace {

bool IsVerifyRun(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]).startsWith("--verify-export"))
            return true;
    return false;
}

// This program's folder, where the library lies.
std::string ProgramDir()
{
    char szPath[4096] = {};
    const ssize_t nLength = readlink("/proc/self/exe", szPath, sizeof szPath - 1);
    std::string strPath(szPath, nLength > 0 ? static_cast<std::size_t>(nLength) : 0);
    return strPath.substr(0, strPath.rfind('/'));
}

// On the worker: the library and its entry point.
DashboardRunFn LoadEntry()
{
    void* pLibrary = dlopen((ProgramDir() + '/' + kDashboardLibrary).c_str(), RTLD_LAZY | RTLD_LOCAL);
    auto pfnRun = pLibrary ? reinterpret_cast<DashboardRunFn>(dlsym(pLibrary, kDashboardEntry)) : nullptr;
    if (!pfnRun)
        std::fprintf(stderr, "LinkageDashboard: %s\n", dlerror());
    return pfnRun;
}

int Run(std::future<DashboardRunFn>& futEntry, int nApplication)
{
    const DashboardRunFn pfnRun = futEntry.get();
    return pfnRun ? pfnRun(nApplication) : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::future<DashboardRunFn> futEntry = std::async(std::launch::async, LoadEntry);
    if (IsVerifyRun(argc, argv)) {
        QCoreApplication app(argc, argv);
        return Run(futEntry, kDashboardVerifyExport);
    }
    QApplication app(argc, argv);
    app.setApplicationName("LinkageDashboard");
    return Run(futEntry, kDashboardWindow);
}
