// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"

#include "shell/zast.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vetcert;
using namespace vetcert::test;

class TestZast : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    Zast* openAbout()
    {
        Main& frame = f->open();
        if (!QTest::qWaitForWindowActive(&frame))
            return nullptr;
        auto* z = qobject_cast<Zast*>(frame.startWindow(u"Zast"_s));
        if (!z || !QTest::qWaitFor([&] { return frame.mdiArea()->activeSubWindow() == z->parentWidget(); }))
            return nullptr;
        return z;
    }

private slots:
    void init() { f = std::make_unique<Fixture>(); }
    void cleanup() { f.reset(); }

    void contents()
    {
        Zast* z = openAbout();
        QVERIFY(z);
        QCOMPARE(z->windowTitle(), u"О программе [Ветеринарное удостоверение]"_s);
        QCOMPARE(z->findChild<QLabel*>(u"STRING1"_s)->text(), u"Ветеринарное удостоверение"_s);
        QVERIFY(z->findChild<QLabel*>(u"STRING1"_s)->font().underline());
        QCOMPARE(z->findChild<QLabel*>(u"STRING2"_s)->text(), u"Рекомендации, заполнение и печать"_s);
        QCOMPARE(z->findChild<QLabel*>(u"STRING1"_s)->palette().color(QPalette::WindowText), QColor(0, 128, 64));
        QVERIFY(!z->findChild<QLabel*>(u"IMAGE2"_s)->pixmap().isNull());
        QCOMPARE(z->statusTip(), u"Продолжение работы с программой - левая кнопка мыши"_s);
    }

    void closesOnMouse_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left click") << false << Qt::LeftButton;
        QTest::newRow("left double click") << true << Qt::LeftButton;
        QTest::newRow("right click") << false << Qt::RightButton;
    }
    void closesOnMouse()
    {
        QFETCH(bool, doubleClick);
        QFETCH(Qt::MouseButton, button);
        QPointer<Zast> z = openAbout();
        QVERIFY(z);
        // Over the picture, which passes the click on to the window.
        QWidget* picture = z->findChild<QLabel*>(u"IMAGE2"_s);
        const QPoint at = picture->geometry().center();
        if (doubleClick)
            QTest::mouseDClick(z, button, Qt::NoModifier, at);
        else
            QTest::mouseClick(z, button, Qt::NoModifier, at);
        QTRY_VERIFY(!z);
        QVERIFY(f->frame->mdiArea()->subWindowList().isEmpty());
        QCOMPARE(f->settings->value(u"Zast"_s, u"Maximize"_s).toString(), u"No"_s);
    }

    void staysOpenUntilAsked()
    {
        QPointer<Zast> z = openAbout();
        QVERIFY(z);
        QTest::mouseClick(z, Qt::MiddleButton, Qt::NoModifier, QPoint(5, 5));
        QTest::qWait(50);
        QVERIFY(z);
    }

    void closesWhenAnotherWindowIsActivated()
    {
        QPointer<Zast> z = openAbout();
        QVERIFY(z);
        QWidget* other = f->frame->startWindow(u"Browselicenziy"_s);
        QVERIFY(other);
        QTRY_VERIFY(!z);
        QCOMPARE(f->frame->mdiArea()->subWindowList().size(), 1);
    }

    void choosingAboutAgainLeavesOne()
    {
        QPointer<Zast> first = openAbout();
        QVERIFY(first);
        f->frame->startWindow(u"Zast"_s);
        QTRY_VERIFY(!first);
        QCOMPARE(f->frame->mdiArea()->subWindowList().size(), 1);
    }
};

QTEST_MAIN(TestZast)
#include "tst_zast.moc"
