// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/date.h"
#include "core/decimal.h"

#include <QString>

namespace vetcert {

/// Russian month name in the genitive ("января" … "декабря"); empty outside 1..12.
QString genitiveMonth(int month);

namespace format {

/// A whole number right-aligned in `width` positions without digit grouping; blank when zero.
QString integer(qint64 value, int width);
/// A date as dd.mm.yyyy; blank for the null date when `blankWhenZero`, "00.00.0000" otherwise.
QString date(Date d, bool blankWhenZero = true);
/// A date in the desktop's short date format; blank for the null date.
QString shortDate(Date d);
/// A two-digit number with a leading zero ("05").
QString twoDigits(qint64 value);
/// A text of `width` characters: cut to the width, padded with blanks.
QString text(const QString& s, int width);
/// A number with one decimal and a leading minus sign when negative, right-aligned in `width` positions.
QString oneDecimal(const Decimal& value, int width);
/// An integer of up to `width` characters with a leading minus sign when negative, zero shown as "0".
QString signedInteger(qint64 value, int width);

} // namespace format
} // namespace vetcert
