// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/formats.h"

#include <QDate>
#include <QLocale>

namespace vetcert {

QString genitiveMonth(int month)
{
    static const char16_t* const names[] = {u"января", u"февраля", u"марта",    u"апреля",  u"мая",    u"июня",
                                            u"июля",   u"августа", u"сентября", u"октября", u"ноября", u"декабря"};
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf16(names[month - 1]);
}

namespace format {

QString integer(qint64 value, int width)
{
    if (value == 0)
        return QString(width, u' ');
    return QString::number(value).rightJustified(width, u' ');
}

QString date(Date d, bool blankWhenZero)
{
    if (d.isNull())
        return blankWhenZero ? QString() : QStringLiteral("00.00.0000");
    return d.toString();
}

QString shortDate(Date d)
{
    if (d.isNull())
        return {};
    return QLocale::system().toString(QDate(d.year(), d.month(), d.day()), QLocale::ShortFormat);
}

QString twoDigits(qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QChar(u'0')); }

QString text(const QString& s, int width) { return s.left(width).leftJustified(width, u' '); }

QString oneDecimal(const Decimal& value, int width)
{
    Decimal one(Decimal::digitsForBytes(8), 1);
    one.assign(value);
    return one.toString().rightJustified(width, u' ');
}

QString signedInteger(qint64 value, int width) { return QString::number(value).rightJustified(width, u' '); }

} // namespace format
} // namespace vetcert
