// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/date.h"

#include <QList>

namespace vetcert {

namespace {

// Days from 1 March of year 0 of the proleptic Gregorian calendar (the usual civil-day algorithm).
qint64 daysFromCivil(qint64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<qint64>(doe);
}

const qint64 kEpoch = daysFromCivil(1801, 1, 1) - Date::kFirst;

int daysInMonth(int month, int year)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

std::optional<Date> Date::fromDmy(int day, int month, int year)
{
    if (year < 1801 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(month, year))
        return std::nullopt;
    return Date(static_cast<qint32>(daysFromCivil(year, month, day) - kEpoch));
}

std::optional<Date> Date::parse(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return Date();
    const auto parts = t.split(u'.');
    if (parts.size() != 3 || parts[0].size() > 2 || parts[1].size() > 2 || parts[2].size() != 4)
        return std::nullopt;
    int values[3];
    for (int i = 0; i < 3; ++i) {
        if (parts[i].isEmpty())
            return std::nullopt;
        for (QChar c : parts[i])
            if (c < u'0' || c > u'9')
                return std::nullopt;
        values[i] = parts[i].toInt();
    }
    return fromDmy(values[0], values[1], values[2]);
}

Date::Parts Date::parts() const
{
    if (m_day == 0)
        return {};
    // Inverse of daysFromCivil.
    const qint64 z = m_day + kEpoch;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 y = static_cast<qint64>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(d), static_cast<int>(m), static_cast<int>(y + (m <= 2))};
}

int Date::day() const { return parts().day; }
int Date::month() const { return parts().month; }
int Date::year() const { return parts().year; }

QString Date::toString() const
{
    if (m_day == 0)
        return {};
    const Parts p = parts();
    return QStringLiteral("%1.%2.%3")
        .arg(p.day, 2, 10, QChar(u'0'))
        .arg(p.month, 2, 10, QChar(u'0'))
        .arg(p.year, 4, 10, QChar(u'0'));
}

} // namespace vetcert
