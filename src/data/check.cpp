// SPDX-License-Identifier: GPL-3.0-or-later
// Verifying the data files and rebuilding their keys.

#include "data/storeschema.h"
#include "data/store.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {

QStringList integrityProblems(sqlite3* db, const QString& schemaName)
{
    QStringList out;
    sql::Statement s(db, u"PRAGMA "_s + sql::ident(schemaName) + u".integrity_check(20)"_s);
    if (!s.isValid())
        return {sql::errorText(db)};
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
        int n = 0;
        const char* t = s.rawText(0, &n);
        const QString line = QString::fromUtf8(t, n);
        if (line != u"ok"_s)
            out << line;
    }
    if (rc != SQLITE_DONE)
        out << sql::errorText(db);
    return out;
}

// Key columns whose value does not follow from their field (written by something other than
// this program, or left by damage); returns how many were mended, -1 on failure.
qint64 mendKeyColumns(sqlite3* db, const QString& schemaName, const FileDef& def)
{
    qint64 mended = 0;
    if (sql::exec(db, u"BEGIN IMMEDIATE"_s) != SQLITE_OK)
        return -1;
    // Keys, counters and triggers that have gone missing are made again.
    for (const QString& stmt : schema::createStatements(schemaName, def))
        if (sql::exec(db, stmt) != SQLITE_OK) {
            sql::exec(db, u"ROLLBACK"_s);
            return -1;
        }
    for (const KeyDef& k : def.keys) {
        const FieldDef& f = def.field(k.field);
        const bool text = f.type == FieldType::Text;
        sql::Statement read(db, u"SELECT rowid, "_s + sql::ident(f.column()) + u", "_s + sql::ident(k.column()) +
                                    u" FROM "_s + schema::qualified(def) + u" NOT INDEXED"_s);
        sql::Statement write(db, u"UPDATE "_s + schema::qualified(def) + u" SET "_s + sql::ident(k.column()) +
                                     u" = ?1 WHERE rowid = ?2"_s);
        if (!read.isValid() || !write.isValid()) {
            sql::exec(db, u"ROLLBACK"_s);
            return -1;
        }
        std::vector<std::pair<qint64, QVariant>> fixes;
        int rc;
        while ((rc = read.step()) == SQLITE_ROW) {
            QVariant expected;
            if (text) {
                int n = 0;
                const char* t = read.rawText(1, &n);
                const QByteArray folded = schema::foldKey(QString::fromUtf8(t, n));
                if (!folded.isEmpty())
                    expected = folded;
                const bool ok = expected.isNull() ? read.isNull(2) : (!read.isNull(2) && read.blob(2) == folded);
                if (!ok)
                    fixes.emplace_back(read.int64(0), expected);
            } else {
                const qint64 v = read.int64(1);
                const bool ok = v == 0 ? read.isNull(2) : (!read.isNull(2) && read.int64(2) == v);
                if (!ok)
                    fixes.emplace_back(read.int64(0), v == 0 ? QVariant() : QVariant(v));
            }
        }
        if (rc != SQLITE_DONE) {
            sql::exec(db, u"ROLLBACK"_s);
            return -1;
        }
        for (const auto& [rowid, value] : fixes) {
            if (value.isNull())
                write.bindNull(1);
            else if (text)
                write.bindBlob(1, value.toByteArray());
            else
                write.bind(1, value.toLongLong());
            write.bind(2, rowid);
            rc = write.step();
            write.reset();
            if (rc != SQLITE_DONE) {
                sql::exec(db, u"ROLLBACK"_s);
                return -1;
            }
        }
        mended += static_cast<qint64>(fixes.size());
    }
    // The record count kept beside the table.
    const qint64 actual = sql::queryInt(db, u"SELECT count(*) FROM "_s + schema::qualified(def));
    const qint64 kept = sql::queryInt(db, u"SELECT n FROM "_s + sql::ident(schema::countTable(def)));
    if (actual != kept) {
        if (sql::exec(db, u"UPDATE "_s + sql::ident(schema::countTable(def)) + u" SET n = "_s + QString::number(actual)) != SQLITE_OK) {
            sql::exec(db, u"ROLLBACK"_s);
            return -1;
        }
        ++mended;
    }
    return sql::exec(db, u"COMMIT"_s) == SQLITE_OK ? mended : -1;
}

// Copies every readable row into a fresh file with new keys and puts it in place of the damaged one,
// which is kept beside it with the suffix ".damaged".
bool copyIntoFreshFile(const QString& path, const FileDef& def, QStringList* log)
{
    const QString fresh = path + u".rebuild"_s;
    QFile::remove(fresh);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    bool ok = true;
    {
        sql::Statement attach(db, u"ATTACH DATABASE ?1 AS fresh"_s);
        attach.bindText(1, fresh.toUtf8());
        ok = attach.step() == SQLITE_DONE;
    }
    for (const QString& stmt : schema::createStatements(u"fresh"_s, def))
        ok = ok && sql::exec(db, stmt) == SQLITE_OK;
    QString keys;
    for (const KeyDef& k : def.keys)
        keys += u", "_s + sql::ident(k.column());
    const QString cols = u"rowid, rev, "_s + schema::columnList(def) + keys;
    ok = ok && sql::exec(db, u"PRAGMA fresh.user_version = "_s + QString::number(schema::kVersion)) == SQLITE_OK;
    ok = ok && sql::exec(db, u"INSERT INTO fresh."_s + schema::qualified(def) + u" ("_s + cols + u") SELECT "_s + cols +
                                 u" FROM main."_s + schema::qualified(def) + u" NOT INDEXED"_s) == SQLITE_OK;
    const qint64 copied = ok ? sqlite3_changes64(db) : 0;
    if (!ok)
        *log << u"  копирование записей не удалось: "_s + sql::errorText(db);
    sqlite3_close_v2(db);
    if (!ok) {
        QFile::remove(fresh);
        return false;
    }
    QFile::remove(path + u".damaged"_s);
    if (!QFile::rename(path, path + u".damaged"_s))
        return false;
    if (!QFile::rename(fresh, path)) {
        // Never leave the data file's name empty: the next start would make an empty register of it.
        QFile::rename(path + u".damaged"_s, path);
        return false;
    }
    *log << u"  записи (%1) перенесены в новый файл, ключи созданы заново; прежний файл сохранён как %2"_s.arg(copied).arg(
        QFileInfo(path).fileName() + u".damaged"_s);
    return true;
}

} // namespace

bool Context::checkAndRepair(Store& store, QStringList* log)
{
    bool sound = true;
    for (FileId id : kAllFiles) {
        const FileDef& def = fileDef(id);
        const QString path = store.path(id);
        if (!QFileInfo::exists(path)) {
            *log << u"%1: файла нет; он будет создан пустым при первом обращении"_s.arg(def.fileName());
            continue;
        }
        QStringList problems;
        {
            Context ctx(store, u"check"_s);
            if (!ctx.openGroup(id)) {
                *log << u"%1: не удалось открыть"_s.arg(def.fileName());
                return false;
            }
            sqlite3* db = ctx.connection(id);
            const QString schemaName = groupOf(id) == 0 && id != FileId::Forma3 ? def.schema() : u"main"_s;
            problems = integrityProblems(db, schemaName);
            if (!problems.isEmpty()) {
                *log << u"%1: найдены повреждения:"_s.arg(def.fileName());
                for (const QString& p : problems)
                    *log << u"  "_s + p;
                if (schema::rebuildKeys(db, schemaName, def) && integrityProblems(db, schemaName).isEmpty()) {
                    *log << u"  ключи перестроены, файл исправен"_s;
                    problems.clear();
                }
            }
            if (problems.isEmpty()) {
                const qint64 mended = ctx.file(id).isReadOnly() ? 0 : mendKeyColumns(db, schemaName, def);
                if (mended < 0) {
                    *log << u"%1: не удалось проверить значения ключей: %2"_s.arg(def.fileName(), sql::errorText(db));
                    sound = false;
                } else if (mended > 0) {
                    *log << u"%1: исправлено значений ключей: %2"_s.arg(def.fileName()).arg(mended);
                } else {
                    *log << u"%1: исправен, записей: %2"_s.arg(def.fileName()).arg(ctx.file(id).count());
                }
            }
            ctx.closeGroup(id);
        }
        if (!problems.isEmpty()) {
            if (copyIntoFreshFile(path, def, log)) {
                *log << u"%1: восстановлен"_s.arg(def.fileName());
            } else {
                *log << u"%1: восстановить не удалось"_s.arg(def.fileName());
                sound = false;
            }
        }
    }
    return sound;
}

} // namespace vetcert
