#include "ScreenBench.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>

#include "ui/MessageService.h"

namespace scortavia::bench {

int runScreenBenchmarks(int argc, char** argv, const std::function<void()>& prepare) {
    // A benchmark tool, not the program: it runs without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen platform warns about window hints at every opening; the figures are what matters.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        if (!message.contains(QLatin1String("propagateSizeHints"))) std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    MessageService::setHookForTesting([](const ShownMessage&) { return QMessageBox::Ok; });
    benchmark::Initialize(&argc, argv);
    if (prepare) prepare();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace scortavia::bench
