// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/expression.h"

#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;
using namespace vetcert;
using namespace vetcert::expr;

namespace {

// "I:7", "R:3.5", "T:текст", "N": a value written so that a table can state it.
QString show(const Value& v)
{
    switch (v.kind) {
    case Value::Kind::Int:
        return u"I:"_s + QString::number(v.i);
    case Value::Kind::Real:
        return u"R:"_s + numberText(v.r);
    case Value::Kind::Text:
        return u"T:"_s + v.s;
    case Value::Kind::Null:
        break;
    }
    return u"N"_s;
}

} // namespace

class TestExpression : public QObject
{
    Q_OBJECT

    AnyRecord m_rec{FileId::Forma3};
    Variables m_vars;

private slots:
    void initTestCase()
    {
        Forma3& f = m_rec.as<Forma3>();
        m_rec.ref().clear();
        f.NFORM.setInteger(123);
        f.DATAV = *Date::parse(u"15.03.2013");   // 77509
        f.DATADST = *Date::parse(u"20.03.2013"); // 77514
        f.S2.setCut(u"ООО «Рассвет»"_s);
        f.CENA.setScaled(1250);
        m_vars.setInt(u"d1"_s, Date::parse(u"01.03.2013")->dayNumber());
        m_vars.setInt(u"d2"_s, Date::parse(u"31.03.2013")->dayNumber());
        m_vars.setInt(u"nform"_s, 123);
        m_vars.setText(u"FuzzyQuery4"_s, u"рассвет   "_s);
    }

    void evaluate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // precedence and parentheses
        QTest::newRow("mul before add") << u"1+2*3"_s << u"I:7"_s;
        QTest::newRow("parentheses") << u"(1+2)*3"_s << u"I:9"_s;
        QTest::newRow("minus from the left") << u"2-3-4"_s << u"I:-5"_s;
        QTest::newRow("unary minus") << u"-2*-3"_s << u"I:6"_s;
        QTest::newRow("division gives a fraction") << u"7/2"_s << u"R:3.5"_s;
        QTest::newRow("division by zero") << u"7/0"_s << u"N"_s;
        QTest::newRow("and before or") << u"1=1 OR 1=1 AND 1=0"_s << u"I:1"_s;
        QTest::newRow("or in parentheses") << u"(1=1 OR 1=1) AND 1=0"_s << u"I:0"_s;
        QTest::newRow("not binds the comparison") << u"NOT 1=2"_s << u"I:1"_s;
        QTest::newRow("not no value") << u"NOT (1/0 = 1)"_s << u"N"_s;
        QTest::newRow("no value or true") << u"1/0 = 1 OR 1 = 1"_s << u"I:1"_s;
        QTest::newRow("no value and false") << u"1/0 = 1 AND 1 = 0"_s << u"I:0"_s;
        QTest::newRow("concat after add") << u"'a' & 1+2"_s << u"T:a3"_s;
        QTest::newRow("overflow becomes real") << u"9223372036854775807 + 1 & ''"_s << u"T:9223372036854775808"_s;
        // names in any letter case
        QTest::newRow("field any case") << u"fr3:NfOrM"_s << u"I:123"_s;
        QTest::newRow("variable any case") << u"D1"_s << u"I:77495"_s;
        QTest::newRow("keywords any case") << u"1=1 and not 1=2 Or 0"_s << u"I:1"_s;
        // strings
        QTest::newRow("quote inside") << u"'it''s'"_s << u"T:it's"_s;
        QTest::newRow("quote alone") << u"''''"_s << u"T:'"_s;
        QTest::newRow("empty string") << u"'' = ''"_s << u"I:1"_s;
        // upper case of Russian and Latin, ё with Ё
        QTest::newRow("upper cyrillic") << u"UPPER('ёлка Ёж abc ß')"_s << u"T:ЁЛКА ЁЖ ABC ß"_s;
        QTest::newRow("upper field") << u"UPPER(FR3:S2)"_s << u"T:ООО «РАССВЕТ»"_s;
        QTest::newRow("upper of a number") << u"UPPER(FR3:Nform) = 123"_s << u"I:1"_s;
        QTest::newRow("letter case counts") << u"FR3:S2 = 'ооо «рассвет»'"_s << u"I:0"_s;
        QTest::newRow("upper ignores case") << u"UPPER(FR3:S2) = UPPER('ооо «рассвет»')"_s << u"I:1"_s;
        // trailing blanks do not count, leading ones do
        QTest::newRow("trailing blanks") << u"FR3:S2 = 'ООО «Рассвет»    '"_s << u"I:1"_s;
        QTest::newRow("leading blank") << u"' a' = 'a'"_s << u"I:0"_s;
        QTest::newRow("text order") << u"'Б' > 'А' AND 'a' < 'b' AND 'ab' > 'a'"_s << u"I:1"_s;
        // dates are day numbers, numbers join as plain digits
        QTest::newRow("date") << u"FR3:datav"_s << u"I:77509"_s;
        QTest::newRow("upper of a date") << u"UPPER(FR3:datav) >= 77509"_s << u"I:1"_s;
        QTest::newRow("joined fields") << u"FR3:Nform&' '&FR3:datav&' '&FR3:datadst&' '&FR3:s2"_s
                                       << u"T:123 77509 77514 ООО «Рассвет»"_s;
        QTest::newRow("decimal") << u"FR3:CENA"_s << u"R:12.5"_s;
        QTest::newRow("decimal joined") << u"FR3:CENA & '|' & 2.50 & '|' & (0-7)"_s << u"T:12.5|2.5|-7"_s;
        // the query window's functions
        QTest::newRow("contains") << u"CONTAINS(FR3:S2, 'Рассв')"_s << u"I:1"_s;
        QTest::newRow("contains keeps case") << u"CONTAINS(FR3:S2, 'рассв')"_s << u"I:0"_s;
        QTest::newRow("contains a number") << u"CONTAINS(UPPER(FR3:Nform), 23)"_s << u"I:1"_s;
        QTest::newRow("begins with") << u"BEGINSWITH(FR3:S2, 'ООО   ')"_s << u"I:1"_s;
        QTest::newRow("begins with no") << u"BEGINSWITH(FR3:S2, 'ОО О')"_s << u"I:0"_s;
        QTest::newRow("fuzzy") << u"FuzzyMatch(FuzzyQuery4, FR3:S2)"_s << u"I:100"_s;
        QTest::newRow("fuzzy order")
            << u"200-FuzzyMatch(FuzzyQuery4,FR3:Nform&' '&FR3:datav&' '&FR3:datadst&' '&FR3:s2)"_s << u"I:100"_s;
        // the filters the printing and the reports use
        QTest::newRow("printing") << u"nform=FR3:Nform"_s << u"I:1"_s;
        QTest::newRow("period") << u"(d1<=fr3:datav) and (d2>=fr3:datav)"_s << u"I:1"_s;
        QTest::newRow("period before") << u"(d1<=fr3:datav) and (77500>=fr3:datav)"_s << u"I:0"_s;
    }

    void evaluate()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        ParseError err;
        const auto e = Expression::parse(text, Forma3::def(), m_vars, Expression::Kind::Value, &err);
        QVERIFY2(e, qPrintable(err.toString()));
        QCOMPARE(show(e->evaluate(m_rec.ref(), m_vars)), expected);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("message");
        QTest::newRow("unclosed parenthesis") << u"(1+2"_s << 5 << u"«)»"_s;
        QTest::newRow("extra parenthesis") << u"(1+2))"_s << 6 << u"конец выражения"_s;
        QTest::newRow("unknown field") << u"FR3:NOPE = 1"_s << 1 << u"нет поля «FR3:NOPE»"_s;
        QTest::newRow("field of another file") << u"KAG:NAME = 'x'"_s << 1 << u"нет поля"_s;
        QTest::newRow("unknown name") << u"1 = d3"_s << 5 << u"неизвестное имя «d3»"_s;
        QTest::newRow("unknown function") << u"LOWER(FR3:S2) = 'a'"_s << 1 << u"неизвестная функция «LOWER»"_s;
        QTest::newRow("string never ends") << u"FR3:S2 = 'abc"_s << 10 << u"строка не закрыта"_s;
        QTest::newRow("quote alone") << u"FR3:S2 = '''"_s << 10 << u"строка не закрыта"_s;
        QTest::newRow("text with number") << u"FR3:S2 = 1"_s << 8 << u"текст с числом"_s;
        QTest::newRow("arithmetic on text") << u"FR3:S2 + 1 = 2"_s << 8 << u"текст нельзя"_s;
        QTest::newRow("missing operand") << u"1 +"_s << 4 << u"ожидалось значение"_s;
        QTest::newRow("empty") << u"   "_s << 4 << u"пустое"_s;
        QTest::newRow("stray character") << u"1 # 2"_s << 3 << u"непонятный символ «#»"_s;
        QTest::newRow("control character") << u"1 =\u0001 2"_s << 4 << u"управляющий"_s;
        QTest::newRow("arity") << u"UPPER(1, 2) = 1"_s << 1 << u"один аргумент"_s;
        QTest::newRow("missing comma") << u"FuzzyMatch('a' 'b')"_s << 16 << u"«,» или «)»"_s;
        QTest::newRow("text is no condition") << u"FR3:S2 & 'x'"_s << 1 << u"не текстом"_s;
        QTest::newRow("number too large") << u"99999999999999999999 = 1"_s << 1 << u"слишком велико"_s;
        QTest::newRow("keyword as value") << u"1 = AND"_s << 5 << u"AND"_s;
    }

    void errors()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(QString, message);
        ParseError err;
        QVERIFY(!Expression::parse(text, Forma3::def(), m_vars, Expression::Kind::Condition, &err));
        QCOMPARE(err.position, position);
        QVERIFY2(err.message.contains(message), qPrintable(err.message));
        QVERIFY(err.toString().startsWith(u"позиция %1: "_s.arg(position)));
    }

    // Deep input is refused by the parser's own count, on a thread with a small stack.
    void deepNesting_data()
    {
        QTest::addColumn<QString>("text");
        const int n = 10000;
        QTest::newRow("parentheses") << QString(n, u'(') + u'1' + QString(n, u')');
        QTest::newRow("unclosed parentheses") << QString(n, u'(');
        QTest::newRow("minus signs") << QString(n, u'-') + u'1';
        QTest::newRow("not") << QString(u"NOT "_s).repeated(n) + u"1=1"_s;
        QTest::newRow("function calls") << QString(u"UPPER("_s).repeated(n) + u"1"_s + QString(n, u')');
        QTest::newRow("long chain") << QString(u"1+"_s).repeated(n) + u"1"_s;
        QTest::newRow("long and chain") << QString(u"1=1 AND "_s).repeated(n) + u"1=1"_s;
    }

    void deepNesting()
    {
        QFETCH(QString, text);
        std::optional<ParseError> err;
        QThread* t = QThread::create([&] {
            ParseError e;
            if (!Expression::parse(text, Forma3::def(), m_vars, Expression::Kind::Condition, &e))
                err = e;
        });
        t->setStackSize(64 * 1024);
        t->start();
        QVERIFY(t->wait(10000));
        delete t;
        QVERIFY(err);
        QVERIFY2(err->message.contains(u"вложенност"_s), qPrintable(err->message));
        QVERIFY(err->position > 0 && err->position <= text.size());
    }

    void nestingWithinBounds()
    {
        const QString text = QString(150, u'(') + u"1=1"_s + QString(150, u')');
        ParseError err;
        const auto e = Expression::parse(text, Forma3::def(), m_vars, Expression::Kind::Condition, &err);
        QVERIFY2(e, qPrintable(err.toString()));
        QVERIFY(e->test(m_rec.ref(), m_vars));
    }

    void order_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("items"); // "+text" / "-text"
        QTest::newRow("period report") << u"+FR3:datav,+FR3:Nform"_s << QString()
                                       << QStringList{u"+FR3:datav"_s, u"+FR3:Nform"_s};
        QTest::newRow("no sign") << u"fr3:s2"_s << QString() << QStringList{u"+fr3:s2"_s};
        QTest::newRow("descending") << u" - FR3:datav , +FR3:S2 "_s << QString()
                                    << QStringList{u"-FR3:datav"_s, u"+FR3:S2"_s};
        QTest::newRow("key then items") << u"FR3:K4,+FR3:datav,+FR3:Nform"_s << u"FR3:K4"_s
                                        << QStringList{u"+FR3:datav"_s, u"+FR3:Nform"_s};
        QTest::newRow("key alone") << u"fr3:k2"_s << u"FR3:K2"_s << QStringList{};
        QTest::newRow("fuzzy") << u"200-FuzzyMatch(FuzzyQuery4,FR3:Nform&' '&FR3:s2)"_s << QString()
                               << QStringList{u"+200-FuzzyMatch(FuzzyQuery4,FR3:Nform&' '&FR3:s2)"_s};
    }

    void order()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QStringList, items);
        ParseError err;
        const auto o = Order::parse(text, Forma3::def(), m_vars, true, &err);
        QVERIFY2(o, qPrintable(err.toString()));
        QCOMPARE(o->key < 0 ? QString() : Forma3::def().keys[size_t(o->key)].name, key);
        QStringList got;
        for (const OrderItem& i : o->items)
            got << (i.descending ? u"-"_s : u"+"_s) + i.expr.text();
        QCOMPARE(got, items);
    }

    void orderErrors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("allowKey");
        QTest::addColumn<int>("position");
        QTest::newRow("empty item") << u"+FR3:datav,,+FR3:Nform"_s << true << 12;
        QTest::newRow("trailing comma") << u"+FR3:datav,"_s << true << 12;
        QTest::newRow("unknown field") << u"+FR3:datav,-FR3:NOPE"_s << true << 13;
        QTest::newRow("key not first") << u"+FR3:datav,FR3:K4"_s << true << 12;
        QTest::newRow("key not allowed") << u"FR3:K4"_s << false << 1;
        QTest::newRow("two signs") << u"+-+FR3:datav, +"_s << true << 16;
    }

    void orderErrors()
    {
        QFETCH(QString, text);
        QFETCH(bool, allowKey);
        QFETCH(int, position);
        ParseError err;
        QVERIFY(!Order::parse(text, Forma3::def(), m_vars, allowKey, &err));
        QCOMPARE(err.position, position);
    }
};

QTEST_GUILESS_MAIN(TestExpression)
#include "test_expression.moc"
