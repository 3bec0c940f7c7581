// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/chmfile.h"
#include "platform/help.h"
#include "platform/helpviewer.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::StringLiterals;
using namespace vetcert;

class TestHelp : public QObject
{
    Q_OBJECT

    const QString m_chm = QStringLiteral(VETCERT_HELP_FILE);

private slots:
    void address_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("expected");
        QTest::newRow("file topic") << u"Контакты.htm"_s << u"instr.chm::/Контакты.htm"_s;
        QTest::newRow("window topic") << u"UpdateAgent"_s << u"instr.chm::/UpdateAgent"_s;
        QTest::newRow("already addressed") << u"other.chm::/a.htm"_s << u"other.chm::/a.htm"_s;
    }
    void address()
    {
        QFETCH(QString, topic);
        QFETCH(QString, expected);
        QCOMPARE(Help::address(u"instr.chm"_s, topic), expected);
    }

    void builtFileHoldsEveryTopic_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("resolved");
        QTest::newRow("summary") << u"Краткое описание.htm"_s << u"Краткое описание.htm"_s;
        QTest::newRow("contacts") << u"Контакты.htm"_s << u"Контакты.htm"_s;
        QTest::newRow("period") << u"Отчёт за период.htm"_s << u"Отчёт за период.htm"_s;
        QTest::newRow("fine tuning") << u"Точная настройка печати.htm"_s << u"Точная настройка печати.htm"_s;
        QTest::newRow("UpdateAgent") << u"UpdateAgent"_s << u"UpdateAgent.htm"_s;
        QTest::newRow("BrowseNastr") << u"BrowseNastr"_s << u"BrowseNastr.htm"_s;
        QTest::newRow("UpdateNastr") << u"UpdateNastr"_s << u"UpdateNastr.htm"_s;
        QTest::newRow("leading slash") << u"/Контакты.htm"_s << u"Контакты.htm"_s;
    }
    void builtFileHoldsEveryTopic()
    {
        QFETCH(QString, topic);
        QFETCH(QString, resolved);
        HelpViewer viewer;
        QVERIFY(viewer.openFile(m_chm));
        QVERIFY(viewer.showTopic(topic));
        QCOMPARE(viewer.currentTopic(), resolved);
        QVERIFY(viewer.message().isEmpty());
        // The page came out of the file: its heading is in the text shown.
        auto* page = viewer.findChild<QTextBrowser*>(u"HelpPage"_s);
        QVERIFY(page->toPlainText().size() > 100);
    }

    void contentsAndOpeningTopic()
    {
        ChmFile file(m_chm);
        QVERIFY(file.isOpen());
        QCOMPARE(file.defaultTopic(), u"Краткое описание.htm"_s);
        const auto toc = file.contents();
        QCOMPARE(toc.size(), size_t(3));
        QCOMPARE(toc[0].local, u"Краткое описание.htm"_s);
        QCOMPARE(toc[1].name, u"Окна программы"_s);
        QCOMPARE(toc[1].children.size(), size_t(5));
        QCOMPARE(toc[1].children[0].local, u"UpdateAgent.htm"_s);
        QCOMPARE(toc[2].local, u"Контакты.htm"_s);
    }

    void missingTopicAndFileAreTold()
    {
        HelpViewer viewer;
        QVERIFY(viewer.openFile(m_chm));
        QVERIFY(!viewer.showTopic(u"Нет такого.htm"_s));
        QVERIFY(viewer.message().contains(u"нет раздела «Нет такого.htm»"_s));
        QVERIFY(viewer.currentTopic().isEmpty());

        QTemporaryDir dir;
        const QString missing = dir.filePath(u"instr.chm"_s);
        QVERIFY(!viewer.openFile(missing));
        QVERIFY(viewer.message().contains(missing));
        QVERIFY(!viewer.showTopic(u"Контакты.htm"_s));
        QVERIFY(viewer.message().contains(missing));

        QFile junk(missing);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a help file");
        junk.close();
        QVERIFY(!viewer.openFile(missing));
        viewer.showContents();
        QVERIFY(!viewer.message().isEmpty());
    }

    void functionKeysShowTheCurrentTopic()
    {
        QString current;
        Help help(current, m_chm);
        QWidget window;
        auto* entry = new QLineEdit(&window);
        help.install(&window);
        window.show();
        entry->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // Blank topic: the contents with the opening topic.
        QTest::keyClick(entry, Qt::Key_F1);
        QVERIFY(help.viewer());
        QCOMPARE(help.viewer()->currentTopic(), u"Краткое описание.htm"_s);

        // After the contacts button F1 and F12 show the contacts everywhere.
        help.showTopic(u"Контакты.htm"_s);
        QCOMPARE(current, u"Контакты.htm"_s);
        help.viewer()->showTopic(u"UpdateNastr"_s);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(entry, Qt::Key_F1);
        QCOMPARE(help.viewer()->currentTopic(), u"Контакты.htm"_s);

        help.setCurrentTopic(u"UpdateAgent"_s);
        QTest::keyClick(entry, Qt::Key_F12);
        QCOMPARE(help.viewer()->currentTopic(), u"UpdateAgent.htm"_s);

        // A window that did not prepare its help takes no notice of F1.
        QWidget other;
        auto* otherEntry = new QLineEdit(&other);
        other.show();
        otherEntry->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        help.setCurrentTopic(u"BrowseNastr"_s);
        QTest::keyClick(otherEntry, Qt::Key_F1);
        QCOMPARE(help.viewer()->currentTopic(), u"UpdateAgent.htm"_s);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
