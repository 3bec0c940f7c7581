// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/exprsql.h"

#include "data/sqlite.h"
#include "data/storeschema.h"
#include "platform/fuzzymatcher.h"

#include <charconv>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

using namespace Qt::StringLiterals;

namespace vetcert::expr {

// ---------------------------------------------------------------------------------------------
// SQL functions: the same rules as Expression::evaluate, on SQLite's UTF-8 values.

namespace {

// A value as text, the way `&` joins it: numbers as plain digits.
std::string_view textOf(sqlite3_value* v, std::string& scratch)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(sqlite3_value_int64(v)));
        scratch.assign(buf, r.ptr);
        return scratch;
    }
    case SQLITE_FLOAT:
        scratch = numberText(sqlite3_value_double(v)).toStdString();
        return scratch;
    default: {
        const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
        return t ? std::string_view(t, static_cast<size_t>(sqlite3_value_bytes(v))) : std::string_view();
    }
    }
}

bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

std::string_view rtrim(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

void sqlUpper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray out = upperText(QString::fromUtf8(t, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(ctx, out.constData(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void sqlConcat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string out, scratch;
    for (int i = 0; i < argc; ++i)
        out += textOf(argv[i], scratch);
    sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void sqlContains(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string s1, s2;
    const std::string_view hay = textOf(argv[0], s1);
    const std::string_view needle = rtrim(textOf(argv[1], s2));
    // UTF-8 is self-synchronising: a byte match is a character match.
    sqlite3_result_int(ctx, hay.find(needle) != std::string_view::npos ? 1 : 0);
}

void sqlBeginsWith(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string s1, s2;
    const std::string_view hay = textOf(argv[0], s1);
    const std::string_view needle = rtrim(textOf(argv[1], s2));
    sqlite3_result_int(ctx, hay.substr(0, needle.size()) == needle ? 1 : 0);
}

void deleteMatcher(void* p)
{
    delete static_cast<FuzzyMatcher*>(p);
}

void sqlFuzzyMatch(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    // The query is the same for every row of a pass: SQLite keeps the prepared matcher with it.
    auto* m = static_cast<FuzzyMatcher*>(sqlite3_get_auxdata(ctx, 0));
    if (!m) {
        std::string scratch;
        const std::string_view q = textOf(argv[0], scratch);
        m = new FuzzyMatcher(QString::fromUtf8(q.data(), static_cast<qsizetype>(q.size())));
        sqlite3_set_auxdata(ctx, 0, m, deleteMatcher);
        m = static_cast<FuzzyMatcher*>(sqlite3_get_auxdata(ctx, 0));
        if (!m) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
    }
    std::string scratch;
    const std::string_view t = textOf(argv[1], scratch);
    sqlite3_result_int(ctx, m->scoreUtf8(t.data(), static_cast<qsizetype>(t.size())));
}

} // namespace

bool registerSqlFunctions(sqlite3* db)
{
    // A statement naming an unknown function does not prepare: that tells whether they are there.
    sqlite3_stmt* probe = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT FuzzyMatch('', ''), vetcert_cat(1)", -1, &probe, nullptr) == SQLITE_OK) {
        sqlite3_finalize(probe);
        return true;
    }
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct Fn
    {
        const char* name;
        int args;
        int flags;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    };
    // FuzzyMatch depends on the program's matcher options as well as on its arguments.
    const Fn fns[] = {{"vetcert_upper", 1, det, sqlUpper},
                      {"vetcert_cat", -1, det, sqlConcat},
                      {"vetcert_contains", 2, det, sqlContains},
                      {"vetcert_beginswith", 2, det, sqlBeginsWith},
                      {"FuzzyMatch", 2, SQLITE_UTF8 | SQLITE_INNOCUOUS, sqlFuzzyMatch}};
    for (const Fn& f : fns)
        if (sqlite3_create_function_v2(db, f.name, f.args, f.flags, nullptr, f.fn, nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            return false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Translation

QString SqlBuilder::param(const Value& v)
{
    m_params.push_back({v, {}, false});
    return u'?' + QString::number(m_params.size());
}

QString SqlBuilder::blobParam(const QByteArray& bytes)
{
    m_params.push_back({{}, bytes, true});
    return u'?' + QString::number(m_params.size());
}

void SqlBuilder::bind(sqlite3_stmt* stmt) const
{
    for (size_t i = 0; i < m_params.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        if (m_params[i].isBlob) {
            const QByteArray& b = m_params[i].blob;
            sqlite3_bind_blob(stmt, n, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
            continue;
        }
        const Value& v = m_params[i].value;
        switch (v.kind) {
        case Value::Kind::Null:
            sqlite3_bind_null(stmt, n);
            break;
        case Value::Kind::Int:
            sqlite3_bind_int64(stmt, n, v.i);
            break;
        case Value::Kind::Real:
            sqlite3_bind_double(stmt, n, v.r);
            break;
        case Value::Kind::Text: {
            const QByteArray u = v.s.toUtf8();
            sqlite3_bind_text(stmt, n, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
}

namespace {

// Operands are at most 100 to a call: SQLite allows 127 arguments to a function.
constexpr size_t kMaxConcatArgs = 100;

const char16_t* comparisonSql(Op op)
{
    switch (op) {
    case Op::Eq:
        return u" = ";
    case Op::Ne:
        return u" <> ";
    case Op::Lt:
        return u" < ";
    case Op::Le:
        return u" <= ";
    case Op::Gt:
        return u" > ";
    default:
        return u" >= ";
    }
}

} // namespace

QString SqlBuilder::translate(const Node& n)
{
    auto p = [this](const Node& a) { return u'(' + translate(a) + u')'; };
    switch (n.op) {
    case Op::Literal:
        return param(n.literal);
    case Op::Variable:
        return param(m_vars.value(n.index));
    case Op::Field: {
        const FieldDef& f = m_file->field(n.index);
        const QString col = sql::ident(f.column());
        if (f.type == FieldType::Decimal && f.places > 0)
            return u'(' + col + u" / "_s + QString::number(Decimal::pow10(f.places)) + u".0)"_s;
        return col;
    }
    case Op::Neg:
        return u"(0 - "_s + p(n.arg(0)) + u')';
    case Op::Not:
        return u"(NOT "_s + p(n.arg(0)) + u')';
    case Op::Add:
        return u'(' + p(n.arg(0)) + u" + "_s + p(n.arg(1)) + u')';
    case Op::Sub:
        return u'(' + p(n.arg(0)) + u" - "_s + p(n.arg(1)) + u')';
    case Op::Mul:
        return u'(' + p(n.arg(0)) + u" * "_s + p(n.arg(1)) + u')';
    case Op::Div:
        // Always a fraction: SQLite would divide two whole numbers without one.
        return u"(CAST("_s + p(n.arg(0)) + u" AS REAL) / "_s + p(n.arg(1)) + u')';
    case Op::Concat: {
        // SQL functions take a bounded number of arguments: join in groups, and the groups again.
        QStringList parts;
        for (const auto& a : n.args)
            parts << translate(*a);
        do {
            QStringList grouped;
            for (qsizetype i = 0; i < parts.size(); i += static_cast<qsizetype>(kMaxConcatArgs))
                grouped << u"vetcert_cat("_s + parts.mid(i, static_cast<qsizetype>(kMaxConcatArgs)).join(u", "_s) + u')';
            parts = std::move(grouped);
        } while (parts.size() > 1);
        return parts.front();
    }
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Le:
    case Op::Gt:
    case Op::Ge: {
        const bool text = n.arg(0).type == Type::Text;
        // Texts compare with trailing blanks ignored: the RTRIM collation of SQLite.
        return u'(' + p(n.arg(0)) + QString::fromUtf16(comparisonSql(n.op)) + p(n.arg(1)) +
               (text ? u" COLLATE RTRIM)"_s : u")"_s);
    }
    case Op::And:
        return u'(' + p(n.arg(0)) + u" AND "_s + p(n.arg(1)) + u')';
    case Op::Or:
        return u'(' + p(n.arg(0)) + u" OR "_s + p(n.arg(1)) + u')';
    case Op::Upper:
        // UPPER of a number is that number.
        return n.arg(0).type == Type::Text ? u"vetcert_upper("_s + translate(n.arg(0)) + u')' : translate(n.arg(0));
    case Op::FuzzyMatch:
        return u"FuzzyMatch("_s + translate(n.arg(0)) + u", "_s + translate(n.arg(1)) + u')';
    case Op::Contains:
        return u"vetcert_contains("_s + translate(n.arg(0)) + u", "_s + translate(n.arg(1)) + u')';
    case Op::BeginsWith:
        return u"vetcert_beginswith("_s + translate(n.arg(0)) + u", "_s + translate(n.arg(1)) + u')';
    }
    return {};
}

QString SqlBuilder::condition(const Expression& filter)
{
    Q_ASSERT(&filter.file() == m_file);
    return u'(' + translate(filter.root()) + u')';
}

QString SqlBuilder::orderBy(const Order& order)
{
    QStringList terms;
    for (const OrderItem& item : order.items) {
        QString t = u'(' + translate(item.expr.root()) + u')';
        if (item.expr.type() == Type::Text)
            t += u" COLLATE RTRIM"_s;
        if (item.descending)
            t += u" DESC"_s;
        terms << t;
    }
    QString out;
    if (order.key >= 0)
        out = sql::ident(m_file->keys[static_cast<size_t>(order.key)].column()) + u", "_s;
    return out + (terms.isEmpty() ? QString() : terms.join(u", "_s) + u", "_s) + u"rowid"_s;
}

// ---------------------------------------------------------------------------------------------
// Use of keys

namespace {

// The field a side of a comparison reads, seen through UPPER; -1 when it is anything else.
int fieldUnder(const Node& n, bool* upper)
{
    const Node* x = &n;
    *upper = false;
    while (x->op == Op::Upper) {
        *upper = true;
        x = &x->arg(0);
    }
    return x->op == Op::Field ? x->index : -1;
}

void conjuncts(const Node& n, std::vector<const Node*>* out)
{
    if (n.op == Op::And) {
        conjuncts(n.arg(0), out);
        conjuncts(n.arg(1), out);
    } else {
        out->push_back(&n);
    }
}

Op mirrored(Op op)
{
    switch (op) {
    case Op::Lt:
        return Op::Gt;
    case Op::Le:
        return Op::Ge;
    case Op::Gt:
        return Op::Lt;
    case Op::Ge:
        return Op::Le;
    default:
        return op;
    }
}

// The smallest key above every key that starts with `prefix`; empty when there is none.
QByteArray prefixEnd(QByteArray prefix)
{
    while (!prefix.isEmpty()) {
        const auto last = static_cast<unsigned char>(prefix.back());
        if (last < 0xFF) {
            prefix.back() = static_cast<char>(last + 1);
            return prefix;
        }
        prefix.chop(1);
    }
    return {};
}

struct KeyTerm
{
    Op op; // Eq, Lt, Le, Gt, Ge, or BeginsWith
    Value value;
    QByteArray folded; // of a text key
};

} // namespace

QStringList SqlBuilder::keyConditions(const Expression& filter)
{
    Q_ASSERT(&filter.file() == m_file);
    const FileDef& def = *m_file;
    auto keyOf = [&def](int field) -> const KeyDef* {
        for (const KeyDef& k : def.keys)
            if (k.field == field)
                return &k;
        return nullptr;
    };

    std::vector<const Node*> terms;
    conjuncts(filter.root(), &terms);
    std::map<int, std::vector<KeyTerm>> byField;
    std::map<int, bool> blankRuledOut;
    for (const Node* t : terms) {
        const bool isCompare =
            t->op == Op::Eq || t->op == Op::Lt || t->op == Op::Le || t->op == Op::Gt || t->op == Op::Ge;
        if (!isCompare && t->op != Op::BeginsWith)
            continue;
        for (int side = 0; side < 2; ++side) {
            if (t->op == Op::BeginsWith && side == 1)
                break;
            bool upper = false;
            const int f = fieldUnder(t->arg(static_cast<size_t>(side)), &upper);
            if (f < 0 || !keyOf(f))
                continue;
            const std::optional<Value> c = Expression::constantValue(t->arg(static_cast<size_t>(1 - side)), m_vars);
            if (!c || c->isNull())
                continue;
            const FieldDef& fd = def.field(f);
            const Op op = side == 0 ? t->op : mirrored(t->op);
            if (fd.type == FieldType::Text) {
                // Upper case then Ё as Е is the key's folding, so equality and beginnings carry over.
                if (op != Op::Eq && op != Op::BeginsWith)
                    continue;
                const QByteArray folded = schema::foldKey(c->toText());
                if (folded.isEmpty())
                    continue;
                byField[f].push_back({op, *c, folded});
                blankRuledOut[f] = true;
                continue;
            }
            if ((fd.type == FieldType::Decimal && fd.places > 0) || !c->isNumber())
                continue;
            // The key holds the field's value except for a blank (zero) one, which it leaves out.
            const int sign = compareValues(*c, Value::integer(0));
            const bool rulesOutZero = (op == Op::Eq && sign != 0) || (op == Op::Gt && sign >= 0) ||
                                      (op == Op::Ge && sign > 0) || (op == Op::Lt && sign <= 0) ||
                                      (op == Op::Le && sign < 0);
            byField[f].push_back({op, *c, {}});
            if (rulesOutZero)
                blankRuledOut[f] = true;
        }
    }

    QStringList out;
    for (const auto& [field, list] : byField) {
        if (!blankRuledOut[field])
            continue;
        const QString col = sql::ident(keyOf(field)->column());
        const bool text = def.field(field).type == FieldType::Text;
        for (const KeyTerm& k : list) {
            if (text) {
                if (k.op == Op::Eq) {
                    out << col + u" = "_s + blobParam(k.folded);
                } else {
                    out << col + u" >= "_s + blobParam(k.folded);
                    const QByteArray end = prefixEnd(k.folded);
                    if (!end.isEmpty())
                        out << col + u" < "_s + blobParam(end);
                }
                continue;
            }
            // "Begins with" on a number bounds no range of the key (-5 begins -50 and -5).
            if (k.op == Op::BeginsWith)
                continue;
            out << col + QString::fromUtf16(comparisonSql(k.op)) + param(k.value);
        }
    }
    return out;
}

} // namespace vetcert::expr
