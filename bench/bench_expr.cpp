// SPDX-License-Identifier: GPL-3.0-or-later
// Filters and orders over a large certificate file. Run by hand on a directory made by
//   vetcert --data DIR demo-data --certificates 1000000
// with VETCERT_BENCH_DATA=DIR build/bench/bench_expr

#include "data/sqlite.h"
#include "data/store.h"
#include "platform/fuzzymatcher.h"
#include "platform/recordquery.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace vetcert;

namespace {

const char16_t kFuzzyOrder[] = u"200-FuzzyMatch(FuzzyQuery4,FR3:Nform&' '&FR3:datav&' '&FR3:datadst&' '&FR3:s2)";

struct Data
{
    StderrReporter reporter;
    std::unique_ptr<Store> store;
    std::unique_ptr<Context> ctx;

    static Data* get()
    {
        static Data* d = [] {
            const QString dir = qEnvironmentVariable("VETCERT_BENCH_DATA");
            if (dir.isEmpty())
                return static_cast<Data*>(nullptr);
            auto* data = new Data;
            data->store = std::make_unique<Store>(dir, data->reporter);
            data->ctx = std::make_unique<Context>(*data->store, u"bench"_s);
            if (!data->ctx->openGroup(FileId::Forma3))
                return static_cast<Data*>(nullptr);
            return data;
        }();
        return d;
    }
};

#define NEED_DATA(state, d)                                                                                            \
    Data* d = Data::get();                                                                                             \
    if (!d) {                                                                                                          \
        state.SkipWithError("set VETCERT_BENCH_DATA to a directory of demo data");                                     \
        return;                                                                                                        \
    }

const char16_t* const kQueries[] = {u"Приволе", u"523418", u"ооо расвет тверь", u"77509"};

// The register's fuzzy order: every certificate scored, the best 30 read.
void BM_FuzzyOrderFirst30(benchmark::State& state)
{
    NEED_DATA(state, d)
    const QString query = QString::fromUtf16(kQueries[state.range(0)]);
    state.SetLabel(query.toStdString());
    for (auto _ : state) {
        RecordQuery q(*d->ctx, FileId::Forma3);
        q.variables().setText(u"FuzzyQuery4"_s, query);
        q.setOrder(QString::fromUtf16(kFuzzyOrder));
        q.setLimit(30);
        if (q.open() != Status::Ok) {
            state.SkipWithError("query failed");
            return;
        }
        int n = 0;
        while (q.next() == Status::Ok)
            ++n;
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_FuzzyOrderFirst30)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The floor under the fuzzy order: one pass over the same four columns, touching every text.
void BM_FullScanFloor(benchmark::State& state)
{
    NEED_DATA(state, d)
    sqlite3* db = d->ctx->connection(FileId::Forma3);
    const QString sql = u"SELECT nform, datav, datadst, s2 FROM forma3"_s;
    state.SetLabel(sql::queryInt(db, u"SELECT count(*) FROM forma3"_s) > 0 ? "nform, datav, datadst, s2" : "empty");
    for (auto _ : state) {
        sql::Statement s(db, sql);
        qint64 sum = 0;
        while (s.step() == SQLITE_ROW) {
            int size = 0;
            s.rawText(3, &size);
            sum += s.int64(0) + s.int64(1) + s.int64(2) + size;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_FullScanFloor)->Unit(benchmark::kMillisecond);

// The period report's filter and order over one month (key used) and with d1 = 0 (whole-file scan).
void BM_PeriodFilter(benchmark::State& state)
{
    NEED_DATA(state, d)
    const qint64 d1 = state.range(0) ? Date::parse(u"01.03.2013")->dayNumber() : 0;
    const qint64 d2 = Date::parse(u"31.03.2013")->dayNumber();
    qint64 rows = 0;
    for (auto _ : state) {
        RecordQuery q(*d->ctx, FileId::Forma3);
        q.variables().setInt(u"d1"_s, d1);
        q.variables().setInt(u"d2"_s, d2);
        q.setFilter(u"(d1<=fr3:datav) and (d2>=fr3:datav)"_s);
        q.setOrder(u"+FR3:datav,+FR3:Nform"_s);
        if (q.open() != Status::Ok) {
            state.SkipWithError("query failed");
            return;
        }
        rows = 0;
        while (q.next() == Status::Ok)
            ++rows;
    }
    state.SetLabel((state.range(0) ? "March 2013, date key: " : "d1 = 0, no key: ") + std::to_string(rows) +
                   " records read");
}
BENCHMARK(BM_PeriodFilter)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The matcher alone on a typical joined certificate text.
void BM_FuzzyMatcherScore(benchmark::State& state)
{
    const FuzzyMatcher m(QString::fromUtf16(kQueries[state.range(0)]));
    const QByteArray text = u"523418 77509 77514 ООО «Приволье» г. Тверь"_s.toUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(m.scoreUtf8(text.constData(), text.size()));
}
BENCHMARK(BM_FuzzyMatcherScore)->DenseRange(0, 3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (Data* d = Data::get()) {
        RecordQuery q(*d->ctx, FileId::Forma3);
        q.variables().setText(u"FuzzyQuery4"_s, u"x"_s);
        q.setOrder(QString::fromUtf16(kFuzzyOrder));
        q.setLimit(30);
        for (const QString& line : q.queryPlan())
            std::fprintf(stderr, "fuzzy order plan: %s\n", line.toUtf8().constData());
        q.variables().setInt(u"d1"_s, 77495);
        q.variables().setInt(u"d2"_s, 77525);
        q.setFilter(u"(d1<=fr3:datav) and (d2>=fr3:datav)"_s);
        q.setOrder(u"+FR3:datav,+FR3:Nform"_s);
        q.setLimit(0);
        for (const QString& line : q.queryPlan())
            std::fprintf(stderr, "period plan: %s\n", line.toUtf8().constData());
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
