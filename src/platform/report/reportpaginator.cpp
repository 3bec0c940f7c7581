// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report/reportpaginator.h"

#include "platform/fonts.h"

#include <QFontMetricsF>

namespace vetcert {

namespace {
constexpr int kMetricsDpi = 1200;
constexpr Tenths kRightInset = 10; // "right, 1 mm in"
} // namespace

ReportPaginator::ReportPaginator(ReportLayout layout, const QStringList& columns)
    : m_layout(std::move(layout)), m_columns(columns), m_doc(std::make_shared<ReportDocument>()),
      m_counts(m_layout.counts.size(), 0), m_metricsDevice(1, 1, QImage::Format_RGB32), m_lastRow(columns)
{
    m_doc->title = m_layout.title;
    m_doc->paperMm = QSizeF(toMm(m_layout.paperWidth), toMm(m_layout.paperHeight));
    const int dotsPerMetre = qRound(kMetricsDpi / 0.0254);
    m_metricsDevice.setDotsPerMeterX(dotsPerMetre);
    m_metricsDevice.setDotsPerMeterY(dotsPerMetre);
}

QStringList ReportPaginator::unknownNames() const
{
    QStringList unknown;
    auto* self = const_cast<ReportPaginator*>(this);
    for (const QString& name : m_layout.sourceNames())
        if (self->slotOf(name).kind == Slot::Kind::Unknown)
            unknown << name;
    return unknown;
}

ReportPaginator::Slot ReportPaginator::slotOf(const QString& name)
{
    auto it = m_slots.constFind(name);
    if (it != m_slots.cend())
        return *it;
    Slot s;
    for (size_t i = 0; i < m_layout.counts.size() && s.kind == Slot::Kind::Unknown; ++i)
        if (m_layout.counts[i].name.compare(name, Qt::CaseInsensitive) == 0)
            s = {Slot::Kind::Count, static_cast<int>(i)};
    if (s.kind == Slot::Kind::Unknown) {
        const int column = m_lastRow.indexOf(name);
        if (column >= 0)
            s = {Slot::Kind::Column, column};
    }
    if (s.kind == Slot::Kind::Unknown) {
        for (auto v = m_layout.values.cbegin(); v != m_layout.values.cend(); ++v)
            if (v.key().compare(name, Qt::CaseInsensitive) == 0)
                s = {Slot::Kind::Value, 0};
    }
    m_slots.insert(name, s);
    return s;
}

QVariant ReportPaginator::valueOf(const QString& name, const ReportRow& row)
{
    const Slot s = slotOf(name);
    switch (s.kind) {
    case Slot::Kind::Column:
        return s.index < row.columnCount() ? row.at(s.index) : QVariant();
    case Slot::Kind::Count:
        return m_counts[static_cast<size_t>(s.index)];
    case Slot::Kind::Value:
        for (auto v = m_layout.values.cbegin(); v != m_layout.values.cend(); ++v)
            if (v.key().compare(name, Qt::CaseInsensitive) == 0)
                return v.value();
        return {};
    case Slot::Kind::Unknown:
        break;
    }
    return {};
}

void ReportPaginator::add(const ReportRow& row)
{
    if (!m_layout.groupOn.isEmpty()) {
        const QVariant key = valueOf(m_layout.groupOn, row);
        const bool breaks = !m_inGroup || key != m_groupKey;
        if (breaks && m_inGroup && m_layout.groupFooter) {
            print(*m_layout.groupFooter, m_lastRow);
        }
        if (breaks) {
            if (m_inGroup)
                for (size_t i = 0; i < m_counts.size(); ++i)
                    if (m_layout.counts[i].resetAfterGroup)
                        m_counts[i] = 0;
            if (m_layout.groupHeader)
                print(*m_layout.groupHeader, row);
            m_groupKey = key;
            m_inGroup = true;
        }
    }
    // A detail shows the counts with itself counted.
    for (qint64& c : m_counts)
        ++c;
    print(m_layout.detail, row);
    m_lastRow = row;
    ++m_records;
}

std::shared_ptr<ReportDocument> ReportPaginator::finish()
{
    if (m_inGroup && m_layout.groupFooter)
        print(*m_layout.groupFooter, m_lastRow);
    m_inGroup = false;
    return std::exchange(m_doc, std::make_shared<ReportDocument>());
}

void ReportPaginator::print(ReportBand& band, const ReportRow& row)
{
    if (band.beforePrint) {
        BandPrinting printing{band, m_layout, row};
        band.beforePrint(printing);
    }
    // A band taller than the whole body still goes on a page of its own rather than nowhere.
    if (!m_pageOpen || (m_cursor > 0 && m_cursor + band.height > m_layout.body.h))
        startPage(row);
    place(band, m_layout.area.x + m_layout.body.x, m_layout.area.y + m_layout.body.y + m_cursor, row);
    m_cursor += band.height;
}

void ReportPaginator::startPage(const ReportRow& row)
{
    m_doc->pages.emplace_back();
    m_pageOpen = true;
    m_cursor = 0;
    if (m_layout.pageHeader) {
        ReportBand& header = *m_layout.pageHeader;
        if (header.beforePrint) {
            BandPrinting printing{header, m_layout, row};
            header.beforePrint(printing);
        }
        place(header, m_layout.area.x + m_layout.pageHeaderX, m_layout.area.y + m_layout.pageHeaderY, row);
    }
}

quint16 ReportPaginator::fontOf(const ReportFont& font)
{
    for (const auto& [f, index] : m_fonts)
        if (f == font)
            return index;
    const quint16 index = m_doc->fontIndex(font.toQFont());
    m_fonts.emplace_back(font, index);
    return index;
}

double ReportPaginator::textWidth(quint16 font, const QString& text)
{
    const auto key = qMakePair(font, text);
    auto it = m_widths.constFind(key);
    if (it != m_widths.cend())
        return *it;
    const QFontMetricsF fm(m_doc->font(font), &m_metricsDevice);
    const double mm = fm.horizontalAdvance(text) * 25.4 / kMetricsDpi;
    m_widths.insert(key, mm);
    return mm;
}

void ReportPaginator::place(const ReportBand& band, Tenths left, Tenths top, const ReportRow& row)
{
    ReportPage& page = m_doc->pages.back();
    page.items.reserve(page.items.size() + band.controls.size());
    for (const ReportControl& c : band.controls) {
        PageItem item;
        QRectF box(toMm(left + c.box.x), toMm(top + c.box.y), toMm(c.box.w), toMm(c.box.h));
        switch (c.kind) {
        case ReportControl::Kind::Text:
        case ReportControl::Kind::FixedText: {
            item.kind = PageItem::Kind::Text;
            item.text = c.kind == ReportControl::Kind::Text ? c.format.apply(valueOf(c.source, row)) : c.source;
            item.font = fontOf(c.font);
            item.color = colorFromStored(c.font.color).rgba();
            if (c.sizedToFormat) {
                const QString widest = c.kind == ReportControl::Kind::Text ? c.format.widest() : c.source;
                box.setWidth(textWidth(item.font, widest));
                auto h = m_lineHeights.constFind(item.font);
                if (h == m_lineHeights.cend())
                    h = m_lineHeights.insert(item.font,
                                             QFontMetricsF(m_doc->font(item.font), &m_metricsDevice).height() * 25.4 /
                                                 kMetricsDpi);
                box.setHeight(*h);
            }
            switch (c.align) {
            case ReportAlign::Left:
                item.alignment = Qt::AlignLeft;
                break;
            case ReportAlign::Center:
                item.alignment = Qt::AlignHCenter;
                break;
            // Our formats print whole numbers only, so decimal alignment puts the last digit at the
            // box's right edge.
            case ReportAlign::Decimal:
            case ReportAlign::Right:
                item.alignment = Qt::AlignRight;
                break;
            case ReportAlign::RightInset:
                item.alignment = Qt::AlignRight;
                box.setWidth(box.width() - toMm(kRightInset));
                break;
            }
            if (item.text.isEmpty())
                continue; // nothing to draw
            break;
        }
        case ReportControl::Kind::Frame:
        case ReportControl::Kind::HLine:
            item.kind = c.kind == ReportControl::Kind::Frame ? PageItem::Kind::Frame : PageItem::Kind::Line;
            item.penWidth = toMm(c.lineWidth);
            item.color = QColor(Qt::black).rgba();
            break;
        }
        item.box = box;
        page.items.push_back(std::move(item));
    }
}

} // namespace vetcert
