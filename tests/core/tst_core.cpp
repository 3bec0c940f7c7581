// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cp1251.h"
#include "core/date.h"
#include "core/decimal.h"
#include "core/fixedtext.h"
#include "core/formats.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vetcert;

class TestCore : public QObject
{
    Q_OBJECT

private slots:
    void dateKnownDays_data();
    void dateKnownDays();
    void dateRoundTripsEveryDay();
    void dateNullHasNoParts();
    void dateRejects_data();
    void dateRejects();

    void decimalKeepsLowOrderDigits_data();
    void decimalKeepsLowOrderDigits();
    void decimalParse_data();
    void decimalParse();

    void codePageMatchesIconv();
    void codePageRefusesWhatItCannotHold();
    void foldIgnoresCaseAndYo();

    void fixedTextPadsCutsAndRefuses();
    void monthsAndFormats();
};

void TestCore::dateKnownDays_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("text");
    QTest::newRow("first valid") << 4 << u"01.01.1801"_s;
    QTest::newRow("2013") << 77436 << u"01.01.2013"_s;
    QTest::newRow("last valid") << 2994626 << u"31.12.9999"_s;
    QTest::newRow("leap day 2000") << 72746 << u"29.02.2000"_s;
}

void TestCore::dateKnownDays()
{
    QFETCH(int, day);
    QFETCH(QString, text);
    QCOMPARE(Date(day).toString(), text);
    const auto parsed = Date::parse(text);
    QVERIFY(parsed);
    QCOMPARE(parsed->dayNumber(), day);
}

void TestCore::dateRoundTripsEveryDay()
{
    // Every day from 1801 to 2101, and around the end of the range, converts to its parts and back.
    auto check = [](qint32 n, int* prevDay) {
        const Date d(n);
        const auto back = Date::fromDmy(d.day(), d.month(), d.year());
        QVERIFY2(back && back->dayNumber() == n, qPrintable(QString::number(n)));
        *prevDay = d.day();
    };
    int prev = 0;
    for (qint32 n = Date::kFirst; n < Date::kFirst + 110000; ++n)
        check(n, &prev);
    for (qint32 n = Date::kLast - 800; n <= Date::kLast; ++n)
        check(n, &prev);
    QCOMPARE(Date::fromDmy(29, 2, 2000)->toString(), u"29.02.2000"_s);
    QVERIFY(!Date::fromDmy(29, 2, 1900));
    QCOMPARE(Date(77436) - Date(77436 - 365), 365);
}

void TestCore::dateNullHasNoParts()
{
    const Date d;
    QCOMPARE(d.day(), 0);
    QCOMPARE(d.month(), 0);
    QCOMPARE(d.year(), 0);
    QVERIFY(d.toString().isEmpty());
    QCOMPARE(Date::parse(u"  "_s)->dayNumber(), 0);
}

void TestCore::dateRejects_data()
{
    QTest::addColumn<QString>("text");
    for (const char16_t* t : {u"31.12.1800", u"01.01.10000", u"32.01.2020", u"29.02.2019", u"00.01.2020", u"01.13.2020",
                              u"1.1.20", u"aa.bb.cccc", u"01-01-2020", u"01.01.2020.", u"+1.01.2020"})
        QTest::newRow(QString::fromUtf16(t).toUtf8().constData()) << QString::fromUtf16(t);
}

void TestCore::dateRejects()
{
    QFETCH(QString, text);
    QVERIFY(!Date::parse(text));
}

void TestCore::decimalKeepsLowOrderDigits_data()
{
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("places");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("stored");
    QTest::newRow("year into 3 digits") << 3 << 0 << qint64(2013) << u"13"_s;
    QTest::newRow("fits") << 9 << 0 << qint64(123456789) << u"123456789"_s;
    QTest::newRow("ten digits into 9") << 9 << 0 << qint64(1234567890) << u"234567890"_s;
    QTest::newRow("negative") << 3 << 0 << qint64(-2013) << u"-13"_s;
    QTest::newRow("places") << 7 << 1 << qint64(1234567) << u"234567.0"_s;
}

void TestCore::decimalKeepsLowOrderDigits()
{
    QFETCH(int, digits);
    QFETCH(int, places);
    QFETCH(qint64, value);
    QFETCH(QString, stored);
    Decimal d(digits, places);
    d.setInteger(value);
    QCOMPARE(d.toString(), stored);
}

void TestCore::decimalParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("places");
    QTest::addColumn<int>("error");
    QTest::addColumn<qint64>("scaled");
    QTest::newRow("integer") << u"42"_s << 0 << int(Decimal::ParseError::None) << qint64(42);
    QTest::newRow("one place") << u"-12.5"_s << 1 << int(Decimal::ParseError::None) << qint64(-125);
    QTest::newRow("trailing zero places") << u"3.50"_s << 1 << int(Decimal::ParseError::None) << qint64(35);
    QTest::newRow("leading zeros") << u"0000012"_s << 0 << int(Decimal::ParseError::None) << qint64(12);
    QTest::newRow("too many digits") << u"12345678"_s << 1 << int(Decimal::ParseError::TooManyDigits) << qint64(0);
    QTest::newRow("too many places") << u"1.25"_s << 1 << int(Decimal::ParseError::TooManyPlaces) << qint64(0);
    QTest::newRow("comma") << u"1,5"_s << 1 << int(Decimal::ParseError::NotANumber) << qint64(0);
    QTest::newRow("letters") << u"12a"_s << 0 << int(Decimal::ParseError::NotANumber) << qint64(0);
    QTest::newRow("lone dot") << u"."_s << 0 << int(Decimal::ParseError::NotANumber) << qint64(0);
}

void TestCore::decimalParse()
{
    QFETCH(QString, text);
    QFETCH(int, places);
    QFETCH(int, error);
    QFETCH(qint64, scaled);
    Decimal d(7, places);
    QCOMPARE(int(d.parse(text)), error);
    if (error == int(Decimal::ParseError::None))
        QCOMPARE(d.scaled(), scaled);
}

void TestCore::codePageMatchesIconv()
{
    // The system's iconv is an independent table: every byte but the unassigned 0x98 must agree with ours.
    const QString iconv = QStandardPaths::findExecutable(u"iconv"_s);
    if (iconv.isEmpty())
        QSKIP("iconv is not installed");
    QByteArray bytes;
    for (int b = 0x20; b < 0x100; ++b)
        if (b != 0x98)
            bytes.append(static_cast<char>(b));
    QProcess p;
    p.start(iconv, {u"-f"_s, u"CP1251"_s, u"-t"_s, u"UTF-8"_s});
    p.write(bytes);
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished());
    const QString expected = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(cp1251::decode(bytes), expected);
    QByteArray back;
    QCOMPARE(cp1251::encode(expected, &back), qsizetype(-1));
    QCOMPARE(back, bytes);
    QCOMPARE(QString::fromUtf8(cp1251::toUtf8(bytes.constData(), bytes.size())), expected);
    const QByteArray utf8 = expected.toUtf8();
    QByteArray out(bytes.size(), Qt::Uninitialized);
    QCOMPARE(cp1251::fromUtf8(utf8.constData(), utf8.size(), out.data(), out.size()), bytes.size());
    QCOMPARE(out, bytes);
}

void TestCore::codePageRefusesWhatItCannotHold()
{
    QByteArray out;
    QCOMPARE(cp1251::encode(u"Цена €5 — ок"_s, &out), qsizetype(-1));
    QCOMPARE(cp1251::encode(u"日本"_s, &out), qsizetype(0));
    QCOMPARE(cp1251::encode(u"abcΩ"_s, &out), qsizetype(3));
    QCOMPARE(cp1251::encodeLossy(u"aΩb"_s), QByteArray("a?b"));
}

void TestCore::foldIgnoresCaseAndYo()
{
    auto fold = [](const QString& s) {
        QByteArray b = cp1251::encodeLossy(s);
        for (char& c : b)
            c = static_cast<char>(cp1251::fold(static_cast<unsigned char>(c)));
        return cp1251::decode(b);
    };
    QCOMPARE(fold(u"Ёлка ёжик ЕЛЬ"_s), u"ЕЛКА ЕЖИК ЕЛЬ"_s);
    QCOMPARE(fold(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_s), u"АБВГДЕЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_s);
    QCOMPARE(fold(u"Farm №5 і ї"_s), u"FARM №5 І Ї"_s);
    QCOMPARE(cp1251::upper(0xB8), static_cast<unsigned char>(0xA8));  // ё → Ё in plain upper case
}

void TestCore::fixedTextPadsCutsAndRefuses()
{
    Text<5> t;
    QVERIFY(t.isBlank());
    QCOMPARE(t.set(u"Ёж"_s), TextError::None);
    QCOMPARE(QByteArray(t.bytes.data(), 5), QByteArray("\xA8\xE6   "));
    QCOMPARE(t.toString(), u"Ёж"_s);
    QCOMPARE(t.set(u"шесть!"_s), TextError::TooWide);
    QCOMPARE(t.toString(), u"Ёж"_s);  // unchanged
    QCOMPARE(t.set(u"abc  "_s + u"  "_s), TextError::None);  // trailing blanks beyond the width are not text
    QCOMPARE(t.set(u"a€b"_s), TextError::None);
    QCOMPARE(t.set(u"a日b"_s), TextError::NotInCodePage);
    QCOMPARE(t.set(u"a\tb"_s), TextError::ControlCharacter);
    QCOMPARE(t.toString(), u"a€b"_s);

    Text<3> shorter;
    shorter.assign(Text<8>(u"Вологда"_s));
    QCOMPARE(shorter.toString(), u"Вол"_s);
    Text<8> longer;
    longer.assign(shorter);
    QCOMPARE(QByteArray(longer.bytes.data(), 8), cp1251::encodeLossy(u"Вол     "_s));
}

void TestCore::monthsAndFormats()
{
    QCOMPARE(genitiveMonth(1), u"января"_s);
    QCOMPARE(genitiveMonth(9), u"сентября"_s);
    QCOMPARE(genitiveMonth(12), u"декабря"_s);
    QVERIFY(genitiveMonth(0).isEmpty());
    QCOMPARE(format::integer(0, 9), QString(9, u' '));
    QCOMPARE(format::integer(1234567, 9), u"  1234567"_s);
    QCOMPARE(format::date(Date(77436)), u"01.01.2013"_s);
    QVERIFY(format::date(Date()).isEmpty());
    QCOMPARE(format::twoDigits(5), u"05"_s);
    QCOMPARE(format::text(u"абв"_s, 5), u"абв  "_s);
    Decimal d(7, 1);
    d.setScaled(-125);
    QCOMPARE(format::oneDecimal(d, 7), u"  -12.5"_s);
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
