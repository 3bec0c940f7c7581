// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the whole program until its frame is painted on the screen, with data files present.
// Run under a real display for the figure that matters: xvfb-run build/bench/bench_startup
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QTemporaryDir* dataDir()
{
    static QTemporaryDir dir;
    static const bool filled = [] {
        QProcess p;
        p.start(QStringLiteral(VETCERT_BINARY),
                {QStringLiteral("--data"), dir.path(), QStringLiteral("demo-data"), QStringLiteral("--certificates"),
                 QStringLiteral("20000")});
        return p.waitForFinished(600'000) && p.exitCode() == 0;
    }();
    return filled ? &dir : nullptr;
}

void StartupToVisibleFrame(benchmark::State& state)
{
    QTemporaryDir* dir = dataDir();
    if (!dir) {
        state.SkipWithError("demo data could not be made");
        return;
    }
    const QString ini = dir->filePath(QStringLiteral("Tesmar.INI"));
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral(VETCERT_BINARY), {QStringLiteral("--data"), dir->path(), QStringLiteral("--settings"),
                                                 ini, QStringLiteral("--exit-when-shown")});
        if (!p.waitForFinished(30'000) || p.exitCode() != 0) {
            state.SkipWithError("the program did not start");
            return;
        }
    }
}
BENCHMARK(StartupToVisibleFrame)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
