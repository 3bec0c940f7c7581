// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace vetcert {

/// Maps the face names the layouts use ("Arial CYR", "Arial Cyr") to Arial, then Liberation Sans,
/// its metric twin on Linux. Called once at start-up, before any text is laid out.
void installFontSubstitutions();

/// A stored colour: 0 or positive is RGB with red in the low byte; negative is a system colour,
/// which prints black.
QColor colorFromStored(qint32 stored);

/// Style bits of a stored font: weight in the low 11 bits, plus 4096 italic, 8192 underline, 16384 strikeout.
struct FontStyleBits
{
    static constexpr int kItalic = 4096;
    static constexpr int kUnderline = 8192;
    static constexpr int kStrikeOut = 16384;
    static constexpr int kWeightMask = 0x7FF;
};

/// A font from its stored face, size in points and style.
QFont fontFromStored(const QString& face, double points, qint32 style);

} // namespace vetcert
