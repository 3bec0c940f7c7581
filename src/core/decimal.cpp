// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/decimal.h"

namespace vetcert {

qint64 Decimal::pow10(int n)
{
    qint64 r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

void Decimal::setScaled(qint64 scaled)
{
    m_scaled = scaled % pow10(m_digits);
}

void Decimal::assign(const Decimal& other)
{
    if (other.m_places == m_places)
        setScaled(other.m_scaled);
    else if (other.m_places < m_places)
        setScaled(other.m_scaled * pow10(m_places - other.m_places));
    else
        setScaled(other.m_scaled / pow10(other.m_places - m_places));
}

QString Decimal::toString() const
{
    const qint64 p = pow10(m_places);
    const qint64 a = m_scaled < 0 ? -m_scaled : m_scaled;
    QString s = QString::number(a / p);
    if (m_places > 0)
        s += u'.' + QStringLiteral("%1").arg(a % p, m_places, 10, QChar(u'0'));
    return m_scaled < 0 ? u'-' + s : s;
}

Decimal::ParseError Decimal::parse(QStringView text)
{
    QStringView t = text.trimmed();
    bool negative = false;
    if (t.startsWith(u'-')) {
        negative = true;
        t = t.mid(1);
    }
    const qsizetype dot = t.indexOf(u'.');
    const QStringView whole = dot < 0 ? t : t.left(dot);
    const QStringView frac = dot < 0 ? QStringView() : t.mid(dot + 1);
    if (whole.isEmpty() && frac.isEmpty())
        return ParseError::NotANumber;
    for (QStringView part : {whole, frac})
        for (QChar c : part)
            if (c < u'0' || c > u'9')
                return ParseError::NotANumber;
    if (dot >= 0 && frac.isEmpty())
        return ParseError::NotANumber;
    QStringView significant = whole;
    while (significant.size() > 1 && significant.front() == u'0')
        significant = significant.mid(1);
    QStringView fracDigits = frac;
    while (!fracDigits.isEmpty() && fracDigits.back() == u'0')
        fracDigits.chop(1);
    if (fracDigits.size() > m_places)
        return ParseError::TooManyPlaces;
    const qsizetype intDigits = significant == u"0" ? 0 : significant.size();
    if (intDigits > m_digits - m_places)
        return ParseError::TooManyDigits;
    qint64 v = whole.isEmpty() ? 0 : whole.toLongLong();
    v *= pow10(m_places);
    if (!fracDigits.isEmpty())
        v += fracDigits.toLongLong() * pow10(m_places - static_cast<int>(fracDigits.size()));
    m_scaled = negative ? -v : v;
    return ParseError::None;
}

int Decimal::compare(const Decimal& other) const
{
    // Compare on the finer scale; values fit easily in 64 bits (at most 9 digits).
    const int places = std::max(m_places, other.m_places);
    const qint64 a = m_scaled * pow10(places - m_places);
    const qint64 b = other.m_scaled * pow10(places - other.m_places);
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace vetcert
