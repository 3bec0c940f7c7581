// SPDX-License-Identifier: GPL-3.0-or-later
#include "exprfixture.h"
#include "platform/expression.h"
#include "platform/querydialog.h"
#include "platform/recordquery.h"
#include "platform/settingsfile.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vetcert;

namespace {

// The items the register's certificate list offers, in its order.
std::vector<QbeItem> registerItems()
{
    return {{u"UPPER(FR3:Nform)"_s, u"№удостоверения"_s, QbeKind::Integer, 9},
            {u"UPPER(FR3:datav)"_s, u"Дата выдачи"_s, QbeKind::Date, 0},
            {u"UPPER(FR3:datav)"_s, u"Дата выдачи с"_s, QbeKind::Date, 0},
            {u"UPPER(FR3:datav)"_s, u"Дата выдачи по"_s, QbeKind::Date, 0},
            {u"UPPER(FR3:s2)"_s, u"Кому"_s, QbeKind::Text, 91},
            {u"UPPER(FR3:datadst)"_s, u"Действительно до"_s, QbeKind::Date, 0}};
}

const QString kSection = u"Browselicenziy"_s;

QStringView rtrimmed(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ')
        --n;
    return QStringView(s).left(n);
}

} // namespace

class TestQueryByExample : public QObject
{
    Q_OBJECT

private slots:
    void conditionPerKind_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        using C = QbeComparison;
        QTest::newRow("number") << 0 << int(C::Equal) << u" 123 "_s << u"UPPER(FR3:Nform) = 123"_s;
        QTest::newRow("number blank is zero") << 0 << int(C::NotEqual) << u""_s << u"UPPER(FR3:Nform) <> 0"_s;
        QTest::newRow("negative number") << 0 << int(C::Greater) << u"-5"_s << u"UPPER(FR3:Nform) > (-5)"_s;
        QTest::newRow("date") << 1 << int(C::Equal) << u"15.03.2013"_s << u"UPPER(FR3:datav) = 77509"_s;
        QTest::newRow("date from") << 2 << int(C::NotLess) << u"01.03.2013"_s << u"UPPER(FR3:datav) >= 77495"_s;
        QTest::newRow("date to") << 3 << int(C::NotGreater) << u"31.03.2013"_s << u"UPPER(FR3:datav) <= 77525"_s;
        QTest::newRow("date blank is zero") << 5 << int(C::Less) << u""_s << u"UPPER(FR3:datadst) < 0"_s;
        QTest::newRow("text contains") << 4 << int(C::Contains) << u"Рассвет"_s
                                       << u"CONTAINS(UPPER(FR3:s2), UPPER('Рассвет'))"_s;
        QTest::newRow("text begins with a quote")
            << 4 << int(C::BeginsWith) << u"O'Brien"_s << u"BEGINSWITH(UPPER(FR3:s2), UPPER('O''Brien'))"_s;
        QTest::newRow("text blank") << 4 << int(C::NotEqual) << u""_s << u"UPPER(FR3:s2) <> UPPER('')"_s;
        QTest::newRow("number contains") << 0 << int(C::Contains) << u"12"_s << u"CONTAINS(UPPER(FR3:Nform), 12)"_s;
    }

    void conditionPerKind()
    {
        QFETCH(int, item);
        QFETCH(int, comparison);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QueryByExample q(Forma3::def(), registerItems());
        q.conditions() = {{item, QbeComparison(comparison), value}};
        QString error;
        QCOMPARE(q.filter(&error).value_or(error), expected);
    }

    void refused_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("letters in a number") << 0 << u"12a"_s << u"не целое число"_s;
        QTest::newRow("injection in a number") << 0 << u"1 OR 1=1"_s << u"не целое число"_s;
        QTest::newRow("quote in a number") << 0 << u"' OR 1=1 --"_s << u"не целое число"_s;
        QTest::newRow("number too long") << 0 << u"1234567890"_s << u"до 9 цифр"_s;
        QTest::newRow("no such date") << 1 << u"31.02.2013"_s << u"не дата"_s;
        QTest::newRow("injection in a date") << 2 << u"01.01.2013' OR '1'='1"_s << u"не дата"_s;
        QTest::newRow("other date format") << 3 << u"2013-03-01"_s << u"не дата"_s;
        QTest::newRow("line feed") << 4 << u"a\nb"_s << u"управляющий символ"_s;
        QTest::newRow("tab") << 4 << u"\t"_s << u"управляющий символ"_s;
        QTest::newRow("nul") << 4 << QString(QChar(u'\0')) << u"управляющий символ"_s;
        QTest::newRow("too long") << 4 << QString(5000, u'a') << u"длиннее 91"_s;
        QTest::newRow("not in the code page") << 4 << u"✓"_s << u"не может быть в данных"_s;
    }

    void refused()
    {
        QFETCH(int, item);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        QueryByExample q(Forma3::def(), registerItems());
        q.conditions() = {{item, QbeComparison::Equal, value}};
        QString error;
        QVERIFY(!q.filter(&error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QVERIFY(error.contains(registerItems()[size_t(item)].title));
    }

    // Whatever is typed either matches literally or is refused, and the data files stay as they were.
    void hostileValues()
    {
        test::CertificateStore store;
        store.addAll();
        auto schemaText = [&store] {
            QStringList out;
            sql::Statement s(store.db(), u"SELECT type || ' ' || name FROM sqlite_master ORDER BY name"_s);
            while (s.step() == SQLITE_ROW) {
                int n = 0;
                const char* t = s.rawText(0, &n);
                out << QString::fromUtf8(t, n);
            }
            return out;
        };
        const QStringList schemaBefore = schemaText();
        const QStringList values = {u"' OR 1=1 --"_s,
                                    u"'); DROP TABLE x; --"_s,
                                    u"'"_s,
                                    u"''"_s,
                                    QString(5000, u'a'),
                                    u"a\u0000b"_s,
                                    u"\u001b[2J"_s,
                                    u"O'Brien & Co"_s,
                                    u"зАо «Ё"_s,
                                    u"%"_s,
                                    u"_"_s,
                                    u"\\'"_s};
        int taken = 0;
        for (const QString& value : values) {
            for (QbeComparison cmp : {QbeComparison::Equal, QbeComparison::Contains, QbeComparison::BeginsWith}) {
                QueryByExample qbe(Forma3::def(), registerItems());
                qbe.conditions() = {{4, cmp, value}};
                QString error;
                const std::optional<QString> filter = qbe.filter(&error);
                if (!filter) {
                    QVERIFY(!error.isEmpty());
                    continue;
                }
                ++taken;
                RecordQuery q(*store.ctx, FileId::Forma3);
                expr::ParseError pe;
                QVERIFY2(q.setFilter(*filter, &pe), qPrintable(pe.toString()));
                QVERIFY(q.open() == Status::Ok);
                QSet<qint64> got;
                while (q.next() == Status::Ok)
                    got << q.position();
                // The literal meaning, worked out here with plain string operations.
                const QString v = expr::upperText(value);
                QSet<qint64> expected;
                for (auto& [pos, rec] : store.all()) {
                    const QString s2 = expr::upperText(rec.as<Forma3>().S2.toString());
                    const bool match = cmp == QbeComparison::Equal      ? rtrimmed(s2) == rtrimmed(v)
                                       : cmp == QbeComparison::Contains ? s2.contains(rtrimmed(v))
                                                                        : s2.startsWith(rtrimmed(v));
                    if (match)
                        expected << pos;
                }
                QVERIFY2(got == expected, qPrintable(*filter));
                if (value == u"' OR 1=1 --"_s && cmp == QbeComparison::Equal)
                    QCOMPARE(got.size(), 1);
            }
        }
        QVERIFY(taken >= 20);
        QVERIFY(store.reporter.messages().empty());

        // Every data file is intact: same records, sound structure, no table made.
        sqlite3* db = store.db();
        QCOMPARE(sql::queryInt(db, u"SELECT count(*) FROM forma3"_s), qint64(std::size(test::kCertificates)));
        QCOMPARE(sql::queryInt(db, u"SELECT count(*) FROM sqlite_master WHERE name = 'x'"_s), 0);
        QCOMPARE(schemaText(), schemaBefore);
        {
            sql::Statement check(db, u"PRAGMA integrity_check"_s);
            QCOMPARE(check.step(), SQLITE_ROW);
            int n = 0;
            const char* verdict = check.rawText(0, &n);
            QCOMPARE(QByteArray(verdict, n), QByteArray("ok"));
        }
        store.ctx.reset();
        QStringList log;
        QVERIFY2(Context::checkAndRepair(*store.store, &log), qPrintable(log.join(u'\n')));
    }

    void dialogBuildsFilter()
    {
        QTemporaryDir dir;
        SettingsFile settings(dir.filePath(u"Tesmar.INI"_s));
        QueryDialog d(Forma3::def(), registerItems(), settings, kSection);
        QSignalSpy chosen(&d, &QueryDialog::filterChosen);
        d.open();
        auto* add = d.findChild<QPushButton*>(u"addCondition"_s);
        QVERIFY(add);
        // One condition per kind of item: number, date, text.
        const struct
        {
            int item;
            QbeComparison cmp;
            QString value;
        } rows[] = {{0, QbeComparison::Equal, u"123"_s},
                    {2, QbeComparison::NotLess, u"01.03.2013"_s},
                    {4, QbeComparison::Contains, u"Рассвет"_s}};
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(add, Qt::LeftButton);
            d.findChild<QComboBox*>(u"item%1"_s.arg(i))->setCurrentIndex(rows[i].item);
            d.findChild<QComboBox*>(u"comparison%1"_s.arg(i))->setCurrentIndex(int(rows[i].cmp));
            d.findChild<QLineEdit*>(u"value%1"_s.arg(i))->setText(rows[i].value);
        }
        QCOMPARE(d.findChild<QLineEdit*>(u"value1"_s)->placeholderText(), u"дд.мм.гггг"_s);
        QCOMPARE(d.findChild<QLineEdit*>(u"value2"_s)->maxLength(), 91);
        QTest::mouseClick(d.findChild<QPushButton*>(u"ok"_s), Qt::LeftButton);
        QCOMPARE(chosen.count(), 1);
        const QString expected = u"(UPPER(FR3:Nform) = 123) AND (UPPER(FR3:datav) >= 77495) AND "
                                 u"(CONTAINS(UPPER(FR3:s2), UPPER('Рассвет')))"_s;
        QCOMPARE(chosen.at(0).at(0).toString(), expected);
        QCOMPARE(d.filterText(), expected);
        QVERIFY(!d.isVisible());
    }

    void dialogRefusesBadValue()
    {
        QTemporaryDir dir;
        SettingsFile settings(dir.filePath(u"Tesmar.INI"_s));
        QueryDialog d(Forma3::def(), registerItems(), settings, kSection);
        QSignalSpy chosen(&d, &QueryDialog::filterChosen);
        d.open();
        d.setConditions({{1, QbeComparison::Equal, u"32.01.2013"_s}});
        QTest::mouseClick(d.findChild<QPushButton*>(u"ok"_s), Qt::LeftButton);
        QCOMPARE(chosen.count(), 0);
        QVERIFY(d.isVisible());
        QVERIFY(d.findChild<QLabel*>(u"error"_s)->text().contains(u"Дата выдачи"_s));
    }

    // Saving, recalling and deleting a named query in a real Tesmar.INI.
    void namedQueries()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Tesmar.INI"_s);
        const std::vector<QbeCondition> conditions = {{4, QbeComparison::BeginsWith, u"O'Brien, \"Co\"; [x]"_s},
                                                      {2, QbeComparison::NotLess, u"01.03.2013"_s},
                                                      {3, QbeComparison::NotGreater, u"31.03.2013"_s}};
        {
            SettingsFile settings(path);
            settings.setValue(kSection, inikey::XPos, 10);
            QueryDialog d(Forma3::def(), registerItems(), settings, kSection);
            d.open();
            d.setConditions(conditions);
            d.findChild<QComboBox*>(u"savedQueries"_s)->setCurrentText(u"Март 2013"_s);
            QTest::mouseClick(d.findChild<QPushButton*>(u"saveQuery"_s), Qt::LeftButton);
            // A blank name is not kept.
            d.findChild<QComboBox*>(u"savedQueries"_s)->setCurrentText(u"  "_s);
            QTest::mouseClick(d.findChild<QPushButton*>(u"saveQuery"_s), Qt::LeftButton);
        }
        QFile ini(path);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        ini.close();
        QVERIFY(text.contains("[Browselicenziy]"));
        QVERIFY(text.contains("SavedQueries="));
        QVERIFY(text.contains("XPos=10"));
        {
            SettingsFile settings(path);
            QCOMPARE(QueryByExample::savedNames(settings, kSection), QStringList{u"Март 2013"_s});
            QueryDialog d(Forma3::def(), registerItems(), settings, kSection);
            d.open();
            auto* names = d.findChild<QComboBox*>(u"savedQueries"_s);
            QCOMPARE(names->count(), 1);
            names->setCurrentIndex(0);
            QTest::mouseClick(d.findChild<QPushButton*>(u"loadQuery"_s), Qt::LeftButton);
            QCOMPARE(d.conditions(), conditions);
            names->setCurrentText(u"Март 2013"_s);
            QTest::mouseClick(d.findChild<QPushButton*>(u"deleteQuery"_s), Qt::LeftButton);
            QCOMPARE(names->count(), 0);
        }
        SettingsFile settings(path);
        QVERIFY(QueryByExample::savedNames(settings, kSection).isEmpty());
        QCOMPARE(settings.value(kSection, inikey::XPos).toInt(), 10);
        QueryByExample q(Forma3::def(), registerItems());
        QVERIFY(!q.load(settings, kSection, u"Март 2013"_s));
    }
};

QTEST_MAIN(TestQueryByExample)
#include "test_querybyexample.moc"
