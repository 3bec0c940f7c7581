// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/storeschema.h"

#include "data/store.h"

#include <cstring>

using namespace Qt::StringLiterals;

namespace vetcert::schema {

namespace {

bool isTextKey(const FileDef& def, const KeyDef& k) { return def.field(k.field).type == FieldType::Text; }

QString indexName(const FileDef& def, const KeyDef& k) { return def.table() + u'_' + k.column(); }

struct Reset
{
    sql::Statement& s;
    ~Reset() { s.reset(); }
};

} // namespace

QString qualified(const FileDef& def) { return sql::ident(def.table()); }

QString countTable(const FileDef& def) { return def.table() + u"_count"_s; }

QStringList extraIndexStatements(const QString& schemaName, const FileDef& def)
{
    // The fuzzy search of the register scores every certificate on these four columns: reading them
    // from a covering index instead of the 2.5 KB rows makes that pass several times faster.
    if (def.id != FileId::Forma3)
        return {};
    return {u"CREATE INDEX IF NOT EXISTS "_s + sql::ident(schemaName) + u'.' + sql::ident(def.table() + u"_fuzzy"_s) +
            u" ON "_s + qualified(def) + u"(nform, datav, datadst, s2)"_s};
}

QStringList createStatements(const QString& schemaName, const FileDef& def)
{
    const QString s = sql::ident(schemaName) + u'.';
    QStringList cols{u"rev INTEGER NOT NULL DEFAULT 1"_s};
    for (const FieldDef& f : def.fields)
        cols << sql::ident(f.column()) + (f.type == FieldType::Text ? u" TEXT NOT NULL DEFAULT ''"_s
                                                                    : u" INTEGER NOT NULL DEFAULT 0"_s);
    for (const KeyDef& k : def.keys)
        cols << sql::ident(k.column()) + (isTextKey(def, k) ? u" BLOB"_s : u" INTEGER"_s);
    QStringList out{u"CREATE TABLE IF NOT EXISTS "_s + s + qualified(def) + u" (\n  "_s + cols.join(u",\n  "_s) + u"\n)"_s};
    for (const KeyDef& k : def.keys)
        out << u"CREATE INDEX IF NOT EXISTS "_s + s + sql::ident(indexName(def, k)) + u" ON "_s + qualified(def) + u'(' +
                   sql::ident(k.column()) + u") WHERE "_s + sql::ident(k.column()) + u" IS NOT NULL"_s;
    // The number of records, kept by triggers in the same transaction as every insert and delete:
    // counting a register of a million certificates must not read the whole file.
    const QString count = sql::ident(countTable(def));
    out << u"CREATE TABLE IF NOT EXISTS "_s + s + count + u" (n INTEGER NOT NULL)"_s;
    out << u"INSERT INTO "_s + s + count + u" SELECT count(*) FROM "_s + s + qualified(def) + u" WHERE NOT EXISTS (SELECT 1 FROM "_s +
               s + count + u')';
    out << u"CREATE TRIGGER IF NOT EXISTS "_s + s + sql::ident(def.table() + u"_counted_insert"_s) + u" AFTER INSERT ON "_s +
               qualified(def) + u" BEGIN UPDATE "_s + count + u" SET n = n + 1; END"_s;
    out << u"CREATE TRIGGER IF NOT EXISTS "_s + s + sql::ident(def.table() + u"_counted_delete"_s) + u" AFTER DELETE ON "_s +
               qualified(def) + u" BEGIN UPDATE "_s + count + u" SET n = n - 1; END"_s;
    return out + extraIndexStatements(schemaName, def);
}

bool prepare(sqlite3* db, const QString& schemaName, const FileDef& def, Store* store, bool* readOnly)
{
    const QString title = u"Файл "_s + def.messageName;
    const QString s = sql::ident(schemaName);
    int rc = SQLITE_OK;
    const qint64 version = sql::queryInt(db, u"PRAGMA "_s + s + u".user_version"_s, -1, &rc);
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT) {
        store->fatal(title, u"Файл %1 (%2) не является файлом данных программы или повреждён. Файл не изменён."_s.arg(
                                def.messageName, store->path(def.id)));
        return false;
    }
    if (rc != SQLITE_OK) {
        store->fatal(title, u"Не удалось открыть файл %1: %2"_s.arg(def.messageName, sql::errorText(db)));
        return false;
    }
    *readOnly = sqlite3_db_readonly(db, schemaName.toUtf8().constData()) == 1;
    if (*readOnly) {
        Message m;
        m.level = Level::Notice;
        m.icon = Icon::Warning;
        m.title = title;
        m.text = u"Нет доступа на запись к файлу %1. Файл открыт только для чтения."_s.arg(def.messageName);
        store->reporter().report(m);
    }
    if (version > kVersion) {
        store->fatal(title, u"Файл %1 создан более новой версией программы."_s.arg(def.messageName));
        return false;
    }
    const qint64 tables = sql::queryInt(db, u"SELECT count(*) FROM "_s + s + u".sqlite_master WHERE type = 'table' AND name = '"_s +
                                                def.table() + u'\'',
                                        -1, &rc);
    // A larger page cache than SQLite's default 2 MB keeps the key indexes of a big register in memory.
    sql::exec(db, u"PRAGMA "_s + s + u".cache_size = -32768"_s);
    // Journal in DELETE mode, whatever another program left: a commit across the attached files is
    // atomic as a whole only then.
    if (!*readOnly) {
        sql::Statement mode(db, u"PRAGMA "_s + s + u".journal_mode = DELETE"_s);
        int n = 0;
        if (mode.isValid() && mode.step() == SQLITE_ROW && QByteArray(mode.rawText(0, &n)).toLower() != "delete") {
            store->fatal(title, u"Файл %1 нельзя перевести в режим журнала, при котором запись в несколько файлов "
                                u"сохраняется целиком."_s.arg(def.messageName));
            return false;
        }
    }
    if (version == kVersion && tables == 1) {
        sql::exec(db, u"PRAGMA "_s + s + u".synchronous = FULL"_s);
        // Indexes added since the file was made, built once; when the file is busy the next opening adds them.
        const qint64 indexes = sql::queryInt(db, u"SELECT count(*) FROM "_s + s + u".sqlite_master WHERE type = 'index'"_s);
        if (!*readOnly && indexes < static_cast<qint64>(def.keys.size() + extraIndexStatements(schemaName, def).size()))
            for (const QString& stmt : extraIndexStatements(schemaName, def))
                sql::exec(db, stmt);
        return true;
    }
    if (*readOnly) {
        store->fatal(title, u"Файл %1 пуст и открыт только для чтения: его нельзя подготовить к работе."_s.arg(def.messageName));
        return false;
    }
    if (version == 0 && tables == 0) {
        // A file of ours has its table; one that holds other tables belongs to someone else.
        const qint64 others = sql::queryInt(db, u"SELECT count(*) FROM "_s + s + u".sqlite_master"_s, -1, &rc);
        if (others > 0) {
            store->fatal(title, u"Файл %1 (%2) не является файлом данных программы. Файл не изменён."_s.arg(
                                    def.messageName, store->path(def.id)));
            return false;
        }
    }
    sql::exec(db, u"PRAGMA "_s + s + u".synchronous = FULL"_s);
    rc = sql::exec(db, u"BEGIN IMMEDIATE"_s);
    for (const QString& stmt : createStatements(schemaName, def))
        if (rc == SQLITE_OK)
            rc = sql::exec(db, stmt);
    if (rc == SQLITE_OK)
        rc = sql::exec(db, u"PRAGMA "_s + s + u".user_version = "_s + QString::number(kVersion));
    if (rc == SQLITE_OK)
        rc = sql::exec(db, u"COMMIT"_s);
    if (rc != SQLITE_OK) {
        const QString err = sql::errorText(db);
        sql::exec(db, u"ROLLBACK"_s);
        store->fatal(title, u"Не удалось создать файл %1: %2"_s.arg(def.messageName, err));
        return false;
    }
    return true;
}

QByteArray foldKey(const TextSpan& text)
{
    QByteArray b = text.trimmedBytes();
    for (char& c : b)
        c = static_cast<char>(cp1251::fold(static_cast<unsigned char>(c)));
    return b;
}

QByteArray foldKey(const QString& text)
{
    QByteArray b = cp1251::encodeLossy(text);
    while (b.endsWith(' '))
        b.chop(1);
    for (char& c : b)
        c = static_cast<char>(cp1251::fold(static_cast<unsigned char>(c)));
    return b;
}

QVariant keyValue(const RecordRef& rec, const KeyDef& key)
{
    const FieldDef& f = rec.def().field(key.field);
    switch (f.type) {
    case FieldType::Text: {
        const QByteArray b = foldKey(rec.text(key.field));
        return b.isEmpty() ? QVariant() : QVariant(b);
    }
    case FieldType::Decimal:
        return rec.decimal(key.field).isZero() ? QVariant() : QVariant(rec.decimal(key.field).scaled());
    case FieldType::Date:
        return rec.date(key.field).isNull() ? QVariant() : QVariant(qint64(rec.date(key.field).dayNumber()));
    case FieldType::Long:
        return rec.longValue(key.field) == 0 ? QVariant() : QVariant(qint64(rec.longValue(key.field)));
    }
    return {};
}

QByteArray numberBytes(qint64 n) { return QByteArray(reinterpret_cast<const char*>(&n), sizeof n); }

qint64 keyNumber(const QByteArray& b)
{
    qint64 n = 0;
    if (b.size() == sizeof n)
        std::memcpy(&n, b.constData(), sizeof n);
    return n;
}

QByteArray keyBytes(const QVariant& v)
{
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return numberBytes(v.toLongLong());
}

QString columnList(const FileDef& def)
{
    QStringList cols;
    for (const FieldDef& f : def.fields)
        cols << sql::ident(f.column());
    return cols.join(u", "_s);
}

QString selectOrdered(const FileDef& def, const KeyDef* key, bool forward, From from)
{
    QString q = u"SELECT rowid, rev, "_s + columnList(def);
    const QString op = forward ? u">"_s : u"<"_s;
    const QString dir = forward ? u""_s : u" DESC"_s;
    if (!key) {
        q += u" FROM "_s + qualified(def);
        if (from == From::Position)
            q += u" WHERE rowid "_s + op + u" ?1"_s;
        return q + u" ORDER BY rowid"_s + dir + (from == From::Position ? u" LIMIT ?2"_s : u" LIMIT ?1"_s);
    }
    const QString k = sql::ident(key->column());
    q += u", "_s + k + u" FROM "_s + qualified(def);
    switch (from) {
    case From::Edge:
        return q + u" WHERE "_s + k + u" IS NOT NULL ORDER BY "_s + k + dir + u", rowid"_s + dir + u" LIMIT ?1"_s;
    case From::Position:
        return q + u" WHERE "_s + k + u" "_s + op + u" ?1 ORDER BY "_s + k + dir + u", rowid"_s + dir + u" LIMIT ?2"_s;
    case From::EqualKey:
        return q + u" WHERE "_s + k + u" = ?1 AND rowid "_s + op + u" ?2 ORDER BY "_s + k + dir + u", rowid"_s + dir +
               u" LIMIT ?3"_s;
    }
    return q;
}

QString selectByRowid(const FileDef& def)
{
    return u"SELECT rowid, rev, "_s + columnList(def) + u" FROM "_s + qualified(def) + u" WHERE rowid = ?1"_s;
}

void readRow(const sql::Statement& s, int first, const RecordRef& rec)
{
    const int n = static_cast<int>(rec.def().fields.size());
    for (int i = 0; i < n; ++i) {
        const int col = first + i;
        switch (rec.def().field(i).type) {
        case FieldType::Text: {
            int size = 0;
            const char* t = s.rawText(col, &size);
            const TextSpan span = rec.text(i);
            const qsizetype w = cp1251::fromUtf8(t, size, span.data, span.size);
            std::memset(span.data + w, ' ', static_cast<size_t>(span.size - w));
            break;
        }
        case FieldType::Decimal:
            rec.decimal(i).setScaled(s.int64(col));
            break;
        case FieldType::Date:
            rec.date(i) = Date(static_cast<qint32>(s.int64(col)));
            break;
        case FieldType::Long:
            rec.longValue(i) = static_cast<qint32>(s.int64(col));
            break;
        }
    }
}

namespace {

// Binds every field and then every key column, starting at parameter `first`.
int bindRecord(sql::Statement& s, int first, const RecordRef& rec)
{
    const FileDef& def = rec.def();
    int p = first;
    for (int i = 0; i < static_cast<int>(def.fields.size()); ++i, ++p) {
        switch (def.field(i).type) {
        case FieldType::Text: {
            const TextSpan t = rec.text(i);
            int n = t.size;
            while (n > 0 && t.data[n - 1] == ' ')
                --n;
            s.bindText(p, cp1251::toUtf8(t.data, n));
            break;
        }
        case FieldType::Decimal:
            s.bind(p, rec.decimal(i).scaled());
            break;
        case FieldType::Date:
            s.bind(p, rec.date(i).dayNumber());
            break;
        case FieldType::Long:
            s.bind(p, rec.longValue(i));
            break;
        }
    }
    for (const KeyDef& k : def.keys) {
        const QVariant v = keyValue(rec, k);
        if (v.isNull())
            s.bindNull(p);
        else if (v.typeId() == QMetaType::QByteArray)
            s.bindBlob(p, v.toByteArray());
        else
            s.bind(p, v.toLongLong());
        ++p;
    }
    return p;
}

QString keyColumns(const FileDef& def)
{
    QString out;
    for (const KeyDef& k : def.keys)
        out += u", "_s + sql::ident(k.column());
    return out;
}

} // namespace

QString buildInsertSql(const FileDef& def);

QString insertSql(const FileDef& def)
{
    static const auto texts = [] {
        std::array<QString, std::size(kAllFiles)> t;
        for (FileId id : kAllFiles)
            t[static_cast<size_t>(id)] = buildInsertSql(fileDef(id));
        return t;
    }();
    return texts[static_cast<size_t>(def.id)];
}

QString buildInsertSql(const FileDef& def)
{
    const int n = static_cast<int>(def.fields.size() + def.keys.size());
    QStringList params;
    for (int i = 1; i <= n; ++i)
        params << u'?' + QString::number(i);
    return u"INSERT INTO "_s + qualified(def) + u" ("_s + columnList(def) + keyColumns(def) + u") VALUES ("_s +
           params.join(u", "_s) + u')';
}

int insertRow(Connection& c, const FileDef& def, const RecordRef& rec, qint64* rowid)
{
    sql::Statement& s = c.statement(insertSql(def));
    if (!s.isValid())
        return s.prepareResult();
    Reset r{s};
    bindRecord(s, 1, rec);
    const int rc = s.step();
    if (rc != SQLITE_DONE)
        return rc;
    *rowid = sqlite3_last_insert_rowid(c.db);
    return SQLITE_OK;
}

QString buildUpdateSql(const FileDef& def)
{
    QStringList sets;
    int p = 1;
    for (const FieldDef& f : def.fields)
        sets << sql::ident(f.column()) + u" = ?"_s + QString::number(p++);
    for (const KeyDef& k : def.keys)
        sets << sql::ident(k.column()) + u" = ?"_s + QString::number(p++);
    return u"UPDATE "_s + qualified(def) + u" SET rev = rev + 1, "_s + sets.join(u", "_s) + u" WHERE rowid = ?"_s +
           QString::number(p) + u" AND rev = ?"_s + QString::number(p + 1);
}

int updateRow(Connection& c, const FileDef& def, const RecordRef& rec, qint64 rowid, qint64 rev, qint64* changed)
{
    static const auto texts = [] {
        std::array<QString, std::size(kAllFiles)> t;
        for (FileId id : kAllFiles)
            t[static_cast<size_t>(id)] = buildUpdateSql(fileDef(id));
        return t;
    }();
    sql::Statement& s = c.statement(texts[static_cast<size_t>(def.id)]);
    int p;
    if (!s.isValid())
        return s.prepareResult();
    Reset r{s};
    p = bindRecord(s, 1, rec);
    s.bind(p, rowid);
    s.bind(p + 1, rev);
    const int rc = s.step();
    if (rc != SQLITE_DONE)
        return rc;
    *changed = sqlite3_changes64(c.db);
    return SQLITE_OK;
}

int deleteRow(Connection& c, const FileDef& def, qint64 rowid)
{
    sql::Statement& s = c.statement(u"DELETE FROM "_s + qualified(def) + u" WHERE rowid = ?1"_s);
    if (!s.isValid())
        return s.prepareResult();
    Reset r{s};
    s.bind(1, rowid);
    const int rc = s.step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int renameCounterparty(Connection& c, const QString& oldName, const TextSpan& newS2)
{
    sql::Statement& s = c.statement(u"UPDATE forma3 SET rev = rev + 1, s2 = ?1, key_k4 = ?2 WHERE key_k4 = ?3 AND s2 = ?4"_s);
    if (!s.isValid())
        return s.prepareResult();
    Reset r{s};
    const QByteArray b = newS2.trimmedBytes();
    s.bindText(1, cp1251::toUtf8(b.constData(), b.size()));
    const QByteArray folded = foldKey(newS2);
    if (folded.isEmpty())
        s.bindNull(2);
    else
        s.bindBlob(2, folded);
    s.bindBlob(3, foldKey(oldName));
    s.bindText(4, oldName.toUtf8());
    const int rc = s.step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

bool isNamedOnCertificate(Connection& c, const QString& name, int* rc)
{
    sql::Statement& s = c.statement(u"SELECT 1 FROM forma3 WHERE key_k4 = ?1 AND s2 = ?2 LIMIT 1"_s);
    if (!s.isValid()) {
        *rc = s.prepareResult();
        return false;
    }
    Reset r{s};
    s.bindBlob(1, foldKey(name));
    s.bindText(2, name.toUtf8());
    const int step = s.step();
    *rc = step == SQLITE_ROW || step == SQLITE_DONE ? SQLITE_OK : step;
    return step == SQLITE_ROW;
}

bool rebuildKeys(sqlite3* db, const QString& schemaName, const FileDef& def)
{
    for (const KeyDef& k : def.keys)
        if (sql::exec(db, u"REINDEX "_s + sql::ident(schemaName) + u'.' + sql::ident(indexName(def, k))) != SQLITE_OK)
            return false;
    return true;
}

} // namespace vetcert::schema
