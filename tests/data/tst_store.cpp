// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/issuers.h"
#include "data/sqlite.h"
#include "storefixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vetcert;
using namespace vetcert::test;

class TestStore : public QObject
{
    Q_OBJECT

private slots:
    void missingFilesAreCreatedSilently();
    void primingSetsStatusText();
    void keyOrderIgnoresCaseAndKeepsDuplicates();
    void blankKeyValuesHaveNoEntry();
    void navigationAcrossReadAhead();
    void setOrderPositionsAtValue();
    void counterpartyNumbering();
    void renameCascadesToCertificates();
    void renameFailingMidwayChangesNothing();
    void renameWaitsAtMostTwoSeconds();
    void renameRetriedAfterFailedCommit();
    void writeFailuresAskOrTell();
    void deleteRestrictedWhileNamed();
    void deletingPermitLeavesCertificates();
    void updateRefusedAfterAnotherContextChangedRecord();
    void fileUsedBeforeOpenIsProgramError();
    void notADataFileIsFatalAndUntouched();
    void damagedKeysAreRebuilt();
    void issuerLines();
    void contextsHaveOwnBuffers();
};

void TestStore::missingFilesAreCreatedSilently()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QCOMPARE(ctx.file(FileId::Forma3).count(), 0);
    QCOMPARE(ctx.file(FileId::Kagent).count(), 0);
    QCOMPARE(ctx.file(FileId::Licenziy).count(), 0);
    QVERIFY(ctx.openGroup(FileId::Last));
    QCOMPARE(ctx.file(FileId::Last).count(), 0);
    for (const char16_t* name : {u"FORMA3.DAT", u"KAGENT.DAT", u"LICENZIY.DAT", u"LAST.DAT"})
        QVERIFY2(QFile::exists(fx.path(QString::fromUtf16(name))), qPrintable(QString::fromUtf16(name)));
    QVERIFY(fx.reporter.messages().empty());
    // Deferred opening: a member of a group is not touched until used.
    QVERIFY(!QFile::exists(fx.path(u"ISSUERS.DAT"_s)));
}

void TestStore::primingSetsStatusText()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    DataFile& fr3 = ctx.file(FileId::Forma3);
    fr3.record<Forma3>().S7.setCut(u"остаток прежней записи"_s);
    QCOMPARE(fr3.prime(), Status::Ok);
    const Forma3& f = fr3.record<Forma3>();
    QCOMPARE(QByteArray(f.COMMENT.bytes.data(), 9), cp1251::encodeLossy(u"Выдано   "_s));
    QVERIFY(f.S7.isBlank());
    QVERIFY(f.NFORM.isZero());
    QCOMPARE(fr3.insert(), Status::Ok);
    QCOMPARE(readAll(ctx, FileId::Forma3, {}, u"FR3:COMMENT"_s), QStringList{u"Выдано"_s});
}

void TestStore::keyOrderIgnoresCaseAndKeepsDuplicates()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Kagent));
    const QStringList names{u"бета"_s, u"Альфа"_s, u"ёжик"_s, u"Zeta"_s, u"АЛЬФА"_s, u"alpha"_s,
                            u"Ель"_s,  u"яблоко"_s, u"Альфа"_s, u"ЕЖ"_s};
    for (const QString& n : names)
        QVERIFY(addCounterparty(ctx, n));
    // Latin before Cyrillic; letter case ignored; Ё sorted with Е; equal values in the order stored.
    const QStringList expected{u"alpha"_s, u"Zeta"_s, u"Альфа"_s, u"АЛЬФА"_s, u"Альфа"_s,
                               u"бета"_s,  u"ЕЖ"_s,   u"ёжик"_s,  u"Ель"_s,   u"яблоко"_s};
    QCOMPARE(readAll(ctx, FileId::Kagent, u"KAG:K2"_s, u"KAG:NAME"_s), expected);
    QCOMPARE(readAll(ctx, FileId::Kagent, {}, u"KAG:NAME"_s), names);
}

void TestStore::blankKeyValuesHaveNoEntry()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QVERIFY(addCertificate(ctx, 7, u"ООО «Заря»"_s));
    QVERIFY(addCertificate(ctx, 8, QString()));                   // no counterparty
    QVERIFY(addCertificate(ctx, 0, u"ИП Петров"_s));             // no number
    QVERIFY(addCertificate(ctx, 9, u"СПК «Нива»"_s, Date()));    // no date
    QVERIFY(addCertificate(ctx, 7, u"ООО «Заря»"_s));             // a duplicate is stored too

    QCOMPARE(readAll(ctx, FileId::Forma3, u"FR3:K4"_s, u"FR3:NFORM"_s), (QStringList{u"0"_s, u"7"_s, u"7"_s, u"9"_s}));
    QCOMPARE(readAll(ctx, FileId::Forma3, u"FR3:K2"_s, u"FR3:NFORM"_s), (QStringList{u"7"_s, u"7"_s, u"8"_s, u"9"_s}));
    QCOMPARE(readAll(ctx, FileId::Forma3, u"FR3:K3"_s, u"FR3:NFORM"_s), (QStringList{u"7"_s, u"8"_s, u"0"_s, u"7"_s}));
    QCOMPARE(readAll(ctx, FileId::Forma3, u"FR3:K1"_s, u"FR3:NFORM"_s), QStringList{});  // no permit numbers at all
    QCOMPARE(ctx.file(FileId::Forma3).count(), 5);
}

void TestStore::navigationAcrossReadAhead()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QVERIFY(ctx.beginTransaction(FileId::Forma3));
    for (int i = 100; i >= 1; --i)
        QVERIFY(addCertificate(ctx, i, u"Контрагент %1"_s.arg(i % 7)));
    QVERIFY(ctx.commit(FileId::Forma3));
    DataFile& fr3 = ctx.file(FileId::Forma3);
    const int k2 = fr3.def().keyIndex(u"FR3:K2");
    QCOMPARE(fr3.setOrderStart(k2), Status::Ok);
    for (int i = 1; i <= 70; ++i) {
        QCOMPARE(fr3.next(), Status::Ok);
        QCOMPARE(fr3.record<Forma3>().NFORM.integerPart(), qint64(i));
    }
    // Turning back walks the same entries in reverse, across the read-ahead batches.
    for (int i = 69; i >= 1; --i) {
        QCOMPARE(fr3.previous(), Status::Ok);
        QCOMPARE(fr3.record<Forma3>().NFORM.integerPart(), qint64(i));
    }
    QCOMPARE(fr3.previous(), Status::End);
    QCOMPARE(fr3.setOrderEnd(k2), Status::Ok);
    QCOMPARE(fr3.previous(), Status::Ok);
    QCOMPARE(fr3.record<Forma3>().NFORM.integerPart(), qint64(100));
    QCOMPARE(fr3.next(), Status::End);

    // Reading by position puts the order there.
    QCOMPARE(fr3.setOrderStart(k2), Status::Ok);
    for (int i = 0; i < 40; ++i)
        fr3.next();
    const qint64 at40 = fr3.position();
    QCOMPARE(fr3.setOrderStart(k2), Status::Ok);
    QCOMPARE(fr3.read(at40), Status::Ok);
    QCOMPARE(fr3.record<Forma3>().NFORM.integerPart(), qint64(40));
    QCOMPARE(fr3.next(), Status::Ok);
    QCOMPARE(fr3.record<Forma3>().NFORM.integerPart(), qint64(41));
    QCOMPARE(fr3.read(999999), Status::End);

    // A long run of equal key values (letter case differs) reads in stored order across the batches,
    // both ways, and positioning at the value finds its first entry.
    QVERIFY(ctx.beginTransaction(FileId::Forma3));
    for (int i = 1; i <= 80; ++i)
        QVERIFY(addCertificate(ctx, 1000 + i, i % 2 ? u"Одно имя"_s : u"ОДНО ИМЯ"_s));
    QVERIFY(ctx.commit(FileId::Forma3));
    const int k4 = fr3.def().keyIndex(u"FR3:K4");
    fr3.buffer().clear();
    fr3.record<Forma3>().S2.setCut(u"одно имя"_s);
    QCOMPARE(fr3.setOrder(k4), Status::Ok);
    for (int i = 1; i <= 80; ++i) {
        QCOMPARE(fr3.next(), Status::Ok);
        QCOMPARE(fr3.record<Forma3>().NFORM.integerPart(), qint64(1000 + i));
    }
    for (int i = 79; i >= 1; --i) {
        QCOMPARE(fr3.previous(), Status::Ok);
        QCOMPARE(fr3.record<Forma3>().NFORM.integerPart(), qint64(1000 + i));
    }
    QCOMPARE(fr3.previous(), Status::Ok);  // the entry before the run
    QVERIFY(fr3.record<Forma3>().S2.toString().startsWith(u"Контрагент"_s));
}

void TestStore::setOrderPositionsAtValue()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Kagent));
    for (const QString& n : {u"Берёзка"_s, u"Агро"_s, u"Восход"_s, u"берЁзка"_s})
        QVERIFY(addCounterparty(ctx, n));
    DataFile& kag = ctx.file(FileId::Kagent);
    kag.buffer().clear();
    kag.record<Kagent>().NAME.setCut(u"БЕРЕЗКА"_s);
    QCOMPARE(kag.setOrder(kag.def().keyIndex(u"KAG:K2")), Status::Ok);
    QStringList seen;
    while (kag.next() == Status::Ok)
        seen << kag.record<Kagent>().NAME.toString();
    QCOMPARE(seen, (QStringList{u"Берёзка"_s, u"берЁзка"_s, u"Восход"_s}));
}

void TestStore::counterpartyNumbering()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Kagent));
    DataFile& kag = ctx.file(FileId::Kagent);
    qint64 id = 0;
    QVERIFY(addCounterparty(ctx, u"Первый"_s, &id));
    QCOMPARE(id, qint64(1));
    QVERIFY(addCounterparty(ctx, u"Второй"_s, &id));
    QCOMPARE(id, qint64(2));
    // Priming writes the reserved number at once; a second window sees it taken.
    QCOMPARE(kag.prime(), Status::Ok);
    QCOMPARE(kag.record<Kagent>().ID.integerPart(), qint64(3));
    {
        Context other(*fx.store, u"other"_s);
        QVERIFY(other.openGroup(FileId::Kagent));
        QCOMPARE(other.file(FileId::Kagent).count(), 3);
        QCOMPARE(other.file(FileId::Kagent).prime(), Status::Ok);
        QCOMPARE(other.file(FileId::Kagent).record<Kagent>().ID.integerPart(), qint64(4));
        QCOMPARE(other.file(FileId::Kagent).cancelNew(), Status::Ok);
    }
    QCOMPARE(kag.cancelNew(), Status::Ok);
    QCOMPARE(kag.count(), 2);
    // After the highest is deleted, its number is given again.
    QCOMPARE(kag.setOrderEnd(kag.def().keyIndex(u"KAG:K1")), Status::Ok);
    QCOMPARE(kag.previous(), Status::Ok);
    QCOMPARE(kag.remove(), Status::Ok);
    QVERIFY(addCounterparty(ctx, u"Третий"_s, &id));
    QCOMPARE(id, qint64(2));
    // A counterparty numbered 0 has no entry in the number key and does not count.
    QCOMPARE(kag.setOrderStart(kag.def().keyIndex(u"KAG:K2")), Status::Ok);
    while (kag.next() == Status::Ok) {
        kag.record<Kagent>().ID.setInteger(0);
        QCOMPARE(kag.update(), Status::Ok);
    }
    QVERIFY(addCounterparty(ctx, u"Четвёртый"_s, &id));
    QCOMPARE(id, qint64(1));
    QVERIFY(fx.reporter.messages().empty());
}

void TestStore::renameCascadesToCertificates()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QVERIFY(addCounterparty(ctx, u"ООО «Заря»"_s));
    const QString longName = QString(80, u'д') + u"хвост"_s;  // a non-blank character after position 80
    QVERIFY(addCounterparty(ctx, longName));
    for (int i = 1; i <= 3; ++i)
        QVERIFY(addCertificate(ctx, i, u"ООО «Заря»"_s));
    QVERIFY(addCertificate(ctx, 4, u"ООО «ЗАРЯ»"_s));  // differs in letter case: not linked
    QVERIFY(addCertificate(ctx, 5, QString(80, u'д')));
    QVERIFY(addCertificate(ctx, 6, u"ООО «Рассвет»"_s));

    DataFile& kag = ctx.file(FileId::Kagent);
    QCOMPARE(kag.setOrderStart(kag.def().keyIndex(u"KAG:K1")), Status::Ok);
    QCOMPARE(kag.next(), Status::Ok);
    const QString newName = u"АО «Заря» "_s + QString(85, u'ж');  // longer than a certificate holds
    kag.record<Kagent>().NAME.setCut(newName);
    QCOMPARE(kag.update(), Status::Ok);
    QCOMPARE(kag.next(), Status::Ok);
    kag.record<Kagent>().NAME.setCut(u"Короткое имя"_s);
    QCOMPARE(kag.update(), Status::Ok);

    const QString cut = newName.left(80);
    QCOMPARE(readAll(ctx, FileId::Forma3, {}, u"FR3:S2"_s),
             (QStringList{cut, cut, cut, u"ООО «ЗАРЯ»"_s, QString(80, u'д'), u"ООО «Рассвет»"_s}));
    // The key follows the new name.
    DataFile& fr3 = ctx.file(FileId::Forma3);
    fr3.buffer().clear();
    fr3.record<Forma3>().S2.setCut(cut);
    QCOMPARE(fr3.setOrder(fr3.def().keyIndex(u"FR3:K4")), Status::Ok);
    QCOMPARE(fr3.next(), Status::Ok);
    QCOMPARE(fr3.record<Forma3>().S2.toString(), cut);
    QVERIFY(fx.reporter.messages().empty());
}

void TestStore::renameFailingMidwayChangesNothing()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QVERIFY(addCounterparty(ctx, u"СПК «Нива»"_s));
    for (int i = 1; i <= 3; ++i)
        QVERIFY(addCertificate(ctx, i, u"СПК «Нива»"_s));
    // The third certificate cannot be written.
    RawFile file(fx.path(u"FORMA3.DAT"_s));
    sqlite3* raw = file.db;
    QCOMPARE(sql::exec(raw, u"CREATE TRIGGER fail_third BEFORE UPDATE OF s2 ON forma3 WHEN old.nform = 3 "
                            u"BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END"_s),
             SQLITE_OK);

    DataFile& kag = ctx.file(FileId::Kagent);
    QCOMPARE(kag.setOrderStart(kag.def().keyIndex(u"KAG:K1")), Status::Ok);
    QCOMPARE(kag.next(), Status::Ok);
    kag.record<Kagent>().NAME.setCut(u"СПК «Новая Нива»"_s);
    QCOMPARE(kag.update(), Status::Failed);
    QCOMPARE(kag.record<Kagent>().NAME.toString(), u"СПК «Нива»"_s);  // the old name is back in the buffer
    QCOMPARE(fx.reporter.messages().size(), size_t(1));
    QCOMPARE(fx.reporter.messages()[0].level, Level::Notice);

    Context fresh(*fx.store, u"check"_s);
    QVERIFY(fresh.openGroup(FileId::Forma3));
    QCOMPARE(readAll(fresh, FileId::Kagent, {}, u"KAG:NAME"_s), QStringList{u"СПК «Нива»"_s});
    QCOMPARE(readAll(fresh, FileId::Forma3, {}, u"FR3:S2"_s), QStringList(3, u"СПК «Нива»"_s));
}

void TestStore::renameWaitsAtMostTwoSeconds()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QVERIFY(addCounterparty(ctx, u"Колос"_s));
    QVERIFY(addCertificate(ctx, 1, u"Колос"_s));
    // Another program holds the write lock of the certificates.
    RawFile file(fx.path(u"FORMA3.DAT"_s));
    sqlite3* raw = file.db;
    QCOMPARE(sql::exec(raw, u"BEGIN IMMEDIATE"_s), SQLITE_OK);
    DataFile& kag = ctx.file(FileId::Kagent);
    QCOMPARE(kag.setOrderStart(kag.def().keyIndex(u"KAG:K1")), Status::Ok);
    QCOMPARE(kag.next(), Status::Ok);
    kag.record<Kagent>().NAME.setCut(u"Колосок"_s);
    QCOMPARE(kag.update(), Status::Failed);
    QCOMPARE(kag.remove(), Status::Failed);
    QCOMPARE(fx.reporter.messages().size(), size_t(2));
    QVERIFY(fx.reporter.texts()[0].contains(u"2 секунд"_s));
    // Reserving a counterparty number tries three times, then asks; "No" abandons the insert.
    fx.reporter.clear();
    fx.reporter.answerNext(Button::No);
    QCOMPARE(kag.prime(), Status::Failed);
    QCOMPARE(fx.reporter.messages().size(), size_t(1));
    QCOMPARE(fx.reporter.messages()[0].level, Level::Question);
    QCOMPARE(kag.position(), 0);
    sql::exec(raw, u"ROLLBACK"_s);
    QCOMPARE(readAll(ctx, FileId::Kagent, {}, u"KAG:NAME"_s), QStringList{u"Колос"_s});
    QCOMPARE(readAll(ctx, FileId::Forma3, {}, u"FR3:S2"_s), QStringList{u"Колос"_s});
}

void TestStore::writeFailuresAskOrTell()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QVERIFY(addCertificate(ctx, 1, u"Родина"_s));
    RawFile file(fx.path(u"FORMA3.DAT"_s));
    sqlite3* raw = file.db;
    QCOMPARE(sql::exec(raw, u"CREATE TRIGGER no_update BEFORE UPDATE ON forma3 BEGIN SELECT RAISE(ABORT, 'disk full'); END;"
                            u"CREATE TRIGGER no_delete BEFORE DELETE ON forma3 BEGIN SELECT RAISE(ABORT, 'disk full'); END;"
                            u"CREATE TRIGGER no_insert BEFORE INSERT ON forma3 BEGIN SELECT RAISE(ABORT, 'disk full'); END;"_s),
             SQLITE_OK);
    DataFile& fr3 = ctx.file(FileId::Forma3);
    QCOMPARE(fr3.setOrderStart(kStoredOrder), Status::Ok);
    QCOMPARE(fr3.next(), Status::Ok);
    fr3.record<Forma3>().S7.setCut(u"новая строка"_s);

    // A failed update asks whether to save again: Yes tries again, Cancel gives up (Cancel is preselected).
    fx.reporter.answerNext(Button::Yes);
    fx.reporter.answerNext(Button::Cancel);
    QCOMPARE(fr3.update(), Status::Failed);
    QCOMPARE(fr3.lastAnswer(), Button::Cancel);
    auto msgs = fx.reporter.messages();
    QCOMPARE(msgs.size(), size_t(2));
    QCOMPARE(msgs[0].level, Level::Question);
    QCOMPARE(msgs[0].buttons, Button::Yes | Button::No | Button::Cancel);
    QCOMPARE(msgs[0].defaultButton, Button::Cancel);
    QVERIFY(msgs[0].text.contains(u"disk full"_s));

    // A failed delete asks whether to try again, Yes or No.
    fx.reporter.clear();
    fx.reporter.answerNext(Button::No);
    QCOMPARE(fr3.remove(), Status::Failed);
    msgs = fx.reporter.messages();
    QCOMPARE(msgs.size(), size_t(1));
    QCOMPARE(msgs[0].buttons, Button::Yes | Button::No);

    // A failed insert is told, and the buffer stays for the form.
    fx.reporter.clear();
    QCOMPARE(fr3.prime(), Status::Ok);
    fr3.record<Forma3>().NFORM.setInteger(2);
    QCOMPARE(fr3.insert(), Status::Failed);
    msgs = fx.reporter.messages();
    QCOMPARE(msgs.size(), size_t(1));
    QCOMPARE(msgs[0].level, Level::Notice);
    QCOMPARE(fr3.record<Forma3>().NFORM.integerPart(), qint64(2));
    QCOMPARE(readAll(ctx, FileId::Forma3, {}, u"FR3:S7"_s), QStringList{QString()});
}

void TestStore::renameRetriedAfterFailedCommit()
{
    // A reader in another program keeps the commit from finishing; when the operator is asked, the reader
    // has gone, and "Yes" saves the new name after all.
    struct ReleasingReporter : RecordingReporter
    {
        sqlite3_stmt* reader = nullptr;
        Button report(const Message& m) override
        {
            sqlite3_finalize(reader);
            reader = nullptr;
            RecordingReporter::report(m);
            return m.level == Level::Question ? Button::Yes : Button::Ok;
        }
    } reporter;
    QTemporaryDir dir;
    Store store(dir.path(), reporter);
    Context ctx(store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QVERIFY(addCounterparty(ctx, u"Старое"_s));
    QVERIFY(addCertificate(ctx, 1, u"Старое"_s));
    QVERIFY(addCertificate(ctx, 2, u"Старое"_s));
    RawFile file(dir.filePath(u"FORMA3.DAT"_s));
    sqlite3* raw = file.db;
    QCOMPARE(sqlite3_prepare_v2(raw, "SELECT nform FROM forma3", -1, &reporter.reader, nullptr), SQLITE_OK);
    QCOMPARE(sqlite3_step(reporter.reader), SQLITE_ROW);

    DataFile& kag = ctx.file(FileId::Kagent);
    QCOMPARE(kag.setOrderStart(kStoredOrder), Status::Ok);
    QCOMPARE(kag.next(), Status::Ok);
    kag.record<Kagent>().NAME.setCut(u"Новое"_s);
    QCOMPARE(kag.update(), Status::Ok);
    const auto msgs = reporter.messages();
    QCOMPARE(msgs.size(), size_t(1));
    QVERIFY2(msgs[0].text.contains(u"locked"_s), qPrintable(msgs[0].text));
    QCOMPARE(kag.record<Kagent>().NAME.toString(), u"Новое"_s);
    QCOMPARE(readAll(ctx, FileId::Kagent, {}, u"KAG:NAME"_s), QStringList{u"Новое"_s});
    QCOMPARE(readAll(ctx, FileId::Forma3, {}, u"FR3:S2"_s), QStringList(2, u"Новое"_s));
}

void TestStore::deleteRestrictedWhileNamed()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    QVERIFY(addCounterparty(ctx, u"ЗАО «Победа»"_s));
    QVERIFY(addCounterparty(ctx, u"ЗАО «Дружба»"_s));
    QVERIFY(addCertificate(ctx, 1, u"ЗАО «ПОБЕДА»"_s));  // same key value, another spelling: stored first
    QVERIFY(addCertificate(ctx, 2, u"ЗАО «Победа»"_s));
    DataFile& kag = ctx.file(FileId::Kagent);
    const int k2 = kag.def().keyIndex(u"KAG:K2");

    kag.buffer().clear();
    kag.record<Kagent>().NAME.setCut(u"ЗАО «Победа»"_s);
    QCOMPARE(kag.setOrder(k2), Status::Ok);
    QCOMPARE(kag.next(), Status::Ok);
    fx.reporter.answerNext(Button::Yes);
    QCOMPARE(kag.remove(true), Status::Failed);
    const auto msgs = fx.reporter.messages();
    QCOMPARE(msgs.size(), size_t(2));
    QCOMPARE(msgs[0].level, Level::Question);
    QCOMPARE(msgs[0].defaultButton, Button::Yes);
    QCOMPARE(msgs[1].title, u"Referential Integrity Delete Error"_s);
    QCOMPARE(msgs[1].text, u"Удаляемая запись имеет подчинённые документы"_s);
    QCOMPARE(kag.count(), 2);
    QCOMPARE(ctx.file(FileId::Forma3).count(), 2);

    // "No" to the confirmation deletes nothing; an unnamed counterparty goes.
    fx.reporter.clear();
    kag.buffer().clear();
    kag.record<Kagent>().NAME.setCut(u"ЗАО «Дружба»"_s);
    QCOMPARE(kag.setOrder(k2), Status::Ok);
    QCOMPARE(kag.next(), Status::Ok);
    fx.reporter.answerNext(Button::No);
    QCOMPARE(kag.remove(true), Status::Failed);
    QCOMPARE(kag.count(), 2);
    QCOMPARE(kag.remove(false), Status::Ok);
    QCOMPARE(readAll(ctx, FileId::Kagent, {}, u"KAG:NAME"_s), QStringList{u"ЗАО «Победа»"_s});
}

void TestStore::deletingPermitLeavesCertificates()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    DataFile& lic = ctx.file(FileId::Licenziy);
    QCOMPARE(lic.prime(), Status::Ok);
    lic.record<Licenziy>().NLIC.setCut(u"77-001/2013"_s);
    QCOMPARE(lic.insert(), Status::Ok);
    DataFile& fr3 = ctx.file(FileId::Forma3);
    QCOMPARE(fr3.prime(), Status::Ok);
    fr3.record<Forma3>().NLIC.setCut(u"77-001/2013"_s);
    fr3.record<Forma3>().NFORM.setInteger(5);
    QCOMPARE(fr3.insert(), Status::Ok);
    lic.record<Licenziy>().NLIC.setCut(u"77-002/2013"_s);
    QCOMPARE(lic.update(), Status::Ok);
    QCOMPARE(lic.remove(), Status::Ok);
    QCOMPARE(lic.count(), 0);
    QCOMPARE(readAll(ctx, FileId::Forma3, u"FR3:K1"_s, u"FR3:NLIC"_s), QStringList{u"77-001/2013"_s});
}

void TestStore::updateRefusedAfterAnotherContextChangedRecord()
{
    StoreFixture fx;
    Context a(*fx.store, u"a"_s);
    Context b(*fx.store, u"b"_s);
    QVERIFY(a.openGroup(FileId::Forma3));
    QVERIFY(b.openGroup(FileId::Forma3));
    QVERIFY(addCertificate(a, 10, u"ООО «Луговое»"_s));
    DataFile& fa = a.file(FileId::Forma3);
    DataFile& fb = b.file(FileId::Forma3);
    QCOMPARE(fa.setOrderStart(kStoredOrder), Status::Ok);
    QCOMPARE(fa.next(), Status::Ok);
    QCOMPARE(fb.setOrderStart(kStoredOrder), Status::Ok);
    QCOMPARE(fb.next(), Status::Ok);
    fb.record<Forma3>().S7.setCut(u"написано во втором окне"_s);
    QCOMPARE(fb.update(), Status::Ok);
    fa.record<Forma3>().S7.setCut(u"написано в первом окне"_s);
    QCOMPARE(fa.update(), Status::Failed);
    QCOMPARE(fx.reporter.messages().size(), size_t(1));
    QVERIFY(fx.reporter.texts()[0].contains(u"изменена"_s));
    QCOMPARE(fa.record<Forma3>().S7.toString(), u"написано во втором окне"_s);  // the buffer shows what is stored
    // Now that it holds the stored record, the first window can write.
    fa.record<Forma3>().S7.setCut(u"исправлено в первом окне"_s);
    QCOMPARE(fa.update(), Status::Ok);
    QCOMPARE(readAll(b, FileId::Forma3, {}, u"FR3:S7"_s), QStringList{u"исправлено в первом окне"_s});

    // A record deleted by another window is not written back either.
    QCOMPARE(fb.remove(), Status::Ok);
    QCOMPARE(fa.update(), Status::Failed);
    QCOMPARE(a.file(FileId::Forma3).count(), 0);
}

void TestStore::fileUsedBeforeOpenIsProgramError()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"Browselicenziy"_s);
    QCOMPARE(ctx.file(FileId::Forma3).next(), Status::Failed);
    QCOMPARE(ctx.file(FileId::Last).insert(), Status::Failed);
    const auto msgs = fx.reporter.messages();
    QCOMPARE(msgs.size(), size_t(2));
    QCOMPARE(msgs[0].level, Level::ProgramError);
    QVERIFY(msgs[0].text.contains(u"forma3"_s));
    QVERIFY(msgs[0].text.contains(u"Browselicenziy"_s));
    // Counted closing: after the last close the file counts as not open again.
    QVERIFY(ctx.openGroup(FileId::Last));
    QVERIFY(ctx.openGroup(FileId::Last));
    ctx.closeGroup(FileId::Last);
    QCOMPARE(ctx.file(FileId::Last).count(), 0);
    ctx.closeGroup(FileId::Last);
    QCOMPARE(ctx.file(FileId::Last).state(), DataFile::State::NotOpen);
    QCOMPARE(ctx.file(FileId::Last).count(), -1);
    QCOMPARE(fx.reporter.messages().size(), size_t(3));
}

void TestStore::notADataFileIsFatalAndUntouched()
{
    StoreFixture fx;
    QByteArray junk(64 * 1024, Qt::Uninitialized);
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>((i * 7919 + 13) % 251);
    {
        QFile f(fx.path(u"FORMA3.DAT"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(!ctx.openGroup(FileId::Forma3));
    QVERIFY(fx.store->isFatal());
    const auto msgs = fx.reporter.messages();
    QCOMPARE(msgs.size(), size_t(1));
    QCOMPARE(msgs[0].level, Level::Fatal);
    QVERIFY(msgs[0].text.contains(u"forma3"_s));
    // After a fatal failure nothing further is written anywhere.
    QVERIFY(!ctx.openGroup(FileId::Last));
    QCOMPARE(ctx.file(FileId::Forma3).prime(), Status::Failed);
    QFile f(fx.path(u"FORMA3.DAT"_s));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), junk);
    QVERIFY(!QFile::exists(fx.path(u"LAST.DAT"_s)));
}

void TestStore::damagedKeysAreRebuilt()
{
    StoreFixture fx;
    {
        Context ctx(*fx.store, u"test"_s);
        QVERIFY(ctx.openGroup(FileId::Forma3));
        QVERIFY(ctx.beginTransaction(FileId::Forma3));
        for (int i = 1; i <= 300; ++i)
            QVERIFY(addCertificate(ctx, i, u"Контрагент %1"_s.arg(i % 11), Date(77436 + (i * 37) % 500)));
        QVERIFY(ctx.commit(FileId::Forma3));
    }
    // Two number keys swap their trees: each now holds the other's entries.
    {
        RawFile file(fx.path(u"FORMA3.DAT"_s));
        sqlite3* raw = file.db;
        const qint64 k2 = sql::queryInt(raw, u"SELECT rootpage FROM sqlite_master WHERE name = 'forma3_key_k2'"_s);
        const qint64 k3 = sql::queryInt(raw, u"SELECT rootpage FROM sqlite_master WHERE name = 'forma3_key_k3'"_s);
        QVERIFY(k2 > 0 && k3 > 0);
        QCOMPARE(sql::exec(raw, u"PRAGMA writable_schema = ON; UPDATE sqlite_master SET rootpage = CASE name WHEN "
                                u"'forma3_key_k2' THEN %1 ELSE %2 END WHERE name IN ('forma3_key_k2', 'forma3_key_k3'); "
                                u"PRAGMA writable_schema = OFF;"_s.arg(k3).arg(k2)),
                 SQLITE_OK);
        // And a key value that no longer follows its field.
        QCOMPARE(sql::exec(raw, u"UPDATE forma3 SET key_k4 = x'41' WHERE nform = 5"_s), SQLITE_OK);
    }

    QStringList log;
    QVERIFY(Context::checkAndRepair(*fx.store, &log));
    const QString text = log.join(u'\n');
    QVERIFY2(text.contains(u"перестроены"_s), qPrintable(text));
    QVERIFY2(text.contains(u"исправлено значений ключей: 1"_s), qPrintable(text));

    // The keys read correctly again, and a second check finds nothing.
    Context ctx(*fx.store, u"test"_s);
    QVERIFY(ctx.openGroup(FileId::Forma3));
    const QStringList numbers = readAll(ctx, FileId::Forma3, u"FR3:K2"_s, u"FR3:NFORM"_s);
    QCOMPARE(numbers.size(), 300);
    QCOMPARE(numbers.first(), u"1"_s);
    QCOMPARE(numbers.last(), u"300"_s);
    QCOMPARE(readAll(ctx, FileId::Forma3, u"FR3:K4"_s, u"FR3:NFORM"_s).size(), 300);
    log.clear();
    QVERIFY(Context::checkAndRepair(*fx.store, &log));
    QVERIFY2(log.filter(u"FORMA3.DAT: исправен, записей: 300"_s).size() == 1, qPrintable(log.join(u'\n')));
}

void TestStore::issuerLines()
{
    StoreFixture fx;
    Context ctx(*fx.store, u"Main"_s);
    const IssuerLines defaults = loadIssuerLines(ctx);
    QVERIFY(defaults.z[0].startsWith(u'['));
    QVERIFY(!defaults.z[3].isEmpty());
    QVERIFY(defaults.z[4].isEmpty() && defaults.z[5].isEmpty());

    QVERIFY(ctx.openGroup(FileId::Issuers));
    DataFile& iss = ctx.file(FileId::Issuers);
    for (int set = 1; set <= 2; ++set) {
        QCOMPARE(iss.prime(), Status::Ok);
        Issuers& r = iss.record<Issuers>();
        r.Z1.setCut(u"Набор %1: "_s.arg(set) + QString(60, u'ю'));
        r.Z2.setCut(u"Калининский район"_s);
        r.Z6.setCut(u"шестая строка"_s);
        QCOMPARE(iss.insert(), Status::Ok);
    }
    ctx.closeGroup(FileId::Issuers);
    QCOMPARE(issuerSets(ctx).size(), size_t(2));
    const IssuerLines lines = loadIssuerLines(ctx);
    QCOMPARE(lines.z[0], (u"Набор 2: "_s + QString(60, u'ю')).left(48));
    QCOMPARE(lines.z[1], u"Калининский район"_s);
    QVERIFY(lines.z[2].isEmpty());
    QCOMPARE(lines.z[5], u"шестая строка"_s);
}

void TestStore::contextsHaveOwnBuffers()
{
    StoreFixture fx;
    Context a(*fx.store, u"a"_s);
    Context b(*fx.store, u"b"_s);
    QVERIFY(a.openGroup(FileId::Kagent));
    QVERIFY(b.openGroup(FileId::Kagent));
    QVERIFY(addCounterparty(a, u"Надежда"_s));
    QVERIFY(b.file(FileId::Kagent).record<Kagent>().NAME.isBlank());
    QCOMPARE(readAll(b, FileId::Kagent, {}, u"KAG:NAME"_s), QStringList{u"Надежда"_s});
    QCOMPARE(a.file(FileId::Kagent).record<Kagent>().NAME.toString(), u"Надежда"_s);
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
