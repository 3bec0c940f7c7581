// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report/reportrun.h"

#include "data/reporter.h"
#include "platform/report/recordsource.h"
#include "platform/report/reportpaginator.h"

#include <QElapsedTimer>
#include <cmath>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {
// A slice ends after this long, so progress is published about as often as the window looks.
constexpr qint64 kSliceMs = 50;

void publish(RunState& state, const RecordSource& source, qint64 records)
{
    state.progress.store(static_cast<int>(std::lround(source.progress() * 10000)), std::memory_order_relaxed);
    state.records.store(records, std::memory_order_relaxed);
}
} // namespace

void reportNoRecords(Reporter& reporter)
{
    Message m;
    m.level = Level::Notice;
    m.icon = Icon::Information;
    m.title = u"No Records"_s;
    m.text = u"There are no records available to process."_s;
    reporter.report(m);
}

RunResult produceReport(ReportLayout layout, RecordSource& source, RunState& state, Reporter& reporter)
{
    RunResult result;
    const QStringList columns = source.columns();
    ReportPaginator paginator(std::move(layout), columns);
    if (const QStringList unknown = paginator.unknownNames(); !unknown.isEmpty()) {
        Message m;
        m.level = Level::ProgramError;
        m.icon = Icon::Error;
        m.title = u"Ошибка программы"_s;
        m.text = u"Отчёт показывает неизвестные значения: %1"_s.arg(unknown.join(u", "_s));
        reporter.report(m);
        return result;
    }
    if (!source.open())
        return result;

    ReportRow row(columns);
    QElapsedTimer slice;
    slice.start();
    RecordSource::Read read = RecordSource::Read::Record;
    while (true) {
        if (state.cancel.load(std::memory_order_relaxed)) {
            result.outcome = RunOutcome::Cancelled;
            break;
        }
        read = source.next(row);
        if (read != RecordSource::Read::Record)
            break;
        paginator.add(row);
        if (slice.elapsed() >= kSliceMs) {
            publish(state, source, paginator.records());
            slice.restart();
        }
    }
    publish(state, source, paginator.records());
    source.close();
    if (result.outcome == RunOutcome::Cancelled)
        return result;
    if (read == RecordSource::Read::Failed) {
        result.outcome = RunOutcome::Failed;
        return result;
    }
    if (paginator.records() == 0) {
        result.outcome = RunOutcome::NoRecords;
        return result;
    }
    result.outcome = RunOutcome::Done;
    result.document = paginator.finish();
    return result;
}

RunResult runReportToPdf(ReportLayout layout, RecordSource& source, const QString& path, Reporter& reporter)
{
    RunState state;
    RunResult result = produceReport(std::move(layout), source, state, reporter);
    if (result.outcome == RunOutcome::NoRecords)
        reportNoRecords(reporter);
    if (result.outcome != RunOutcome::Done)
        return result;
    QString error;
    if (!writePdf(*result.document, path, &error)) {
        Message m;
        m.level = Level::Notice;
        m.icon = Icon::Error;
        m.title = u"Ошибка записи"_s;
        m.text = error;
        reporter.report(m);
        result.outcome = RunOutcome::Failed;
    }
    return result;
}

} // namespace vetcert
