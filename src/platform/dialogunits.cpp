// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialogunits.h"

#include <QFontMetricsF>
#include <cmath>

using namespace Qt::StringLiterals;

namespace vetcert {

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetricsF fm(font);
    // The average width of the Latin letters, as dialog units are defined, rather than the font's
    // own figure, which differs between platforms.
    const QString letters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"_s;
    m_charWidth = fm.horizontalAdvance(letters) / letters.size();
    m_charHeight = static_cast<int>(std::ceil(fm.height()));
}

int DialogUnits::x(int units) const { return static_cast<int>(std::lround(units * m_charWidth / 4.0)); }

int DialogUnits::y(int units) const { return static_cast<int>(std::lround(units * m_charHeight / 8.0)); }

} // namespace vetcert
