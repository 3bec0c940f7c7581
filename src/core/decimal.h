// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace vetcert {

/// A signed fixed-point number of at most `digits` digits, `places` of them after the point,
/// held as an integer scaled by 10^places. Assigning a value with more integer digits than
/// the number holds keeps only the low-order digits (2013 into 3 digits gives 13).
class Decimal
{
public:
    constexpr Decimal() = default;
    constexpr Decimal(int digits, int places) : m_digits(digits), m_places(places) {}

    /// Digits a field of the given byte width holds: twice the bytes minus one.
    static constexpr int digitsForBytes(int bytes) { return 2 * bytes - 1; }

    int digits() const { return m_digits; }
    int places() const { return m_places; }
    qint64 scaled() const { return m_scaled; }

    /// Sets the scaled value (already in units of 10^-places), keeping the low-order digits.
    void setScaled(qint64 scaled);
    /// Sets a whole number, keeping the low-order digits.
    void setInteger(qint64 value) { setScaled(value * pow10(m_places)); }
    /// Takes the value of another decimal, rescaled to these places (extra places are cut off).
    void assign(const Decimal& other);
    bool isZero() const { return m_scaled == 0; }
    qint64 integerPart() const { return m_scaled / pow10(m_places); }
    double toDouble() const { return static_cast<double>(m_scaled) / static_cast<double>(pow10(m_places)); }

    /// Plain text with a full stop and exactly `places` decimals ("-12.5", "7"); never grouped.
    QString toString() const;

    enum class ParseError { None, NotANumber, TooManyDigits, TooManyPlaces };
    /// Parses "[-]digits[.digits]" strictly: unlike assignment, a value that does not fit is refused.
    ParseError parse(QStringView text);

    static qint64 pow10(int n);

    friend bool operator==(const Decimal& a, const Decimal& b) { return a.compare(b) == 0; }
    int compare(const Decimal& other) const;

private:
    int m_digits = 9;
    int m_places = 0;
    qint64 m_scaled = 0;
};

} // namespace vetcert
