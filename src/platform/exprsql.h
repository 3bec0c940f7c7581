// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Translation of expressions into SQL for the record store. Column names come from the
// dictionary; every value, typed by the operator or held by the program, is a bound parameter,
// so the text of an expression never becomes SQL text.

#include "platform/expression.h"

#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

namespace vetcert::expr {

/// Registers on a connection the SQL functions that translated expressions call (FuzzyMatch and
/// the vetcert_* helpers). Does nothing when they are there already; false when SQLite refuses.
bool registerSqlFunctions(sqlite3* db);

/// Builds the SQL of filters and orders over one table, collecting the parameters as it goes.
class SqlBuilder
{
public:
    /// Expressions over `file`; `vars` gives the program values bound as parameters (read now,
    /// not when the SQL runs).
    SqlBuilder(const FileDef& file, const Variables& vars) : m_vars(vars), m_file(&file) {}

    /// The filter as an SQL condition (a record passes when it is true).
    QString condition(const Expression& filter);
    /// Conditions implied by the filter that let SQLite use a key: for a field that is the
    /// component of a key, once the filter rules out the field's blank value (say FR3:DATAV >= d1
    /// with d1 > 0), every comparison on the field is restated on the key column. Empty when the
    /// filter allows no such thing with the program values as they are now.
    QStringList keyConditions(const Expression& filter);
    /// ORDER BY terms: the key (if any), the items, then rowid so that equal records keep their stored order.
    QString orderBy(const Order& order);

    /// The SQL of one expression.
    QString translate(const Node& node);
    /// Adds a parameter and returns its placeholder ("?3").
    QString param(const Value& v);
    QString blobParam(const QByteArray& bytes);

    int paramCount() const { return static_cast<int>(m_params.size()); }
    /// Binds the collected parameters to a statement prepared from the built SQL.
    void bind(sqlite3_stmt* stmt) const;

private:
    const Variables& m_vars;
    const FileDef* m_file = nullptr;
    struct Param
    {
        Value value;
        QByteArray blob;
        bool isBlob = false;
    };
    std::vector<Param> m_params;
};

} // namespace vetcert::expr
