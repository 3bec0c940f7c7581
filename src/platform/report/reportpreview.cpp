// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report/reportpreview.h"

#include "data/reporter.h"
#include "platform/report/reportdocument.h"
#include "platform/settingsfile.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vetcert {

ReportPreview::ReportPreview(std::shared_ptr<const ReportDocument> document, const QString& section,
                             SettingsFile& settings, Reporter& reporter, bool maximized, QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(std::move(document)), m_section(section), m_settings(settings),
      m_reporter(reporter), m_maximized(maximized), m_printer(QPrinter::HighResolution)
{
    setObjectName(u"ReportPreview"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_document->title.isEmpty() ? u"Предварительный просмотр"_s
                                               : u"Предварительный просмотр — %1"_s.arg(m_document->title));
    resize(900, 700);
    setUpPrinter(m_printer, *m_document);

    m_view = new QPrintPreviewWidget(&m_printer, this);
    m_view->setObjectName(u"view"_s);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { printDocument(*m_document, *printer); });
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &ReportPreview::updatePageLabel);

    auto* bar = new QToolBar(this);
    auto add = [this, bar](const QString& name, const QString& text, auto slot) {
        QAction* a = bar->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(u"print"_s, u"Печать..."_s, [this] { print(); });
    add(u"savePdf"_s, u"Сохранить в PDF..."_s, [this] { saveAsPdf(); });
    bar->addSeparator();
    add(u"zoomIn"_s, u"Крупнее"_s, [this] { m_view->zoomIn(); });
    add(u"zoomOut"_s, u"Мельче"_s, [this] { m_view->zoomOut(); });
    add(u"zoom100"_s, u"100 %"_s, [this] {
        m_view->setZoomMode(QPrintPreviewWidget::CustomZoom);
        m_view->setZoomFactor(1.0);
    });
    add(u"fitWidth"_s, u"По ширине"_s, [this] { m_view->fitToWidth(); });
    add(u"fitPage"_s, u"Страница целиком"_s, [this] { m_view->fitInView(); });
    bar->addSeparator();
    add(u"firstPage"_s, u"<<"_s, [this] { m_view->setCurrentPage(1); });
    add(u"previousPage"_s, u"<"_s, [this] { m_view->setCurrentPage(m_view->currentPage() - 1); });
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setObjectName(u"page"_s);
    bar->addWidget(m_pageLabel);
    add(u"nextPage"_s, u">"_s, [this] { m_view->setCurrentPage(m_view->currentPage() + 1); });
    add(u"lastPage"_s, u">>"_s, [this] { m_view->setCurrentPage(m_view->pageCount()); });
    bar->addSeparator();
    add(u"close"_s, u"Закрыть"_s, [this] { close(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_view);

    m_view->setZoomMode(QPrintPreviewWidget::CustomZoom);
    m_view->setZoomFactor(1.0);
}

ReportPreview::~ReportPreview() = default;

QString ReportPreview::sectionFor(const QString& windowName)
{
    return windowName + u"_Preview"_s;
}

void ReportPreview::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    placement::restore(this, m_settings, m_section, true);
    if (m_maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    m_view->setZoomMode(QPrintPreviewWidget::CustomZoom);
    m_view->setZoomFactor(1.0);
}

void ReportPreview::closeEvent(QCloseEvent* event)
{
    if (m_placed && isVisible())
        placement::save(this, m_settings, m_section, true);
    event->accept();
}

void ReportPreview::updatePageLabel()
{
    m_pageLabel->setText(u" %1 / %2 "_s.arg(m_view->currentPage()).arg(m_view->pageCount()));
}

void ReportPreview::print()
{
    auto* dialog = new QPrintDialog(&m_printer, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setMinMax(1, static_cast<int>(m_document->pages.size()));
    connect(dialog, &QDialog::accepted, this, [this] {
        if (!printDocument(*m_document, m_printer)) {
            Message m;
            m.level = Level::Notice;
            m.icon = Icon::Warning;
            m.title = u"Ошибка печати"_s;
            m.text = u"Не удалось напечатать на принтере «%1»."_s.arg(m_printer.printerName());
            m_reporter.report(m);
        }
        // The preview goes on showing every page whatever range was printed.
        m_printer.setPrintRange(QPrinter::AllPages);
    });
    dialog->open();
}

void ReportPreview::saveAsPdf()
{
    auto* dialog = new QFileDialog(this, u"Сохранить в PDF"_s, QString(), u"PDF (*.pdf)"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(u"pdf"_s);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) { savePdf(path); });
    dialog->open();
}

bool ReportPreview::savePdf(const QString& path)
{
    QString error;
    if (writePdf(*m_document, path, &error))
        return true;
    Message m;
    m.level = Level::Notice;
    m.icon = Icon::Warning;
    m.title = u"Ошибка записи"_s;
    m.text = error;
    m_reporter.report(m);
    return false;
}

} // namespace vetcert
