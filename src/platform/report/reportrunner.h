// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/report/reportlayout.h"
#include "platform/report/reportrun.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QThread;

namespace vetcert {

class RecordSource;
class Reporter;
class ReportPreview;
class ReportProgressWindow;
class SettingsFile;

/// How a run shows itself.
struct ReportRunOptions
{
    QString windowName;            // "Rep_input1": the progress window's section in the settings file
    bool previewMaximized = false; // the preview opens maximised
    bool openPreview = true;       // false: the finished document is only handed over by finished()
};

/// One report run from the windows: the progress window on the GUI thread, the records read and
/// laid out on a worker thread, then the preview, the "No Records" notice, or nothing when the
/// operator cancelled. The runner deletes itself when the run is over.
class ReportRunner : public QObject
{
    Q_OBJECT

public:
    /// Starts the run at once. The source is handed to the worker thread; `reporter` and `settings`
    /// must outlive the run and the preview.
    static ReportRunner* start(ReportLayout layout, std::unique_ptr<RecordSource> source, ReportRunOptions options,
                               Reporter& reporter, SettingsFile& settings);
    ~ReportRunner() override;

    ReportProgressWindow* progressWindow() const { return m_progress; }
    /// Asks the worker to stop before its next record, as "Отмена" does.
    void cancel();

signals:
    /// The run is over; the document is set only when it is Done. The preview, when one opens, is
    /// open already.
    void finished(vetcert::RunOutcome outcome, std::shared_ptr<const vetcert::ReportDocument> document,
                  vetcert::ReportPreview* preview);

private:
    ReportRunner(ReportLayout layout, std::unique_ptr<RecordSource> source, ReportRunOptions options,
                 Reporter& reporter, SettingsFile& settings);
    void run();
    void poll();
    void workerDone();

    ReportLayout m_layout;
    std::unique_ptr<RecordSource> m_source;
    ReportRunOptions m_options;
    Reporter& m_reporter;
    SettingsFile& m_settings;
    RunState m_state;
    RunResult m_result; // written by the worker, read after it has ended
    QThread* m_thread = nullptr;
    QPointer<ReportProgressWindow> m_progress;
    QTimer m_timer;
};

} // namespace vetcert
