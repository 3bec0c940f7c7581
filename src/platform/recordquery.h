// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/store.h"
#include "platform/expression.h"

#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace vetcert {

/// Reads the records of a data file that pass a filter expression, in a key and/or expression
/// order, as SQLite selects and sorts them. The file's group must be open in the context.
///
///     RecordQuery q(ctx, FileId::Forma3);
///     q.variables().setInt(u"d1"_s, D1);
///     q.variables().setInt(u"d2"_s, D2);
///     q.setFilter(u"(d1<=fr3:datav) and (d2>=fr3:datav)"_s, &err);
///     q.setOrder(u"+FR3:datav,+FR3:Nform"_s, &err);
///     if (q.open() == Status::Ok)
///         while (q.next() == Status::Ok)
///             use(q.record());
///
/// Program values are named before the expressions that use them are set; their values are taken
/// when open() runs. Unless streaming, open() first selects the positions of the matching records
/// and next() then reads each record by its position, so no read lock is held between records.
class RecordQuery
{
public:
    RecordQuery(Context& ctx, FileId file);
    ~RecordQuery();
    Q_DISABLE_COPY_MOVE(RecordQuery)

    expr::Variables& variables() { return m_vars; }
    const expr::Variables& variables() const { return m_vars; }
    const FileDef& def() const { return *m_def; }

    /// Sets the filter; a blank text means every record. On a parse error the filter is unchanged.
    bool setFilter(const QString& text, expr::ParseError* error = nullptr);
    /// Sets the order: "+FR3:datav,-FR3:Nform", optionally after a key ("FR3:K4,+FR3:datav").
    /// A blank text means the stored order.
    bool setOrder(const QString& text, expr::ParseError* error = nullptr);
    /// Reads in key order first (kStoredOrder for none), keeping the current order items after it.
    void setKey(int key) { m_order.key = key; }
    /// In key order, whether records with a blank key value take part (they come first). By default
    /// they are left out, as when the file is read in that key's order.
    void setIncludeBlankKeys(bool include) { m_includeBlank = include; }
    /// At most `n` records (0: all).
    void setLimit(qint64 n) { m_limit = n; }
    /// Reads records as SQLite yields them, keeping the file's read lock until the end: for a
    /// command that reads the whole file at once. Orders of expressions are still sorted first.
    void setStreaming(bool streaming) { m_streaming = streaming; }

    const std::optional<expr::Expression>& filter() const { return m_filter; }
    const expr::Order& order() const { return m_order; }

    /// Selects the records. Failures are reported and give Failed.
    Status open();
    /// Reads the next record into record(); End after the last.
    Status next();
    void close();

    /// The record last read.
    RecordRef record() const { return m_record.ref(); }
    /// Its position in the file (for DataFile::read).
    qint64 position() const { return m_position; }
    /// Number of records selected, when known before reading them (-1 when streaming).
    qint64 size() const;

    /// The SQL of the selection that open() runs (or ran), with its parameters as placeholders.
    QString selectionSql();
    /// SQLite's plan for it, one line per step ("SEARCH forma3 USING INDEX forma3_key_k3 …").
    QStringList queryPlan();

private:
    struct Built;
    Built build(bool positionsOnly);
    Status fail(int rc);
    Status fetchBatch();

    Context& m_ctx;
    const FileDef* m_def;
    expr::Variables m_vars;
    expr::Variables m_openVars;  // the values the open selection was made with
    std::optional<expr::Expression> m_filter;
    expr::Order m_order;
    bool m_includeBlank = false;
    bool m_streaming = false;
    qint64 m_limit = 0;

    AnyRecord m_record;
    qint64 m_position = 0;
    std::vector<qint64> m_positions;
    size_t m_next = 0;
    struct Stmt;
    std::unique_ptr<Stmt> m_stmt;                      // streaming selection or the read by position
    size_t m_stmtBatch = 0;                            // positions the read statement takes
    std::vector<std::pair<qint64, AnyRecord>> m_batch; // position 0: no longer in the file
    size_t m_batchPos = 0;
    bool m_open = false;
    bool m_byPosition = false;
};

} // namespace vetcert
