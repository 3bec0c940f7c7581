// SPDX-License-Identifier: GPL-3.0-or-later
// Pagination of bands into pages, groups, counts, formats and band callbacks.
#include "data/reporter.h"
#include "platform/fonts.h"
#include "platform/report/recordsource.h"
#include "platform/report/reportpaginator.h"
#include "platform/report/reportrun.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace vetcert;

namespace {

ReportFont font7()
{
    return ReportFont{u"Arial CYR"_s, 7, 0, 400, 204};
}

// A layout whose page header prints "P" and the record's tag, whose detail prints the tag and
// whose group footer prints "F".
ReportLayout taggedLayout(Tenths bodyHeight, Tenths detailHeight, Tenths footerHeight)
{
    ReportLayout l;
    l.body = {100, 300, 1900, bodyHeight};
    l.pageHeader = ReportBand{};
    l.pageHeader->height = 190;
    l.pageHeader->add(ReportControl::fixed(u"P"_s, {0, 0, 100, 40}, font7()));
    l.pageHeader->add(ReportControl::text(u"tag"_s, DisplayFormat::text(10), {200, 0, 300, 40}, font7()));
    l.pageHeaderX = 100;
    l.pageHeaderY = 100;
    l.detail.height = detailHeight;
    l.detail.add(ReportControl::text(u"tag"_s, DisplayFormat::text(10), {0, 0, 300, 40}, font7()));
    if (footerHeight > 0) {
        l.groupOn = u"grp"_s;
        l.groupFooter = ReportBand{};
        l.groupFooter->height = footerHeight;
        l.groupFooter->add(ReportControl::fixed(u"F"_s, {0, 0, 100, 40}, font7()));
    }
    return l;
}

std::shared_ptr<ReportDocument> paginate(ReportLayout layout, const QStringList& columns,
                                         const std::vector<std::vector<QVariant>>& rows)
{
    ReportPaginator p(std::move(layout), columns);
    ReportRow row(columns);
    for (const auto& values : rows) {
        for (int i = 0; i < static_cast<int>(values.size()); ++i)
            row.set(i, values[static_cast<size_t>(i)]);
        p.add(row);
    }
    return p.finish();
}

std::vector<std::vector<QVariant>> taggedRows(int n)
{
    std::vector<std::vector<QVariant>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({u"D%1"_s.arg(i), u"one group"_s});
    return rows;
}

// "P,Dfirst,Dfirst,…,Dlast" — a page header with the first record of the page and its details.
QString pageOf(int first, int last, bool footer = false, int headerTag = 0)
{
    QStringList t{u"P"_s, u"D%1"_s.arg(headerTag ? headerTag : first)};
    for (int i = first; i <= last; ++i)
        t << u"D%1"_s.arg(i);
    if (footer)
        t << u"F"_s;
    return t.join(u',');
}

QStringList pagesOf(const ReportDocument& doc)
{
    QStringList pages;
    for (int i = 0; i < static_cast<int>(doc.pages.size()); ++i)
        pages << doc.texts(i).join(u',');
    return pages;
}

} // namespace

class TestReportPagination : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }

    void bandsFitOrBreak_data()
    {
        QTest::addColumn<int>("bodyHeight");
        QTest::addColumn<int>("detailHeight");
        QTest::addColumn<int>("footerHeight");
        QTest::addColumn<int>("records");
        QTest::addColumn<QStringList>("pages");

        QTest::newRow("thirteen 19 mm details on 260 mm, 13 mm footer just fits")
            << 2600 << 190 << 130 << 13 << QStringList{pageOf(1, 13, true)};
        QTest::newRow("fourteenth detail starts page 2 under a new header")
            << 2600 << 190 << 130 << 14 << QStringList{pageOf(1, 13), pageOf(14, 14, true)};
        QTest::newRow("footer 0.1 mm too tall goes to the next page with the last record's header")
            << 2600 << 190 << 131 << 13 << QStringList{pageOf(1, 13), u"P,D13,F"_s};
        QTest::newRow("details exactly filling the body") << 1000 << 250 << 0 << 4 << QStringList{pageOf(1, 4)};
        QTest::newRow("one detail more than fits") << 1000 << 250 << 0 << 5 << QStringList{pageOf(1, 4), pageOf(5, 5)};
        QTest::newRow("detail 0.1 mm too tall for the rest")
            << 1000 << 251 << 0 << 4 << QStringList{pageOf(1, 3), pageOf(4, 4)};
        QTest::newRow("band taller than the body gets a page of its own")
            << 1000 << 1500 << 0 << 2 << QStringList{pageOf(1, 1), pageOf(2, 2)};
        QTest::newRow("three pages, a header each with its first record")
            << 600 << 190 << 0 << 7 << QStringList{pageOf(1, 3), pageOf(4, 6), pageOf(7, 7)};
    }

    void bandsFitOrBreak()
    {
        QFETCH(int, bodyHeight);
        QFETCH(int, detailHeight);
        QFETCH(int, footerHeight);
        QFETCH(int, records);
        QFETCH(QStringList, pages);
        auto doc =
            paginate(taggedLayout(bodyHeight, detailHeight, footerHeight), {u"tag"_s, u"grp"_s}, taggedRows(records));
        QCOMPARE(pagesOf(*doc), pages);
    }

    void bandsStackFromTheBodyTop()
    {
        auto doc = paginate(taggedLayout(2600, 190, 130), {u"tag"_s, u"grp"_s}, taggedRows(14));
        // Page 1: header texts at the area + header place, then details 19 mm apart from the body top.
        const auto& items = doc->pages[0].items;
        QCOMPARE(items[0].box.topLeft(), QPointF(10.0, 10.0));
        QCOMPARE(items[1].box.topLeft(), QPointF(30.0, 10.0));
        for (int i = 0; i < 13; ++i)
            QCOMPARE(items[static_cast<size_t>(2 + i)].box.topLeft(), QPointF(10.0, 30.0 + 19.0 * i));
        // Page 2: the footer right under the fourteenth detail.
        QCOMPARE(doc->pages[1].items[3].box.topLeft(), QPointF(10.0, 49.0));
    }

    void groupsAndCounts_data()
    {
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<QStringList>("expected");
        // Detail: row number / group count; footer: "F" and the group count.
        QTest::newRow("groups of 2, 1 and 4")
            << QStringList{u"A"_s, u"A"_s, u"B"_s, u"C"_s, u"C"_s, u"C"_s, u"C"_s}
            << QStringList{u"H:A"_s, u"1/1"_s, u"2/2"_s, u"F:2"_s, u"H:B"_s, u"3/1"_s, u"F:1"_s,
                           u"H:C"_s, u"4/1"_s, u"5/2"_s, u"6/3"_s, u"7/4"_s, u"F:4"_s};
        QTest::newRow("a value coming back starts a new group")
            << QStringList{u"A"_s, u"B"_s, u"A"_s}
            << QStringList{u"H:A"_s, u"1/1"_s, u"F:1"_s, u"H:B"_s, u"2/1"_s, u"F:1"_s, u"H:A"_s, u"3/1"_s, u"F:1"_s};
        QTest::newRow("blank group value")
            << QStringList{u""_s, u""_s} << QStringList{u"H:"_s, u"1/1"_s, u"2/2"_s, u"F:2"_s};
    }

    void groupsAndCounts()
    {
        QFETCH(QStringList, groups);
        QFETCH(QStringList, expected);
        ReportLayout l;
        l.groupOn = u"name"_s;
        l.counts = {{u"row"_s, false}, {u"ingroup"_s, true}};
        l.groupHeader = ReportBand{};
        l.groupHeader->height = 40;
        l.groupHeader->add(ReportControl::fixed(u"H:"_s, {0, 0, 100, 40}, font7()));
        l.groupHeader->add(ReportControl::text(u"name"_s, DisplayFormat::text(91), {100, 0, 1200, 40}, font7()));
        l.detail.height = 50;
        l.detail.add(ReportControl::text(u"row"_s, DisplayFormat::integer(7), {0, 0, 100, 40}, font7()));
        l.detail.add(ReportControl::text(u"ingroup"_s, DisplayFormat::integer(5), {200, 0, 100, 40}, font7()));
        l.groupFooter = ReportBand{};
        l.groupFooter->height = 50;
        l.groupFooter->add(ReportControl::fixed(u"F:"_s, {0, 0, 100, 40}, font7()));
        l.groupFooter->add(ReportControl::text(u"INGROUP"_s, DisplayFormat::integer(5), {200, 0, 100, 40}, font7()));
        std::vector<std::vector<QVariant>> rows;
        for (const QString& g : groups)
            rows.push_back({g});
        auto doc = paginate(l, {u"name"_s}, rows);
        QCOMPARE(doc->pages.size(), size_t(1));
        // Join each band's texts: "H:" + name, row + "/" + group count, "F:" + count.
        QStringList got;
        const auto& items = doc->pages[0].items;
        for (size_t i = 0; i < items.size(); ++i) {
            const QString t = items[i].text.trimmed();
            if (t == u"H:"_s) {
                const bool named = i + 1 < items.size() && items[i + 1].box.x() == 10.0;
                got << (named ? t + items[++i].text : t);
            } else if (t == u"F:"_s) {
                got << t + items[++i].text.trimmed();
            } else {
                got << t + u'/' + items[++i].text.trimmed();
            }
        }
        QCOMPARE(got, expected);
    }

    void formats_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("width");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        using K = DisplayFormat::Kind;
        QTest::newRow("text cut to its width") << int(K::Text) << 5 << QVariant(u"Абвгдеж"_s) << u"Абвгд"_s;
        QTest::newRow("text loses trailing blanks") << int(K::Text) << 10 << QVariant(u"Аб  "_s) << u"Аб"_s;
        QTest::newRow("text keeps leading blanks") << int(K::Text) << 10 << QVariant(u"  Аб"_s) << u"  Аб"_s;
        QTest::newRow("date") << int(K::Date) << 10 << QVariant(77436 + 31 + 28 + 4) << u"05.03.2013"_s;
        QTest::newRow("date 0 prints nothing") << int(K::Date) << 10 << QVariant(0) << QString();
        QTest::newRow("integer without grouping") << int(K::Integer) << 7 << QVariant(1234567) << u"1234567"_s;
        QTest::newRow("integer right in its digits") << int(K::Integer) << 5 << QVariant(42) << u"   42"_s;
        QTest::newRow("integer 0 prints nothing") << int(K::Integer) << 5 << QVariant(0) << u"     "_s;
        QTest::newRow("two digits padded") << int(K::TwoDigits) << 2 << QVariant(5) << u"05"_s;
        QTest::newRow("two digits of 0") << int(K::TwoDigits) << 2 << QVariant(0) << u"00"_s;
    }

    void formats()
    {
        QFETCH(int, kind);
        QFETCH(int, width);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        const DisplayFormat f{static_cast<DisplayFormat::Kind>(kind), width};
        QCOMPARE(f.apply(value), text);
    }

    void blankValuesDrawNothing()
    {
        ReportLayout l;
        l.detail.height = 50;
        l.detail.add(ReportControl::text(u"d"_s, DisplayFormat::date(), {0, 0, 200, 40}, font7()));
        l.detail.add(ReportControl::text(u"n"_s, DisplayFormat::integer(5), {300, 0, 200, 40}, font7()));
        l.detail.add(ReportControl::frame({0, 0, 500, 40}));
        auto doc = paginate(l, {u"d"_s, u"n"_s}, {{0, 0}});
        QCOMPARE(doc->pages[0].items.size(), size_t(2)); // the integer's blanks and the frame
        QCOMPARE(doc->pages[0].items[1].kind, PageItem::Kind::Frame);
    }

    void callbackMovesAndRefontsBeforeEachBand()
    {
        ReportLayout l;
        l.pageHeader = ReportBand{};
        l.pageHeader->add(ReportControl::fixed(u"H"_s, {50, 50, 100, 40}, font7()));
        l.detail.height = 2970;
        l.detail.add(ReportControl::text(u"v"_s, DisplayFormat::text(10), {240, 340, 920, 40}, font7()));
        l.detail.beforePrint = [](BandPrinting& p) {
            ReportControl* c = p.band.control(u"v");
            QVERIFY(c);
            c->box.x = p.row.value(u"x"_s).toInt();
            c->font.points = p.row.value(u"pt"_s).toDouble();
            c->font.style = 700;
            p.layout.area.x = p.row.value(u"ax"_s).toInt();
            p.layout.area.y = p.row.value(u"ay"_s).toInt();
        };
        auto doc = paginate(l, {u"v"_s, u"x"_s, u"pt"_s, u"ax"_s, u"ay"_s},
                            {{u"one"_s, 300, 12.0, -50, 25}, {u"two"_s, 301, 9.0, 0, 0}});
        QCOMPARE(doc->pages.size(), size_t(2));
        // The area moved before the page began, so the page header moved with it.
        QCOMPARE(doc->pages[0].items[0].box.topLeft(), QPointF(0.0, 7.5));
        QCOMPARE(doc->pages[0].items[1].box.topLeft(), QPointF(25.0, 36.5));
        QCOMPARE(doc->font(doc->pages[0].items[1].font).pointSizeF(), 12.0);
        QCOMPARE(doc->font(doc->pages[0].items[1].font).weight(), QFont::Bold);
        QCOMPARE(doc->pages[1].items[0].box.topLeft(), QPointF(5.0, 5.0));
        QCOMPARE(doc->pages[1].items[1].box.topLeft(), QPointF(30.1, 34.0));
        QCOMPARE(doc->font(doc->pages[1].items[1].font).pointSizeF(), 9.0);
    }

    void runSharesOutcome_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("outcome");
        QTest::newRow("records") << 3 << false << int(RunOutcome::Done);
        QTest::newRow("no record") << 0 << false << int(RunOutcome::NoRecords);
        QTest::newRow("cancelled before the first record") << 3 << true << int(RunOutcome::Cancelled);
    }

    void runSharesOutcome()
    {
        QFETCH(int, records);
        QFETCH(bool, cancel);
        QFETCH(int, outcome);
        VectorSource source({u"tag"_s, u"grp"_s}, taggedRows(records));
        RunState state;
        state.cancel = cancel;
        RecordingReporter reporter;
        const RunResult r = produceReport(taggedLayout(2600, 190, 0), source, state, reporter);
        QCOMPARE(int(r.outcome), outcome);
        QCOMPARE(bool(r.document), outcome == int(RunOutcome::Done));
        QCOMPARE(state.records.load(), cancel ? 0 : qint64(records));
        QCOMPARE(state.progress.load(), cancel || records == 0 ? 0 : 10000);
        QVERIFY(reporter.messages().empty());
    }

    void unknownNameIsAProgramError()
    {
        ReportLayout l = taggedLayout(2600, 190, 0);
        l.detail.add(ReportControl::text(u"FR3:NOSUCH"_s, DisplayFormat::text(5), {0, 0, 10, 10}, font7()));
        VectorSource source({u"tag"_s}, taggedRows(1));
        RunState state;
        RecordingReporter reporter;
        QCOMPARE(produceReport(l, source, state, reporter).outcome, RunOutcome::Failed);
        QCOMPARE(reporter.messages().size(), size_t(1));
        QCOMPARE(reporter.messages()[0].level, Level::ProgramError);
        QVERIFY(reporter.messages()[0].text.contains(u"FR3:NOSUCH"_s));
    }

    void runValuesAreShownByName()
    {
        ReportLayout l;
        l.values.insert(u"D1"_s, 77436);
        l.detail.height = 50;
        l.detail.add(ReportControl::text(u"d1"_s, DisplayFormat::date(), {0, 0, 200, 40}, font7()));
        auto doc = paginate(l, {u"x"_s}, {{1}});
        QCOMPARE(doc->texts(0), QStringList{u"01.01.2013"_s});
    }

    void textPositionProgress_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<double>("position");
        QTest::newRow("first") << u"Агрофирма"_s << u"Агрофирма"_s << u"Ясень"_s << 0.0;
        QTest::newRow("last") << u"Ясень"_s << u"Агрофирма"_s << u"Ясень"_s << 1.0;
        QTest::newRow("case ignored") << u"ЯСЕНЬ"_s << u"агрофирма"_s << u"ясень"_s << 1.0;
        QTest::newRow("halfway letter") << u"Б"_s << u"А"_s << u"В"_s << 0.5;
        QTest::newRow("before the first") << u"Аа"_s << u"Б"_s << u"В"_s << 0.0;
        QTest::newRow("one recipient only") << u"Б"_s << u"Б"_s << u"Б"_s << 0.0;
    }

    void textPositionProgress()
    {
        QFETCH(QString, value);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(double, position);
        QCOMPARE(progress::textPosition(value, first, last), position);
    }
};

QTEST_MAIN(TestReportPagination)
#include "tst_reportpagination.moc"
