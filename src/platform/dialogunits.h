// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace vetcert {

/// Turns dialog units into pixels for a window's font: 4 horizontal units to the font's average
/// character width, 8 vertical units to its character height. Every window places its controls
/// with it, at the positions and sizes the layouts give in dialog units.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont& font);

    int x(int units) const;
    int y(int units) const;
    QSize size(int w, int h) const { return {x(w), y(h)}; }
    QRect rect(int left, int top, int w, int h) const { return {x(left), y(top), x(w), y(h)}; }

    double averageCharWidth() const { return m_charWidth; }
    int charHeight() const { return m_charHeight; }

private:
    double m_charWidth;
    int m_charHeight;
};

} // namespace vetcert
