// SPDX-License-Identifier: GPL-3.0-or-later
// Where texts land on paper: a report is written to PDF and read back with pdftotext -bbox,
// a reader that owes nothing to our code.
//
// How Y relates to the box pdftotext reports: a control's Y is the top of its box, and the text is
// drawn with its line top there, so the top of the font's ascent is at Y. pdftotext reports a
// word's yMin as its baseline minus the font's ascent, hence yMin = Y. X edges are the advance
// widths of the first and last glyphs, the same widths our alignment uses.
#include "core/date.h"
#include "data/reporter.h"
#include "platform/fonts.h"
#include "platform/report/recordsource.h"
#include "platform/report/reportrun.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vetcert;

namespace {

struct Placed
{
    const char16_t* text;
    Tenths x, y, w;
    double points;
    qint32 style;
    ReportAlign align;
    bool sized;
};

// Every text is one word, so that pdftotext reports it as one box.
const Placed kPlaced[] = {
    {u"Левый", 240, 340, 920, 9, 700, ReportAlign::Left, false},
    {u"Десятые", 243, 407, 500, 9, 400, ReportAlign::Left, false},
    {u"Середина", 410, 790, 1490, 9, 700, ReportAlign::Center, false},
    {u"Правый", 1500, 1000, 400, 8, 400, ReportAlign::Right, false},
    {u"1234567", 300, 1100, 300, 8, 700, ReportAlign::Decimal, false},
    {u"Отступ", 1000, 1200, 451, 7, 400, ReportAlign::RightInset, false},
    {u"05.03.2013", 270, 1300, 0, 7, 400, ReportAlign::RightInset, true},
    {u"17.11.2012", 600, 1300, 0, 8, 400, ReportAlign::Right, true},
    {u"Семь", 200, 1500, 500, 7, 400, ReportAlign::Left, false},
    {u"Восемь", 200, 1560, 500, 8, 400, ReportAlign::Left, false},
    {u"Девять", 200, 1630, 500, 9, 400, ReportAlign::Left, false},
    {u"Двенадцать", 200, 1710, 800, 12, 400, ReportAlign::Left, false},
    {u"Курсив", 1200, 1500, 600, 9, 400 + FontStyleBits::kItalic, ReportAlign::Right, false},
    {u"Подчёркнутый", 1200, 1600, 600, 8, 700 + FontStyleBits::kUnderline, ReportAlign::Center, false},
    {u"Нижний", 1111, 2855, 700, 12, 700 + FontStyleBits::kItalic, ReportAlign::Left, false},
};

struct Word
{
    int page;
    double xMin, yMin, xMax, yMax; // mm
};

constexpr double kTolerance = 0.2;
// Page 2 prints the same controls with the report area moved 5 mm left and 2.5 mm down.
constexpr Tenths kShiftX = -50;
constexpr Tenths kShiftY = 25;

} // namespace

class TestReportPlacement : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_pdf;
    QMultiHash<QString, Word> m_words;

private slots:
    void initTestCase()
    {
        installFontSubstitutions();
        QVERIFY(m_dir.isValid());
        ReportLayout l;
        l.title = u"placement"_s;
        l.detail.height = 2970;
        QStringList columns;
        std::vector<QVariant> values;
        for (const Placed& p : kPlaced) {
            const QString text = QString::fromUtf16(p.text);
            const bool isDate = text.contains(u'.');
            const bool isNumber = text[0].isDigit() && !isDate;
            const QString column = u"c%1"_s.arg(columns.size());
            columns << column;
            DisplayFormat format = DisplayFormat::text(40);
            if (isDate) {
                format = DisplayFormat::date();
                values.push_back(Date::parse(text)->dayNumber());
            } else if (isNumber) {
                format = DisplayFormat::integer(7);
                values.push_back(text.toLongLong());
            } else {
                values.push_back(text);
            }
            ReportControl c = ReportControl::text(column, format, {p.x, p.y, p.w, 40},
                                                  ReportFont{u"Arial CYR"_s, p.points, 0, p.style, 204}, p.align);
            if (p.sized)
                c.sized();
            l.detail.add(c);
        }
        columns << u"page"_s;
        std::vector<QVariant> first = values, second = values;
        first.push_back(1);
        second.push_back(2);
        l.detail.beforePrint = [](BandPrinting& b) {
            const bool shifted = b.row.value(u"page"_s).toInt() == 2;
            b.layout.area.x = shifted ? kShiftX : 0;
            b.layout.area.y = shifted ? kShiftY : 0;
        };
        VectorSource source(columns, {first, second});
        RecordingReporter reporter;
        m_pdf = m_dir.filePath(u"placement.pdf"_s);
        QCOMPARE(runReportToPdf(l, source, m_pdf, reporter).outcome, RunOutcome::Done);

        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s, {u"-bbox"_s, m_pdf, u"-"_s});
        QVERIFY2(pdftotext.waitForFinished(30000), "pdftotext (poppler-utils) must be installed");
        const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
        static const QRegularExpression wordRe(
            uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>|<page )re"_s);
        int page = 0;
        constexpr double mmPerPt = 25.4 / 72;
        for (auto it = wordRe.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            if (m.captured(5).isEmpty() && m.captured(0).startsWith(u"<page"_s)) {
                ++page;
                continue;
            }
            m_words.insert(m.captured(5),
                           Word{page, m.captured(1).toDouble() * mmPerPt, m.captured(2).toDouble() * mmPerPt,
                                m.captured(3).toDouble() * mmPerPt, m.captured(4).toDouble() * mmPerPt});
        }
        QCOMPARE(page, 2);
    }

    void liberationSansIsEmbedded()
    {
        QProcess pdffonts;
        pdffonts.start(u"pdffonts"_s, {m_pdf});
        QVERIFY(pdffonts.waitForFinished(30000));
        const QString out = QString::fromUtf8(pdffonts.readAllStandardOutput());
        QVERIFY2(out.contains(u"LiberationSans"_s), qPrintable(out));
        QVERIFY2(!out.contains(u"DejaVu"_s), qPrintable(out));
    }

    void textLandsWhereTheLayoutPutsIt_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("page");
        for (int i = 0; i < int(std::size(kPlaced)); ++i)
            for (int page : {1, 2})
                QTest::addRow("%s, page %d", QString::fromUtf16(kPlaced[i].text).toUtf8().constData(), page)
                    << i << page;
    }

    void textLandsWhereTheLayoutPutsIt()
    {
        QFETCH(int, index);
        QFETCH(int, page);
        const Placed& p = kPlaced[index];
        const QString text = QString::fromUtf16(p.text);
        std::optional<Word> word;
        for (const Word& w : m_words.values(text))
            if (w.page == page)
                word = w;
        QVERIFY2(word, qPrintable(u"not found: "_s + text));

        const double dx = page == 2 ? toMm(kShiftX) : 0;
        const double dy = page == 2 ? toMm(kShiftY) : 0;
        const double x = toMm(p.x) + dx;
        const double y = toMm(p.y) + dy;
        QVERIFY2(qAbs(word->yMin - y) <= kTolerance, qPrintable(u"top %1, layout %2"_s.arg(word->yMin).arg(y)));

        const double width = word->xMax - word->xMin;
        if (p.sized) {
            // A box sized to a date is as wide as "00.00.0000", whose digits are as wide as any
            // date's, so a date fills it exactly.
            const double right = p.align == ReportAlign::RightInset ? x + width - 1.0 : x + width;
            QVERIFY2(qAbs(word->xMax - right) <= kTolerance,
                     qPrintable(u"right %1, layout %2"_s.arg(word->xMax).arg(right)));
            return;
        }
        const double w = toMm(p.w);
        double expectedLeft = x;
        switch (p.align) {
        case ReportAlign::Left:
            break;
        case ReportAlign::Center:
            expectedLeft = x + (w - width) / 2;
            break;
        case ReportAlign::Right:
        case ReportAlign::Decimal:
            expectedLeft = x + w - width;
            break;
        case ReportAlign::RightInset:
            expectedLeft = x + w - 1.0 - width;
            break;
        }
        QVERIFY2(qAbs(word->xMin - expectedLeft) <= kTolerance,
                 qPrintable(u"left %1, layout %2"_s.arg(word->xMin).arg(expectedLeft)));
    }
};

QTEST_MAIN(TestReportPlacement)
#include "tst_reportplacement.moc"
