// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dictionary.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vetcert {

class SettingsFile;

/// How the value of a query item is typed: a whole number, a date dd.mm.yyyy or a text.
enum class QbeKind { Integer, Date, Text };

/// One item a query window offers over its list: the expression it compares, its title and how
/// its value is typed (`width`: digits of a number, characters of a text).
struct QbeItem
{
    QString expression;
    QString title;
    QbeKind kind = QbeKind::Text;
    int width = 0;
};

/// The comparisons, in the order the window offers them.
enum class QbeComparison { Equal, NotEqual, Greater, Less, NotLess, NotGreater, Contains, BeginsWith };

/// "равно", "не равно", "больше", "меньше", "не меньше", "не больше", "содержит", "начинается с".
QString comparisonTitle(QbeComparison c);
QStringList comparisonTitles();

/// One condition: an item (index in the items), a comparison and the value as typed.
struct QbeCondition
{
    int item = 0;
    QbeComparison comparison = QbeComparison::Equal;
    QString value;
    friend bool operator==(const QbeCondition&, const QbeCondition&) = default;
};

/// A query by example over a list: conditions on the list's items, joined with AND into a filter
/// expression. Typed values are checked in the item's format and written as literals (texts in
/// quotes with quotes doubled), so nothing typed can change the structure of the expression.
class QueryByExample
{
public:
    QueryByExample(const FileDef& file, std::vector<QbeItem> items);

    const std::vector<QbeItem>& items() const { return m_items; }
    std::vector<QbeCondition>& conditions() { return m_conditions; }
    const std::vector<QbeCondition>& conditions() const { return m_conditions; }

    /// The filter expression; empty when there is no condition (every record). Nothing, with the
    /// reason in `error`, when a value cannot be taken.
    std::optional<QString> filter(QString* error) const;
    /// The expression of one condition.
    static std::optional<QString> condition(const QbeItem& item, QbeComparison comparison, const QString& value,
                                            QString* error);

    /// The named queries kept in `section` of the settings file, sorted.
    static QStringList savedNames(const SettingsFile& settings, const QString& section);
    /// Keeps the conditions under a name (replacing a query of that name). False for a blank name.
    bool save(SettingsFile& settings, const QString& section, const QString& name) const;
    /// Takes the conditions kept under a name; false when there is none (the conditions stay).
    bool load(const SettingsFile& settings, const QString& section, const QString& name);
    static void remove(SettingsFile& settings, const QString& section, const QString& name);

private:
    const FileDef* m_file;
    std::vector<QbeItem> m_items;
    std::vector<QbeCondition> m_conditions;
};

} // namespace vetcert
