// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dragsetting.h"

#include <QTest>

using namespace vetcert;

namespace {
class FakeDragSetting : public DesktopDragSetting
{
public:
    bool has = true;
    bool on = false;
    QList<bool> calls;

    bool available() const override { return has; }
    bool isOn() const override { return on; }
    void setOn(bool v) override
    {
        calls << v;
        on = v;
    }
};
} // namespace

class TestDragSetting : public QObject
{
    Q_OBJECT
private slots:
    void offWhileRunningOnlyWhenItWasOn_data()
    {
        QTest::addColumn<bool>("available");
        QTest::addColumn<bool>("onAtStart");
        QTest::addColumn<QList<bool>>("callsWhileRunning");
        QTest::addColumn<QList<bool>>("callsAtExit");
        QTest::newRow("on") << true << true << QList<bool>{false} << QList<bool>{false, true};
        QTest::newRow("off") << true << false << QList<bool>{} << QList<bool>{};
        QTest::newRow("nothing to switch") << false << true << QList<bool>{} << QList<bool>{};
    }
    void offWhileRunningOnlyWhenItWasOn()
    {
        QFETCH(bool, available);
        QFETCH(bool, onAtStart);
        QFETCH(QList<bool>, callsWhileRunning);
        QFETCH(QList<bool>, callsAtExit);
        FakeDragSetting fake;
        fake.has = available;
        fake.on = onAtStart;
        {
            FullWindowDragOff off(fake);
            QCOMPARE(fake.calls, callsWhileRunning);
            QCOMPARE(off.switchedOff(), !callsWhileRunning.isEmpty());
            off.restore();
            off.restore();  // a second restore changes nothing
        }  // nor does the destructor after it
        QCOMPARE(fake.calls, callsAtExit);
        QCOMPARE(fake.on, onAtStart);
    }

    void restoredByTheDestructor()
    {
        FakeDragSetting fake;
        fake.on = true;
        {
            FullWindowDragOff off(fake);
            QVERIFY(!fake.on);
        }
        QVERIFY(fake.on);
    }
};

QTEST_GUILESS_MAIN(TestDragSetting)
#include "tst_dragsetting.moc"
