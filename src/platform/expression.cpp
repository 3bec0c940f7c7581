// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/expression.h"

#include "core/cp1251.h"
#include "platform/fuzzymatcher.h"

#include <charconv>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace vetcert::expr {

// ---------------------------------------------------------------------------------------------
// Values

Value Value::real(double v)
{
    if (std::isnan(v))
        return null();
    return {Kind::Real, 0, v, {}};
}

bool Value::isTrue() const
{
    switch (kind) {
    case Kind::Int:
        return i != 0;
    case Kind::Real:
        return r != 0.0;
    default:
        return false;
    }
}

QString numberText(double v)
{
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (res.ec != std::errc())
        return QString::number(v, 'g', 17);
    return QString::fromLatin1(buf, res.ptr - buf);
}

QString Value::toText() const
{
    switch (kind) {
    case Kind::Int:
        return QString::number(i);
    case Kind::Real:
        return numberText(r);
    case Kind::Text:
        return s;
    case Kind::Null:
        break;
    }
    return {};
}

bool operator==(const Value& a, const Value& b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case Value::Kind::Null:
        return true;
    case Value::Kind::Int:
        return a.i == b.i;
    case Value::Kind::Real:
        return a.r == b.r;
    case Value::Kind::Text:
        return a.s == b.s;
    }
    return false;
}

namespace {

QStringView rtrim(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ')
        --n;
    return s.left(n);
}

// UTF-16 code units reordered so that they sort as the code points they belong to.
char16_t codePointOrder(char16_t c)
{
    if (c >= 0xD800 && c <= 0xDFFF)
        return static_cast<char16_t>(c + 0x2000);
    if (c >= 0xE000)
        return static_cast<char16_t>(c - 0x800);
    return c;
}

int compareNumbers(const Value& a, const Value& b)
{
    if (a.kind == Value::Kind::Int && b.kind == Value::Kind::Int)
        return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
    // long double holds every 64-bit integer and every double exactly, as SQLite compares them.
    const long double x = a.kind == Value::Kind::Int ? static_cast<long double>(a.i) : a.r;
    const long double y = b.kind == Value::Kind::Int ? static_cast<long double>(b.i) : b.r;
    return x < y ? -1 : (x > y ? 1 : 0);
}

double toDouble(const Value& v)
{
    return v.kind == Value::Kind::Int ? static_cast<double>(v.i) : v.r;
}

} // namespace

int compareText(QStringView a, QStringView b)
{
    a = rtrim(a);
    b = rtrim(b);
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            const char16_t x = codePointOrder(a[i].unicode());
            const char16_t y = codePointOrder(b[i].unicode());
            return x < y ? -1 : 1;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int compareValues(const Value& a, const Value& b)
{
    auto rank = [](const Value& v) { return v.isNull() ? 0 : (v.isNumber() ? 1 : 2); };
    const int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 0)
        return 0;
    if (ra == 1)
        return compareNumbers(a, b);
    return compareText(a.s, b.s);
}

QString upperText(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        const int e = cp1251::encodeChar(c.unicode());
        out.append(e < 0 ? c : QChar(cp1251::decodeChar(cp1251::upper(static_cast<unsigned char>(e)))));
    }
    return out;
}

QString ParseError::toString() const
{
    return u"позиция %1: %2"_s.arg(position).arg(message);
}

// ---------------------------------------------------------------------------------------------
// Program values

void Variables::set(const QString& name, Type type, Value value)
{
    const int i = indexOf(name);
    if (i < 0) {
        m_vars.push_back({name, type, std::move(value)});
        return;
    }
    Var& v = m_vars[static_cast<size_t>(i)];
    Q_ASSERT_X(v.type == type, "Variables", "a program value keeps its type");
    v.value = std::move(value);
}

void Variables::setInt(const QString& name, qint64 value)
{
    set(name, Type::Int, Value::integer(value));
}
void Variables::setReal(const QString& name, double value)
{
    set(name, Type::Real, Value::real(value));
}
void Variables::setText(const QString& name, const QString& value)
{
    set(name, Type::Text, Value::text(value));
}

int Variables::indexOf(QStringView name) const
{
    for (size_t i = 0; i < m_vars.size(); ++i)
        if (name.compare(m_vars[i].name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Tokens and parsing

namespace {

enum class Tok {
    End,
    Number,
    String,
    Name,
    LParen,
    RParen,
    Comma,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Plus,
    Minus,
    Star,
    Slash,
    Amp
};

struct Token
{
    Tok kind = Tok::End;
    int pos = 0;  // 1-based
    QString text; // Name: as written; String: the value
    Value number;
};

bool isNameStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}
bool isNamePart(QChar c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u':';
}
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

struct ParseFailure
{
    ParseError error;
};

[[noreturn]] void fail(int pos, const QString& message)
{
    throw ParseFailure{{pos, message}};
}

class Lexer
{
public:
    explicit Lexer(QStringView text) : m_text(text) {}

    Token next()
    {
        while (m_i < m_text.size() && m_text[m_i].isSpace())
            ++m_i;
        Token t;
        t.pos = static_cast<int>(m_i) + 1;
        if (m_i >= m_text.size())
            return t;
        const QChar c = m_text[m_i];
        if (isDigit(c))
            return number(t);
        if (c == u'\'')
            return string(t);
        if (isNameStart(c)) {
            const qsizetype start = m_i;
            while (m_i < m_text.size() && isNamePart(m_text[m_i]))
                ++m_i;
            t.kind = Tok::Name;
            t.text = m_text.mid(start, m_i - start).toString();
            return t;
        }
        ++m_i;
        const QChar n = m_i < m_text.size() ? m_text[m_i] : QChar();
        switch (c.unicode()) {
        case u'(':
            t.kind = Tok::LParen;
            break;
        case u')':
            t.kind = Tok::RParen;
            break;
        case u',':
            t.kind = Tok::Comma;
            break;
        case u'=':
            t.kind = Tok::Eq;
            break;
        case u'<':
            if (n == u'>' || n == u'=') {
                ++m_i;
                t.kind = n == u'>' ? Tok::Ne : Tok::Le;
            } else {
                t.kind = Tok::Lt;
            }
            break;
        case u'>':
            if (n == u'=') {
                ++m_i;
                t.kind = Tok::Ge;
            } else {
                t.kind = Tok::Gt;
            }
            break;
        case u'+':
            t.kind = Tok::Plus;
            break;
        case u'-':
            t.kind = Tok::Minus;
            break;
        case u'*':
            t.kind = Tok::Star;
            break;
        case u'/':
            t.kind = Tok::Slash;
            break;
        case u'&':
            t.kind = Tok::Amp;
            break;
        default:
            fail(t.pos, c.unicode() < 0x20 || c.unicode() == 0x7F
                            ? u"недопустимый управляющий символ (код %1)"_s.arg(c.unicode())
                            : u"непонятный символ «%1»"_s.arg(c));
        }
        return t;
    }

private:
    Token number(Token& t)
    {
        const qsizetype start = m_i;
        while (m_i < m_text.size() && isDigit(m_text[m_i]))
            ++m_i;
        bool fraction = false;
        if (m_i + 1 < m_text.size() && m_text[m_i] == u'.' && isDigit(m_text[m_i + 1])) {
            fraction = true;
            ++m_i;
            while (m_i < m_text.size() && isDigit(m_text[m_i]))
                ++m_i;
        }
        if (m_i < m_text.size() && (isNameStart(m_text[m_i]) || m_text[m_i] == u'.'))
            fail(static_cast<int>(m_i) + 1, u"число записано неверно"_s);
        const QString digits = m_text.mid(start, m_i - start).toString();
        t.kind = Tok::Number;
        t.text = digits;
        if (fraction) {
            t.number = Value::real(digits.toDouble());
        } else {
            bool ok = false;
            const qint64 v = digits.toLongLong(&ok);
            if (!ok)
                fail(t.pos, u"число слишком велико: «%1»"_s.arg(digits.left(30)));
            t.number = Value::integer(v);
        }
        return t;
    }

    Token string(Token& t)
    {
        ++m_i;
        QString value;
        for (;;) {
            if (m_i >= m_text.size())
                fail(t.pos, u"строка не закрыта: нет парной кавычки"_s);
            const QChar c = m_text[m_i++];
            if (c == u'\'') {
                if (m_i < m_text.size() && m_text[m_i] == u'\'') {
                    value.append(c);
                    ++m_i;
                    continue;
                }
                break;
            }
            value.append(c);
        }
        t.kind = Tok::String;
        t.text = value;
        return t;
    }

    QStringView m_text;
    qsizetype m_i = 0;
};

QString tokenText(const Token& t)
{
    switch (t.kind) {
    case Tok::End:
        return u"конец выражения"_s;
    case Tok::Number:
        return u"число %1"_s.arg(t.text);
    case Tok::String:
        return u"строка"_s;
    case Tok::Name:
        return u"«%1»"_s.arg(t.text);
    default:
        break;
    }
    static const char16_t* const ops[] = {u"",  u"",   u"",  u"",   u"(", u")", u",", u"=", u"<>",
                                          u"<", u"<=", u">", u">=", u"+", u"-", u"*", u"/", u"&"};
    return u"«%1»"_s.arg(QString::fromUtf16(ops[static_cast<int>(t.kind)]));
}

using NodePtr = std::unique_ptr<Node>;

// Sets the depth of a node from its operands (each already has its own).
int depthOf(Node& n)
{
    int d = 0;
    for (const auto& a : n.args)
        d = std::max(d, a->depth);
    n.depth = d + 1;
    return n.depth;
}

class Parser
{
public:
    Parser(QStringView text, const FileDef& file, const Variables& vars) : m_lex(text), m_file(file), m_vars(vars)
    {
        advance();
    }

    NodePtr expression() { return binary(kOr); }

    const Token& token() const { return m_tok; }
    [[gnu::noinline]] void advance() { m_tok = m_lex.next(); }
    bool isKeyword(QStringView kw) const
    {
        return m_tok.kind == Tok::Name && m_tok.text.compare(kw, Qt::CaseInsensitive) == 0;
    }
    [[noreturn, gnu::noinline]] void unexpected(const char16_t* expected) const
    {
        fail(m_tok.pos, u"ожидалось %1, а здесь %2"_s.arg(QString::fromUtf16(expected), tokenText(m_tok)));
    }

private:
    // The functions on the recursive path (binary, prefix, primary, arguments) keep their frames
    // small: whatever builds texts or looks names up is out of line. With the depth bound this keeps
    // the deepest parse within a few tens of kilobytes of stack.
    [[noreturn, gnu::noinline]] static void failText(int pos, const char16_t* message)
    {
        fail(pos, QString::fromUtf16(message));
    }

    // Counts the nesting of the recursive descent so that deep input is refused, not overflowing the stack.
    struct Guard
    {
        Parser& p;
        explicit Guard(Parser& parser) : p(parser)
        {
            if (++p.m_depth > kMaxDepth)
                tooDeep(p.m_tok.pos);
        }
        ~Guard() { --p.m_depth; }
    };

    [[noreturn, gnu::noinline]] static void tooDeep(int pos)
    {
        fail(pos, u"слишком глубокая вложенность: больше %1 уровней"_s.arg(kMaxDepth));
    }

    static NodePtr make(Op op, Type type, int pos)
    {
        auto n = std::make_unique<Node>();
        n->op = op;
        n->type = type;
        n->position = pos;
        return n;
    }

    [[gnu::noinline]] static void checkDepth(Node& n)
    {
        if (depthOf(n) > kMaxDepth)
            fail(n.position, u"выражение слишком длинное: больше %1 уровней вложенности"_s.arg(kMaxDepth));
    }

    static NodePtr binaryNode(Op op, Type type, int pos, NodePtr a, NodePtr b)
    {
        NodePtr n = make(op, type, pos);
        n->args.push_back(std::move(a));
        n->args.push_back(std::move(b));
        checkDepth(*n);
        return n;
    }

    [[gnu::noinline]] static NodePtr logical(Op op, int pos, NodePtr a, NodePtr b)
    {
        if (a->type == Type::Text || b->type == Type::Text)
            failText(a->type == Type::Text ? a->position : b->position, u"AND и OR соединяют условия, а здесь текст");
        return binaryNode(op, Type::Int, pos, std::move(a), std::move(b));
    }

    // Binding strength of the operators, loosest first; NOT stands between AND and the comparisons.
    enum Level { kOr = 1, kAnd, kNot, kCompare, kConcat, kAdd, kMul, kUnary };

    // The binary operator at the current token and its level; 0 when there is none.
    int binaryLevel(Op* op) const
    {
        if (isKeyword(u"OR")) {
            *op = Op::Or;
            return kOr;
        }
        if (isKeyword(u"AND")) {
            *op = Op::And;
            return kAnd;
        }
        switch (m_tok.kind) {
        case Tok::Eq:
            *op = Op::Eq;
            return kCompare;
        case Tok::Ne:
            *op = Op::Ne;
            return kCompare;
        case Tok::Lt:
            *op = Op::Lt;
            return kCompare;
        case Tok::Le:
            *op = Op::Le;
            return kCompare;
        case Tok::Gt:
            *op = Op::Gt;
            return kCompare;
        case Tok::Ge:
            *op = Op::Ge;
            return kCompare;
        case Tok::Amp:
            *op = Op::Concat;
            return kConcat;
        case Tok::Plus:
            *op = Op::Add;
            return kAdd;
        case Tok::Minus:
            *op = Op::Sub;
            return kAdd;
        case Tok::Star:
            *op = Op::Mul;
            return kMul;
        case Tok::Slash:
            *op = Op::Div;
            return kMul;
        default:
            return 0;
        }
    }

    // Operators of `minLevel` and tighter, left to right (precedence climbing: few stack frames a level).
    NodePtr binary(int minLevel)
    {
        Guard g(*this);
        NodePtr left = prefix(minLevel);
        for (;;) {
            Op op;
            const int level = binaryLevel(&op);
            if (level == 0 || level < minLevel)
                return left;
            const int pos = m_tok.pos;
            advance();
            NodePtr right = binary(level + 1);
            left = combine(op, pos, std::move(left), std::move(right));
        }
    }

    [[gnu::noinline]] static NodePtr combine(Op op, int pos, NodePtr a, NodePtr b)
    {
        switch (op) {
        case Op::Or:
        case Op::And:
            return logical(op, pos, std::move(a), std::move(b));
        case Op::Concat: {
            // One node for a whole chain: a & b & c.
            if (a->op != Op::Concat) {
                NodePtr n = make(Op::Concat, Type::Text, a->position);
                n->args.push_back(std::move(a));
                a = std::move(n);
            }
            a->args.push_back(std::move(b));
            checkDepth(*a);
            return a;
        }
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Div: {
            if (a->type == Type::Text || b->type == Type::Text)
                failText(pos, u"текст нельзя складывать, вычитать, умножать или делить (тексты соединяет &)");
            const Type t = op == Op::Div || a->type == Type::Real || b->type == Type::Real ? Type::Real : Type::Int;
            return binaryNode(op, t, pos, std::move(a), std::move(b));
        }
        default:
            if ((a->type == Type::Text) != (b->type == Type::Text))
                failText(pos, u"нельзя сравнивать текст с числом");
            return binaryNode(op, Type::Int, pos, std::move(a), std::move(b));
        }
    }

    [[gnu::noinline]] static NodePtr unaryNode(Op op, int pos, NodePtr a)
    {
        if (a->type == Type::Text)
            failText(op == Op::Not ? a->position : pos,
                     op == Op::Not ? u"NOT применяется к условию, а здесь текст" : u"знак перед текстом");
        if (op == Op::Add)
            return a;
        NodePtr n = make(op, op == Op::Not ? Type::Int : a->type, pos);
        n->args.push_back(std::move(a));
        checkDepth(*n);
        return n;
    }

    // NOT, a sign, or a value. NOT is allowed only where a condition may stand.
    NodePtr prefix(int minLevel)
    {
        if (isKeyword(u"NOT")) {
            if (minLevel > kNot)
                unexpected(u"значение: число, строка, имя или «(»");
            const int pos = m_tok.pos;
            advance();
            return unaryNode(Op::Not, pos, binary(kNot));
        }
        if (m_tok.kind == Tok::Minus || m_tok.kind == Tok::Plus) {
            const Op op = m_tok.kind == Tok::Minus ? Op::Neg : Op::Add;
            const int pos = m_tok.pos;
            advance();
            return unaryNode(op, pos, binary(kUnary));
        }
        return primary();
    }

    NodePtr primary()
    {
        switch (m_tok.kind) {
        case Tok::Number:
        case Tok::String:
            return literal();
        case Tok::LParen: {
            advance();
            NodePtr n = expression();
            if (m_tok.kind != Tok::RParen)
                unexpected(u"«)»");
            advance();
            return n;
        }
        case Tok::Name: {
            int arity = 0;
            NodePtr n = nameOrCall(&arity);
            if (arity > 0)
                arguments(*n, arity);
            return n;
        }
        default:
            unexpected(u"значение: число, строка, имя или «(»");
        }
    }

    [[gnu::noinline]] NodePtr literal()
    {
        NodePtr n;
        if (m_tok.kind == Tok::Number) {
            n = make(Op::Literal, m_tok.number.kind == Value::Kind::Int ? Type::Int : Type::Real, m_tok.pos);
            n->literal = m_tok.number;
        } else {
            n = make(Op::Literal, Type::Text, m_tok.pos);
            n->literal = Value::text(m_tok.text);
        }
        advance();
        return n;
    }

    // A name: a program value or a field; or, before "(", a function, whose "(" is then taken and
    // whose number of arguments goes to `arity`.
    [[gnu::noinline]] NodePtr nameOrCall(int* arity)
    {
        const Token t = m_tok;
        advance();
        if (m_tok.kind == Tok::LParen) {
            struct Fn
            {
                const char16_t* name;
                Op op;
                int arity;
            };
            static const Fn fns[] = {{u"UPPER", Op::Upper, 1},
                                     {u"FUZZYMATCH", Op::FuzzyMatch, 2},
                                     {u"CONTAINS", Op::Contains, 2},
                                     {u"BEGINSWITH", Op::BeginsWith, 2}};
            for (const Fn& f : fns) {
                if (t.text.compare(QStringView(f.name), Qt::CaseInsensitive) == 0) {
                    advance(); // (
                    *arity = f.arity;
                    return make(f.op, Type::Int, t.pos);
                }
            }
            fail(t.pos, u"неизвестная функция «%1»; есть UPPER, FuzzyMatch, CONTAINS, BEGINSWITH"_s.arg(t.text));
        }
        if (t.text.compare(u"AND", Qt::CaseInsensitive) == 0 || t.text.compare(u"OR", Qt::CaseInsensitive) == 0 ||
            t.text.compare(u"NOT", Qt::CaseInsensitive) == 0)
            fail(t.pos, u"ожидалось значение, а здесь %1"_s.arg(t.text.toUpper()));
        const int v = m_vars.indexOf(t.text);
        if (v >= 0) {
            NodePtr n = make(Op::Variable, m_vars.type(v), t.pos);
            n->index = v;
            return n;
        }
        const int f = t.text.contains(u':') ? m_file.fieldIndex(t.text) : -1;
        if (f < 0)
            fail(t.pos, t.text.contains(u':')
                            ? u"в файле %1 нет поля «%2»"_s.arg(m_file.name, t.text)
                            : u"неизвестное имя «%1» (поля называются с приставкой, например %2)"_s.arg(
                                  t.text, m_file.fields.front().fullName));
        const FieldDef& fd = m_file.field(f);
        Type type = Type::Int;
        if (fd.type == FieldType::Text)
            type = Type::Text;
        else if (fd.type == FieldType::Decimal && fd.places > 0)
            type = Type::Real;
        NodePtr n = make(Op::Field, type, t.pos);
        n->index = f;
        return n;
    }

    // The arguments of a call up to its ")".
    void arguments(Node& n, int arity)
    {
        Guard g(*this);
        if (m_tok.kind != Tok::RParen) {
            n.args.push_back(expression());
            while (m_tok.kind == Tok::Comma) {
                advance();
                n.args.push_back(expression());
            }
        }
        finishCall(n, arity);
    }

    [[gnu::noinline]] void finishCall(Node& n, int arity)
    {
        if (m_tok.kind != Tok::RParen)
            unexpected(n.args.size() < static_cast<size_t>(arity) ? u"«,» или «)»" : u"«)»");
        const QString name = n.op == Op::Upper        ? u"UPPER"_s
                             : n.op == Op::FuzzyMatch ? u"FuzzyMatch"_s
                             : n.op == Op::Contains   ? u"CONTAINS"_s
                                                      : u"BEGINSWITH"_s;
        if (n.args.size() != static_cast<size_t>(arity))
            fail(n.position, arity == 1 ? u"функция %1 принимает один аргумент"_s.arg(name)
                                        : u"функция %1 принимает %2 аргумента"_s.arg(name).arg(arity));
        advance();
        if (n.op == Op::Upper)
            n.type = n.arg(0).type;
        checkDepth(n);
    }

    Lexer m_lex;
    const FileDef& m_file;
    const Variables& m_vars;
    Token m_tok;
    int m_depth = 0;
};

} // namespace

std::optional<Expression> Expression::parse(QStringView text, const FileDef& file, const Variables& vars, Kind kind,
                                            ParseError* error)
{
    try {
        Parser p(text, file, vars);
        if (p.token().kind == Tok::End)
            fail(p.token().pos, u"пустое выражение"_s);
        NodePtr root = p.expression();
        if (p.token().kind != Tok::End)
            p.unexpected(u"конец выражения или оператор");
        if (kind == Kind::Condition && root->type == Type::Text)
            fail(root->position, u"условие должно быть сравнением (или числом), а не текстом"_s);
        Expression e;
        e.m_root = std::move(root);
        e.m_file = &file;
        e.m_text = text.toString();
        return e;
    } catch (const ParseFailure& f) {
        if (error)
            *error = f.error;
        return std::nullopt;
    }
}

std::optional<Order> Order::parse(QStringView text, const FileDef& file, const Variables& vars, bool allowKey,
                                  ParseError* error)
{
    try {
        Order order;
        Parser p(text, file, vars);
        if (p.token().kind == Tok::End)
            fail(p.token().pos, u"пустой порядок"_s);
        bool first = true;
        for (;;) {
            const Token start = p.token();
            if (first && allowKey && start.kind == Tok::Name && file.keyIndex(start.text) >= 0) {
                order.key = file.keyIndex(start.text);
                p.advance();
            } else {
                OrderItem item;
                if (start.kind == Tok::Plus || start.kind == Tok::Minus) {
                    item.descending = start.kind == Tok::Minus;
                    p.advance();
                }
                const int from = p.token().pos;
                NodePtr root = p.expression();
                const int to = p.token().kind == Tok::End ? static_cast<int>(text.size()) + 1 : p.token().pos;
                item.expr.m_root = std::move(root);
                item.expr.m_file = &file;
                item.expr.m_text = text.mid(from - 1, to - from).trimmed().toString();
                order.items.push_back(std::move(item));
            }
            first = false;
            if (p.token().kind == Tok::End)
                break;
            if (p.token().kind != Tok::Comma)
                p.unexpected(u"«,» или конец порядка");
            p.advance();
        }
        return order;
    } catch (const ParseFailure& f) {
        if (error)
            *error = f.error;
        return std::nullopt;
    }
}

int Order::compare(const RecordRef& a, const RecordRef& b, const Variables& vars) const
{
    for (const OrderItem& item : items) {
        const int c = compareValues(item.expr.evaluate(a, vars), item.expr.evaluate(b, vars));
        if (c != 0)
            return item.descending ? -c : c;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Evaluation on a record buffer: the same rules as the SQL translation, SQLite's arithmetic included.

namespace {

Value fieldValue(const RecordRef& rec, int i)
{
    const FieldDef& f = rec.def().field(i);
    switch (f.type) {
    case FieldType::Text:
        return Value::text(rec.text(i).toString());
    case FieldType::Decimal:
        if (f.places == 0)
            return Value::integer(rec.decimal(i).scaled());
        return Value::real(static_cast<double>(rec.decimal(i).scaled()) /
                           static_cast<double>(Decimal::pow10(f.places)));
    case FieldType::Date:
        return Value::integer(rec.date(i).dayNumber());
    case FieldType::Long:
        return Value::integer(rec.longValue(i));
    }
    return {};
}

Value arithmetic(Op op, const Value& a, const Value& b)
{
    if (a.isNull() || b.isNull())
        return Value::null();
    if (op == Op::Div) {
        const double d = toDouble(b);
        if (d == 0.0)
            return Value::null();
        return Value::real(toDouble(a) / d);
    }
    if (a.kind == Value::Kind::Int && b.kind == Value::Kind::Int) {
        qint64 r = 0;
        bool overflow = false;
        switch (op) {
        case Op::Add:
            overflow = __builtin_add_overflow(a.i, b.i, &r);
            break;
        case Op::Sub:
            overflow = __builtin_sub_overflow(a.i, b.i, &r);
            break;
        default:
            overflow = __builtin_mul_overflow(a.i, b.i, &r);
            break;
        }
        if (!overflow)
            return Value::integer(r);
    }
    const double x = toDouble(a), y = toDouble(b);
    switch (op) {
    case Op::Add:
        return Value::real(x + y);
    case Op::Sub:
        return Value::real(x - y);
    default:
        return Value::real(x * y);
    }
}

Value compare(Op op, const Value& a, const Value& b)
{
    if (a.isNull() || b.isNull())
        return Value::null();
    const int c = a.kind == Value::Kind::Text ? compareText(a.s, b.s) : compareNumbers(a, b);
    bool r = false;
    switch (op) {
    case Op::Eq:
        r = c == 0;
        break;
    case Op::Ne:
        r = c != 0;
        break;
    case Op::Lt:
        r = c < 0;
        break;
    case Op::Le:
        r = c <= 0;
        break;
    case Op::Gt:
        r = c > 0;
        break;
    default:
        r = c >= 0;
        break;
    }
    return Value::integer(r ? 1 : 0);
}

int fuzzyScore(const QString& query, const QString& text)
{
    // The same query is asked of every record of a pass: keep its prepared form.
    thread_local QString lastQuery;
    thread_local FuzzyOptions lastOptions;
    thread_local std::unique_ptr<FuzzyMatcher> matcher;
    const FuzzyOptions o = fuzzyOptions();
    if (!matcher || lastQuery != query || lastOptions.ignoreCase != o.ignoreCase ||
        lastOptions.wholeWordsOnly != o.wholeWordsOnly) {
        matcher = std::make_unique<FuzzyMatcher>(query, o);
        lastQuery = query;
        lastOptions = o;
    }
    return matcher->score(text);
}

} // namespace

Value Expression::evaluateNode(const Node& n, const RecordRef* rec, const Variables& vars)
{
    switch (n.op) {
    case Op::Literal:
        return n.literal;
    case Op::Field:
        return fieldValue(*rec, n.index);
    case Op::Variable:
        return vars.value(n.index);
    case Op::Neg: {
        const Value a = evaluateNode(n.arg(0), rec, vars);
        if (a.kind == Value::Kind::Int && a.i != std::numeric_limits<qint64>::min())
            return Value::integer(-a.i);
        return a.isNull() ? a : Value::real(0.0 - toDouble(a));
    }
    case Op::Not: {
        const Value a = evaluateNode(n.arg(0), rec, vars);
        return a.isNull() ? a : Value::integer(a.isTrue() ? 0 : 1);
    }
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
        return arithmetic(n.op, evaluateNode(n.arg(0), rec, vars), evaluateNode(n.arg(1), rec, vars));
    case Op::Concat: {
        QString out;
        for (const auto& a : n.args) {
            const Value v = evaluateNode(*a, rec, vars);
            if (v.isNull())
                return v;
            out += v.toText();
        }
        return Value::text(out);
    }
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Le:
    case Op::Gt:
    case Op::Ge:
        return compare(n.op, evaluateNode(n.arg(0), rec, vars), evaluateNode(n.arg(1), rec, vars));
    case Op::And:
    case Op::Or: {
        // Three-valued, as in SQL: "no value" is neither true nor false.
        const Value a = evaluateNode(n.arg(0), rec, vars);
        const bool isAnd = n.op == Op::And;
        if (!a.isNull() && a.isTrue() != isAnd)
            return Value::integer(isAnd ? 0 : 1);
        const Value b = evaluateNode(n.arg(1), rec, vars);
        if (!b.isNull() && b.isTrue() != isAnd)
            return Value::integer(isAnd ? 0 : 1);
        if (a.isNull() || b.isNull())
            return Value::null();
        return Value::integer(isAnd ? 1 : 0);
    }
    case Op::Upper: {
        const Value a = evaluateNode(n.arg(0), rec, vars);
        return a.kind == Value::Kind::Text ? Value::text(upperText(a.s)) : a;
    }
    case Op::FuzzyMatch:
    case Op::Contains:
    case Op::BeginsWith: {
        const Value a = evaluateNode(n.arg(0), rec, vars);
        const Value b = evaluateNode(n.arg(1), rec, vars);
        if (a.isNull() || b.isNull())
            return Value::null();
        if (n.op == Op::FuzzyMatch)
            return Value::integer(fuzzyScore(a.toText(), b.toText()));
        const QString hay = a.toText();
        const QString needleText = b.toText();
        const QStringView needle = rtrim(needleText);
        const bool r = n.op == Op::Contains ? hay.contains(needle) : hay.startsWith(needle);
        return Value::integer(r ? 1 : 0);
    }
    }
    return {};
}

Value Expression::evaluate(const RecordRef& rec, const Variables& vars) const
{
    Q_ASSERT(&rec.def() == m_file);
    return evaluateNode(*m_root, &rec, vars);
}

std::optional<Value> Expression::constantValue(const Node& node, const Variables& vars)
{
    if (node.op == Op::Field)
        return std::nullopt;
    for (const auto& a : node.args)
        if (!constantValue(*a, vars))
            return std::nullopt;
    return evaluateNode(node, nullptr, vars);
}

} // namespace vetcert::expr
