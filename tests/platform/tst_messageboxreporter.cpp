// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/messageboxreporter.h"

#include <QApplication>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;
using namespace vetcert;

class TestMessageBoxReporter : public QObject
{
    Q_OBJECT
private slots:
    void answers_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("given");
        QTest::addColumn<int>("expected");
        const int yesNo = int(Button::Yes) | int(Button::No);
        const int yesNoCancel = yesNo | int(Button::Cancel);
        QTest::newRow("question yes") << int(Level::Question) << yesNo << int(Button::Yes) << int(Button::Yes);
        QTest::newRow("question no") << int(Level::Question) << yesNo << int(Button::No) << int(Button::No);
        QTest::newRow("closed box, cancel offered")
            << int(Level::Question) << yesNoCancel << int(Button::None) << int(Button::Cancel);
        QTest::newRow("closed box, yes/no") << int(Level::Question) << yesNo << int(Button::None) << int(Button::No);
        QTest::newRow("notice") << int(Level::Notice) << int(Button::Ok) << int(Button::None) << int(Button::Ok);
    }
    void answers()
    {
        QFETCH(int, level);
        QFETCH(int, buttons);
        QFETCH(int, given);
        QFETCH(int, expected);
        MessageBoxReporter reporter;
        int asked = 0;
        reporter.setAsker([&](const Message&, QWidget*) {
            ++asked;
            return Button(given);
        });
        Message m{Level(level), Icon::Question, u"Изменения не сохранены!"_s, u"Не сохранять изменения?"_s,
                  Buttons(buttons), Button::Yes};
        QCOMPARE(int(reporter.report(m)), expected);
        QCOMPARE(asked, 1);
    }

    void fatalEndsAfterTheMessage()
    {
        MessageBoxReporter reporter;
        QStringList order;
        reporter.setAsker([&](const Message& m, QWidget*) {
            order << u"message: "_s + m.text;
            return Button::Ok;
        });
        reporter.setOnFatal([&] { order << u"end"_s; });
        reporter.report({Level::Notice, Icon::Information, u"t"_s, u"заметка"_s});
        QCOMPARE(order, QStringList{u"message: заметка"_s});
        reporter.report({Level::Fatal, Icon::Error, u"t"_s, u"конец"_s});
        QCOMPARE(order, (QStringList{u"message: заметка"_s, u"message: конец"_s, u"end"_s}));
    }

    void workerWaitsForTheGuiThread()
    {
        MessageBoxReporter reporter;
        QThread* askedOn = nullptr;
        reporter.setAsker([&](const Message&, QWidget*) {
            askedOn = QThread::currentThread();
            return Button::Yes;
        });
        Button answer = Button::None;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            answer = reporter.report({Level::Question, Icon::Question, u"t"_s, u"?"_s, Button::Yes | Button::No,
                                      Button::No});
        }));
        worker->start();
        QTRY_VERIFY(worker->isFinished());
        QCOMPARE(askedOn, qApp->thread());
        QCOMPARE(answer, Button::Yes);
    }
};

QTEST_MAIN(TestMessageBoxReporter)
#include "tst_messageboxreporter.moc"
