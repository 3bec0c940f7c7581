// SPDX-License-Identifier: GPL-3.0-or-later
// `vetcert export` with filter and order expressions, run as the operator runs it.

#include "exprfixture.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vetcert;

class TestExportFilter : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::CertificateStore> m_store;

    struct Run
    {
        int exitCode;
        QStringList numbers; // FR3:NFORM of each exported record
        QString errors;
    };

    Run run(const QStringList& args)
    {
        QProcess p;
        p.start(QStringLiteral(VETCERT_BINARY),
                QStringList{u"--data"_s, m_store->dir.path(), u"export"_s, u"--file"_s, u"FORMA3"_s} + args);
        p.waitForFinished(30000);
        Run r{p.exitCode(), {}, QString::fromUtf8(p.readAllStandardError())};
        QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u"\r\n"_s, Qt::SkipEmptyParts);
        if (!lines.isEmpty())
            lines.removeFirst(); // the header
        for (const QString& line : lines)
            r.numbers << line.section(u',', 1, 1);
        return r;
    }

private slots:
    void initTestCase()
    {
        m_store = std::make_unique<test::CertificateStore>();
        m_store->addAll();
        m_store->ctx.reset();
    }

    void exported_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("filter and descending order")
            << QStringList{u"--filter"_s, u"FR3:NFORM >= 102 AND FR3:NFORM <= 105"_s, u"--order"_s, u"-FR3:Nform"_s}
            << QStringList{u"105"_s, u"104"_s, u"103"_s, u"102"_s};
        QTest::newRow("key name still an order")
            << QStringList{u"--filter"_s, u"UPPER(FR3:S2) = UPPER('заря')"_s, u"--order"_s, u"fr3:k2"_s}
            << QStringList{u"112"_s, u"113"_s};
        QTest::newRow("key then items") << QStringList{u"--filter"_s, u"CONTAINS(UPPER(FR3:S2), 'РАССВЕТ')"_s,
                                                       u"--order"_s, u"FR3:K4,-FR3:datav"_s}
                                        << QStringList{u"102"_s, u"101"_s, u"111"_s};
        QTest::newRow("quotes typed literally")
            << QStringList{u"--filter"_s, u"FR3:S2 = ''' OR 1=1 --'"_s} << QStringList{u"123456789"_s};
        QTest::newRow("nothing passes") << QStringList{u"--filter"_s, u"FR3:NFORM < 0"_s} << QStringList{};
    }

    void exported()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, numbers);
        const Run r = run(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.numbers, numbers);
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("unbalanced") << QStringList{u"--filter"_s, u"FR3:NFORM = (1"_s} << u"--filter: позиция 15"_s;
        QTest::newRow("unknown function")
            << QStringList{u"--filter"_s, u"LOWER(FR3:S2) = 'x'"_s} << u"--filter: позиция 1: неизвестная функция"_s;
        QTest::newRow("unknown name") << QStringList{u"--filter"_s, u"d1 <= FR3:DATAV"_s}
                                      << u"позиция 1: неизвестное имя"_s;
        QTest::newRow("bad order") << QStringList{u"--order"_s, u"+FR3:datav,-FR3:NOPE"_s} << u"--order: позиция 13"_s;
        QTest::newRow("unknown key") << QStringList{u"--order"_s, u"FR3:K9"_s} << u"--order: позиция 1"_s;
    }

    void refused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = run(args);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.numbers.isEmpty());
        QVERIFY2(r.errors.contains(message), qPrintable(r.errors));
    }
};

QTEST_GUILESS_MAIN(TestExportFilter)
#include "test_exportfilter.moc"
