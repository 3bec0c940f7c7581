// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/store.h"

#include "data/sqlite.h"
#include "data/storeschema.h"


#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <cstring>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {

constexpr int kBusyMs = 10000;        // waiting for another writer, and for a stale lock to clear
constexpr int kTransactionMs = 2000;  // the rename and delete transactions of counterparties give up after this
constexpr int kBatch = 32;            // records read ahead in an order

const QString kSaved = u"Выдано"_s;

QString titleFor(const FileDef& def) { return u"Файл "_s + def.messageName; }

} // namespace


namespace {

FileId groupMain(int group)
{
    return group == 0 ? FileId::Forma3 : (group == 1 ? FileId::Last : FileId::Issuers);
}

std::vector<FileId> groupMembers(int group)
{
    if (group == 0)
        return {FileId::Forma3, FileId::Kagent, FileId::Licenziy};
    return {groupMain(group)};
}

// Resets a statement whatever way the caller leaves.
struct ResetGuard
{
    sql::Statement& s;
    ~ResetGuard() { s.reset(); }
};

} // namespace

int groupOf(FileId id)
{
    switch (id) {
    case FileId::Forma3:
    case FileId::Kagent:
    case FileId::Licenziy:
        return 0;
    case FileId::Last:
        return 1;
    case FileId::Issuers:
        return 2;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------

Store::Store(QString directory, Reporter& reporter) : m_directory(std::move(directory)), m_reporter(reporter) {}

QString Store::path(FileId id) const { return QDir(m_directory).filePath(fileDef(id).fileName()); }

void Store::fatal(const QString& title, const QString& text)
{
    const bool first = !m_fatal.exchange(true);
    if (!first)
        return;
    Message m;
    m.level = Level::Fatal;
    m.icon = Icon::Error;
    m.title = title;
    m.text = text + u"\n\nРабота программы будет завершена."_s;
    m_reporter.report(m);
}

namespace {
Status notice(Store& store, const FileDef& def, const QString& text, Icon icon = Icon::Warning);
int beginImmediate(sqlite3* db, int ms);
void rollback(sqlite3* db);
} // namespace

// ---------------------------------------------------------------------------------------------

Context::Context(Store& store, QString procedure) : m_store(store), m_procedure(std::move(procedure))
{
    for (FileId id : kAllFiles)
        m_files[static_cast<size_t>(id)].reset(new DataFile(*this, id));
}

Context::~Context()
{
    m_groups = {};
}

bool Context::openGroup(FileId id)
{
    const int g = groupOf(id);
    for (FileId m : groupMembers(g)) {
        DataFile& f = file(m);
        if (f.m_openCount++ == 0)
            f.m_state = DataFile::State::Registered;
    }
    return physicalOpen(id);
}

void Context::closeGroup(FileId id)
{
    const int g = groupOf(id);
    bool anyOpen = false;
    for (FileId m : groupMembers(g)) {
        DataFile& f = file(m);
        if (f.m_openCount > 0 && --f.m_openCount == 0) {
            f.m_state = DataFile::State::NotOpen;
            f.dropCache();
        }
        anyOpen = anyOpen || f.m_openCount > 0;
    }
    if (!anyOpen) {
        m_groups[static_cast<size_t>(g)].reset();
        for (FileId m : groupMembers(g))
            file(m).m_readOnly = false;
    }
}

Connection* Context::groupConnection(FileId id, bool* created)
{
    auto& slot = m_groups[static_cast<size_t>(groupOf(id))];
    if (created)
        *created = false;
    if (slot)
        return slot.get();
    auto c = std::make_unique<Connection>();
    const QByteArray path = QFile::encodeName(m_store.path(groupMain(groupOf(id))));
    const int rc = sqlite3_open_v2(path.constData(), &c->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        const FileDef& def = fileDef(groupMain(groupOf(id)));
        const bool exists = QFileInfo::exists(m_store.path(def.id));
        m_store.fatal(titleFor(def), (exists ? u"Не удалось открыть файл %1: %2"_s : u"Не удалось создать файл %1: %2"_s)
                                         .arg(def.messageName, QString::fromUtf8(sqlite3_errstr(rc))));
        return nullptr;
    }
    sqlite3_busy_timeout(c->db, kBusyMs);
    sqlite3_extended_result_codes(c->db, 0);
    // Statement journals in memory: in a temporary file they cost a dozen writes for every certificate
    // inserted into a large register.
    sql::exec(c->db, u"PRAGMA temp_store = MEMORY"_s);
    slot = std::move(c);
    if (created)
        *created = true;
    return slot.get();
}

bool Context::physicalOpen(FileId id)
{
    DataFile& f = file(id);
    if (f.m_state == DataFile::State::Open)
        return true;
    if (m_store.isFatal())
        return false;
    Connection* c = groupConnection(id);
    if (!c)
        return false;
    const FileDef& def = fileDef(id);
    const QString schema = def.id == groupMain(groupOf(id)) ? u"main"_s : def.schema();
    const QString path = m_store.path(id);
    const bool existed = QFileInfo::exists(path);
    if (schema != u"main"_s && !c->attached[static_cast<size_t>(id)]) {
        sql::Statement attach(c->db, u"ATTACH DATABASE ?1 AS "_s + sql::ident(schema));
        attach.bindText(1, path.toUtf8());
        const int rc = attach.step();
        if (rc != SQLITE_DONE) {
            m_store.fatal(titleFor(def), (existed ? u"Не удалось открыть файл %1: %2"_s : u"Не удалось создать файл %1: %2"_s)
                                             .arg(def.messageName, sql::errorText(c->db)));
            return false;
        }
        c->attached[static_cast<size_t>(id)] = true;
    }
    if (!schema::prepare(c->db, schema, def, &m_store, &f.m_readOnly))
        return false;
    f.m_state = DataFile::State::Open;
    return true;
}

bool Context::beginTransaction(FileId id, int waitMs)
{
    DataFile& f = file(id);
    if (!f.usable())
        return false;
    if (f.m_readOnly) {
        notice(m_store, f.def(), u"Файл %1 открыт только для чтения."_s.arg(f.def().messageName));
        return false;
    }
    for (FileId m : groupMembers(groupOf(id)))
        if (file(m).m_state != DataFile::State::NotOpen && !physicalOpen(m))
            return false;
    if (beginImmediate(f.db(), waitMs) != SQLITE_OK) {
        notice(m_store, f.def(),
               u"Файл %1 занят другой программой или окном дольше %2 с. Операция отменена, ничего не записано."_s.arg(
                   f.def().messageName, QString::number(waitMs / 1000.0)));
        return false;
    }
    return true;
}

bool Context::commit(FileId id)
{
    DataFile& f = file(id);
    if (sql::exec(f.db(), u"COMMIT"_s) == SQLITE_OK)
        return true;
    const QString err = sql::errorText(f.db());
    vetcert::rollback(f.db());
    notice(m_store, f.def(), u"Изменения в файле %1 не сохранены: %2"_s.arg(f.def().messageName, err), Icon::Error);
    return false;
}

void Context::rollback(FileId id) { vetcert::rollback(file(id).db()); }

sqlite3* Context::connection(FileId id)
{
    DataFile& f = file(id);
    if (!f.usable())
        return nullptr;
    return m_groups[static_cast<size_t>(groupOf(id))]->db;
}

// ---------------------------------------------------------------------------------------------

DataFile::DataFile(Context& ctx, FileId id) : m_ctx(ctx), m_def(&fileDef(id)), m_buffer(id) {}

bool DataFile::usable()
{
    if (m_ctx.store().isFatal())
        return false;
    if (m_state == State::NotOpen) {
        Message m;
        m.level = Level::ProgramError;
        m.icon = Icon::Error;
        m.title = u"Ошибка программы"_s;
        m.text = u"Файл %1 использован до открытия (окно %2)."_s.arg(m_def->messageName, m_ctx.procedure());
        m_ctx.store().reporter().report(m);
        return false;
    }
    return m_state == State::Open || m_ctx.physicalOpen(m_def->id);
}

Connection& DataFile::conn() { return *m_ctx.m_groups[static_cast<size_t>(groupOf(m_def->id))]; }
sqlite3* DataFile::db() { return conn().db; }

void DataFile::dropCache()
{
    m_cache.clear();
    m_cachePos = 0;
    m_cacheComplete = false;
}

Status DataFile::setOrder(int key)
{
    if (!usable())
        return Status::Failed;
    m_order = key;
    dropCache();
    if (key == kStoredOrder) {
        m_posEdge = Edge::Start;
        return Status::Ok;
    }
    const QVariant probe = schema::keyValue(buffer(), m_def->keys[static_cast<size_t>(key)]);
    if (probe.isNull()) {
        m_posEdge = Edge::Start;
    } else {
        m_posEdge = Edge::None;
        m_posKey = schema::keyBytes(probe);
        m_posRowid = -1;  // before every entry with this value
    }
    return Status::Ok;
}

Status DataFile::setOrderStart(int key)
{
    if (!usable())
        return Status::Failed;
    m_order = key;
    dropCache();
    m_posEdge = Edge::Start;
    return Status::Ok;
}

Status DataFile::setOrderEnd(int key)
{
    if (!usable())
        return Status::Failed;
    m_order = key;
    dropCache();
    m_posEdge = Edge::End;
    return Status::Ok;
}

void DataFile::positionAt(const QByteArray& key, qint64 rowid)
{
    m_posEdge = Edge::None;
    m_posKey = key;
    m_posRowid = rowid;
}

Status DataFile::failRead(int rc)
{
    if (rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB) {
        Message m;
        m.level = Level::Notice;
        m.icon = Icon::Warning;
        m.title = titleFor(*m_def);
        m.text = u"Ключи файла %1 повреждены и будут перестроены."_s.arg(m_def->messageName);
        m_ctx.store().reporter().report(m);
        if (!schema::rebuildKeys(db(), m_def->id == groupMain(groupOf(m_def->id)) ? u"main"_s : m_def->schema(), *m_def))
            m_ctx.store().fatal(titleFor(*m_def), u"Не удалось перестроить ключи файла %1: %2"_s.arg(
                                                      m_def->messageName, sql::errorText(db())));
        return Status::Failed;
    }
    Message m;
    m.level = Level::Notice;
    m.icon = Icon::Error;
    m.title = titleFor(*m_def);
    m.text = u"Ошибка чтения файла %1: %2"_s.arg(m_def->messageName, sql::errorText(db()));
    m_ctx.store().reporter().report(m);
    return Status::Failed;
}

Status DataFile::fetchBatch(bool forward)
{
    Connection& c = conn();
    const KeyDef* key = m_order == kStoredOrder ? nullptr : &m_def->keys[static_cast<size_t>(m_order)];
    const bool textKey = key && m_def->field(key->field).type == FieldType::Text;
    const int keyColumn = 2 + static_cast<int>(m_def->fields.size());
    dropCache();
    m_cacheForward = forward;
    // Runs one query of the order, appending its rows; `bindKey` and `bindRowid` say which values it takes.
    auto run = [&](const QString& sqlText, bool bindKey, bool bindRowid) {
        sql::Statement& s = c.statement(sqlText);
        if (!s.isValid())
            return s.prepareResult();
        ResetGuard guard{s};
        int i = 1;
        if (bindKey) {
            if (textKey)
                s.bindBlob(i++, m_posKey);
            else
                s.bind(i++, schema::keyNumber(m_posKey));
        }
        if (bindRowid)
            s.bind(i++, m_posRowid);
        s.bind(i, kBatch - static_cast<qint64>(m_cache.size()));
        int rc;
        while ((rc = s.step()) == SQLITE_ROW) {
            Cached row{AnyRecord(m_def->id), {}, s.int64(0), s.int64(1)};
            schema::readRow(s, 2, row.record.ref());
            if (key)
                row.key = textKey ? s.blob(keyColumn) : schema::numberBytes(s.int64(keyColumn));
            m_cache.push_back(std::move(row));
        }
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    };
    int rc;
    if (m_posEdge != Edge::None) {
        rc = run(schema::selectOrdered(*m_def, key, forward, schema::From::Edge), false, false);
    } else if (!key) {
        rc = run(schema::selectOrdered(*m_def, key, forward, schema::From::Position), false, true);
    } else {
        // The rest of the entries equal to the position's value, then those beyond it: two reads that
        // each seek straight to their start, however many records share one value.
        rc = run(schema::selectOrdered(*m_def, key, forward, schema::From::EqualKey), true, true);
        if (rc == SQLITE_OK && m_cache.size() < static_cast<size_t>(kBatch))
            rc = run(schema::selectOrdered(*m_def, key, forward, schema::From::Position), true, false);
    }
    if (rc != SQLITE_OK) {
        dropCache();
        return failRead(rc);
    }
    m_cacheComplete = m_cache.size() < static_cast<size_t>(kBatch);
    return Status::Ok;
}

Status DataFile::next() { return step(true); }
Status DataFile::previous() { return step(false); }

Status DataFile::step(bool forward)
{
    if (!usable())
        return Status::Failed;
    if (m_cache.empty() || m_cacheForward != forward || m_cachePos >= m_cache.size()) {
        if (!m_cache.empty() && m_cacheForward == forward && m_cachePos >= m_cache.size() && m_cacheComplete) {
            m_posEdge = forward ? Edge::End : Edge::Start;
            dropCache();
            return Status::End;
        }
        if (m_posEdge == (forward ? Edge::End : Edge::Start))
            return Status::End;
        if (fetchBatch(forward) != Status::Ok)
            return Status::Failed;
        if (m_cache.empty()) {
            m_posEdge = forward ? Edge::End : Edge::Start;
            return Status::End;
        }
    }
    Cached& row = m_cache[m_cachePos++];
    m_buffer = row.record;
    m_rowid = row.rowid;
    m_rev = row.rev;
    if (m_order == kStoredOrder)
        positionAt({}, row.rowid);
    else
        positionAt(row.key, row.rowid);
    return Status::Ok;
}

Status DataFile::read(qint64 position)
{
    if (!usable())
        return Status::Failed;
    dropCache();
    sql::Statement& s = conn().statement(schema::selectByRowid(*m_def));
    ResetGuard guard{s};
    s.bind(1, position);
    const int rc = s.step();
    if (rc == SQLITE_DONE)
        return Status::End;
    if (rc != SQLITE_ROW)
        return failRead(rc);
    schema::readRow(s, 2, buffer());
    m_rowid = s.int64(0);
    m_rev = s.int64(1);
    if (m_order == kStoredOrder)
        positionAt({}, m_rowid);
    else {
        const QVariant k = schema::keyValue(buffer(), m_def->keys[static_cast<size_t>(m_order)]);
        if (k.isNull())
            m_posEdge = Edge::Start;  // a record without an entry in the key: start of the order
        else
            positionAt(schema::keyBytes(k), m_rowid);
    }
    return Status::Ok;
}

qint64 DataFile::count()
{
    if (!usable())
        return -1;
    int rc = SQLITE_OK;
    const qint64 n = sql::queryInt(db(), u"SELECT n FROM "_s + sql::ident(schema::countTable(*m_def)), -1, &rc);
    if (rc != SQLITE_OK) {
        failRead(rc);
        return -1;
    }
    return n;
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

Status notice(Store& store, const FileDef& def, const QString& text, Icon icon)
{
    Message m;
    m.level = Level::Notice;
    m.icon = icon;
    m.title = titleFor(def);
    m.text = text;
    store.reporter().report(m);
    return Status::Failed;
}

Button question(Store& store, const FileDef& def, const QString& text, Buttons buttons, Button def0)
{
    Message m;
    m.level = Level::Question;
    m.icon = Icon::Question;
    m.title = titleFor(def);
    m.text = text;
    m.buttons = buttons;
    m.defaultButton = def0;
    return store.reporter().report(m);
}

// BEGIN IMMEDIATE, waiting at most `ms` for other writers.
int beginImmediate(sqlite3* db, int ms)
{
    sqlite3_busy_timeout(db, ms);
    const int rc = sql::exec(db, u"BEGIN IMMEDIATE"_s);
    sqlite3_busy_timeout(db, kBusyMs);
    return rc;
}

void rollback(sqlite3* db) { sql::exec(db, u"ROLLBACK"_s); }

} // namespace

Status DataFile::prime()
{
    if (!usable())
        return Status::Failed;
    buffer().clear();
    m_rowid = 0;
    m_rev = 0;
    m_reservedRowid = 0;
    if (m_def->id == FileId::Forma3)
        record<Forma3>().COMMENT.set(kSaved);
    if (m_def->id == FileId::Kagent)
        return reserveKagent();
    return Status::Ok;
}

Status DataFile::reserveKagent()
{
    Store& store = m_ctx.store();
    if (m_readOnly)
        return notice(store, *m_def, u"Файл %1 открыт только для чтения."_s.arg(m_def->messageName));
    for (;;) {
        QString lastError;
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (store.isFatal())
                return Status::Failed;
            sqlite3* d = db();
            int rc = beginImmediate(d, kTransactionMs);
            if (rc == SQLITE_OK) {
                const qint64 last =
                    sql::queryInt(d, u"SELECT max(key_k1) FROM "_s + schema::qualified(*m_def), -1, &rc);
                if (rc == SQLITE_OK) {
                    record<Kagent>().ID.setInteger(last > 0 ? last + 1 : 1);
                    rc = schema::insertRow(conn(), *m_def, buffer(), &m_rowid);
                }
                if (rc == SQLITE_OK)
                    rc = sql::exec(d, u"COMMIT"_s);
                if (rc == SQLITE_OK) {
                    m_rev = 1;
                    m_reservedRowid = m_rowid;
                    dropCache();
                    return Status::Ok;
                }
                lastError = sql::errorText(d);
                rollback(d);
            } else {
                lastError = sql::errorText(d);
            }
        }
        if (question(store, *m_def,
                     u"Не удалось присвоить номер новому контрагенту (%1). Попробовать ещё раз?"_s.arg(lastError),
                     Button::Yes | Button::No, Button::Yes) != Button::Yes) {
            buffer().clear();
            m_rowid = 0;
            return Status::Failed;
        }
    }
}

Status DataFile::insert()
{
    if (!usable())
        return Status::Failed;
    if (m_readOnly)
        return notice(m_ctx.store(), *m_def, u"Файл %1 открыт только для чтения: запись не добавлена."_s.arg(m_def->messageName));
    if (m_def->id == FileId::Kagent && m_reservedRowid) {
        // The record was written when it was primed; insert fills it in.
        const Status s = update();
        if (s == Status::Ok)
            m_reservedRowid = 0;
        return s;
    }
    return insertOnce();
}

Status DataFile::insertOnce()
{
    sqlite3* d = db();
    dropCache();
    const int rc = schema::insertRow(conn(), *m_def, buffer(), &m_rowid);
    if (rc != SQLITE_OK) {
        m_rowid = 0;
        return notice(m_ctx.store(), *m_def,
                      u"Запись не добавлена в файл %1: %2"_s.arg(m_def->messageName, sql::errorText(d)), Icon::Error);
    }
    m_rev = 1;
    return Status::Ok;
}

// A write failed in a way the operator may retry: keeps the store's error text for the question and
// undoes whatever the open transaction had written.
Status DataFile::retryable(bool ownTransaction)
{
    m_lastError = sql::errorText(db());
    if (ownTransaction)
        rollback(db());
    return Status::End;
}

// The record changed or went since it was read: the buffer takes what is stored, and the operator is told.
Status DataFile::refreshAfterConflict()
{
    bool exists = false;
    {
        sql::Statement& s = conn().statement(schema::selectByRowid(*m_def));
        ResetGuard guard{s};
        s.bind(1, m_rowid);
        if (s.step() == SQLITE_ROW) {
            schema::readRow(s, 2, buffer());
            m_rev = s.int64(1);
            exists = true;
        }
    }
    return notice(m_ctx.store(), *m_def,
                  exists ? u"Запись файла %1 изменена другим пользователем или в другом окне после того, как была "
                           u"прочитана. Изменения не сохранены; показано то, что записано в файле."_s.arg(m_def->messageName)
                         : u"Запись файла %1 удалена другим пользователем или в другом окне. Изменения не сохранены."_s.arg(
                               m_def->messageName));
}

bool DataFile::beginCounterpartyTransaction()
{
    // The certificates are in the same connection: the group opens them on first use.
    if (!m_ctx.physicalOpen(FileId::Forma3))
        return false;
    if (beginImmediate(db(), kTransactionMs) == SQLITE_OK)
        return true;
    notice(m_ctx.store(), *m_def,
           u"Файлы kagent и forma3 заняты другой программой или окном дольше 2 секунд. Операция отменена, ничего не "
           u"записано."_s);
    return false;
}

// The counterparty's name as stored now: that is what the certificates carry.
QString DataFile::storedCounterpartyName()
{
    sql::Statement& s = conn().statement(u"SELECT name FROM "_s + schema::qualified(*m_def) + u" WHERE rowid = ?1"_s);
    ResetGuard guard{s};
    s.bind(1, m_rowid);
    if (s.step() != SQLITE_ROW)
        return {};
    int n = 0;
    const char* t = s.rawText(0, &n);
    return QString::fromUtf8(t, n);
}

Status DataFile::update()
{
    m_lastAnswer = Button::None;
    if (!usable())
        return Status::Failed;
    if (m_readOnly)
        return notice(m_ctx.store(), *m_def, u"Файл %1 открыт только для чтения: изменения не сохранены."_s.arg(m_def->messageName));
    if (m_rowid == 0)
        return notice(m_ctx.store(), *m_def, u"Нет записи для изменения в файле %1."_s.arg(m_def->messageName));
    dropCache();
    for (;;) {
        if (m_ctx.store().isFatal())
            return Status::Failed;
        const Status s = m_def->id == FileId::Kagent ? updateKagent() : updatePlain();
        if (s != Status::End)  // End: a write failure that the operator may retry
            return s;
        m_lastAnswer = question(m_ctx.store(), *m_def,
                                u"Не удалось сохранить запись в файле %1: %2\nСохранить ещё раз?"_s.arg(
                                    m_def->messageName, m_lastError),
                                Button::Yes | Button::No | Button::Cancel, Button::Cancel);
        if (m_lastAnswer != Button::Yes)
            return Status::Failed;
    }
}

// Ok, Failed (reported: the record changed), or End for a write failure the caller may retry.
Status DataFile::updatePlain()
{
    qint64 changed = 0;
    const int rc = schema::updateRow(conn(), *m_def, buffer(), m_rowid, m_rev, &changed);
    if (rc != SQLITE_OK)
        return retryable(false);
    if (changed == 0)
        return refreshAfterConflict();
    ++m_rev;
    return Status::Ok;
}

Status DataFile::updateKagent()
{
    Store& store = m_ctx.store();
    sqlite3* d = db();
    if (!beginCounterpartyTransaction())
        return Status::Failed;
    Kagent& k = record<Kagent>();
    const QString oldName = storedCounterpartyName();
    qint64 changed = 0;
    int rc = schema::updateRow(conn(), *m_def, buffer(), m_rowid, m_rev, &changed);
    if (rc != SQLITE_OK)
        return retryable(true);
    if (changed == 0) {
        rollback(d);
        return refreshAfterConflict();
    }
    const QString newName = k.NAME.toString();
    if (newName != oldName && !oldName.isEmpty() && oldName.size() <= Text<80>::width) {
        // Every certificate that names the old name exactly takes the new name (its first 80 characters).
        Text<80> s2;
        s2.setCut(newName);
        rc = schema::renameCounterparty(conn(), oldName, s2.span());
        if (rc != SQLITE_OK) {
            const QString err = sql::errorText(d);
            rollback(d);
            k.NAME.setCut(oldName);
            notice(store, *m_def,
                   u"Не удалось переименовать контрагента в удостоверениях (%1). Ничего не изменено: контрагент и "
                   u"удостоверения сохранили прежнее наименование."_s.arg(err),
                   Icon::Error);
            return Status::Failed;
        }
    }
    rc = sql::exec(d, u"COMMIT"_s);
    if (rc != SQLITE_OK)
        return retryable(true);
    ++m_rev;
    // The certificates changed under any that this window read ahead.
    m_ctx.file(FileId::Forma3).dropCache();
    return Status::Ok;
}

Status DataFile::remove(bool confirm)
{
    m_lastAnswer = Button::None;
    if (!usable())
        return Status::Failed;
    Store& store = m_ctx.store();
    if (m_rowid == 0)
        return notice(store, *m_def, u"Нет записи для удаления в файле %1."_s.arg(m_def->messageName));
    if (confirm && question(store, *m_def, u"Вы действительно хотите удалить эту запись?"_s, Button::Yes | Button::No,
                            Button::Yes) != Button::Yes)
        return Status::Failed;
    if (m_readOnly)
        return notice(store, *m_def, u"Файл %1 открыт только для чтения: запись не удалена."_s.arg(m_def->messageName));
    dropCache();
    for (;;) {
        if (store.isFatal())
            return Status::Failed;
        Status s;
        if (m_def->id == FileId::Kagent) {
            s = removeKagent();
        } else {
            s = schema::deleteRow(conn(), *m_def, m_rowid) == SQLITE_OK ? Status::Ok : retryable(false);
        }
        if (s == Status::Ok) {
            m_rowid = 0;
            m_reservedRowid = 0;
            return s;
        }
        if (s == Status::Failed)
            return s;
        m_lastAnswer = question(store, *m_def,
                                u"Не удалось удалить запись из файла %1: %2\nПопробовать ещё раз?"_s.arg(
                                    m_def->messageName, m_lastError),
                                Button::Yes | Button::No, Button::Yes);
        if (m_lastAnswer != Button::Yes)
            return Status::Failed;
    }
}

Status DataFile::removeKagent()
{
    Store& store = m_ctx.store();
    sqlite3* d = db();
    if (!beginCounterpartyTransaction())
        return Status::Failed;
    const QString name = storedCounterpartyName();
    int rc = SQLITE_OK;
    const bool linked = !name.isEmpty() && name.size() <= Text<80>::width && schema::isNamedOnCertificate(conn(), name, &rc);
    if (rc != SQLITE_OK)
        return retryable(true);
    if (linked) {
        rollback(d);
        Message m;
        m.level = Level::Notice;
        m.icon = Icon::Warning;
        m.title = u"Referential Integrity Delete Error"_s;
        m.text = u"Удаляемая запись имеет подчинённые документы"_s;
        store.reporter().report(m);
        return Status::Failed;
    }
    rc = schema::deleteRow(conn(), *m_def, m_rowid);
    if (rc == SQLITE_OK)
        rc = sql::exec(d, u"COMMIT"_s);
    if (rc != SQLITE_OK)
        return retryable(true);
    return Status::Ok;
}

Status DataFile::cancelNew()
{
    if (!m_reservedRowid)
        return Status::Ok;
    if (!usable())
        return Status::Failed;
    dropCache();
    const int rc = schema::deleteRow(conn(), *m_def, m_reservedRowid);
    if (rc != SQLITE_OK)
        return notice(m_ctx.store(), *m_def,
                      u"Не удалось удалить зарезервированную запись файла %1: %2"_s.arg(m_def->messageName, sql::errorText(db())));
    m_reservedRowid = 0;
    m_rowid = 0;
    buffer().clear();
    return Status::Ok;
}

} // namespace vetcert
