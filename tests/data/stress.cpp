// SPDX-License-Identifier: GPL-3.0-or-later
// A worker for the tests that run several processes on the same data files. It prints one line
// for every write that the store reported done, so the test can check that none was lost.
//   vetcert_stress rename DIR SECONDS SEED     renames random counterparties "Контрагент <id> v<n>"
//   vetcert_stress certs DIR SECONDS SEED      inserts and updates certificates naming them
//   vetcert_stress rename-loop DIR             renames counterparty 1 between two names for ever

#include "data/store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;
using namespace vetcert;

namespace {

void say(const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

bool readCounterparty(Context& ctx, qint64 id)
{
    DataFile& kag = ctx.file(FileId::Kagent);
    kag.buffer().clear();
    kag.record<Kagent>().ID.setInteger(id);
    return kag.setOrder(kag.def().keyIndex(u"KAG:K1")) == Status::Ok && kag.next() == Status::Ok &&
           kag.record<Kagent>().ID.integerPart() == id;
}

int renameRandom(Context& ctx, int seconds, quint64 seed)
{
    std::mt19937_64 rnd(seed);
    const qint64 n = ctx.file(FileId::Kagent).count();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < seconds * 1000) {
        const qint64 id = 1 + static_cast<qint64>(rnd() % static_cast<quint64>(n));
        if (!readCounterparty(ctx, id))
            continue;
        Kagent& k = ctx.file(FileId::Kagent).record<Kagent>();
        const QString old = k.NAME.toString();
        const int v = old.section(u" v"_s, -1).toInt();
        const QString name = u"Контрагент %1 v%2"_s.arg(id).arg(v + 1);
        k.NAME.setCut(name);
        if (ctx.file(FileId::Kagent).update() == Status::Ok)
            say(u"OK %1 %2"_s.arg(id).arg(name));
    }
    return 0;
}

int certificates(Context& ctx, int seconds, quint64 seed)
{
    std::mt19937_64 rnd(seed);
    const qint64 n = ctx.file(FileId::Kagent).count();
    DataFile& fr3 = ctx.file(FileId::Forma3);
    std::vector<qint64> mine;
    qint64 next = 1000000;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < seconds * 1000) {
        // A pause between writes, as between an operator's saves, so the other process gets the files too.
        QThread::msleep(5);
        if (mine.empty() || rnd() % 3 != 0) {
            // Name and insert in one transaction, so a rename cannot slip between reading the name and writing it.
            if (!ctx.beginTransaction(FileId::Forma3))
                continue;
            const qint64 id = 1 + static_cast<qint64>(rnd() % static_cast<quint64>(n));
            bool ok = readCounterparty(ctx, id);
            const QString name = ctx.file(FileId::Kagent).record<Kagent>().NAME.toString();
            ok = ok && fr3.prime() == Status::Ok;
            if (ok) {
                fr3.record<Forma3>().NFORM.setInteger(++next);
                fr3.record<Forma3>().S2.setCut(name);
                ok = fr3.insert() == Status::Ok;
            }
            if (ok && ctx.commit(FileId::Forma3)) {
                mine.push_back(next);
                say(u"INS %1"_s.arg(next));
            } else if (!ok) {
                ctx.rollback(FileId::Forma3);
            }
        } else {
            const qint64 nform = mine[static_cast<size_t>(rnd() % mine.size())];
            fr3.buffer().clear();
            fr3.record<Forma3>().NFORM.setInteger(nform);
            if (fr3.setOrder(fr3.def().keyIndex(u"FR3:K2")) != Status::Ok || fr3.next() != Status::Ok)
                continue;
            const quint64 mark = rnd() % 1000000;
            fr3.record<Forma3>().S7.setCut(u"отметка %1"_s.arg(mark));
            if (fr3.update() == Status::Ok)
                say(u"UPD %1 %2"_s.arg(nform).arg(mark));
        }
    }
    return 0;
}

int renameLoop(Context& ctx)
{
    if (!readCounterparty(ctx, 1))
        return 1;
    say(u"BEGIN"_s);
    for (int i = 0;; ++i) {
        Kagent& k = ctx.file(FileId::Kagent).record<Kagent>();
        k.NAME.setCut(k.NAME.toString() == u"Имя А"_s ? u"Имя Б"_s : u"Имя А"_s);
        if (ctx.file(FileId::Kagent).update() == Status::Ok)
            say(u"OK "_s + k.NAME.toString());
        else
            readCounterparty(ctx, 1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    StderrReporter reporter;
    Store store(args[2], reporter);
    Context ctx(store, u"stress"_s);
    if (!ctx.openGroup(FileId::Forma3))
        return 1;
    if (args[1] == u"rename"_s && args.size() == 5)
        return renameRandom(ctx, args[3].toInt(), args[4].toULongLong());
    if (args[1] == u"certs"_s && args.size() == 5)
        return certificates(ctx, args[3].toInt(), args[4].toULongLong());
    if (args[1] == u"rename-loop"_s)
        return renameLoop(ctx);
    return 2;
}
