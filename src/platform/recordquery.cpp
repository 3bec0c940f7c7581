// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/recordquery.h"

#include "data/sqlite.h"
#include "data/storeschema.h"
#include "platform/exprsql.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace vetcert {

struct RecordQuery::Stmt
{
    sql::Statement s;
};

namespace {
// Records read by position in one statement: each statement takes and drops the file's read lock,
// which costs more than reading a record, so positions go in batches.
constexpr size_t kBatch = 128;
} // namespace

struct RecordQuery::Built
{
    QString sql;
    std::unique_ptr<expr::SqlBuilder> builder;
};

RecordQuery::RecordQuery(Context& ctx, FileId file) : m_ctx(ctx), m_def(&fileDef(file)), m_record(file) {}

RecordQuery::~RecordQuery() = default;

bool RecordQuery::setFilter(const QString& text, expr::ParseError* error)
{
    if (text.trimmed().isEmpty()) {
        m_filter.reset();
        return true;
    }
    auto e = expr::Expression::parse(text, *m_def, m_vars, expr::Expression::Kind::Condition, error);
    if (!e)
        return false;
    m_filter = std::move(e);
    return true;
}

bool RecordQuery::setOrder(const QString& text, expr::ParseError* error)
{
    if (text.trimmed().isEmpty()) {
        m_order = {};
        return true;
    }
    auto o = expr::Order::parse(text, *m_def, m_vars, true, error);
    if (!o)
        return false;
    m_order = std::move(*o);
    return true;
}

RecordQuery::Built RecordQuery::build(bool positionsOnly)
{
    Built b;
    b.builder = std::make_unique<expr::SqlBuilder>(*m_def, m_vars);
    expr::SqlBuilder& sb = *b.builder;
    QStringList where;
    if (m_filter) {
        where << sb.condition(*m_filter);
        where << sb.keyConditions(*m_filter);
    }
    if (m_order.key >= 0 && !m_includeBlank)
        where << sql::ident(m_def->keys[static_cast<size_t>(m_order.key)].column()) + u" IS NOT NULL"_s;
    b.sql = u"SELECT "_s + (positionsOnly ? u"rowid"_s : u"rowid, rev, "_s + schema::columnList(*m_def)) + u" FROM "_s +
            schema::qualified(*m_def);
    if (!where.isEmpty())
        b.sql += u" WHERE "_s + where.join(u" AND "_s);
    b.sql += u" ORDER BY "_s + sb.orderBy(m_order);
    if (m_limit > 0)
        b.sql += u" LIMIT "_s + sb.param(expr::Value::integer(m_limit));
    return b;
}

QString RecordQuery::selectionSql()
{
    return build(!m_streaming || !m_order.items.empty()).sql;
}

QStringList RecordQuery::queryPlan()
{
    QStringList out;
    sqlite3* db = m_ctx.connection(m_def->id);
    if (!db || !expr::registerSqlFunctions(db))
        return out;
    Built b = build(!m_streaming || !m_order.items.empty());
    sql::Statement s(db, u"EXPLAIN QUERY PLAN "_s + b.sql);
    if (!s.isValid())
        return out;
    b.builder->bind(s.handle());
    while (s.step() == SQLITE_ROW) {
        int size = 0;
        const char* t = s.rawText(3, &size);
        out << QString::fromUtf8(t, size);
    }
    return out;
}

Status RecordQuery::fail(int rc)
{
    sqlite3* db = m_ctx.connection(m_def->id);
    Message m;
    m.level = Level::Notice;
    m.icon = Icon::Error;
    m.title = u"Файл "_s + m_def->messageName;
    m.text = u"Ошибка чтения файла %1: %2"_s.arg(m_def->messageName,
                                                 db ? sql::errorText(db) : QString::fromUtf8(sqlite3_errstr(rc)));
    m_ctx.store().reporter().report(m);
    close();
    return Status::Failed;
}

Status RecordQuery::open()
{
    close();
    sqlite3* db = m_ctx.connection(m_def->id);
    if (!db)
        return Status::Failed;
    if (!expr::registerSqlFunctions(db))
        return fail(sqlite3_errcode(db));
    // Sorting whole records would copy every one of them into SQLite's sorter: sort positions instead.
    m_byPosition = !m_streaming || !m_order.items.empty();
    m_openVars = m_vars;
    Built b = build(m_byPosition);
    auto st = std::make_unique<Stmt>(Stmt{sql::Statement(db, b.sql)});
    if (!st->s.isValid())
        return fail(st->s.prepareResult());
    b.builder->bind(st->s.handle());
    if (m_byPosition) {
        int rc;
        while ((rc = st->s.step()) == SQLITE_ROW)
            m_positions.push_back(st->s.int64(0));
        if (rc != SQLITE_DONE)
            return fail(rc);
        st.reset();
    }
    m_stmt = std::move(st);
    m_open = true;
    return Status::Ok;
}

Status RecordQuery::fetchBatch()
{
    m_batch.clear();
    m_batchPos = 0;
    const size_t n = std::min(kBatch, m_positions.size() - m_next);
    QStringList params;
    for (size_t i = 1; i <= n; ++i)
        params << u'?' + QString::number(i);
    const QString text = u"SELECT rowid, rev, "_s + schema::columnList(*m_def) + u" FROM "_s +
                         schema::qualified(*m_def) + u" WHERE rowid IN ("_s + params.join(u',') + u')';
    if (!m_stmt || m_stmtBatch != n) {
        m_stmt = std::make_unique<Stmt>(Stmt{sql::Statement(m_ctx.connection(m_def->id), text)});
        m_stmtBatch = n;
        if (!m_stmt->s.isValid())
            return fail(m_stmt->s.prepareResult());
    }
    sql::Statement& s = m_stmt->s;
    s.reset();
    QHash<qint64, size_t> slot;
    for (size_t i = 0; i < n; ++i) {
        s.bind(static_cast<int>(i) + 1, m_positions[m_next + i]);
        slot.insert(m_positions[m_next + i], i);
        m_batch.emplace_back(0, AnyRecord(m_def->id));
    }
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
        auto& [pos, rec] = m_batch[slot.value(s.int64(0))];
        pos = s.int64(0);
        schema::readRow(s, 2, rec.ref());
    }
    s.reset();
    if (rc != SQLITE_DONE)
        return fail(rc);
    m_next += n;
    return Status::Ok;
}

Status RecordQuery::next()
{
    if (!m_open)
        return Status::End;
    if (!m_byPosition) {
        sql::Statement& s = m_stmt->s;
        const int rc = s.step();
        if (rc == SQLITE_ROW) {
            m_position = s.int64(0);
            schema::readRow(s, 2, m_record.ref());
            return Status::Ok;
        }
        if (rc != SQLITE_DONE)
            return fail(rc);
        close();
        return Status::End;
    }
    for (;;) {
        if (m_batchPos >= m_batch.size()) {
            if (m_next >= m_positions.size())
                return Status::End;
            if (fetchBatch() != Status::Ok)
                return Status::Failed;
        }
        auto& [pos, rec] = m_batch[m_batchPos++];
        if (pos == 0)
            continue; // removed since it was selected: passed over
        // Changed since it was selected (or its position reused by a new record): tested again as it is now.
        if (m_filter && !m_filter->test(rec.ref(), m_openVars))
            continue;
        m_position = pos;
        m_record = rec;
        return Status::Ok;
    }
}

void RecordQuery::close()
{
    m_stmt.reset();
    m_stmtBatch = 0;
    m_positions.clear();
    m_next = 0;
    m_batch.clear();
    m_batchPos = 0;
    m_open = false;
}

qint64 RecordQuery::size() const
{
    return m_open && m_byPosition ? static_cast<qint64>(m_positions.size()) : -1;
}

} // namespace vetcert
