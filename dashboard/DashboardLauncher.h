#pragma once
// What the dashboard's launcher and its library agree on: the library's file,
// its entry point and which application object the launcher made.

// Called once the application object exists; returns the exit code.
using DashboardRunFn = int (*)(int nApplication);

constexpr const char* kDashboardLibrary = "libLinkageDashboardApp.so";
constexpr const char* kDashboardEntry = "LinkageDashboardRun";

// A QApplication for the window, or a QCoreApplication for --verify-export,
// which needs no display.
constexpr int kDashboardWindow = 0;
constexpr int kDashboardVerifyExport = 1;
