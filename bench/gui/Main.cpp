#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    // The windows live on the offscreen platform unless another is asked for. The start-up
    // benchmark starts the real program with the environment as it was before this.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("JOTTEREL_BENCH_SET_PLATFORM", "1");
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
