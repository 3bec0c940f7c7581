// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report/reportrunner.h"

#include "platform/report/recordsource.h"
#include "platform/report/reportpreview.h"
#include "platform/report/reportprogresswindow.h"

#include <QThread>

namespace vetcert {

ReportRunner* ReportRunner::start(ReportLayout layout, std::unique_ptr<RecordSource> source, ReportRunOptions options,
                                  Reporter& reporter, SettingsFile& settings)
{
    auto* runner = new ReportRunner(std::move(layout), std::move(source), std::move(options), reporter, settings);
    runner->run();
    return runner;
}

ReportRunner::ReportRunner(ReportLayout layout, std::unique_ptr<RecordSource> source, ReportRunOptions options,
                           Reporter& reporter, SettingsFile& settings)
    : m_layout(std::move(layout)), m_source(std::move(source)), m_options(std::move(options)), m_reporter(reporter),
      m_settings(settings)
{
}

ReportRunner::~ReportRunner()
{
    if (m_thread) {
        m_state.cancel = true;
        m_thread->wait();
        delete m_thread;
    }
    delete m_progress;
}

void ReportRunner::run()
{
    m_progress = new ReportProgressWindow(m_options.windowName, m_settings);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_progress, &ReportProgressWindow::cancelRequested, this, &ReportRunner::cancel);
    m_progress->show();

    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &ReportRunner::poll);
    m_timer.start();

    m_thread = QThread::create([this] {
        m_result = produceReport(std::move(m_layout), *m_source, m_state, m_reporter);
        // The source's context belongs to this thread and ends with it.
        m_source.reset();
    });
    connect(m_thread, &QThread::finished, this, &ReportRunner::workerDone);
    m_thread->start();
}

void ReportRunner::cancel()
{
    m_state.cancel = true;
}

void ReportRunner::poll()
{
    if (m_progress)
        m_progress->setProgress(m_state.progress.load(std::memory_order_relaxed));
}

void ReportRunner::workerDone()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_timer.stop();
    if (m_progress) {
        poll();
        m_progress->finish();
    }

    ReportPreview* preview = nullptr;
    std::shared_ptr<const ReportDocument> document = m_result.document;
    switch (m_result.outcome) {
    case RunOutcome::Done:
        if (m_options.openPreview) {
            preview = new ReportPreview(document, ReportPreview::sectionFor(m_options.windowName), m_settings,
                                        m_reporter, m_options.previewMaximized);
            preview->show();
        }
        break;
    case RunOutcome::NoRecords:
        reportNoRecords(m_reporter);
        break;
    case RunOutcome::Cancelled:
    case RunOutcome::Failed:
        break;
    }
    emit finished(m_result.outcome, document, preview);
    deleteLater();
}

} // namespace vetcert
