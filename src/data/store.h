// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/record.h"
#include "data/reporter.h"

#include <QString>
#include <array>
#include <atomic>
#include <memory>
#include <vector>

struct sqlite3;

namespace vetcert {

class Connection;
class Context;

/// The data files of one working directory and the reporter their failures go to. One per process;
/// shared by every context. After a fatal failure nothing further is written.
class Store
{
public:
    Store(QString directory, Reporter& reporter);
    Q_DISABLE_COPY_MOVE(Store)

    const QString& directory() const { return m_directory; }
    Reporter& reporter() const { return m_reporter; }
    /// Path of a data file: the directory and the file's stored name.
    QString path(FileId id) const;

    bool isFatal() const { return m_fatal.load(); }
    /// Reports a fatal failure (the note that the application will end is added) and stops all writing.
    void fatal(const QString& title, const QString& text);

private:
    QString m_directory;
    Reporter& m_reporter;
    std::atomic<bool> m_fatal{false};
};

/// The result of a data operation. Failures have been reported already.
enum class Status { Ok, End, Failed };

/// Key index meaning "the order in which the records are stored".
inline constexpr int kStoredOrder = -1;

/// One data file as one context sees it: its record buffer, open count, access state, order and position.
class DataFile
{
public:
    enum class State { NotOpen, Registered, Open };

    const FileDef& def() const { return *m_def; }
    RecordRef buffer() { return m_buffer.ref(); }
    template <class T>
    T& record()
    {
        return m_buffer.as<T>();
    }

    State state() const { return m_state; }
    bool isReadOnly() const { return m_readOnly; }

    /// Chooses a key (or kStoredOrder) and positions before the first entry not less than the
    /// buffer's value of the key's component; Next then reads that entry.
    Status setOrder(int key);
    /// Chooses a key and positions before its first entry (Next) or after its last (Previous).
    Status setOrderStart(int key);
    Status setOrderEnd(int key);
    int order() const { return m_order; }

    /// Reads the following or preceding record of the current order into the buffer; End at the end.
    Status next();
    Status previous();
    /// Reads the record stored at a position (as given by position()) into the buffer and
    /// positions the current order at it.
    Status read(qint64 position);
    /// Position of the record in the buffer, 0 when the buffer holds no stored record.
    qint64 position() const { return m_rowid; }

    /// Number of records in the file.
    qint64 count();

    /// Clears the buffer and sets the primed values; for KAGENT reserves the next number at once.
    Status prime();
    /// Adds the buffer as a new record (for a primed KAGENT record, writes the reserved record).
    Status insert();
    /// Writes the buffer back over the record it was read from; refused when that record changed
    /// since it was read (the buffer then holds the stored contents). A changed KAG:NAME is carried
    /// over to the certificates in one transaction.
    Status update();
    /// Removes the record in the buffer, asking first when `confirm`. A counterparty that
    /// certificates still name is not deleted.
    Status remove(bool confirm = false);
    /// Undoes a priming that reserved a record.
    Status cancelNew();

    /// The operator's answer to the last question a failed write asked (Cancel: back to the first field).
    Button lastAnswer() const { return m_lastAnswer; }

private:
    friend class Context;
    DataFile(Context& ctx, FileId id);

    bool usable();
    sqlite3* db();
    Connection& conn();
    Status step(bool forward);
    Status fetchBatch(bool forward);
    void dropCache();
    void positionAt(const QByteArray& key, qint64 rowid);
    Status failRead(int rc);
    Status insertOnce();
    Status updatePlain();
    Status updateKagent();
    Status removeKagent();
    Status reserveKagent();
    Status refreshAfterConflict();
    Status retryable(bool ownTransaction);
    bool beginCounterpartyTransaction();
    QString storedCounterpartyName();

    Context& m_ctx;
    const FileDef* m_def;
    AnyRecord m_buffer;
    State m_state = State::NotOpen;
    int m_openCount = 0;
    bool m_readOnly = false;
    int m_order = kStoredOrder;
    // Position in the current order: the key value (folded text, or a number as 8 bytes) and rowid
    // of the last entry read, or the probe that setOrder placed; m_posEdge marks the start or the end.
    QByteArray m_posKey;
    qint64 m_posRowid = 0;
    enum class Edge { None, Start, End } m_posEdge = Edge::Start;
    qint64 m_rowid = 0;
    qint64 m_rev = 0;
    qint64 m_reservedRowid = 0;  // KAGENT: the record written by prime()
    Button m_lastAnswer = Button::None;
    QString m_lastError;  // the store's text of the last failed write
    // Read-ahead in the current order, dropped on every write, read by position or change of order.
    struct Cached
    {
        AnyRecord record;
        QByteArray key;
        qint64 rowid;
        qint64 rev;
    };
    std::vector<Cached> m_cache;
    size_t m_cachePos = 0;
    bool m_cacheForward = true;
    bool m_cacheComplete = false;  // the batch reached the end of the order
};

/// What a window owns: its own record buffer of every data file, its open counts and access
/// state, and its own connections. Not shared between threads.
class Context
{
public:
    /// `procedure` names the window for messages ("Browselicenziy").
    Context(Store& store, QString procedure);
    ~Context();
    Q_DISABLE_COPY_MOVE(Context)

    Store& store() const { return m_store; }
    const QString& procedure() const { return m_procedure; }

    DataFile& file(FileId id) { return *m_files[static_cast<size_t>(id)]; }
    template <class T>
    T& record()
    {
        return file(T::def().id).template record<T>();
    }

    /// Opens a file with its group (counted). The named file is opened at once, the other
    /// members of the group when first used.
    bool openGroup(FileId id);
    /// Matches one openGroup(); the group is closed physically by the last close.
    void closeGroup(FileId id);

    /// The SQLite connection of a file's group, opening the file if needed (nullptr on failure).
    /// For code of our own that reads through SQL (reports, expressions); it must not write.
    sqlite3* connection(FileId id);

    /// Starts a write transaction over the file's group, waiting at most `waitMs` for other writers;
    /// reports a notice and returns false when it cannot start. Every write until commit() or
    /// rollback() belongs to it.
    bool beginTransaction(FileId id, int waitMs = 2000);
    bool commit(FileId id);
    void rollback(FileId id);

    /// Rebuilds the keys of every file of the directory; writes what it found to `log`.
    /// Returns false when a file could not be mended.
    static bool checkAndRepair(Store& store, QStringList* log);

private:
    friend class DataFile;
    Connection* groupConnection(FileId id, bool* created = nullptr);
    bool physicalOpen(FileId id);

    Store& m_store;
    QString m_procedure;
    std::array<std::unique_ptr<DataFile>, 5> m_files;
    std::array<std::unique_ptr<Connection>, 3> m_groups;  // certificate group, print layout, issuers
};

/// The group a file belongs to: 0 certificate group (FORMA3, KAGENT, LICENZIY), 1 LAST, 2 ISSUERS.
int groupOf(FileId id);

} // namespace vetcert
