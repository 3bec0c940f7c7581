// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How records, keys and positions map onto SQLite tables: the store's own business,
// used by store.cpp and the key check. Not for windows.

#include "data/record.h"
#include "data/sqlite.h"

#include <QHash>
#include <QVariant>
#include <array>
#include <memory>

namespace vetcert {

class Store;

/// One SQLite connection of a context: the group's first member is the main database,
/// the other members are attached under their schema names.
class Connection
{
public:
    ~Connection() { sqlite3_close_v2(db); }
    sqlite3* db = nullptr;
    std::array<bool, 5> attached{};
    QHash<QString, std::shared_ptr<sql::Statement>> statements;

    /// A statement prepared once per connection.
    sql::Statement& statement(const QString& text)
    {
        auto it = statements.find(text);
        if (it == statements.end())
            it = statements.insert(text, std::make_shared<sql::Statement>(db, text));
        return **it;
    }
};

namespace schema {

constexpr int kVersion = 1;

/// Checks that the file under `schemaName` is a data file of ours, warns when it is read-only,
/// creates its table and keys when it is new. Fatal failures are reported to the store.
bool prepare(sqlite3* db, const QString& schemaName, const FileDef& def, Store* store, bool* readOnly);

/// The table name as SQL (tables are unique across a group's attached files).
QString qualified(const FileDef& def);

/// The table that holds the number of records of the file.
QString countTable(const FileDef& def);

/// The SQL type and definition of the table and its key indexes, for creating a file.
QStringList createStatements(const QString& schemaName, const FileDef& def);
/// Indexes beyond the keys that queries of the program rely on; made at opening when missing.
QStringList extraIndexStatements(const QString& schemaName, const FileDef& def);

/// Folded value of a text for a key: Windows-1251 upper case, Ё as Е, trailing blanks removed.
QByteArray foldKey(const TextSpan& text);
QByteArray foldKey(const QString& text);
/// The key value of a record: folded text or a number; null when the component is blank.
QVariant keyValue(const RecordRef& rec, const KeyDef& key);
QByteArray keyBytes(const QVariant& v);
QByteArray numberBytes(qint64 n);
qint64 keyNumber(const QByteArray& b);

/// Where a read in an order starts: at its start or end; after a position (the rowid in stored order,
/// the key value strictly beyond in a key's order); or among the entries equal to a key value, after a rowid.
enum class From { Edge, Position, EqualKey };

/// SELECT rowid, rev, every field[, key] in an order, LIMIT as the last parameter. Parameters:
/// Edge none; Position the rowid (stored order) or the key value; EqualKey the key value and the rowid.
QString selectOrdered(const FileDef& def, const KeyDef* key, bool forward, From from);
QString selectByRowid(const FileDef& def);
QString columnList(const FileDef& def);

/// Reads the fields of a row, starting at column `first`, into the record.
void readRow(const sql::Statement& s, int first, const RecordRef& rec);

QString insertSql(const FileDef& def);
int insertRow(Connection& c, const FileDef& def, const RecordRef& rec, qint64* rowid);
/// Updates the row if it still has revision `rev`; `changed` receives the number of rows written.
int updateRow(Connection& c, const FileDef& def, const RecordRef& rec, qint64 rowid, qint64 rev, qint64* changed);
int deleteRow(Connection& c, const FileDef& def, qint64 rowid);

/// Gives every certificate whose FR3:S2 is exactly `oldName` the name `newS2`.
int renameCounterparty(Connection& c, const QString& oldName, const TextSpan& newS2);
/// Whether a certificate names the counterparty exactly.
bool isNamedOnCertificate(Connection& c, const QString& name, int* rc);

/// Rebuilds the key indexes of the file (REINDEX).
bool rebuildKeys(sqlite3* db, const QString& schemaName, const FileDef& def);

} // namespace schema
} // namespace vetcert
