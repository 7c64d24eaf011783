#pragma once

// The main of a benchmark of widgets: offscreen unless a platform was chosen,
// every benchmark through one ratio reporter, then the program's own figures.

#include "bench/BenchRatios.h"

#include <QApplication>

namespace bench {

template <typename PrintFigures>
int RunWidgetBenchmarks(int argc, char** argv, CRatioReporter::Keep eKeep, PrintFigures fnPrint)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter(eKeep);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    fnPrint(reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
