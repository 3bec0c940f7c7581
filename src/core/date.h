// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace vetcert {

/// A calendar date held as a day number: day 4 is 1 January 1801, 77436 is 1 January 2013.
/// 0 means "no date"; its day, month and year parts are all 0.
class Date
{
public:
    static constexpr qint32 kFirst = 4;       // 1 January 1801
    static constexpr qint32 kLast = 2994626;  // 31 December 9999

    constexpr Date() = default;
    constexpr explicit Date(qint32 dayNumber) : m_day(dayNumber) {}

    /// The date of the given day, month and year, or nothing when no such date is in the valid range.
    static std::optional<Date> fromDmy(int day, int month, int year);
    /// Parses "dd.mm.yyyy" (one-digit day and month accepted); an empty or blank text is the null date.
    static std::optional<Date> parse(QStringView text);

    constexpr qint32 dayNumber() const { return m_day; }
    constexpr bool isNull() const { return m_day == 0; }
    /// True for 0 and for every day number of the valid range.
    constexpr bool isValid() const { return m_day == 0 || (m_day >= kFirst && m_day <= kLast); }

    int day() const;
    int month() const;
    int year() const;

    /// "dd.mm.yyyy"; empty for the null date.
    QString toString() const;

    friend constexpr auto operator<=>(Date, Date) = default;
    friend constexpr qint32 operator-(Date a, Date b) { return a.m_day - b.m_day; }

private:
    struct Parts
    {
        int day = 0, month = 0, year = 0;
    };
    Parts parts() const;

    qint32 m_day = 0;
};

} // namespace vetcert
