// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/querybyexample.h"

#include "core/cp1251.h"
#include "core/date.h"
#include "platform/expression.h"
#include "platform/settingsfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {

const char16_t* const kComparisonTitles[] = {u"равно",     u"не равно",  u"больше",   u"меньше",
                                             u"не меньше", u"не больше", u"содержит", u"начинается с"};

// A text as a string literal of the expression language: in quotes, a quote inside doubled.
QString quoted(const QString& s)
{
    QString out = s;
    out.replace(u'\'', u"''"_s);
    return u'\'' + out + u'\'';
}

QJsonObject readAll(const SettingsFile& settings, const QString& section)
{
    const QByteArray json = settings.value(section, inikey::SavedQueries).toString().toUtf8();
    return QJsonDocument::fromJson(json).object();
}

void writeAll(SettingsFile& settings, const QString& section, const QJsonObject& all)
{
    if (all.isEmpty())
        settings.remove(section, inikey::SavedQueries);
    else
        settings.setValue(section, inikey::SavedQueries,
                          QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)));
    settings.sync();
}

} // namespace

QString comparisonTitle(QbeComparison c)
{
    return QString::fromUtf16(kComparisonTitles[static_cast<int>(c)]);
}

QStringList comparisonTitles()
{
    QStringList out;
    for (const char16_t* t : kComparisonTitles)
        out << QString::fromUtf16(t);
    return out;
}

QueryByExample::QueryByExample(const FileDef& file, std::vector<QbeItem> items)
    : m_file(&file), m_items(std::move(items))
{
}

std::optional<QString> QueryByExample::condition(const QbeItem& item, QbeComparison comparison, const QString& value,
                                                 QString* error)
{
    QString literal;
    const QString v = value.trimmed();
    switch (item.kind) {
    case QbeKind::Integer: {
        bool ok = v.isEmpty();
        qint64 n = 0;
        const qsizetype digits = v.startsWith(u'-') ? v.size() - 1 : v.size();
        if (!v.isEmpty() && digits > 0 && (item.width <= 0 || digits <= item.width)) {
            ok = true;
            for (qsizetype i = v.startsWith(u'-') ? 1 : 0; i < v.size(); ++i)
                ok = ok && v[i] >= u'0' && v[i] <= u'9';
            if (ok)
                n = v.toLongLong(&ok);
        }
        if (!ok) {
            *error = u"«%1»: «%2» не целое число%3"_s.arg(
                item.title, value.left(40), item.width > 0 ? u" до %1 цифр"_s.arg(item.width) : QString());
            return std::nullopt;
        }
        literal = QString::number(n);
        if (n < 0)
            literal = u'(' + literal + u')';
        break;
    }
    case QbeKind::Date: {
        const std::optional<Date> d = Date::parse(v);
        if (!d) {
            *error = u"«%1»: «%2» не дата в виде дд.мм.гггг"_s.arg(item.title, value.left(40));
            return std::nullopt;
        }
        literal = QString::number(d->dayNumber());
        break;
    }
    case QbeKind::Text: {
        for (qsizetype i = 0; i < value.size(); ++i) {
            const char16_t c = value[i].unicode();
            if (c < 0x20 || c == 0x7F) {
                *error = u"«%1»: в значении управляющий символ (код %2, позиция %3)"_s.arg(item.title)
                             .arg(int(c))
                             .arg(i + 1);
                return std::nullopt;
            }
            if (cp1251::encodeChar(c) < 0) {
                *error = u"«%1»: символ «%2» (позиция %3) не может быть в данных"_s.arg(item.title, value.mid(i, 1))
                             .arg(i + 1);
                return std::nullopt;
            }
        }
        if (item.width > 0 && value.size() > item.width) {
            *error = u"«%1»: значение длиннее %2 символов"_s.arg(item.title).arg(item.width);
            return std::nullopt;
        }
        literal = quoted(value);
        // An item compared in upper case compares the typed value in upper case too.
        if (item.expression.trimmed().startsWith(u"UPPER(", Qt::CaseInsensitive))
            literal = u"UPPER("_s + literal + u')';
        break;
    }
    }
    const QString e = item.expression;
    switch (comparison) {
    case QbeComparison::Equal:
        return e + u" = "_s + literal;
    case QbeComparison::NotEqual:
        return e + u" <> "_s + literal;
    case QbeComparison::Greater:
        return e + u" > "_s + literal;
    case QbeComparison::Less:
        return e + u" < "_s + literal;
    case QbeComparison::NotLess:
        return e + u" >= "_s + literal;
    case QbeComparison::NotGreater:
        return e + u" <= "_s + literal;
    case QbeComparison::Contains:
        return u"CONTAINS("_s + e + u", "_s + literal + u')';
    case QbeComparison::BeginsWith:
        return u"BEGINSWITH("_s + e + u", "_s + literal + u')';
    }
    return std::nullopt;
}

std::optional<QString> QueryByExample::filter(QString* error) const
{
    QStringList parts;
    for (const QbeCondition& c : m_conditions) {
        if (c.item < 0 || c.item >= static_cast<int>(m_items.size())) {
            *error = u"условие без поля"_s;
            return std::nullopt;
        }
        const std::optional<QString> e = condition(m_items[static_cast<size_t>(c.item)], c.comparison, c.value, error);
        if (!e)
            return std::nullopt;
        parts << (m_conditions.size() > 1 ? u'(' + *e + u')' : *e);
    }
    const QString text = parts.join(u" AND "_s);
    if (text.isEmpty())
        return text;
    // The items are the program's own; a filter of them that does not parse is a fault of the program.
    expr::ParseError pe;
    expr::Variables none;
    if (!expr::Expression::parse(text, *m_file, none, expr::Expression::Kind::Condition, &pe)) {
        *error = u"условие не разобрано: "_s + pe.toString();
        return std::nullopt;
    }
    return text;
}

QStringList QueryByExample::savedNames(const SettingsFile& settings, const QString& section)
{
    QStringList names = readAll(settings, section).keys();
    names.sort(Qt::CaseInsensitive);
    return names;
}

bool QueryByExample::save(SettingsFile& settings, const QString& section, const QString& name) const
{
    if (name.trimmed().isEmpty())
        return false;
    QJsonArray conds;
    for (const QbeCondition& c : m_conditions) {
        if (c.item < 0 || c.item >= static_cast<int>(m_items.size()))
            continue;
        conds.append(QJsonObject{{u"item"_s, m_items[static_cast<size_t>(c.item)].title},
                                 {u"comparison"_s, comparisonTitle(c.comparison)},
                                 {u"value"_s, c.value}});
    }
    QJsonObject all = readAll(settings, section);
    all.insert(name.trimmed(), conds);
    writeAll(settings, section, all);
    return true;
}

bool QueryByExample::load(const SettingsFile& settings, const QString& section, const QString& name)
{
    const QJsonObject all = readAll(settings, section);
    if (!all.contains(name.trimmed()))
        return false;
    std::vector<QbeCondition> loaded;
    const QStringList titles = comparisonTitles();
    for (const QJsonValue& v : all.value(name.trimmed()).toArray()) {
        const QJsonObject o = v.toObject();
        QbeCondition c;
        c.item = -1;
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].title == o.value(u"item"_s).toString())
                c.item = static_cast<int>(i);
        const qsizetype cmp = titles.indexOf(o.value(u"comparison"_s).toString());
        if (c.item < 0 || cmp < 0)
            continue; // an item this list no longer offers
        c.comparison = static_cast<QbeComparison>(cmp);
        c.value = o.value(u"value"_s).toString();
        loaded.push_back(c);
    }
    m_conditions = std::move(loaded);
    return true;
}

void QueryByExample::remove(SettingsFile& settings, const QString& section, const QString& name)
{
    QJsonObject all = readAll(settings, section);
    all.remove(name.trimmed());
    writeAll(settings, section, all);
}

} // namespace vetcert
