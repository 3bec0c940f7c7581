// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/report/reportdocument.h"
#include "platform/report/reportlayout.h"

#include <atomic>
#include <memory>

namespace vetcert {

class RecordSource;
class Reporter;

/// What the reading thread and the progress window share while a run is under way.
struct RunState
{
    std::atomic<bool> cancel{false}; // set by "Отмена"; the reader stops before the next record
    std::atomic<int> progress{0};    // 0 … 10000, ten-thousandths of the way
    std::atomic<qint64> records{0};  // records printed so far
};

enum class RunOutcome { Done, NoRecords, Cancelled, Failed };

struct RunResult
{
    RunOutcome outcome = RunOutcome::Failed;
    std::shared_ptr<ReportDocument> document; // only when Done
};

/// Reads every record of the source and lays the pages out, on the calling thread. Progress is
/// published after each slice of records; the cancel flag is checked between records. A layout
/// that shows a name the source does not have is a program error, reported.
RunResult produceReport(ReportLayout layout, RecordSource& source, RunState& state, Reporter& reporter);

/// The notice of a run that found no record.
void reportNoRecords(Reporter& reporter);

/// A run without windows for the command line and tests: the document goes to a PDF file. The
/// "No Records" notice goes to the reporter; nothing is written then.
RunResult runReportToPdf(ReportLayout layout, RecordSource& source, const QString& path, Reporter& reporter);

} // namespace vetcert
