// SPDX-License-Identifier: GPL-3.0-or-later
// The record store on a register of 1,000,000 certificates made by demo-data. The data directory is
// $VETCERT_BENCH_DATA (default /tmp/vetcert-bench-1m); it is filled on the first run (about a minute).
//
// Targets: positioning in FR3:K4 order and reading 30 records under 2 ms and within 3x of the same SQL
// through the SQLite C API (BM_Position30_RawSql, the floor); counting FORMA3 under 50 ms; renaming a
// counterparty named on 10,000 certificates under 1 s.

#include "cli/demodata.h"
#include "data/sqlite.h"
#include "data/store.h"
#include "data/storeschema.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace vetcert;

namespace {

constexpr qint64 kCertificates = 1000000;
const QString kBenchParty = u"ООО «Контрагент для замера»"_s;

QString dataDir()
{
    const QByteArray env = qgetenv("VETCERT_BENCH_DATA");
    return env.isEmpty() ? u"/tmp/vetcert-bench-1m"_s : QString::fromLocal8Bit(env);
}

StderrReporter& reporter()
{
    static StderrReporter r;
    return r;
}

Store& store()
{
    static Store* s = [] {
        QDir().mkpath(dataDir());
        auto* st = new Store(dataDir(), reporter());
        Context ctx(*st, u"bench"_s);
        ctx.openGroup(FileId::Forma3);
        if (ctx.file(FileId::Forma3).count() < kCertificates) {
            std::fprintf(stderr, "filling %s with %lld certificates...\n", qPrintable(dataDir()), kCertificates);
            demo::generate(*st, kCertificates - ctx.file(FileId::Forma3).count(), 50000, 7);
        }
        return st;
    }();
    return *s;
}

// Names to position at, spread over the key.
std::vector<QString> probeNames()
{
    Context ctx(store(), u"bench"_s);
    ctx.openGroup(FileId::Kagent);
    std::vector<QString> names;
    DataFile& kag = ctx.file(FileId::Kagent);
    kag.setOrderStart(kStoredOrder);
    for (int i = 0; kag.next() == Status::Ok && names.size() < 200; ++i)
        if (i % 97 == 0)
            names.push_back(kag.record<Kagent>().NAME.toString());
    return names;
}

void BM_Position30(benchmark::State& state)
{
    Context ctx(store(), u"bench"_s);
    ctx.openGroup(FileId::Forma3);
    DataFile& fr3 = ctx.file(FileId::Forma3);
    const int k4 = fr3.def().keyIndex(u"FR3:K4");
    const auto names = probeNames();
    size_t i = 0;
    qint64 read = 0;
    for (auto _ : state) {
        fr3.buffer().clear();
        fr3.record<Forma3>().S2.setCut(names[i++ % names.size()]);
        fr3.setOrder(k4);
        for (int n = 0; n < 30 && fr3.next() == Status::Ok; ++n)
            ++read;
    }
    state.counters["records"] = benchmark::Counter(double(read), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Position30)->Unit(benchmark::kMicrosecond);

// The floor: the same query and the same columns straight through the SQLite C API.
void BM_Position30_RawSql(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(store().path(FileId::Forma3)).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(db, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    const FileDef& def = fileDef(FileId::Forma3);
    const QByteArray sqlText = (u"SELECT rowid, rev, "_s + schema::columnList(def) +
                                u", key_k4 FROM forma3 WHERE key_k4 >= ?1 ORDER BY key_k4, rowid LIMIT ?2"_s)
                                   .toUtf8();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sqlText.constData(), -1, &st, nullptr);
    const auto names = probeNames();
    const int columns = sqlite3_column_count(st);
    size_t i = 0;
    qint64 read = 0;
    for (auto _ : state) {
        const QByteArray key = schema::foldKey(names[i++ % names.size()]);
        sqlite3_bind_blob(st, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 2, 30);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            ++read;
        }
        sqlite3_reset(st);
    }
    state.counters["records"] = benchmark::Counter(double(read), benchmark::Counter::kAvgIterations);
    sqlite3_finalize(st);
    sqlite3_close(db);
}
BENCHMARK(BM_Position30_RawSql)->Unit(benchmark::kMicrosecond);

void BM_Count(benchmark::State& state)
{
    Context ctx(store(), u"bench"_s);
    ctx.openGroup(FileId::Forma3);
    qint64 n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(n = ctx.file(FileId::Forma3).count());
    state.counters["certificates"] = double(n);
}
BENCHMARK(BM_Count)->Unit(benchmark::kMillisecond);

// A counterparty named on 10,000 certificates, renamed back and forth.
void BM_Rename10000(benchmark::State& state)
{
    Context ctx(store(), u"bench"_s);
    ctx.openGroup(FileId::Forma3);
    DataFile& kag = ctx.file(FileId::Kagent);
    DataFile& fr3 = ctx.file(FileId::Forma3);
    const int k2 = kag.def().keyIndex(u"KAG:K2");
    auto findParty = [&] {
        for (const QString& n : {kBenchParty, kBenchParty + u" (2)"_s}) {
            kag.buffer().clear();
            kag.record<Kagent>().NAME.setCut(n);
            if (kag.setOrder(k2) == Status::Ok && kag.next() == Status::Ok && kag.record<Kagent>().NAME.toString() == n)
                return true;
        }
        return false;
    };
    if (!findParty()) {
        // First run: name 10,000 certificates after a new counterparty.
        kag.prime();
        kag.record<Kagent>().NAME.setCut(kBenchParty);
        kag.insert();
        ctx.beginTransaction(FileId::Forma3, 10000);
        fr3.setOrderStart(kStoredOrder);
        for (int i = 0; i < 10000 && fr3.next() == Status::Ok; ++i) {
            fr3.record<Forma3>().S2.setCut(kBenchParty);
            fr3.update();
        }
        ctx.commit(FileId::Forma3);
        findParty();
    }
    for (auto _ : state) {
        const QString now = kag.record<Kagent>().NAME.toString();
        kag.record<Kagent>().NAME.setCut(now == kBenchParty ? kBenchParty + u" (2)"_s : kBenchParty);
        if (kag.update() != Status::Ok)
            state.SkipWithError("rename failed");
    }
    fr3.buffer().clear();
    fr3.record<Forma3>().S2.setCut(kag.record<Kagent>().NAME.toString());
    fr3.setOrder(fr3.def().keyIndex(u"FR3:K4"));
    qint64 named = 0;
    while (fr3.next() == Status::Ok && fr3.record<Forma3>().S2.toString() == kag.record<Kagent>().NAME.toString())
        ++named;
    state.counters["certificates_renamed"] = double(named);
}
BENCHMARK(BM_Rename10000)->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace

BENCHMARK_MAIN();
