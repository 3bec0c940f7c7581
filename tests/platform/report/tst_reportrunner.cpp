// SPDX-License-Identifier: GPL-3.0-or-later
// Runs from the windows: the progress window, "Отмена", the "No Records" notice and the preview.
#include "data/records.h"
#include "data/reporter.h"
#include "data/store.h"
#include "platform/dialogunits.h"
#include "platform/fonts.h"
#include "platform/report/recordsource.h"
#include "platform/report/reportdocument.h"
#include "platform/report/reportpreview.h"
#include "platform/report/reportprogresswindow.h"
#include "platform/report/reportrunner.h"
#include "platform/settingsfile.h"

#include <QApplication>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;
using namespace vetcert;

namespace {

ReportLayout simpleLayout()
{
    ReportLayout l;
    l.title = u"test"_s;
    l.body = {100, 300, 1900, 2600};
    l.detail.height = 190;
    l.detail.add(ReportControl::text(u"tag"_s, DisplayFormat::text(20), {0, 0, 400, 40},
                                     ReportFont{u"Arial CYR"_s, 8, 0, 400, 204}));
    return l;
}

std::unique_ptr<RecordSource> rows(int n)
{
    std::vector<std::vector<QVariant>> r;
    for (int i = 0; i < n; ++i)
        r.push_back({u"строка %1"_s.arg(i + 1)});
    return std::make_unique<VectorSource>(QStringList{u"tag"_s}, std::move(r));
}

// Yields records without end, slowly; at half way it waits at a gate until the test opens it.
class EndlessSource : public RecordSource
{
public:
    explicit EndlessSource(std::atomic<bool>* gate = nullptr) : m_gate(gate) {}
    QStringList columns() const override { return {u"tag"_s}; }
    Read next(ReportRow& row) override
    {
        if (m_gate)
            while (!m_gate->load())
                QThread::msleep(1);
        QThread::msleep(1);
        row.set(0, u"x"_s);
        ++m_read;
        return Read::Record;
    }
    double progress() const override { return 0.5; }

private:
    std::atomic<bool>* m_gate;
    qint64 m_read = 0;
};

// How a report reads a data file: the source is made on the GUI thread with what it needs and
// opens a context of its own on the worker thread.
class CertificateSource : public RecordSource
{
public:
    // `openedOn` tells the test which thread opened the source (the source ends with the run).
    CertificateSource(Store& store, std::atomic<QThread*>* openedOn) : m_store(store), m_openedOn(openedOn) {}
    QStringList columns() const override { return {u"FR3:NFORM"_s, u"FR3:S2"_s, u"FR3:DATAV"_s}; }
    bool open() override
    {
        m_openedOn->store(QThread::currentThread());
        m_ctx = std::make_unique<Context>(m_store, u"Rep_input1"_s);
        if (!m_ctx->openGroup(FileId::Forma3))
            return false;
        DataFile& f = m_ctx->file(FileId::Forma3);
        m_total = f.count();
        return f.setOrderStart(f.def().keyIndex(u"FR3:K2")) == Status::Ok;
    }
    Read next(ReportRow& row) override
    {
        DataFile& f = m_ctx->file(FileId::Forma3);
        switch (f.next()) {
        case Status::Ok: {
            const Forma3& r = f.record<Forma3>();
            row.set(0, r.NFORM.integerPart());
            row.set(1, r.S2.toString());
            row.set(2, r.DATAV.dayNumber());
            ++m_read;
            return Read::Record;
        }
        case Status::End:
            return Read::End;
        case Status::Failed:
            break;
        }
        return Read::Failed;
    }
    double progress() const override { return progress::fraction(m_read, m_total); }
    void close() override { m_ctx->closeGroup(FileId::Forma3); }

private:
    Store& m_store;
    std::atomic<QThread*>* m_openedOn;
    std::unique_ptr<Context> m_ctx;
    qint64 m_total = 0;
    qint64 m_read = 0;
};

struct Finished
{
    bool done = false;
    RunOutcome outcome = RunOutcome::Failed;
    std::shared_ptr<const ReportDocument> document;
    QPointer<ReportPreview> preview;
};

void watch(ReportRunner* runner, Finished& f)
{
    QObject::connect(runner, &ReportRunner::finished, runner,
                     [&f](RunOutcome o, std::shared_ptr<const ReportDocument> d, ReportPreview* p) {
                         f = {true, o, std::move(d), p};
                     });
}

template <class T> QList<T*> topLevel()
{
    QList<T*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            found << t;
    return found;
}

} // namespace

class TestReportRunner : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<SettingsFile> m_settings;
    RecordingReporter m_reporter;

private slots:
    void initTestCase() { installFontSubstitutions(); }

    void init()
    {
        m_settings = std::make_unique<SettingsFile>(m_dir.filePath(u"Tesmar.INI"_s));
        m_reporter.clear();
    }

    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_settings.reset();
        QFile::remove(m_dir.filePath(u"Tesmar.INI"_s));
    }

    void progressWindowLooks()
    {
        ReportProgressWindow w(u"Rep_input1"_s, *m_settings);
        QCOMPARE(w.windowTitle(), u"Готовность..."_s);
        QCOMPARE(w.font().pointSizeF(), 7.0);
        QCOMPARE(QFontInfo(w.font()).family(), u"Liberation Sans"_s);
        QCOMPARE(w.size(), DialogUnits(fontFromStored(u"Arial CYR"_s, 7, 400)).size(142, 59));
        QCOMPARE(w.findChild<QPushButton*>(u"cancel"_s)->text(), u"Отмена"_s);
        QCOMPARE(w.findChild<QLabel*>(u"status"_s)->text(), QString());
        QCOMPARE(w.findChild<QLabel*>(u"percent"_s)->text(), u"0% Complete"_s);
        // The picture is tiled behind the controls: a corner shows its own pixel.
        const QImage picture(u":/report/fon_nnn.jpg"_s);
        QCOMPARE(picture.size(), QSize(14, 14));
        const QImage shown = w.grab().toImage();
        QCOMPARE(QColor(shown.pixel(1, 1)), QColor(picture.pixel(1, 1)));
        QCOMPARE(QColor(shown.pixel(15, 2)), QColor(picture.pixel(1, 2)));
    }

    void percentage_data()
    {
        QTest::addColumn<int>("tenThousandths");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bar");
        QTest::newRow("start") << 0 << u"0% Complete"_s << 0;
        QTest::newRow("whole percent, never rounded up") << 4599 << u"45% Complete"_s << 45;
        QTest::newRow("just short of the end") << 9999 << u"99% Complete"_s << 99;
        QTest::newRow("end") << 10000 << u"100% Complete"_s << 100;
    }

    void percentage()
    {
        QFETCH(int, tenThousandths);
        QFETCH(QString, text);
        QFETCH(int, bar);
        ReportProgressWindow w(u"Rep_input1"_s, *m_settings);
        w.setProgress(tenThousandths);
        QCOMPARE(w.findChild<QLabel*>(u"percent"_s)->text(), text);
        QCOMPARE(w.findChild<QProgressBar*>(u"progress"_s)->value(), bar);
    }

    void progressIsPolledWhileTheWorkerReads()
    {
        std::atomic<bool> gate{true};
        auto source = std::make_unique<EndlessSource>(&gate);
        Finished f;
        ReportRunner* runner =
            ReportRunner::start(simpleLayout(), std::move(source), {u"Rep_input11"_s}, m_reporter, *m_settings);
        watch(runner, f);
        auto* percent = runner->progressWindow()->findChild<QLabel*>(u"percent"_s);
        QTRY_COMPARE_WITH_TIMEOUT(percent->text(), u"50% Complete"_s, 2000);
        QTest::mouseClick(runner->progressWindow()->findChild<QPushButton*>(u"cancel"_s), Qt::LeftButton);
        QTRY_VERIFY(f.done);
    }

    void cancelledRunShowsNothing_data()
    {
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("Отмена") << false;
        QTest::newRow("window closed") << true;
    }

    void cancelledRunShowsNothing()
    {
        QFETCH(bool, byClosing);
        Finished f;
        ReportRunner* runner = ReportRunner::start(simpleLayout(), std::make_unique<EndlessSource>(), {u"Rep_input1"_s},
                                                   m_reporter, *m_settings);
        watch(runner, f);
        QPointer<ReportProgressWindow> progress = runner->progressWindow();
        QVERIFY(progress->isVisible());
        QTest::qWait(150);
        if (byClosing)
            progress->close();
        else
            QTest::mouseClick(progress->findChild<QPushButton*>(u"cancel"_s), Qt::LeftButton);
        QTRY_VERIFY(f.done);
        QCOMPARE(f.outcome, RunOutcome::Cancelled);
        QVERIFY(!f.document);
        QVERIFY(!f.preview);
        QVERIFY(topLevel<ReportPreview>().isEmpty());
        QTRY_VERIFY(!progress);
        QVERIFY(m_reporter.messages().empty());
        // The progress window's placement is kept under the run's name.
        QCOMPARE(m_settings->value(u"Rep_input1"_s, inikey::Maximize).toString(), u"No"_s);
    }

    void emptyRunShowsNoRecords()
    {
        Finished f;
        watch(ReportRunner::start(simpleLayout(), rows(0), {u"Rep_input1"_s}, m_reporter, *m_settings), f);
        QTRY_VERIFY(f.done);
        QCOMPARE(f.outcome, RunOutcome::NoRecords);
        QVERIFY(!f.preview);
        QVERIFY(topLevel<ReportPreview>().isEmpty());
        QCOMPARE(m_reporter.messages().size(), size_t(1));
        const Message m = m_reporter.messages()[0];
        QCOMPARE(m.level, Level::Notice);
        QCOMPARE(m.title, u"No Records"_s);
        QCOMPARE(m.text, u"There are no records available to process."_s);
    }

    void previewOpensAtFullSize_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("maximised") << true;
        QTest::newRow("not maximised") << false;
    }

    void previewOpensAtFullSize()
    {
        QFETCH(bool, maximized);
        Finished f;
        watch(ReportRunner::start(simpleLayout(), rows(30), {u"Print_F3"_s, maximized}, m_reporter, *m_settings), f);
        QTRY_VERIFY(f.done);
        QCOMPARE(f.outcome, RunOutcome::Done);
        QVERIFY(f.preview);
        QCOMPARE(f.document->pages.size(), size_t(3));
        QCOMPARE(topLevel<ReportPreview>().size(), 1);
        QVERIFY(topLevel<ReportProgressWindow>().isEmpty());
        QPrintPreviewWidget* view = f.preview->view();
        QCOMPARE(view->zoomMode(), QPrintPreviewWidget::CustomZoom);
        QCOMPARE(view->zoomFactor(), 1.0);
        QTRY_COMPARE(f.preview->isMaximized(), maximized);
        QTRY_COMPARE(view->pageCount(), 3);
        // The operator zooms; closing keeps the placement.
        view->zoomIn();
        QVERIFY(view->zoomFactor() > 1.0);
        f.preview->close();
        const QString section = ReportPreview::sectionFor(u"Print_F3"_s);
        QCOMPARE(m_settings->value(section, inikey::Maximize).toString(), maximized ? u"Yes"_s : u"No"_s);
        QCOMPARE(m_settings->value(section, inikey::Width).isValid(), !maximized);
    }

    void previewRestoresItsPlacement()
    {
        const QString section = ReportPreview::sectionFor(u"Rep_input1"_s);
        m_settings->setValue(section, inikey::Maximize, u"No"_s);
        m_settings->setValue(section, inikey::Minimize, u"No"_s);
        m_settings->setValue(section, inikey::XPos, 40);
        m_settings->setValue(section, inikey::YPos, 30);
        m_settings->setValue(section, inikey::Width, 640);
        m_settings->setValue(section, inikey::Height, 480);
        Finished f;
        watch(ReportRunner::start(simpleLayout(), rows(1), {u"Rep_input1"_s}, m_reporter, *m_settings), f);
        QTRY_VERIFY(f.done);
        QVERIFY(f.preview);
        QCOMPARE(f.preview->size(), QSize(640, 480));
        QCOMPARE(f.preview->pos(), QPoint(40, 30));
    }

    void sourceReadsADataFileOnTheWorker()
    {
        QTemporaryDir data;
        Store store(data.path(), m_reporter);
        {
            Context ctx(store, u"test"_s);
            QVERIFY(ctx.openGroup(FileId::Forma3));
            DataFile& f = ctx.file(FileId::Forma3);
            for (int n : {30, 10, 20}) {
                QCOMPARE(f.prime(), Status::Ok);
                f.record<Forma3>().NFORM.setInteger(n);
                f.record<Forma3>().S2.setCut(u"ООО «Нива» %1"_s.arg(n));
                f.record<Forma3>().DATAV = Date(77436 + n);
                QCOMPARE(f.insert(), Status::Ok);
            }
            ctx.closeGroup(FileId::Forma3);
        }
        ReportLayout l;
        l.detail.height = 100;
        ReportFont font{u"Arial CYR"_s, 8, 0, 400, 204};
        l.detail.add(ReportControl::text(u"FR3:NFORM"_s, DisplayFormat::integer(9), {0, 0, 200, 40}, font))
            .add(ReportControl::text(u"fr3:s2"_s, DisplayFormat::text(80), {300, 0, 990, 40}, font))
            .add(ReportControl::text(u"FR3:DATAV"_s, DisplayFormat::date(), {1300, 0, 200, 40}, font));
        std::atomic<QThread*> openedOn{nullptr};
        auto source = std::make_unique<CertificateSource>(store, &openedOn);
        Finished f;
        ReportRunOptions options{u"Rep_input1"_s};
        options.openPreview = false;
        ReportRunner* runner = ReportRunner::start(l, std::move(source), options, m_reporter, *m_settings);
        watch(runner, f);
        QTRY_VERIFY(f.done);
        QCOMPARE(f.outcome, RunOutcome::Done);
        QVERIFY(openedOn.load());
        QVERIFY(openedOn.load() != QThread::currentThread());
        QVERIFY(!f.preview);
        QStringList texts = f.document->texts(0);
        for (QString& t : texts)
            t = t.trimmed();
        QCOMPARE(texts, (QStringList{u"10"_s, u"ООО «Нива» 10"_s, u"11.01.2013"_s, u"20"_s, u"ООО «Нива» 20"_s,
                                     u"21.01.2013"_s, u"30"_s, u"ООО «Нива» 30"_s, u"31.01.2013"_s}));
        QVERIFY(m_reporter.messages().empty());
    }

    void previewSavesPdf()
    {
        Finished f;
        watch(ReportRunner::start(simpleLayout(), rows(14), {u"Rep_input1"_s}, m_reporter, *m_settings), f);
        QTRY_VERIFY(f.done);
        const QString pdf = m_dir.filePath(u"preview.pdf"_s);
        QVERIFY(f.preview->savePdf(pdf));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(f.document->pages.size(), size_t(2));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2);
        // A file that cannot be written is told to the operator.
        QVERIFY(!f.preview->savePdf(m_dir.filePath(u"no/such/dir/x.pdf"_s)));
        QCOMPARE(m_reporter.messages().size(), size_t(1));
    }
};

QTEST_MAIN(TestReportRunner)
#include "tst_reportrunner.moc"
