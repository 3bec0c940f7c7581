// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"

#include "platform/dialogunits.h"
#include "platform/helpviewer.h"
#include "platform/tooltips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QToolTip>

using namespace Qt::StringLiterals;
using namespace vetcert;
using namespace vetcert::test;

class TestFrame : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    QAction* action(const QString& name) { return f->frame->findChild<QAction*>(name); }
    QAbstractButton* tool(int id) { return f->frame->findChild<QAbstractButton*>(u"TOOL"_s + QString::number(id)); }

    static bool showsTooltip(QWidget* w)
    {
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
            return true;
        QHelpEvent e(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(w, &e);
        return QToolTip::isVisible() && QToolTip::text() == w->toolTip();
    }

private slots:
    void init() { f = std::make_unique<Fixture>(); }
    void cleanup()
    {
        QToolTip::hideText();
        f.reset();
    }

    void menuItems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        QTest::newRow("print") << u"ItemPrinter"_s << u"...&Выбрать принтер..."_s << u"Настройки принтера..."_s;
        QTest::newRow("exit") << u"ItemExit"_s << u"Выход"_s << u"Exit this application"_s;
        QTest::newRow("cut") << u"ItemCut"_s << u"Вырезать"_s << u"Вырезать в Clipboard"_s;
        QTest::newRow("copy") << u"ItemCopy"_s << u"Копировать"_s << u"Копировать в Clipboard"_s;
        QTest::newRow("paste") << u"ItemPaste"_s << u"Вклеить"_s << u"Вклеить в документ"_s;
        QTest::newRow("register") << u"ItemRegister"_s << u"Подготовка и печать 'Удостоверений'   "_s
                                  << u"Browse Разрешения на вывоз"_s;
        QTest::newRow("period") << u"ItemPeriod"_s << u"Отчет за период"_s << u"Отчет за период"_s;
        QTest::newRow("layout") << u"ItemLayout"_s << u"Настройка формы"_s << QString();
        QTest::newRow("manual") << u"ItemManual"_s << u"Инструкция по работе  "_s << QString();
        QTest::newRow("about") << u"ItemAbout"_s << u"О программе"_s << u"О программе"_s;
    }
    void menuItems()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, hint);
        f->open();
        QAction* a = action(name);
        QVERIFY(a);
        QCOMPARE(a->text(), text);
        QCOMPARE(a->statusTip(), hint);
        QVERIFY(!a->icon().isNull());
        // Hovering an item puts its hint into the status bar.
        if (!hint.isEmpty()) {
            a->showStatusText(f->frame.get());
            QCOMPARE(f->frame->statusBar()->currentMessage(), hint);
        }
    }

    void titleAndMenus()
    {
        Main& frame = f->open();
        QVERIFY(frame.windowTitle().startsWith(
            u"Ветеринарная служба РФ. Заполнение и печать ветеринарных удостоверений ["_s));
        QStringList menus;
        for (QAction* a : frame.menuBar()->actions())
            menus << a->text() + u'|' + a->statusTip();
        QCOMPARE(menus, (QStringList{u"...&Печать...|"_s, u"...&Редактировать...|Редактировать"_s,
                                     u"...&База данных...|Раотать с документом \"Форма №3\""_s,
                                     u"...Помощь...|Помощь"_s}));
        const DialogUnits du(frame.font());
        QCOMPARE(frame.size(), du.size(505, 319));
    }

    void toolbarButtons_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("3006") << 3006 << 4 << u"Первая запись"_s << false;
        QTest::newRow("3008") << 3008 << 21 << u"Go to the Prior Page"_s << false;
        QTest::newRow("3010") << 3010 << 38 << u"Go to the Prior Record"_s << false;
        QTest::newRow("3011") << 3011 << 55 << u"Locate record"_s << false;
        QTest::newRow("3009") << 3009 << 72 << u"Go to the Next Record"_s << false;
        QTest::newRow("3007") << 3007 << 89 << u"Go to the Next Page"_s << false;
        QTest::newRow("3005") << 3005 << 106 << u"Go to the Last Page"_s << false;
        QTest::newRow("3004") << 3004 << 123 << u"Select This Record"_s << false;
        QTest::newRow("3001") << 3001 << 140 << u"Insert a New Record"_s << false;
        QTest::newRow("3002") << 3002 << 157 << u"Редактировать запись"_s << false;
        QTest::newRow("3003") << 3003 << 174 << u"Удалить запись"_s << false;
        QTest::newRow("3012") << 3012 << 191 << u"Вставить предыдущее значение"_s << false;
        QTest::newRow("3016") << 3016 << 230 << u"[Точная настройка печати строк формы]"_s << true;
        QTest::newRow("3015") << 3015 << 256 << u"[Контакты (электронная помощь, сайт)]"_s << true;
    }
    void toolbarButtons()
    {
        QFETCH(int, id);
        QFETCH(int, x);
        QFETCH(QString, tip);
        QFETCH(bool, enabled);
        Main& frame = f->open();
        QAbstractButton* b = tool(id);
        QVERIFY(b);
        const DialogUnits du(frame.font());
        QCOMPARE(b->geometry(), du.rect(x, 4, 17, 14));
        QCOMPARE(b->toolTip(), tip);
        QCOMPARE(b->isEnabled(), enabled);
        QVERIFY(!b->icon().isNull());
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    }

    void tipsToggle()
    {
        Main& frame = f->open();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        auto* tips = frame.findChild<QCheckBox*>(u"TOOL3014"_s);
        QCOMPARE(tips->text(), u"Включить подсказки"_s);
        QVERIFY(tips->isChecked());
        QCOMPARE(f->globals.SORT, quint8(1));
        QVERIFY(showsTooltip(tool(3015)));
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipText), Tooltips::kTextColor);
        QCOMPARE(tool(3015)->toolTipDuration(), Tooltips::kDurationMs);

        tips->click();
        QCOMPARE(tips->text(), u"включить подсказки [отключены]"_s);
        QCOMPARE(f->globals.SORT, quint8(0));
        QVERIFY(!showsTooltip(tool(3015)));
        // Not only the frame's: no window of the program shows one.
        QWidget other;
        other.setToolTip(u"подсказка"_s);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QVERIFY(!showsTooltip(&other));

        tips->click();
        QCOMPARE(tips->text(), u"включить подсказки [включены]"_s);
        QCOMPARE(f->globals.SORT, quint8(1));
        QVERIFY(showsTooltip(&other));
    }

    void navigationGoesToTheActiveChild()
    {
        Main& frame = f->open();
        // Only the frame: the buttons do nothing.
        frame.pressNavigation(ToolButton::Insert);
        QVERIFY(!tool(3001)->isEnabled());

        auto* list = dynamic_cast<FakeList*>(frame.startWindow(u"Browselicenziy"_s));
        QVERIFY(list);
        QTRY_COMPARE(frame.mdiArea()->activeSubWindow(), list->parentWidget());
        QVERIFY(tool(3001)->isEnabled());
        QVERIFY(tool(3006)->isEnabled());
        QVERIFY(!tool(3002)->isEnabled());
        QCOMPARE(tool(3001)->toolTip(), u"Добавить запись"_s);
        QCOMPARE(tool(3006)->toolTip(), u"Первая страница"_s);
        tool(3001)->click();
        tool(3006)->click();
        tool(3002)->click();  // disabled: nothing arrives
        QCOMPARE(list->pressed, (QList<ToolButton>{ToolButton::Insert, ToolButton::Top}));

        // A window that takes no buttons: all disabled; the tooltips stay as the list set them.
        frame.startWindow(u"Zast"_s);
        QTRY_VERIFY(!tool(3001)->isEnabled());
        QCOMPARE(tool(3001)->toolTip(), u"Добавить запись"_s);
        frame.pressNavigation(ToolButton::Insert);
        QCOMPARE(list->pressed.size(), 2);
    }

    void windowsNotYetBuiltSaySo_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title");
        QTest::newRow("period") << u"ItemPeriod"_s << u"За период"_s;
        QTest::newRow("layout") << u"ItemLayout"_s << u"Содержание настройки"_s;
    }
    void windowsNotYetBuiltSaySo()
    {
        QFETCH(QString, item);
        QFETCH(QString, title);
        Main& frame = f->open();
        action(item)->trigger();
        QVERIFY(frame.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(frame.statusBar()->currentMessage(),
                 u"Окно «%1» появится в следующей версии программы"_s.arg(title));
    }

    void everyChoiceOpensANewWindowWithItsOwnContext()
    {
        Main& frame = f->open();
        action(u"ItemRegister"_s)->trigger();
        action(u"ItemRegister"_s)->trigger();
        const auto subs = frame.mdiArea()->subWindowList();
        QCOMPARE(subs.size(), 2);
        auto* a = dynamic_cast<FakeList*>(subs[0]->widget());
        auto* b = dynamic_cast<FakeList*>(subs[1]->widget());
        QVERIFY(a && b && a->context && b->context);
        QVERIFY(a->context.get() != b->context.get());
        QCOMPARE(a->context->procedure(), u"Browselicenziy"_s);
    }

    void closingTheFrameClosesItsWindowsAndKeepsPlaces()
    {
        Main& frame = f->open();
        QPointer<QWidget> list = frame.startWindow(u"Browselicenziy"_s);
        QVERIFY(list);
        list->parentWidget()->move(17, 23);
        action(u"ItemExit"_s)->trigger();
        QTRY_VERIFY(!list);
        QVERIFY(!frame.isVisible());
        f->settings->sync();
        QSettings ini(f->iniPath(), QSettings::IniFormat);
        QCOMPARE(ini.value(u"Browselicenziy/XPos"_s).toInt(), 17);
        QCOMPARE(ini.value(u"Browselicenziy/YPos"_s).toInt(), 23);
        QCOMPARE(ini.value(u"Main/Maximize"_s).toString(), u"No"_s);
    }

    void placementRoundTrip()
    {
        QVERIFY(!QFile::exists(f->iniPath()));
        {
            // First run: the designed place, and the file appears when the window closes.
            Main& frame = f->open();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QVERIFY(!frame.isMaximized());
            frame.showMaximized();
            QTRY_VERIFY(frame.isMaximized());
            frame.close();
        }
        QVERIFY(QFile::exists(f->iniPath()));
        {
            QSettings ini(f->iniPath(), QSettings::IniFormat);
            ini.beginGroup(u"Main"_s);
            QCOMPARE(ini.value(u"Maximize"_s).toString(), u"Yes"_s);
            QCOMPARE(ini.value(u"Minimize"_s).toString(), u"No"_s);
            for (const QString& k : {u"XPos"_s, u"YPos"_s, u"Width"_s, u"Height"_s})
                QVERIFY2(!ini.contains(k), qPrintable(k));
        }
        // The next run reads the file afresh and opens maximised.
        f->frame.reset();
        f->settings = std::make_unique<SettingsFile>(f->iniPath());
        Main& again = f->open();
        QTRY_VERIFY(again.isMaximized());

        // Closed as a normal window, it comes back at its place and size.
        again.showNormal();
        QTRY_VERIFY(!again.isMaximized());
        again.setGeometry(40, 50, 700, 450);
        const QRect normal = again.geometry();
        const QPoint pos = again.pos();
        again.close();
        f->frame.reset();
        f->settings = std::make_unique<SettingsFile>(f->iniPath());
        Main& third = f->open();
        QVERIFY(!third.isMaximized());
        QCOMPARE(third.pos(), pos);
        QCOMPARE(third.size(), normal.size());
    }

    void issuerLinesFromTheLastStoredSet()
    {
        {
            Context ctx(f->store, u"test"_s);
            QVERIFY(ctx.openGroup(FileId::Issuers));
            for (const QString& first : {u"Первый набор"_s, u"Второй набор, строка длиннее сорока восьми знаков целиком"_s}) {
                auto& r = ctx.record<Issuers>();
                ctx.file(FileId::Issuers).buffer().clear();
                r.Z1.setCut(first);
                r.Z6.setCut(u"шестая"_s);
                QCOMPARE(ctx.file(FileId::Issuers).insert(), Status::Ok);
            }
            ctx.closeGroup(FileId::Issuers);
        }
        f->open();
        QCOMPARE(f->globals.Z1.toString(), u"Второй набор, строка длиннее сорока восьми знако"_s);
        QCOMPARE(f->globals.Z6.toString(), u"шестая"_s);
        QVERIFY(f->globals.Z2.isBlank());
    }

    void noIssuerSetKeepsTheDefaults()
    {
        const Globals fresh;
        f->open();
        QVERIFY(!fresh.Z1.isBlank());
        QCOMPARE(f->globals.Z1.toString(), fresh.Z1.toString());
        QCOMPARE(f->globals.Z4.toString(), fresh.Z4.toString());
        QVERIFY(f->reporter.messages().empty());
    }

    void cutCopyPasteOnTheFocusedEntry()
    {
        Main& frame = f->open();
        QWidget* list = frame.startWindow(u"Browselicenziy"_s);
        auto* entry = new QLineEdit(u"Ветеринарное"_s, list);
        entry->show();
        entry->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), entry);
        entry->setSelection(0, 4);
        action(u"ItemCopy"_s)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), u"Вете"_s);
        action(u"ItemCut"_s)->trigger();
        QCOMPARE(entry->text(), u"ринарное"_s);
        entry->setCursorPosition(entry->text().size());
        action(u"ItemPaste"_s)->trigger();
        QCOMPARE(entry->text(), u"ринарноеВете"_s);
    }

    void helpItemsMakeTheirTopicsCurrent()
    {
        Main& frame = f->open();
        action(u"ItemManual"_s)->trigger();
        QCOMPARE(f->globals.helpTopic, u"Краткое описание.htm"_s);
        QCOMPARE(f->help.viewer()->currentTopic(), u"Краткое описание.htm"_s);
        tool(3015)->click();
        QCOMPARE(f->globals.helpTopic, u"Контакты.htm"_s);
        QCOMPARE(f->help.viewer()->currentTopic(), u"Контакты.htm"_s);
        // F1 in a window started from the frame, without a topic of its own, shows the contacts.
        f->help.viewer()->showTopic(u"UpdateAgent"_s);
        QWidget* list = frame.startWindow(u"Browselicenziy"_s);
        auto* entry = new QLineEdit(list);
        entry->show();
        frame.activateWindow();
        entry->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), entry);
        QTest::keyClick(entry, Qt::Key_F1);
        QCOMPARE(f->help.viewer()->currentTopic(), u"Контакты.htm"_s);
    }
};

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
