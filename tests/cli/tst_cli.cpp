// SPDX-License-Identifier: GPL-3.0-or-later
// The command line, run as the built program.

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run vetcert(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VETCERT_BINARY), args);
    Run r;
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return path;
}

int records(const QString& dir, const QString& file)
{
    const Run r = vetcert({u"--data"_s, dir, u"export"_s, u"--file"_s, file});
    return r.code == 0 ? int(r.out.count(u"\r\n"_s)) - 1 : -1;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void badRowImportsNothing_data();
    void badRowImportsNothing();
    void importExportRoundTrip();
    void exportInKeyOrder();
    void usageErrors_data();
    void usageErrors();
    void demoDataIsDeterministicAndFits();
    void notADataFile();
    void exportToFullDisk();
};

void TestCli::badRowImportsNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("where");
    QTest::newRow("unknown column") << u"FORMA3"_s << QByteArray("FR3:NFORM,FR3:NOPE\n1,2\n") << u"строка 1, поле «FR3:NOPE»"_s;
    QTest::newRow("bare field name") << u"FORMA3"_s << QByteArray("NFORM\n1\n") << u"строка 1, поле «NFORM»"_s;
    QTest::newRow("text too wide") << u"KAGENT"_s << ("KAG:NAME\nООО «Заря»\n" + QByteArray(92, 'x') + "\n")
                                   << u"строка 3, поле KAG:NAME"_s;
    QTest::newRow("not in code page") << u"KAGENT"_s << QByteArray("KAG:NAME\nок\n\xe6\x97\xa5\xe6\x9c\xac\n")
                                      << u"строка 3, поле KAG:NAME"_s;
    QTest::newRow("not a date") << u"FORMA3"_s << QByteArray("FR3:NFORM,FR3:DATAV\n1,01.01.2013\n2,31.02.2013\n")
                                << u"строка 3, поле FR3:DATAV"_s;
    QTest::newRow("date before range") << u"FORMA3"_s << QByteArray("FR3:DATAV\n31.12.1800\n") << u"строка 2, поле FR3:DATAV"_s;
    QTest::newRow("too many digits") << u"FORMA3"_s << QByteArray("FR3:NFORM\n1234567890\n") << u"строка 2, поле FR3:NFORM"_s;
    QTest::newRow("too many places") << u"LAST"_s << QByteArray("LAS:NAME,LAS:AXF2\nА4,10.25\n") << u"строка 2, поле LAS:AXF2"_s;
    QTest::newRow("not a number") << u"LICENZIY"_s << QByteArray("LIC:KOL\n12,5\n") << u"строка 2: 2 значений"_s;
    QTest::newRow("quote left open") << u"KAGENT"_s << QByteArray("KAG:NAME\n\"ООО\n") << u"строка 2"_s;
    QTest::newRow("line break in text") << u"KAGENT"_s << QByteArray("KAG:NAME\n\"две\nстроки\"\n")
                                        << u"строка 2, поле KAG:NAME: управляющий символ"_s;
}

void TestCli::badRowImportsNothing()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, csv);
    QFETCH(QString, where);
    QTemporaryDir dir;
    // One good record first: a failed import must leave it alone and add nothing.
    const QHash<QString, QByteArray> good{{u"FORMA3"_s, "FR3:NFORM\n1\n"}, {u"KAGENT"_s, "KAG:NAME\nПервый\n"},
                                          {u"LAST"_s, "LAS:NAME\nА5\n"}, {u"LICENZIY"_s, "LIC:NLIC\n1/2013\n"}};
    QCOMPARE(vetcert({u"--data"_s, dir.path(), u"import"_s, u"--file"_s, file, writeFile(dir, u"good.csv"_s, good[file])}).code, 0);
    const int before = records(dir.path(), file);
    const Run r = vetcert({u"--data"_s, dir.path(), u"import"_s, u"--file"_s, file, writeFile(dir, u"bad.csv"_s, csv)});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(u"bad.csv: "_s + where), qPrintable(r.err));
    QCOMPARE(before, 1);
    QCOMPARE(records(dir.path(), file), before);
}

void TestCli::importExportRoundTrip()
{
    QTemporaryDir a, b;
    const QByteArray csv = "FR3:DATAV,FR3:S2,FR3:NFORM,FR3:S7,FR3:CENA,FR3:GOD\r\n"
                           "05.03.2013,\"ООО \"\"Заря\"\", г. Тверь\",101,молоко коровье,12.5,13\r\n"
                           ",,102,\"  с отступом\",-0.01,\r\n"
                           "31.12.9999,ИП Ёлкин,103,,,\r\n";
    Run r = vetcert({u"--data"_s, a.path(), u"import"_s, u"--file"_s, u"FORMA3"_s, writeFile(a, u"in.csv"_s, csv)});
    QCOMPARE(r.code, 0);
    r = vetcert({u"--data"_s, a.path(), u"import"_s, u"--file"_s, u"KAGENT"_s, writeFile(a, u"k.csv"_s, "KAG:NAME\nПервый\nВторой\n")});
    QCOMPARE(r.code, 0);
    r = vetcert({u"--data"_s, a.path(), u"import"_s, u"--file"_s, u"KAGENT"_s, writeFile(a, u"k2.csv"_s, "KAG:NAME,KAG:ID\nДесятый,10\n")});
    QCOMPARE(r.code, 0);
    r = vetcert({u"--data"_s, a.path(), u"import"_s, u"--file"_s, u"KAGENT"_s, writeFile(a, u"k3.csv"_s, "KAG:NAME\nОдиннадцатый\n")});
    QCOMPARE(r.code, 0);

    const Run exported = vetcert({u"--data"_s, a.path(), u"export"_s, u"--file"_s, u"FORMA3"_s});
    QCOMPARE(exported.code, 0);
    const QStringList lines = exported.out.split(u"\r\n"_s, Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith(u"FR3:NLIC,FR3:NFORM,FR3:COMMENT,FR3:OPIS,FR3:DAY,FR3:MES,FR3:GOD,FR3:DATAV,"_s));
    QVERIFY2(lines[1].startsWith(u",101,Выдано,,0,,13,05.03.2013,,0,,0,"_s), qPrintable(lines[1]));
    QVERIFY2(lines[1].contains(u",\"ООО \"\"Заря\"\", г. Тверь\","_s), qPrintable(lines[1]));
    QVERIFY(lines[1].endsWith(u",12.50"_s));
    QVERIFY(lines[2].contains(u",\"  с отступом\","_s));
    QVERIFY(lines[2].endsWith(u",-0.01"_s));
    QVERIFY(lines[3].contains(u"31.12.9999"_s));

    const Run kagents = vetcert({u"--data"_s, a.path(), u"export"_s, u"--file"_s, u"KAGENT"_s});
    QCOMPARE(kagents.out, u"KAG:ID,KAG:NAME\r\n1,Первый\r\n2,Второй\r\n10,Десятый\r\n11,Одиннадцатый\r\n"_s);

    // What was exported imports again to the same export.
    r = vetcert({u"--data"_s, b.path(), u"import"_s, u"--file"_s, u"FORMA3"_s, writeFile(b, u"again.csv"_s, exported.out.toUtf8())});
    QCOMPARE(r.code, 0);
    QCOMPARE(vetcert({u"--data"_s, b.path(), u"export"_s, u"--file"_s, u"FORMA3"_s}).out, exported.out);
}

void TestCli::exportInKeyOrder()
{
    QTemporaryDir dir;
    const QByteArray csv = "FR3:NFORM,FR3:S2\n1,бета\n2,\n3,Альфа\n4,АЛЬФА\n";
    QCOMPARE(vetcert({u"--data"_s, dir.path(), u"import"_s, u"--file"_s, u"FORMA3"_s, writeFile(dir, u"in.csv"_s, csv)}).code, 0);
    const Run r = vetcert({u"--data"_s, dir.path(), u"export"_s, u"--file"_s, u"FORMA3"_s, u"--order"_s, u"fr3:k4"_s});
    QCOMPARE(r.code, 0);
    QStringList numbers;
    for (const QString& line : r.out.split(u"\r\n"_s, Qt::SkipEmptyParts).mid(1))
        numbers << line.section(u',', 1, 1);
    QCOMPARE(numbers, (QStringList{u"3"_s, u"4"_s, u"1"_s}));
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::newRow("unknown command") << QStringList{u"frobnicate"_s} << 2;
    QTest::newRow("import without file") << QStringList{u"import"_s, u"x.csv"_s} << 2;
    QTest::newRow("unknown data file") << QStringList{u"export"_s, u"--file"_s, u"NOPE"_s} << 2;
    QTest::newRow("prefix is not a file name") << QStringList{u"export"_s, u"--file"_s, u"FR3"_s} << 2;
    // An order names a key or fields: an unknown name is a refused order expression.
    QTest::newRow("unknown key") << QStringList{u"export"_s, u"--file"_s, u"FORMA3"_s, u"--order"_s, u"FR3:K9"_s} << 1;
    QTest::newRow("missing csv") << QStringList{u"import"_s, u"--file"_s, u"KAGENT"_s, u"/nonexistent/x.csv"_s} << 1;
    QTest::newRow("demo without count") << QStringList{u"demo-data"_s} << 2;
    QTest::newRow("demo bad count") << QStringList{u"demo-data"_s, u"--certificates"_s, u"many"_s} << 2;
    QTest::newRow("check extra") << QStringList{u"check"_s, u"now"_s} << 2;
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QTemporaryDir dir;
    const Run r = vetcert(QStringList{u"--data"_s, dir.path()} + args);
    QCOMPARE(r.code, code);
    QVERIFY(!r.err.isEmpty());
}

void TestCli::demoDataIsDeterministicAndFits()
{
    QTemporaryDir a, b, c;
    for (const QTemporaryDir* d : {&a, &b})
        QCOMPARE(vetcert({u"--data"_s, d->path(), u"demo-data"_s, u"--certificates"_s, u"300"_s, u"--counterparties"_s,
                          u"25"_s, u"--seed"_s, u"5"_s})
                     .code,
                 0);
    for (const QString& file : {u"FORMA3"_s, u"KAGENT"_s, u"LICENZIY"_s}) {
        const Run ea = vetcert({u"--data"_s, a.path(), u"export"_s, u"--file"_s, file});
        QCOMPARE(ea.out, vetcert({u"--data"_s, b.path(), u"export"_s, u"--file"_s, file}).out);
        // Every text is within its width: the export imports again without a complaint.
        const Run back = vetcert({u"--data"_s, c.path(), u"import"_s, u"--file"_s, file, writeFile(c, file + u".csv"_s, ea.out.toUtf8())});
        QVERIFY2(back.code == 0, qPrintable(back.err));
    }
    QCOMPARE(records(a.path(), u"FORMA3"_s), 300);
    QCOMPARE(records(a.path(), u"KAGENT"_s), 25);
    const Run check = vetcert({u"--data"_s, a.path(), u"check"_s});
    QCOMPARE(check.code, 0);
    QVERIFY(check.out.contains(u"FORMA3.DAT: исправен, записей: 300"_s));
}

void TestCli::notADataFile()
{
    QTemporaryDir dir;
    QByteArray junk(20000, Qt::Uninitialized);
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>((i * 131 + 7) % 256);
    writeFile(dir, u"FORMA3.DAT"_s, junk);
    for (const QStringList& args : {QStringList{u"export"_s, u"--file"_s, u"FORMA3"_s}, QStringList{u"check"_s},
                                    QStringList{u"demo-data"_s, u"--certificates"_s, u"5"_s}}) {
        const Run r = vetcert(QStringList{u"--data"_s, dir.path()} + args);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"forma3"_s), qPrintable(r.err));
    }
    QFile f(dir.filePath(u"FORMA3.DAT"_s));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), junk);
}

void TestCli::exportToFullDisk()
{
    if (!QFile::exists(u"/dev/full"_s))
        QSKIP("no /dev/full here");
    QTemporaryDir dir;
    QCOMPARE(vetcert({u"--data"_s, dir.path(), u"demo-data"_s, u"--certificates"_s, u"50"_s}).code, 0);
    QProcess p;
    p.setStandardOutputFile(u"/dev/full"_s);
    p.start(QStringLiteral(VETCERT_BINARY), {u"--data"_s, dir.path(), u"export"_s, u"--file"_s, u"FORMA3"_s});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(u"не удалось записать"_s));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
