// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace vetcert {

/// The values of one record as a report reads it, by column. Texts are QString, integers and
/// decimals qint64 or double, dates day numbers (int).
class ReportRow
{
public:
    ReportRow() = default;
    explicit ReportRow(const QStringList& columns);

    int columnCount() const { return static_cast<int>(m_values.size()); }
    /// Index of a column (names compare without regard to case), -1 when there is none.
    int indexOf(const QString& name) const;
    const QStringList& columns() const { return m_index->names; }

    const QVariant& at(int i) const { return m_values[static_cast<size_t>(i)]; }
    void set(int i, QVariant v) { m_values[static_cast<size_t>(i)] = std::move(v); }
    /// The value of a named column; an invalid QVariant when there is none.
    QVariant value(const QString& name) const;

private:
    struct Index
    {
        QStringList names;
        QHash<QString, int> byUpperName;
    };
    std::shared_ptr<const Index> m_index;
    std::vector<QVariant> m_values;
};

} // namespace vetcert
