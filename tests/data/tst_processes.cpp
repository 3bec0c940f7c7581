// SPDX-License-Identifier: GPL-3.0-or-later
// Several real processes on the same data files: concurrent writers, a process killed mid-rename,
// a file that is read-only on disk.

#include "storefixture.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace vetcert;
using namespace vetcert::test;

class TestProcesses : public QObject
{
    Q_OBJECT

private slots:
    void concurrentRenamesAndCertificates();
    void killedDuringRenameLeavesAllOrNothing();
    void readOnlyFileOpensForReading();

    void cleanupTestCase()
    {
        for (const QString& d : m_cleanup)
            QDir(d).removeRecursively();
    }

private:
    QStringList m_cleanup;
    static QStringList lines(QProcess& p) { return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts); }
};

void TestProcesses::concurrentRenamesAndCertificates()
{
    StoreFixture fx;
    constexpr int kParties = 20;
    {
        Context ctx(*fx.store, u"setup"_s);
        QVERIFY(ctx.openGroup(FileId::Forma3));
        for (int i = 1; i <= kParties; ++i) {
            qint64 id = 0;
            QVERIFY(addCounterparty(ctx, u"Контрагент %1 v0"_s.arg(i), &id));
            QCOMPARE(id, qint64(i));
            for (int c = 0; c < 50; ++c)
                QVERIFY(addCertificate(ctx, i * 100 + c, u"Контрагент %1 v0"_s.arg(i)));
        }
    }
    QProcess renamer, writer;
    renamer.start(QStringLiteral(VETCERT_STRESS), {u"rename"_s, fx.dir.path(), u"4"_s, u"11"_s});
    writer.start(QStringLiteral(VETCERT_STRESS), {u"certs"_s, fx.dir.path(), u"4"_s, u"12"_s});
    QVERIFY(renamer.waitForFinished(60000));
    QVERIFY(writer.waitForFinished(60000));
    QCOMPARE(renamer.exitCode(), 0);
    QCOMPARE(writer.exitCode(), 0);
    const QStringList renames = lines(renamer);
    const QStringList writes = lines(writer);
    QVERIFY2(!renames.isEmpty() && !writes.isEmpty(),
             qPrintable(u"%1 renames, %2 writes"_s.arg(renames.size()).arg(writes.size())));

    Context ctx(*fx.store, u"verify"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QHash<qint64, QString> names;
    DataFile& kag = ctx.file(FileId::Kagent);
    QCOMPARE(kag.setOrderStart(kStoredOrder), Status::Ok);
    while (kag.next() == Status::Ok)
        names[kag.record<Kagent>().ID.integerPart()] = kag.record<Kagent>().NAME.toString();
    // Every rename reported done is the one stored last.
    QHash<qint64, QString> lastRename;
    for (const QString& l : renames)
        lastRename[l.section(u' ', 1, 1).toLongLong()] = l.section(u' ', 2);
    for (auto it = lastRename.cbegin(); it != lastRename.cend(); ++it)
        QCOMPARE(names.value(it.key()), it.value());

    // Every certificate names its counterparty as it is now: no rename was half done.
    QHash<qint64, QString> s7;
    qint64 certificates = 0;
    DataFile& fr3 = ctx.file(FileId::Forma3);
    QCOMPARE(fr3.setOrderStart(kStoredOrder), Status::Ok);
    while (fr3.next() == Status::Ok) {
        const Forma3& f = fr3.record<Forma3>();
        const QString s2 = f.S2.toString();
        const qint64 id = s2.section(u' ', 1, 1).toLongLong();
        QVERIFY2(names.value(id) == s2, qPrintable(u"№%1 names «%2», the counterparty is «%3»"_s.arg(f.NFORM.integerPart())
                                                       .arg(s2, names.value(id))));
        s7[f.NFORM.integerPart()] = f.S7.toString();
        ++certificates;
    }
    // No write reported done was lost.
    QHash<qint64, QString> lastMark;
    qint64 inserted = 0;
    for (const QString& l : writes) {
        const qint64 nform = l.section(u' ', 1, 1).toLongLong();
        if (l.startsWith(u"INS"_s)) {
            QVERIFY2(s7.contains(nform), qPrintable(l));
            ++inserted;
        } else {
            lastMark[nform] = u"отметка "_s + l.section(u' ', 2, 2);
        }
    }
    for (auto it = lastMark.cbegin(); it != lastMark.cend(); ++it)
        QCOMPARE(s7.value(it.key()), it.value());
    QCOMPARE(certificates, kParties * 50 + inserted);

    QProcess check;
    check.start(QStringLiteral(VETCERT_BINARY), {u"--data"_s, fx.dir.path(), u"check"_s});
    QVERIFY(check.waitForFinished(60000));
    QCOMPARE(check.exitCode(), 0);
}

void TestProcesses::killedDuringRenameLeavesAllOrNothing()
{
    StoreFixture fx;
    constexpr int kCertificates = 10000;
    {
        Context ctx(*fx.store, u"setup"_s);
        QVERIFY(ctx.openGroup(FileId::Forma3));
        QVERIFY(addCounterparty(ctx, u"Имя А"_s));
        QVERIFY(ctx.beginTransaction(FileId::Forma3));
        for (int i = 1; i <= kCertificates; ++i)
            QVERIFY(addCertificate(ctx, i, u"Имя А"_s));
        QVERIFY(ctx.commit(FileId::Forma3));
    }
    int completed = 0;
    for (int round = 0; round < 4; ++round) {
        QProcess p;
        p.start(QStringLiteral(VETCERT_STRESS), {u"rename-loop"_s, fx.dir.path()});
        QVERIFY(p.waitForReadyRead(20000));
        QTest::qWait(40 + QRandomGenerator::global()->bounded(250));
        p.kill();  // SIGKILL: no chance to clean up
        QVERIFY(p.waitForFinished(20000));
        completed += int(lines(p).size()) - 1;

        Context ctx(*fx.store, u"verify"_s);
        QVERIFY(ctx.openGroup(FileId::Forma3));
        const QStringList parties = readAll(ctx, FileId::Kagent, {}, u"KAG:NAME"_s);
        QCOMPARE(parties.size(), 1);
        const QStringList s2 = readAll(ctx, FileId::Forma3, u"FR3:K4"_s, u"FR3:S2"_s);
        QCOMPARE(s2.size(), kCertificates);
        QCOMPARE(s2.count(parties[0]), kCertificates);
    }
    qInfo("%d renames of %d certificates completed before the kills", completed, kCertificates);
}

void TestProcesses::readOnlyFileOpensForReading()
{
    StoreFixture fx;
    {
        Context ctx(*fx.store, u"setup"_s);
        QVERIFY(ctx.openGroup(FileId::Forma3));
        QVERIFY(addCounterparty(ctx, u"ООО «Колос»"_s));
        QCOMPARE(ctx.file(FileId::Forma3).count(), 0);
        QCOMPARE(ctx.file(FileId::Licenziy).count(), 0);
    }
    for (const char16_t* name : {u"FORMA3.DAT", u"KAGENT.DAT", u"LICENZIY.DAT"})
        QVERIFY(QFile::setPermissions(fx.path(QString::fromUtf16(name)), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QFile::setPermissions(fx.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                             QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    // The superuser may write to any file, so the program runs as an ordinary user there.
    QStringList prefix;
    QString program = QStringLiteral(VETCERT_BINARY);
    if (geteuid() == 0) {
        // A copy the ordinary user can reach, wherever the build lives.
        QTemporaryDir binDir;
        QVERIFY(binDir.isValid());
        binDir.setAutoRemove(false);
        const QString copy = binDir.filePath(u"vetcert"_s);
        QVERIFY(QFile::copy(program, copy));
        const auto rx = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(copy, rx | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(binDir.path(), rx | QFile::WriteOwner));
        m_cleanup << binDir.path();
        prefix = {u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, copy};
        program = u"setpriv"_s;
    }
    QProcess exportRun;
    exportRun.start(program, prefix + QStringList{u"--data"_s, fx.dir.path(), u"export"_s, u"--file"_s, u"KAGENT"_s});
    QVERIFY(exportRun.waitForFinished(30000));
    const QString err = QString::fromUtf8(exportRun.readAllStandardError());
    QCOMPARE(exportRun.exitCode(), 0);
    QVERIFY2(err.contains(u"только для чтения"_s), qPrintable(err));
    QVERIFY(QString::fromUtf8(exportRun.readAllStandardOutput()).contains(u"1,ООО «Колос»"_s));

    QFile csv(fx.path(u"new.csv"_s));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("KAG:NAME\nНовый\n");
    csv.close();
    QFile::setPermissions(csv.fileName(), QFile::ReadOwner | QFile::ReadOther);
    QProcess importRun;
    importRun.start(program, prefix + QStringList{u"--data"_s, fx.dir.path(), u"import"_s, u"--file"_s, u"KAGENT"_s,
                                                  csv.fileName()});
    QVERIFY(importRun.waitForFinished(30000));
    QCOMPARE(importRun.exitCode(), 1);
}

QTEST_GUILESS_MAIN(TestProcesses)
#include "tst_processes.moc"
