// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report/reportdocument.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace vetcert {

quint16 ReportDocument::fontIndex(const QFont& font)
{
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i] == font)
            return static_cast<quint16>(i);
    m_fonts.push_back(font);
    return static_cast<quint16>(m_fonts.size() - 1);
}

QStringList ReportDocument::texts(int page) const
{
    QStringList out;
    if (page < 0 || page >= static_cast<int>(pages.size()))
        return out;
    for (const PageItem& item : pages[static_cast<size_t>(page)].items)
        if (item.kind == PageItem::Kind::Text)
            out << item.text;
    return out;
}

void paintPage(QPainter& painter, const ReportDocument& doc, const ReportPage& page)
{
    const QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / 25.4;
    const double sy = device->logicalDpiY() / 25.4;
    int currentFont = -1;
    QRgb textColor = 0;
    bool textPen = false; // whether the painter's pen is the plain pen of texts in textColor
    for (const PageItem& item : page.items) {
        const QRectF r(item.box.x() * sx, item.box.y() * sy, item.box.width() * sx, item.box.height() * sy);
        switch (item.kind) {
        case PageItem::Kind::Text:
            if (item.text.isEmpty())
                break;
            if (item.font != currentFont) {
                painter.setFont(doc.font(item.font));
                currentFont = item.font;
            }
            if (!textPen || item.color != textColor) {
                painter.setPen(QColor::fromRgba(item.color));
                textColor = item.color;
                textPen = true;
            }
            // Qt clips the text to the box when it does not fit.
            painter.drawText(r, item.alignment | Qt::AlignTop | Qt::TextSingleLine, item.text);
            break;
        case PageItem::Kind::Frame:
        case PageItem::Kind::Line: {
            QPen pen(QColor::fromRgba(item.color));
            pen.setWidthF(item.penWidth * sx);
            pen.setCapStyle(Qt::FlatCap);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            textPen = false;
            if (item.kind == PageItem::Kind::Frame)
                painter.drawRect(r);
            else
                painter.drawLine(r.topLeft(), r.topRight());
            break;
        }
        }
    }
}

namespace {
QPageLayout sheetLayout(const ReportDocument& doc)
{
    return QPageLayout(QPageSize(doc.paperMm, QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

void paintPages(QPainter& painter, QPagedPaintDevice& device, const ReportDocument& doc, int from, int to)
{
    for (int i = from; i <= to; ++i) {
        if (i > from)
            device.newPage();
        paintPage(painter, doc, doc.pages[static_cast<size_t>(i - 1)]);
    }
}
} // namespace

void setUpPrinter(QPrinter& printer, const ReportDocument& doc)
{
    printer.setFullPage(true);
    printer.setPageLayout(sheetLayout(doc));
    printer.setDocName(doc.title);
}

bool printDocument(const ReportDocument& doc, QPrinter& printer)
{
    const int count = static_cast<int>(doc.pages.size());
    if (count == 0)
        return true;
    int from = 1, to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    if (from > to)
        return true;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    paintPages(painter, printer, doc, from, to);
    return painter.end();
}

bool writePdf(const ReportDocument& doc, const QString& path, QString* error)
{
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageLayout(sheetLayout(doc));
    writer.setTitle(doc.title);
    writer.setCreator(QStringLiteral("vetcert"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл %1").arg(path);
        return false;
    }
    paintPages(painter, writer, doc, 1, static_cast<int>(doc.pages.size()));
    return painter.end();
}

} // namespace vetcert
