// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report/recordsource.h"

#include "core/cp1251.h"

#include <algorithm>

namespace vetcert {

namespace progress {

double fraction(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    return std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0);
}

namespace {
// The first characters of a text as a number in base 256 of their folded Windows-1251 bytes, so
// that texts compare as numbers and the distance between them is measurable.
double alphabetValue(QStringView text)
{
    constexpr int kPlaces = 6;
    double v = 0;
    for (int i = 0; i < kPlaces; ++i) {
        int b = 0x20; // a blank where the text ends: it sorts first
        if (i < text.size()) {
            const int c = cp1251::encodeChar(text[i].unicode());
            b = c < 0 ? 0x3F : cp1251::fold(static_cast<unsigned char>(c));
        }
        v = v * 256 + b;
    }
    return v;
}
} // namespace

double textPosition(QStringView value, QStringView first, QStringView last)
{
    const double a = alphabetValue(first);
    const double b = alphabetValue(last);
    if (b <= a)
        return 0;
    return std::clamp((alphabetValue(value) - a) / (b - a), 0.0, 1.0);
}

} // namespace progress

VectorSource::VectorSource(QStringList columns, std::vector<std::vector<QVariant>> rows)
    : m_columns(std::move(columns)), m_rows(std::move(rows))
{
}

RecordSource::Read VectorSource::next(ReportRow& row)
{
    if (m_next >= static_cast<qint64>(m_rows.size()))
        return Read::End;
    const auto& values = m_rows[static_cast<size_t>(m_next++)];
    for (int i = 0; i < row.columnCount() && i < static_cast<int>(values.size()); ++i)
        row.set(i, values[static_cast<size_t>(i)]);
    return Read::Record;
}

} // namespace vetcert
