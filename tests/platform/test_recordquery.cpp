// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/storeschema.h"
#include "exprfixture.h"
#include "platform/recordquery.h"

#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;
using namespace vetcert;
using namespace vetcert::expr;

namespace {

qint64 day(const char16_t* dmy)
{
    return Date::parse(QStringView(dmy))->dayNumber();
}

// The program values the register, the printing and the reports make known.
void setVariables(Variables& v, qint64 d1, qint64 d2, qint64 nform, const QString& fuzzy)
{
    v.setInt(u"d1"_s, d1);
    v.setInt(u"d2"_s, d2);
    v.setInt(u"nform"_s, nform);
    v.setText(u"FuzzyQuery4"_s, fuzzy);
}

} // namespace

class TestRecordQuery : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::CertificateStore> m_store;

    // Positions of the records SQLite selects for the filter and order.
    std::vector<qint64> bySql(RecordQuery& q)
    {
        std::vector<qint64> out;
        if (q.open() != Status::Ok)
            return {-1};
        while (q.next() == Status::Ok)
            out.push_back(q.position());
        // Records are tested again as they are read: SQL must not have selected more than it gave.
        if (q.size() >= 0 && q.size() != static_cast<qint64>(out.size()))
            return {-2, q.size()};
        return out;
    }

    // The same selection worked out on record buffers, with the tree evaluated in C++.
    std::vector<qint64> byEvaluation(const RecordQuery& q)
    {
        auto all = m_store->all();
        std::vector<std::pair<qint64, AnyRecord>> kept;
        const Order& order = q.order();
        for (auto& [pos, rec] : all) {
            if (q.filter() && !q.filter()->test(rec.ref(), q.variables()))
                continue;
            if (order.key >= 0 && rec.ref().isBlank(rec.ref().def().keys[size_t(order.key)].field))
                continue;
            kept.emplace_back(pos, rec);
        }
        std::stable_sort(kept.begin(), kept.end(), [&](const auto& a, const auto& b) {
            if (order.key >= 0) {
                const KeyDef& k = a.second.ref().def().keys[size_t(order.key)];
                const QByteArray ka = schema::keyBytes(schema::keyValue(a.second.ref(), k));
                const QByteArray kb = schema::keyBytes(schema::keyValue(b.second.ref(), k));
                if (ka != kb)
                    return ka < kb;
            }
            return order.compare(a.second.ref(), b.second.ref(), q.variables()) < 0;
        });
        std::vector<qint64> out;
        for (const auto& [pos, rec] : kept)
            out.push_back(pos);
        return out;
    }

private slots:
    // The tests only read, but removedAfterSelection, which makes a store of its own.
    void initTestCase()
    {
        m_store = std::make_unique<test::CertificateStore>();
        m_store->addAll();
    }
    void cleanupTestCase() { m_store.reset(); }

    // SQLite and the C++ evaluator select the same records in the same order.
    void sqlAgreesWithEvaluator_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("order");
        QTest::addColumn<qint64>("d1");
        QTest::addColumn<qint64>("d2");
        QTest::addColumn<qint64>("nform");
        const qint64 mar1 = day(u"01.03.2013"), mar15 = day(u"15.03.2013"), mar31 = day(u"31.03.2013");
        const QString period = u"(d1<=fr3:datav) and (d2>=fr3:datav)"_s;
        const QString byDate = u"+FR3:datav,+FR3:Nform"_s;
        QTest::newRow("printing") << u"nform=FR3:Nform"_s << QString() << 0ll << 0ll << 101ll;
        QTest::newRow("printing no number") << u"nform=FR3:Nform"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("period") << period << byDate << mar1 << mar15 << 0ll;
        QTest::newRow("period one day") << period << byDate << mar15 << mar15 << 0ll;
        QTest::newRow("period from no date") << period << byDate << 0ll << mar15 << 0ll;
        QTest::newRow("period reversed") << period << byDate << mar31 << mar1 << 0ll;
        QTest::newRow("upper equal") << u"UPPER(FR3:s2) = UPPER('ооо «рассвет»')"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("case counts") << u"FR3:s2 = 'ООО «Рассвет»'"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("trailing blanks") << u"FR3:S2 = 'Заря   '"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("begins upper") << u"BEGINSWITH(UPPER(FR3:s2), UPPER('зао'))"_s << byDate << 0ll << 0ll << 0ll;
        QTest::newRow("begins with Е not Ё")
            << u"BEGINSWITH(UPPER(FR3:s2), 'ЗАО «Е')"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("begins with Ё") << u"BEGINSWITH(UPPER(FR3:s2), UPPER('зао «ё'))"_s << QString() << 0ll << 0ll
                                       << 0ll;
        QTest::newRow("equal Ё") << u"UPPER(FR3:s2) = 'ЗАО «ЁЛОЧКА»'"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("contains") << u"CONTAINS(FR3:S2, 'Рассвет')"_s << u"-FR3:Nform"_s << 0ll << 0ll << 0ll;
        QTest::newRow("contains number") << u"CONTAINS(UPPER(FR3:Nform), '10')"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("quote in text") << u"FR3:S2 = 'O''Brien & Co'"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("decimal") << u"FR3:CENA > 1 OR FR3:CENA = 0.05"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("decimal as text") << u"FR3:CENA & '' = '12.5'"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("no value") << u"NOT (FR3:Nform / 0 = 1)"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("no value or") << u"FR3:Nform / 0 = 1 OR FR3:Nform > 110"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("text order") << u"FR3:s2 < 'Б'"_s << u"+FR3:s2"_s << 0ll << 0ll << 0ll;
        QTest::newRow("no date") << u"FR3:datav = 0"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("date range") << u"UPPER(FR3:datav) >= d1 AND UPPER(FR3:datav) < d2"_s << u"-FR3:datav"_s << mar1
                                    << mar15 << 0ll;
        QTest::newRow("negative bound") << u"FR3:Nform > -5 AND FR3:Nform <= 105"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("joined") << u"FR3:Nform&' '&FR3:datav = '101 77495'"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("arithmetic") << u"FR3:Nform * 2 - 1 > 220 AND -FR3:Nform < -110"_s << QString() << 0ll << 0ll
                                    << 0ll;
        QTest::newRow("overflow") << u"FR3:Nform * 9223372036854775807 > 0"_s << QString() << 0ll << 0ll << 0ll;
        QTest::newRow("fuzzy order")
            << QString() << u"200-FuzzyMatch(FuzzyQuery4,FR3:Nform&' '&FR3:datav&' '&FR3:datadst&' '&FR3:s2)"_s << 0ll
            << 0ll << 0ll;
        QTest::newRow("key then items") << QString() << u"FR3:K4,+FR3:datav,+FR3:Nform"_s << 0ll << 0ll << 0ll;
        QTest::newRow("key with filter") << u"FR3:datav >= d1"_s << u"FR3:K4,-FR3:Nform"_s << mar15 << 0ll << 0ll;
        QTest::newRow("descending text") << QString() << u"-UPPER(FR3:s2),+FR3:Nform"_s << 0ll << 0ll << 0ll;
        QTest::newRow("begins with a number") << u"BEGINSWITH(FR3:Nform, 10) AND FR3:Nform > 0"_s << QString() << 0ll << 0ll
                                              << 0ll;
        QString joined = u"FR3:Nform"_s;
        for (int i = 0; i < 13000; ++i)
            joined += u" & ''"_s;
        QTest::newRow("thirteen thousand joined") << joined + u" = '101'"_s << QString() << 0ll << 0ll << 0ll;
    }

    void sqlAgreesWithEvaluator()
    {
        QFETCH(QString, filter);
        QFETCH(QString, order);
        QFETCH(qint64, d1);
        QFETCH(qint64, d2);
        QFETCH(qint64, nform);
        RecordQuery q(*m_store->ctx, FileId::Forma3);
        setVariables(q.variables(), d1, d2, nform, u"Расвет"_s);
        ParseError err;
        QVERIFY2(q.setFilter(filter, &err), qPrintable(err.toString()));
        QVERIFY2(q.setOrder(order, &err), qPrintable(err.toString()));
        const std::vector<qint64> sql = bySql(q);
        const std::vector<qint64> evaluated = byEvaluation(q);
        QCOMPARE(sql, evaluated);
        QVERIFY(m_store->reporter.messages().empty());
    }

    // The filters of the printing and the period report give the records they describe.
    void describedRecords_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("order");
        QTest::addColumn<bool>("blankKeys");
        QTest::addColumn<QList<qint64>>("numbers");
        // Printing reads in permit order with the blank permits too.
        QTest::newRow("printing") << u"nform=FR3:Nform"_s << u"FR3:K1"_s << true << QList<qint64>{101, 101};
        QTest::newRow("period") << u"(d1<=fr3:datav) and (d2>=fr3:datav)"_s << u"+FR3:datav,+FR3:Nform"_s << false
                                << QList<qint64>{101, 102, 116, 0, 111, 103, 104, 113, 115};
        QTest::newRow("register query") << u"(UPPER(FR3:s2) = UPPER('заря')) AND (UPPER(FR3:datav) >= 77509)"_s
                                        << u"FR3:K4,+FR3:datav,+FR3:Nform"_s << false << QList<qint64>{113, 112};
        // Folded keys: Ё sorts as Е, letter case ignored; a blank recipient has no entry.
        QTest::newRow("no filter by key")
            << QString() << u"FR3:K4,+FR3:datav,+FR3:Nform"_s << false
            << QList<qint64>{116, 123456789, 115, 101, 108, 0, 103, 104, 106, 113, 112, 105, 101, 102, 111};
    }

    void describedRecords()
    {
        QFETCH(QString, filter);
        QFETCH(QString, order);
        QFETCH(bool, blankKeys);
        QFETCH(QList<qint64>, numbers);
        RecordQuery q(*m_store->ctx, FileId::Forma3);
        setVariables(q.variables(), day(u"01.03.2013"), day(u"15.03.2013"), 101, {});
        q.setIncludeBlankKeys(blankKeys);
        QVERIFY(q.setFilter(filter));
        QVERIFY(q.setOrder(order));
        QVERIFY(q.open() == Status::Ok);
        QList<qint64> got;
        while (q.next() == Status::Ok)
            got << q.record().decimal(q.def().fieldIndex(u"NFORM")).integerPart();
        QCOMPARE(got, numbers);
    }

    // The period filter uses the date key once d1 rules out a blank date, and only then.
    void dateKeyUsed()
    {
        RecordQuery q(*m_store->ctx, FileId::Forma3);
        setVariables(q.variables(), day(u"01.03.2013"), day(u"15.03.2013"), 0, {});
        QVERIFY(q.setFilter(u"(d1<=fr3:datav) and (d2>=fr3:datav)"_s));
        QVERIFY(q.setOrder(u"+FR3:datav,+FR3:Nform"_s));
        QVERIFY2(q.queryPlan().join(u'\n').contains(u"key_k3"_s), qPrintable(q.queryPlan().join(u'\n')));
        q.variables().setInt(u"d1"_s, 0);
        QVERIFY(!q.queryPlan().join(u'\n').contains(u"key_k3"_s));
        QVERIFY(!q.selectionSql().contains(u"key_k3"_s));
    }

    // A record removed after the selection is passed over, not read as garbage.
    // "Begins with" on a number key bounds no range of the key: -5 begins both -5 and -50.
    void beginsWithNegativeNumber()
    {
        test::CertificateStore st;
        for (qint64 n : {-50, -5, 7})
            st.add({n, u"01.03.2013", u"Заря"});
        RecordQuery q(*st.ctx, FileId::Forma3);
        ParseError err;
        QVERIFY2(q.setFilter(u"BEGINSWITH(FR3:Nform, 0-5) AND FR3:Nform < 0"_s, &err), qPrintable(err.toString()));
        QVERIFY(q.setOrder(u"+FR3:Nform"_s, &err));
        QCOMPARE(q.open(), Status::Ok);
        QList<qint64> got;
        while (q.next() == Status::Ok)
            got << q.record().decimal(q.record().def().fieldIndex(u"NFORM")).integerPart();
        QCOMPARE(got, (QList<qint64>{-50, -5}));
    }

    void removedAfterSelection()
    {
        test::CertificateStore store;
        store.addAll();
        RecordQuery q(*store.ctx, FileId::Forma3);
        QVERIFY(q.setFilter(u"FR3:Nform = 101"_s));
        QVERIFY(q.open() == Status::Ok);
        QCOMPARE(q.size(), 2);
        DataFile& f = store.ctx->file(FileId::Forma3);
        QVERIFY(q.next() == Status::Ok);
        const qint64 first = q.position();
        QVERIFY(f.read(first) == Status::Ok);
        q.close();
        QVERIFY(q.open() == Status::Ok);
        QVERIFY(f.remove() == Status::Ok);
        QVERIFY(q.next() == Status::Ok);
        QVERIFY(q.position() != first);
        QVERIFY(q.next() == Status::End);

        // One changed after the selection so that it no longer passes is passed over too.
        q.close();
        QVERIFY(q.open() == Status::Ok);
        QCOMPARE(q.size(), 1);
        QVERIFY(f.setOrderStart(kStoredOrder) == Status::Ok);
        while (f.next() == Status::Ok && f.record<Forma3>().NFORM.integerPart() != 101) {
        }
        f.record<Forma3>().NFORM.setInteger(999);
        QVERIFY(f.update() == Status::Ok);
        QVERIFY(q.next() == Status::End);
    }

    void limitAndStreaming()
    {
        RecordQuery q(*m_store->ctx, FileId::Forma3);
        QVERIFY(q.setOrder(u"FR3:K2"_s));
        q.setLimit(3);
        q.setStreaming(true);
        QVERIFY(q.open() == Status::Ok);
        QList<qint64> got;
        while (q.next() == Status::Ok)
            got << q.record().decimal(q.def().fieldIndex(u"NFORM")).integerPart();
        QCOMPARE(got, (QList<qint64>{101, 101, 102}));
    }
};

QTEST_GUILESS_MAIN(TestRecordQuery)
#include "test_recordquery.moc"
