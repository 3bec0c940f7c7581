// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/report/reportrow.h"

#include <QStringView>
#include <vector>

namespace vetcert {

/// Where a report run reads its records. It is made on the GUI thread with copies of every value
/// it needs; open(), next() and close() are then called on the run's worker thread, so a source
/// that reads data files opens its own Context in open().
class RecordSource
{
public:
    virtual ~RecordSource() = default;

    /// The columns of the rows it yields.
    virtual QStringList columns() const = 0;
    /// Opens what it reads; false on a failure, reported already.
    virtual bool open() { return true; }
    enum class Read { Record, End, Failed };
    /// Reads the next record into `row` (made from columns()).
    virtual Read next(ReportRow& row) = 0;
    /// How far the reading has come, 0 to 1, for the progress bar.
    virtual double progress() const = 0;
    virtual void close() {}
};

/// Progress figures the sources use.
namespace progress {
/// done / total, 0 when the total is not known.
double fraction(qint64 done, qint64 total);
/// Where `value` lies between `first` and `last` in alphabetical order without regard to letter
/// case (Russian letters by the Windows-1251 key order), 0 to 1.
double textPosition(QStringView value, QStringView first, QStringView last);
} // namespace progress

/// Rows held in memory: for tests, benchmarks and reports that gather their rows first.
class VectorSource : public RecordSource
{
public:
    VectorSource(QStringList columns, std::vector<std::vector<QVariant>> rows);

    QStringList columns() const override { return m_columns; }
    Read next(ReportRow& row) override;
    double progress() const override { return progress::fraction(m_next, static_cast<qint64>(m_rows.size())); }

private:
    QStringList m_columns;
    std::vector<std::vector<QVariant>> m_rows;
    qint64 m_next = 0;
};

} // namespace vetcert
