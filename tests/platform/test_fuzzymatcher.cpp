// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fuzzymatcher.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace vetcert;

namespace {

// Joined as the register joins them: number, issue and valid-until day numbers, recipient.
const QStringList kCertificates = {
    u"1045 77509 77514 ООО «Приволье» г. Тверь"_s,
    u"1046 77510 77515 ООО «Рассвет»"_s,
    u"1047 77511 77516 СПК «Родина»"_s,
    u"1048 77512 77517 ИП Петров А. И."_s,
    u"10450 77513 77518 ЗАО «Привет»"_s,
    u"523418 77436 77441 КФХ «Луговое»"_s,
    u"523419 77437 77442 ООО «Рассвет» г. Тверь"_s,
};

} // namespace

class TestFuzzyMatcher : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setFuzzyOptions({}); }

    void score_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<int>("score");
        QTest::newRow("exact") << u"Рассвет"_s << kCertificates[1] << true << false << 100;
        QTest::newRow("letter case ignored") << u"рАССВЕТ"_s << kCertificates[1] << true << false << 100;
        QTest::newRow("letter case kept") << u"рассвет"_s << kCertificates[1] << false << false << 85;
        QTest::newRow("ё as е") << u"елочка"_s << u"ЗАО «Ёлочка»"_s << true << false << 100;
        QTest::newRow("inside a longer word") << u"свет"_s << kCertificates[1] << true << false << 100;
        QTest::newRow("whole words only") << u"свет"_s << kCertificates[1] << true << true << 25;
        QTest::newRow("whole word found") << u"рассвет"_s << kCertificates[1] << true << true << 100;
        QTest::newRow("one letter missing") << u"Расвет"_s << kCertificates[1] << true << false << 83;
        QTest::newRow("one letter wrong") << u"Приволъе"_s << kCertificates[0] << true << false << 87;
        QTest::newRow("number among fields") << u"523418"_s << kCertificates[5] << true << false << 100;
        QTest::newRow("date as day number") << u"77509"_s << kCertificates[0] << true << false << 100;
        QTest::newRow("two words, one found") << u"Петров Рассвет"_s << kCertificates[3] << true << false << 61;
        QTest::newRow("punctuation is no word") << u"  «Рассвет», "_s << kCertificates[1] << true << false << 100;
        QTest::newRow("nothing alike") << u"ЖЖЖЖ"_s << kCertificates[1] << true << false << 0;
        QTest::newRow("empty query") << QString() << kCertificates[1] << true << false << 0;
        QTest::newRow("query without words") << u" ,.« "_s << kCertificates[1] << true << false << 0;
        QTest::newRow("empty text") << u"Рассвет"_s << QString() << true << false << 0;
    }

    void score()
    {
        QFETCH(QString, query);
        QFETCH(QString, text);
        QFETCH(bool, ignoreCase);
        QFETCH(bool, wholeWords);
        QFETCH(int, score);
        const FuzzyMatcher m(query, {ignoreCase, wholeWords});
        QCOMPARE(m.score(text), score);
        // The UTF-8 path that SQLite uses gives the same.
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(m.scoreUtf8(utf8.constData(), utf8.size()), score);
    }

    // The best-scoring certificate is the one meant, also when the query is misspelt.
    void ranking_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("best");
        QTest::newRow("misspelt name") << u"Расвет"_s << 1;
        QTest::newRow("misspelt name and town") << u"расвет тверь"_s << 6;
        QTest::newRow("misspelt with a wrong letter") << u"Привольн"_s << 0;
        QTest::newRow("number") << u"523418"_s << 5;
        QTest::newRow("number inside a longer one loses to itself") << u"1045"_s << 0;
        QTest::newRow("surname") << u"петров"_s << 3;
    }

    void ranking()
    {
        QFETCH(QString, query);
        QFETCH(int, best);
        const FuzzyMatcher m(query);
        int top = -1, topScore = -1;
        for (int i = 0; i < kCertificates.size(); ++i) {
            const int s = m.score(kCertificates[i]);
            QVERIFY(s >= 0 && s <= 100);
            if (s > topScore) {
                top = i;
                topScore = s;
            }
        }
        QCOMPARE(top, best);
    }

    // The program-wide options set at start-up are the ones a matcher takes.
    void programOptions()
    {
        setFuzzyOptions({false, true});
        QCOMPARE(FuzzyMatcher(u"рассвет"_s).options().ignoreCase, false);
        QVERIFY(fuzzyMatch(u"свет"_s, kCertificates[1]) < 100);
        setFuzzyOptions({true, false});
        QCOMPARE(fuzzyMatch(u"свет"_s, kCertificates[1]), 100);
    }

    void longWords()
    {
        const QString word(200, u'я');
        const FuzzyMatcher m(word);
        QCOMPARE(m.score(word), 100);
        QCOMPARE(m.score(u"я"_s), 1);
        QCOMPARE(m.score(QString(500, u'а') + word), 100);
    }
};

QTEST_GUILESS_MAIN(TestFuzzyMatcher)
#include "test_fuzzymatcher.moc"
