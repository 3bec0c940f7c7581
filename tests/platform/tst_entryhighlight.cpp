// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/entryhighlight.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

using namespace Qt::StringLiterals;
using namespace vetcert;

class TestEntryHighlight : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    EntryHighlight* m_highlight = nullptr;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_second = nullptr;
    QLineEdit* m_required = nullptr;
    QLineEdit* m_white = nullptr;
    QLineEdit* m_italic = nullptr;
    QSpinBox* m_spin = nullptr;
    QPushButton* m_button = nullptr;
    QComboBox* m_drop = nullptr;
    QListWidget* m_list = nullptr;

    template <class T>
    T* add(const QString& name)
    {
        auto* w = new T(m_window.get());
        w->setObjectName(name);
        m_window->layout()->addWidget(w);
        return w;
    }

    void focus(QWidget* w)
    {
        w->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), w);
    }

    static bool isBold(const QWidget* w) { return w->font().weight() == QFont::Bold; }

private slots:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        new QVBoxLayout(m_window.get());
        m_first = add<QLineEdit>(u"first"_s);
        m_second = add<QLineEdit>(u"second"_s);
        m_required = add<QLineEdit>(u"required"_s);
        setRequired(m_required, true);
        m_white = add<QLineEdit>(u"white"_s);
        setBackgroundColor(m_white, Qt::white);
        m_italic = add<QLineEdit>(u"italic"_s);
        setFontStyle(m_italic, 400 | 4096);
        m_spin = add<QSpinBox>(u"spin"_s);
        m_button = add<QPushButton>(u"button"_s);
        m_drop = add<QComboBox>(u"drop"_s);
        m_drop->addItems({u"один"_s, u"два"_s});
        m_list = add<QListWidget>(u"list"_s);
        m_list->addItems({u"один"_s, u"два"_s});
        m_highlight = new EntryHighlight(m_window.get());
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void tabFromEntryToEntry()
    {
        focus(m_first);
        QVERIFY(isBold(m_first));
        QCOMPARE(m_first->palette().color(QPalette::Base), EntryHighlight::kYellow);
        QTest::keyClick(m_first, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_second);
        QVERIFY(!isBold(m_first));
        QVERIFY(!backgroundColor(m_first).isValid());  // its default look again
        QVERIFY(!m_first->testAttribute(Qt::WA_SetPalette));
        QVERIFY(isBold(m_second));
        QCOMPARE(fontStyle(m_second), 700);
        QCOMPARE(m_second->palette().color(QPalette::Base), EntryHighlight::kYellow);
        QCOMPARE(m_highlight->field(), m_second);
    }

    void requiredEntryTurnsPink()
    {
        focus(m_required);
        QCOMPARE(m_required->palette().color(QPalette::Base), EntryHighlight::kPink);
        QVERIFY(isBold(m_required));
    }

    void whiteEntryReturnsToWhite()
    {
        focus(m_white);
        QCOMPARE(m_white->palette().color(QPalette::Base), EntryHighlight::kYellow);
        QCOMPARE(m_highlight->savedColor(), QColor(Qt::white));
        focus(m_first);
        QCOMPARE(backgroundColor(m_white), QColor(Qt::white));
    }

    void italicEntryBoldWithoutItalicAndBack()
    {
        focus(m_italic);
        QCOMPARE(fontStyle(m_italic), 700);
        QVERIFY(!m_italic->font().italic());
        focus(m_first);
        QCOMPARE(fontStyle(m_italic), 400 | 4096);
    }

    void spinBoxIsHighlighted()
    {
        focus(m_spin);
        QCOMPARE(m_highlight->field(), m_spin);
        QCOMPARE(fontStyle(m_spin), 700);
        QCOMPARE(m_spin->palette().color(QPalette::Base), EntryHighlight::kYellow);
    }

    void buttonKeepsItsLook()
    {
        focus(m_first);
        focus(m_button);
        QVERIFY(!isBold(m_first));
        QVERIFY(!isBold(m_button));
        QVERIFY(!m_button->testAttribute(Qt::WA_SetPalette));
        QCOMPARE(m_highlight->field(), m_first);  // ignored kinds leave the taken-over control as it is
    }

    void dropDownListTakenOverButNotRestyled()
    {
        focus(m_first);
        focus(m_drop);
        QVERIFY(!isBold(m_first));
        QVERIFY(!isBold(m_drop));
        QVERIFY(!m_drop->testAttribute(Qt::WA_SetPalette));
        QCOMPARE(m_highlight->field(), m_drop);
        // Leaving the list restores nothing on it.
        focus(m_second);
        QVERIFY(!m_drop->testAttribute(Qt::WA_SetPalette));
        QVERIFY(!isBold(m_drop));
    }

    void listBoxThenRestoreWithSavedValues()
    {
        focus(m_white);
        focus(m_list);
        QCOMPARE(backgroundColor(m_white), QColor(Qt::white));
        QVERIFY(!m_list->testAttribute(Qt::WA_SetPalette));
        QCOMPARE(m_highlight->field(), m_white);
        // Other code colours the entry in between; the next move restores the values saved before.
        setBackgroundColor(m_white, Qt::green);
        setFontStyle(m_white, 700 | 8192);
        focus(m_second);
        QCOMPARE(backgroundColor(m_white), QColor(Qt::white));
        QCOMPARE(fontStyle(m_white), 400);
        QCOMPARE(m_highlight->field(), m_second);
    }

    void disabledControlClearsTheField()
    {
        focus(m_first);
        m_second->setEnabled(false);
        m_highlight->controlFocused(m_second);
        QCOMPARE(m_highlight->field(), nullptr);
        QVERIFY(!isBold(m_first));
        QVERIFY(!isBold(m_second));
    }

    void innerWindowKeepsItsOwnHighlight()
    {
        auto* inner = new QWidget(m_window.get());
        new QVBoxLayout(inner);
        auto* entry = new QLineEdit(inner);
        inner->layout()->addWidget(entry);
        m_window->layout()->addWidget(inner);
        auto* innerHighlight = new EntryHighlight(inner);
        focus(m_first);
        focus(entry);
        QCOMPARE(innerHighlight->field(), entry);
        QCOMPARE(m_highlight->field(), m_first);  // the outer window saw nothing of it
        QVERIFY(isBold(m_first));
        QVERIFY(isBold(entry));
    }
};

QTEST_MAIN(TestEntryHighlight)
#include "tst_entryhighlight.moc"
