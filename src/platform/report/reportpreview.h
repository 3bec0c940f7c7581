// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPrinter>
#include <QWidget>
#include <memory>

class QLabel;
class QPrintPreviewWidget;

namespace vetcert {

class ReportDocument;
class Reporter;
class SettingsFile;

/// The print preview of a finished report: opens at 100 %, zooms at the operator's wish, prints
/// through the print dialog and saves to PDF. Its placement is kept in the settings file.
class ReportPreview : public QWidget
{
    Q_OBJECT

public:
    /// `section` names the placement's section in the settings file.
    ReportPreview(std::shared_ptr<const ReportDocument> document, const QString& section, SettingsFile& settings,
                  Reporter& reporter, bool maximized, QWidget* parent = nullptr);
    ~ReportPreview() override;

    /// The section of a run's preview placement, after the run's window name.
    static QString sectionFor(const QString& windowName);

    QPrintPreviewWidget* view() const { return m_view; }
    QPrinter& printer() { return m_printer; }
    const ReportDocument& document() const { return *m_document; }

    /// Opens the print dialog; the pages print when the operator accepts it.
    void print();
    /// Asks for a file name and saves the pages there as PDF.
    void saveAsPdf();
    /// Saves the pages as a PDF file; false when it cannot be written (the operator is told).
    bool savePdf(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void updatePageLabel();

    std::shared_ptr<const ReportDocument> m_document;
    QString m_section;
    SettingsFile& m_settings;
    Reporter& m_reporter;
    bool m_maximized;
    bool m_placed = false;
    QPrinter m_printer;
    QPrintPreviewWidget* m_view;
    QLabel* m_pageLabel;
};

} // namespace vetcert
