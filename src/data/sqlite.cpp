// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/sqlite.h"

namespace vetcert::sql {

Statement::Statement(sqlite3* db, const QString& sql)
{
    const QByteArray u = sql.toUtf8();
    m_prepareRc = sqlite3_prepare_v3(db, u.constData(), int(u.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
    if (m_prepareRc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

Statement::Statement(Statement&& other) noexcept : m_stmt(other.m_stmt), m_prepareRc(other.m_prepareRc)
{
    other.m_stmt = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = other.m_stmt;
        m_prepareRc = other.m_prepareRc;
        other.m_stmt = nullptr;
    }
    return *this;
}

QByteArray Statement::blob(int col) const
{
    const void* p = sqlite3_column_blob(m_stmt, col);
    return QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(m_stmt, col));
}

const char* Statement::rawText(int col, int* size) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
    *size = sqlite3_column_bytes(m_stmt, col);
    return p ? p : "";
}

int exec(sqlite3* db, const QString& sql) { return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr); }

QString errorText(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

qint64 queryInt(sqlite3* db, const QString& sql, qint64 fallback, int* rc)
{
    Statement s(db, sql);
    if (!s.isValid()) {
        if (rc)
            *rc = s.prepareResult();
        return fallback;
    }
    const int r = s.step();
    if (rc)
        *rc = r == SQLITE_ROW || r == SQLITE_DONE ? SQLITE_OK : r;
    return r == SQLITE_ROW ? s.int64(0) : fallback;
}

QString ident(const QString& name) { return u'"' + QString(name).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"'; }

} // namespace vetcert::sql
