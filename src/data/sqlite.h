// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <sqlite3.h>

namespace vetcert::sql {

/// A prepared statement, finalised with its owner.
class Statement
{
public:
    Statement() = default;
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    int prepareResult() const { return m_prepareRc; }
    sqlite3_stmt* handle() const { return m_stmt; }

    void bind(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }
    void bindNull(int i) { sqlite3_bind_null(m_stmt, i); }
    /// Binds a blob (copied); an empty array binds an empty blob, not NULL.
    void bindBlob(int i, const QByteArray& b) { sqlite3_bind_blob(m_stmt, i, b.constData(), int(b.size()), SQLITE_TRANSIENT); }
    /// Binds UTF-8 text (copied).
    void bindText(int i, const QByteArray& utf8) { sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT); }
    /// SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return sqlite3_step(m_stmt); }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    qint64 int64(int col) const { return sqlite3_column_int64(m_stmt, col); }
    bool isNull(int col) const { return sqlite3_column_type(m_stmt, col) == SQLITE_NULL; }
    QByteArray blob(int col) const;
    /// The column's bytes (text as UTF-8), valid until the next step or reset.
    const char* rawText(int col, int* size) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_prepareRc = SQLITE_OK;
};

/// Runs statements without results; returns the SQLite result code.
int exec(sqlite3* db, const QString& sql);
/// The error text of the connection's last failure.
QString errorText(sqlite3* db);
/// A single integer result of a query, or `fallback` when it fails or returns nothing.
qint64 queryInt(sqlite3* db, const QString& sql, qint64 fallback = -1, int* rc = nullptr);
/// Quotes an identifier of our own (never operator text) for SQL.
QString ident(const QString& name);

} // namespace vetcert::sql
