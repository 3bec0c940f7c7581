// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"

namespace vetcert {

void installFontSubstitutions()
{
    const QStringList targets{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
    for (const QString& face : {QStringLiteral("Arial CYR"), QStringLiteral("Arial Cyr")})
        QFont::insertSubstitutions(face, targets);
}

QColor colorFromStored(qint32 stored)
{
    if (stored < 0)
        return QColor(Qt::black);
    return QColor(stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF);
}

QFont fontFromStored(const QString& face, double points, qint32 style)
{
    QFont f(face);
    f.setPointSizeF(points > 0 ? points : 9);
    const int weight = style & FontStyleBits::kWeightMask;
    // Stored weights are 100 … 900, as are QFont::Weight values.
    f.setWeight(weight > 0 ? static_cast<QFont::Weight>(std::clamp(weight, 100, 900)) : QFont::Normal);
    f.setItalic(style & FontStyleBits::kItalic);
    f.setUnderline(style & FontStyleBits::kUnderline);
    f.setStrikeOut(style & FontStyleBits::kStrikeOut);
    return f;
}

} // namespace vetcert
