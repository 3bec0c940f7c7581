// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRectF>
#include <QRgb>
#include <QString>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace vetcert {

/// One thing drawn on a page, in millimetres from the sheet's top-left corner.
struct PageItem
{
    enum class Kind : quint8 { Text, Frame, Line };
    Kind kind = Kind::Text;
    quint16 font = 0;  // index into the document's fonts
    int alignment = 0; // Qt::Alignment of a text within its box; Y is always the top
    QRgb color = 0xFF000000;
    double penWidth = 0; // frames and lines, mm
    QRectF box;          // mm; a line runs along the top edge
    QString text;
};

struct ReportPage
{
    std::vector<PageItem> items;
};

/// The pages of a report, independent of any device: painted onto the preview's printer, a real
/// printer or a PDF file at the device's own resolution.
class ReportDocument
{
public:
    QString title;
    QSizeF paperMm{210, 297};
    std::vector<ReportPage> pages;

    /// Index of a font in the document's table, adding it when new.
    quint16 fontIndex(const QFont& font);
    const QFont& font(quint16 index) const { return m_fonts[index]; }
    qsizetype fontCount() const { return static_cast<qsizetype>(m_fonts.size()); }

    /// The texts of a page in drawing order (for tests and checks).
    QStringList texts(int page) const;

private:
    std::vector<QFont> m_fonts;
};

/// Paints one page with the painter's device at its full resolution; the device's origin is the
/// sheet's top-left corner.
void paintPage(QPainter& painter, const ReportDocument& doc, const ReportPage& page);

/// Prints the document on a printer set up for the sheet without margins; honours a page range
/// chosen in the print dialog.
bool printDocument(const ReportDocument& doc, QPrinter& printer);

/// Sets a printer up for the document's sheet: A4 portrait, whole page, no margins, its job name.
void setUpPrinter(QPrinter& printer, const ReportDocument& doc);

/// Writes the document as a PDF file; false, with `error` set, when the file cannot be written.
bool writePdf(const ReportDocument& doc, const QString& path, QString* error = nullptr);

} // namespace vetcert
