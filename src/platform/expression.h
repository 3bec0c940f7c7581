// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The filter and order expressions of the program: readable by the operator, printed in report
// headers, parsed into a tree that is either translated into SQL (exprsql.h) or evaluated on a
// record buffer here.
//
//   FR3:NFORM, fr3:datav        fields of the file read, with prefix, letter case ignored
//   d1, nform, FuzzyQuery4      program values made known by name (Variables)
//   12, 12.5, 'текст', 'it''s'  numbers and strings (a quote inside a string is doubled)
//   = <> < <= > >=  AND OR NOT  + - * /  &  ( )
//   UPPER(x) FuzzyMatch(q, t) CONTAINS(t, part) BEGINSWITH(t, start)
//
// Dates are day numbers. Text compares with trailing blanks ignored, letter case significant,
// character by character in Unicode order. `&` joins texts; a number joins as its plain digits.
// UPPER of a number is that number. Division always gives a fraction; by zero it gives "no value",
// which no comparison accepts.

#include "data/record.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace vetcert::expr {

/// What an expression yields: a whole number, a number with a fraction, or a text.
enum class Type { Int, Real, Text };

/// A computed value: "no value" (only from a division by zero), a whole number, a real or a text.
struct Value
{
    enum class Kind { Null, Int, Real, Text };
    Kind kind = Kind::Null;
    qint64 i = 0;
    double r = 0;
    QString s;

    static Value null() { return {}; }
    static Value integer(qint64 v) { return {Kind::Int, v, 0, {}}; }
    static Value real(double v); // a NaN becomes "no value", as in SQLite
    static Value text(QString v) { return {Kind::Text, 0, 0, std::move(v)}; }

    bool isNull() const { return kind == Kind::Null; }
    bool isNumber() const { return kind == Kind::Int || kind == Kind::Real; }
    /// True for a number other than zero.
    bool isTrue() const;
    /// The value as `&` joins it: texts as they are, numbers as plain digits.
    QString toText() const;
    friend bool operator==(const Value& a, const Value& b);
};

/// Plain digits of a number: "-12", "12.5", "100" (never an exponent or grouping).
QString numberText(double v);

/// The sort order of values: "no value" first, then numbers, then texts (trailing blanks ignored).
int compareValues(const Value& a, const Value& b);
/// Text comparison of expressions: trailing blanks ignored, then Unicode order.
int compareText(QStringView a, QStringView b);
/// Windows-1251 upper case of a text, ё to Ё; characters outside the code page are kept.
QString upperText(QStringView s);

/// A failure to parse, with the position (1 = the first character) and what was wrong, in Russian.
struct ParseError
{
    int position = 0;
    QString message;
    /// "позиция 7: ожидалась «)»"
    QString toString() const;
};

/// Program values known to expressions by name. A value's type is fixed by its first setting.
class Variables
{
public:
    void setInt(const QString& name, qint64 value);
    void setReal(const QString& name, double value);
    void setText(const QString& name, const QString& value);

    /// Index of a value by name, letter case ignored; -1 when unknown.
    int indexOf(QStringView name) const;
    int count() const { return static_cast<int>(m_vars.size()); }
    const QString& name(int i) const { return m_vars[static_cast<size_t>(i)].name; }
    Type type(int i) const { return m_vars[static_cast<size_t>(i)].type; }
    const Value& value(int i) const { return m_vars[static_cast<size_t>(i)].value; }

private:
    struct Var
    {
        QString name;
        Type type;
        Value value;
    };
    void set(const QString& name, Type type, Value value);
    std::vector<Var> m_vars;
};

enum class Op {
    Literal,
    Field,
    Variable,
    Neg,
    Not,
    Add,
    Sub,
    Mul,
    Div,
    Concat, // any number of operands
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    And,
    Or,
    Upper,
    FuzzyMatch,
    Contains,
    BeginsWith,
};

/// A node of the tree. `type` is known after parsing: the tree is checked before it is used.
struct Node
{
    Op op = Op::Literal;
    Type type = Type::Int;
    int position = 0; ///< where the node's text starts (1-based)
    Value literal;    ///< Literal
    int index = -1;   ///< Field: index in the file; Variable: index in the Variables
    int depth = 1;    ///< levels of the subtree, this node included
    std::vector<std::unique_ptr<Node>> args;

    const Node& arg(size_t i) const { return *args[i]; }
};

/// Deepest nesting an expression may have; deeper ones are refused while parsing.
inline constexpr int kMaxDepth = 200;

/// A parsed expression over the fields of one file and a set of program values.
class Expression
{
public:
    enum class Kind { Value, Condition };

    /// Parses `text`; a Condition must yield a number (true when not zero). Names are looked up in
    /// `vars` first, then among the fields of `file` (which need their prefix).
    static std::optional<Expression> parse(QStringView text, const FileDef& file, const Variables& vars, Kind kind,
                                           ParseError* error);

    const Node& root() const { return *m_root; }
    const FileDef& file() const { return *m_file; }
    Type type() const { return m_root->type; }
    const QString& text() const { return m_text; }

    /// The value for a record, with the program values as they are now.
    Value evaluate(const RecordRef& rec, const Variables& vars) const;
    /// True when the value is a number other than zero.
    bool test(const RecordRef& rec, const Variables& vars) const { return evaluate(rec, vars).isTrue(); }

    /// The value of a node that uses no field (nothing when it does).
    static std::optional<Value> constantValue(const Node& node, const Variables& vars);
    static Value evaluateNode(const Node& node, const RecordRef* rec, const Variables& vars);

private:
    friend struct Order;
    std::shared_ptr<const Node> m_root; // shared: an expression is cheap to copy and never changes
    const FileDef* m_file = nullptr;
    QString m_text;
};

/// One item of an order: an expression, ascending or descending.
struct OrderItem
{
    Expression expr;
    bool descending = false;
};

/// An order: an optional key of the file first, then items "+FR3:datav,-FR3:Nform" (a leading
/// `+` or `-` is the direction, ascending when absent). Equal records keep their stored order.
struct Order
{
    int key = -1; ///< index of a key of the file, -1 for none
    std::vector<OrderItem> items;

    bool isEmpty() const { return key < 0 && items.empty(); }

    /// Parses an order text. When `allowKey`, the first item may name a key of the file ("FR3:K4").
    static std::optional<Order> parse(QStringView text, const FileDef& file, const Variables& vars, bool allowKey,
                                      ParseError* error);
    /// Compares two records by the items (not the key): negative when `a` comes first.
    int compare(const RecordRef& a, const RecordRef& b, const Variables& vars) const;
};

} // namespace vetcert::expr
