// SPDX-License-Identifier: GPL-3.0-or-later
// A 5,000-page report of 30 text controls a page, from records to a PDF file, beside the floor:
// raw QPdfWriter drawing the same 150,000 texts. Run by hand: build/bench/bench_report
#include "data/reporter.h"
#include "platform/fonts.h"
#include "platform/report/recordsource.h"
#include "platform/report/reportrun.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace vetcert;

namespace {

constexpr int kPages = 5000;
constexpr int kTexts = 30;

QString textOf(int record, int column)
{
    return u"Значение %1 записи %2"_s.arg(column + 1).arg(record + 1);
}

// Rows made as they are read, as a data file would yield them.
class GeneratedSource : public RecordSource
{
public:
    QStringList columns() const override
    {
        QStringList c;
        for (int i = 0; i < kTexts; ++i)
            c << u"F%1"_s.arg(i);
        return c;
    }
    Read next(ReportRow& row) override
    {
        if (m_next >= kPages)
            return Read::End;
        for (int i = 0; i < kTexts; ++i)
            row.set(i, textOf(m_next, i));
        ++m_next;
        return Read::Record;
    }
    double progress() const override { return progress::fraction(m_next, kPages); }

private:
    int m_next = 0;
};

ReportFont benchFont()
{
    return ReportFont{u"Arial CYR"_s, 9, 0, 700, 204};
}

TenthsRect boxOf(int i)
{
    return {Tenths(200 + (i % 2) * 950), Tenths(300 + (i / 2) * 170), 900, 40};
}

double peakRssMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0; // kilobytes on Linux
}

void BM_RawPdfWriterFloor(benchmark::State& state)
{
    QTemporaryDir dir;
    const QFont font = benchFont().toQFont();
    for (auto _ : state) {
        QPdfWriter writer(dir.filePath(u"floor.pdf"_s));
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter p(&writer);
        p.setFont(font);
        const double scale = 1200 / 25.4;
        for (int page = 0; page < kPages; ++page) {
            if (page)
                writer.newPage();
            for (int i = 0; i < kTexts; ++i) {
                const TenthsRect b = boxOf(i);
                p.drawText(QRectF(toMm(b.x) * scale, toMm(b.y) * scale, toMm(b.w) * scale, toMm(b.h) * scale),
                           Qt::AlignTop | Qt::AlignLeft | Qt::TextSingleLine, textOf(page, i));
            }
        }
    }
    state.counters["pages_per_s"] =
        benchmark::Counter(double(kPages) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["peak_rss_MB"] = peakRssMb();
}

void BM_ReportToPdf(benchmark::State& state)
{
    QTemporaryDir dir;
    ReportLayout layout;
    layout.detail.height = 2970;
    for (int i = 0; i < kTexts; ++i)
        layout.detail.add(ReportControl::text(u"F%1"_s.arg(i), DisplayFormat::text(80), boxOf(i), benchFont()));
    StderrReporter reporter;
    for (auto _ : state) {
        GeneratedSource source;
        const RunResult r = runReportToPdf(layout, source, dir.filePath(u"report.pdf"_s), reporter);
        if (r.outcome != RunOutcome::Done || r.document->pages.size() != kPages)
            state.SkipWithError("the report did not come out");
    }
    state.counters["pages_per_s"] =
        benchmark::Counter(double(kPages) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["peak_rss_MB"] = peakRssMb();
}

} // namespace

BENCHMARK(BM_RawPdfWriterFloor)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_ReportToPdf)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
