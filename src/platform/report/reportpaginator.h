// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/report/reportdocument.h"
#include "platform/report/reportlayout.h"
#include "platform/report/reportrow.h"

#include <QHash>
#include <QImage>
#include <memory>

namespace vetcert {

/// Lays records out into pages: the group bands around the details, a new page whenever the next
/// band does not fit in the body, the page header at the top of every page with the values of the
/// record that begins the page, and the counts.
class ReportPaginator
{
public:
    /// `columns` names the values of the rows that will be added.
    ReportPaginator(ReportLayout layout, const QStringList& columns);
    Q_DISABLE_COPY_MOVE(ReportPaginator)

    /// Names the layout shows that are neither a column, a value of the run nor a count.
    QStringList unknownNames() const;

    /// Prints one record: the footer of the group it ends and the header of the group it begins,
    /// then its detail.
    void add(const ReportRow& row);
    /// Prints the footer of the last group and hands the document over.
    std::shared_ptr<ReportDocument> finish();

    qint64 records() const { return m_records; }
    ReportLayout& layout() { return m_layout; }

    /// The width of a text in a font, in millimetres, measured at print resolution.
    double textWidth(quint16 font, const QString& text);

private:
    struct Slot
    {
        enum class Kind { Unknown, Column, Value, Count } kind = Kind::Unknown;
        int index = -1;
    };
    Slot slotOf(const QString& name);
    QVariant valueOf(const QString& name, const ReportRow& row);
    void print(ReportBand& band, const ReportRow& row);
    void startPage(const ReportRow& row);
    void place(const ReportBand& band, Tenths left, Tenths top, const ReportRow& row);
    quint16 fontOf(const ReportFont& font);

    ReportLayout m_layout;
    QStringList m_columns;
    std::shared_ptr<ReportDocument> m_doc;
    std::vector<qint64> m_counts;
    QHash<QString, Slot> m_slots;
    std::vector<std::pair<ReportFont, quint16>> m_fonts;
    QHash<QPair<quint16, QString>, double> m_widths;
    QHash<quint16, double> m_lineHeights;
    QImage m_metricsDevice; // a device at print resolution for font metrics

    bool m_pageOpen = false;
    Tenths m_cursor = 0; // top of the next band within the body
    bool m_inGroup = false;
    QVariant m_groupKey;
    ReportRow m_lastRow;
    qint64 m_records = 0;
};

} // namespace vetcert
