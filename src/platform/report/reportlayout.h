// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace vetcert {

/// Lengths of a layout in tenths of a millimetre, so that positions are exact.
using Tenths = qint32;
constexpr double toMm(Tenths t)
{
    return t / 10.0;
}

/// A rectangle in tenths of a millimetre.
struct TenthsRect
{
    Tenths x = 0, y = 0, w = 0, h = 0;
    bool operator==(const TenthsRect&) const = default;
};

/// A font as layouts and the print settings store it.
struct ReportFont
{
    QString face = QStringLiteral("Arial CYR");
    double points = 9;
    qint32 color = 0;   // 0 or positive: RGB with red in the low byte; negative: a system colour (black)
    qint32 style = 400; // weight + 4096 italic + 8192 underline + 16384 strikeout
    int charset = 204;  // kept for the record; Unicode text needs no character set to print

    QFont toQFont() const;
    bool operator==(const ReportFont&) const = default;
};

/// How a value is turned into the text a control prints.
struct DisplayFormat
{
    enum class Kind { Text, Date, Integer, TwoDigits };
    Kind kind = Kind::Text;
    int width = 0; // characters of a text, digits of an integer

    static DisplayFormat text(int characters) { return {Kind::Text, characters}; }
    static DisplayFormat date() { return {Kind::Date, 10}; }
    static DisplayFormat integer(int digits) { return {Kind::Integer, digits}; }
    static DisplayFormat twoDigits() { return {Kind::TwoDigits, 2}; }

    /// The printed text: a text cut to its width without trailing blanks; a date (a day number) as
    /// dd.mm.yyyy, nothing for 0; an integer right-aligned in its digits without grouping, nothing
    /// for 0; two digits zero-padded.
    QString apply(const QVariant& value) const;
    /// The longest output, which a box sized to the format is as wide as.
    QString widest() const;
};

enum class ReportAlign { Left, Center, Right, Decimal, RightInset };

/// One thing a band prints. X and Y are the top-left corner of the box within the band.
struct ReportControl
{
    enum class Kind { Text, FixedText, Frame, HLine };
    Kind kind = Kind::Text;
    QString name;   // use name, by which a band's callback finds the control
    QString source; // Text: the field, value or count shown; FixedText: the text itself
    DisplayFormat format;
    TenthsRect box;
    bool sizedToFormat = false; // width from the format's longest output in the font
    ReportFont font;
    ReportAlign align = ReportAlign::Left;
    Tenths lineWidth = 2; // frames and lines

    /// A value shown through a format; the control's name is the source's name.
    static ReportControl text(const QString& source, DisplayFormat format, TenthsRect box, ReportFont font,
                              ReportAlign align = ReportAlign::Left);
    static ReportControl fixed(const QString& text, TenthsRect box, ReportFont font,
                               ReportAlign align = ReportAlign::Left);
    static ReportControl frame(TenthsRect box);
    static ReportControl hline(Tenths x, Tenths y, Tenths length);

    /// The control sized to its format: as wide as the longest output, one line high.
    ReportControl& sized()
    {
        sizedToFormat = true;
        return *this;
    }
    ReportControl& named(const QString& n)
    {
        name = n;
        return *this;
    }
};

class ReportLayout;
class ReportRow;
struct ReportBand;

/// What a band's callback may change before the band prints: its controls and the report area.
struct BandPrinting
{
    ReportBand& band;
    ReportLayout& layout;
    const ReportRow& row;
};

/// A band: a strip of controls printed as a whole.
struct ReportBand
{
    Tenths height = 0;
    std::vector<ReportControl> controls;
    /// Called on the reading thread each time before the band prints.
    std::function<void(BandPrinting&)> beforePrint;

    ReportControl* control(QStringView name);
    ReportBand& add(ReportControl c)
    {
        controls.push_back(std::move(c));
        return *this;
    }
};

/// A report total: the number of details printed, in the whole run or since the last group footer.
struct ReportCount
{
    QString name;
    bool resetAfterGroup = false;
};

/// A banded report on a sheet. The page header and the body area are placed within the report
/// area, whose origin on the sheet may move at run time (every control moves with it).
class ReportLayout
{
public:
    QString title;            // the print job's name
    Tenths paperWidth = 2100; // A4 portrait
    Tenths paperHeight = 2970;
    TenthsRect area{0, 0, 2100, 2970};

    std::optional<ReportBand> pageHeader;
    Tenths pageHeaderX = 0, pageHeaderY = 0; // within the area
    TenthsRect body{0, 0, 2100, 2970};       // within the area

    /// One level of groups: a new group starts whenever the value named `groupOn` changes.
    QString groupOn;
    std::optional<ReportBand> groupHeader;
    std::optional<ReportBand> groupFooter;
    ReportBand detail;

    std::vector<ReportCount> counts;
    /// Values of the run that controls may show by name (a period, a filter text).
    QHash<QString, QVariant> values;

    /// The names the layout's text controls and its group show, to check against a source.
    QStringList sourceNames() const;
};

} // namespace vetcert
