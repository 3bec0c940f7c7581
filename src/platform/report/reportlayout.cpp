// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report/reportlayout.h"

#include "core/formats.h"
#include "platform/fonts.h"

namespace vetcert {

QFont ReportFont::toQFont() const
{
    QFont f = fontFromStored(face, points, style);
    // Metrics stay those of the font's design at every size, so widths scale exactly from the
    // layout to a device of any resolution.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

QString DisplayFormat::apply(const QVariant& value) const
{
    switch (kind) {
    case Kind::Text: {
        QString s = value.toString();
        if (width > 0 && s.size() > width)
            s.truncate(width);
        qsizetype end = s.size();
        while (end > 0 && s[end - 1] == u' ')
            --end;
        s.truncate(end);
        return s;
    }
    case Kind::Date:
        return format::date(Date(value.toInt()));
    case Kind::Integer:
        return format::integer(value.toLongLong(), width);
    case Kind::TwoDigits:
        return format::twoDigits(value.toLongLong());
    }
    return {};
}

QString DisplayFormat::widest() const
{
    switch (kind) {
    case Kind::Text:
        return QString(width, u'W');
    case Kind::Date:
        return QStringLiteral("00.00.0000");
    case Kind::Integer:
        return QString(width, u'0');
    case Kind::TwoDigits:
        return QStringLiteral("00");
    }
    return {};
}

ReportControl ReportControl::text(const QString& source, DisplayFormat format, TenthsRect box, ReportFont font,
                                  ReportAlign align)
{
    ReportControl c;
    c.kind = Kind::Text;
    c.name = source;
    c.source = source;
    c.format = format;
    c.box = box;
    c.font = std::move(font);
    c.align = align;
    return c;
}

ReportControl ReportControl::fixed(const QString& text, TenthsRect box, ReportFont font, ReportAlign align)
{
    ReportControl c;
    c.kind = Kind::FixedText;
    c.source = text;
    c.box = box;
    c.font = std::move(font);
    c.align = align;
    return c;
}

ReportControl ReportControl::frame(TenthsRect box)
{
    ReportControl c;
    c.kind = Kind::Frame;
    c.box = box;
    return c;
}

ReportControl ReportControl::hline(Tenths x, Tenths y, Tenths length)
{
    ReportControl c;
    c.kind = Kind::HLine;
    c.box = {x, y, length, 0};
    return c;
}

ReportControl* ReportBand::control(QStringView name)
{
    for (ReportControl& c : controls)
        if (c.name == name)
            return &c;
    return nullptr;
}

QStringList ReportLayout::sourceNames() const
{
    QStringList names;
    auto collect = [&names](const ReportBand* band) {
        if (!band)
            return;
        for (const ReportControl& c : band->controls)
            if (c.kind == ReportControl::Kind::Text && !names.contains(c.source, Qt::CaseInsensitive))
                names << c.source;
    };
    collect(pageHeader ? &*pageHeader : nullptr);
    collect(groupHeader ? &*groupHeader : nullptr);
    collect(groupFooter ? &*groupFooter : nullptr);
    collect(&detail);
    if (!groupOn.isEmpty() && !names.contains(groupOn, Qt::CaseInsensitive))
        names << groupOn;
    return names;
}

} // namespace vetcert
