// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report/reportrow.h"

namespace vetcert {

ReportRow::ReportRow(const QStringList& columns) : m_values(static_cast<size_t>(columns.size()))
{
    auto index = std::make_shared<Index>();
    index->names = columns;
    for (int i = 0; i < columns.size(); ++i)
        index->byUpperName.insert(columns[i].toUpper(), i);
    m_index = std::move(index);
}

int ReportRow::indexOf(const QString& name) const
{
    if (!m_index)
        return -1;
    return m_index->byUpperName.value(name.toUpper(), -1);
}

QVariant ReportRow::value(const QString& name) const
{
    const int i = indexOf(name);
    return i < 0 ? QVariant() : m_values[static_cast<size_t>(i)];
}

} // namespace vetcert
