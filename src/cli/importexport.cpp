// SPDX-License-Identifier: GPL-3.0-or-later
// The import and export commands: CSV of a data file's fields by their full names.

#include "cli/commands.h"
#include "cli/csv.h"
#include "data/sqlite.h"
#include "data/store.h"
#include "platform/recordquery.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace vetcert::cli {

namespace {

const FileDef* fileArgument(Options& opt, int* status)
{
    QString name;
    if (!opt.take(u"--file"_s, &name, status)) {
        if (*status == 0)
            *status = Options::usageError(u"нужен --file ИМЯ"_s);
        return nullptr;
    }
    const FileDef* def = fileDefByName(name);
    if (!def || name.compare(def->name, Qt::CaseInsensitive) != 0) {
        *status = Options::usageError(u"неизвестный файл данных «%1»"_s.arg(name));
        return nullptr;
    }
    return def;
}

// The highest KAG:ID present, for numbering imported counterparties that come without one.
qint64 lastCounterpartyId(Context& ctx)
{
    return sql::queryInt(ctx.connection(FileId::Kagent), u"SELECT max(key_k1) FROM kagent"_s, 0);
}

} // namespace

int runImport(Options& opt)
{
    int status = 0;
    const FileDef* def = fileArgument(opt, &status);
    if (!def)
        return status;
    if (opt.args.size() != 1 || opt.args[0].startsWith(u'-'))
        return Options::usageError(u"import: нужен один файл CSV"_s);
    const QString path = opt.args[0];
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        Options::error(u"%1: не удалось открыть: %2"_s.arg(path, in.errorString()));
        return 1;
    }
    const QString where = QFileInfo(path).fileName();
    csv::Reader reader(&in);
    QStringList header;
    if (!reader.next(&header)) {
        Options::error(u"%1: строка 1: %2"_s.arg(where, reader.error().isEmpty() ? u"файл пуст, нет строки заголовка"_s
                                                                                 : reader.error()));
        return 1;
    }
    std::vector<int> columns;
    for (const QString& h : header) {
        const int f = h.contains(u':') ? def->fieldIndex(h.trimmed()) : -1;
        if (f < 0) {
            Options::error(u"%1: строка 1, поле «%2»: в файле %3 нет такого поля (поля называются полностью, "
                           u"например %4)"_s.arg(where, h, def->name, def->fields.front().fullName));
            return 1;
        }
        if (std::find(columns.begin(), columns.end(), f) != columns.end()) {
            Options::error(u"%1: строка 1, поле «%2»: поле названо дважды"_s.arg(where, h));
            return 1;
        }
        columns.push_back(f);
    }
    const bool idGiven = def->id == FileId::Kagent && std::find(columns.begin(), columns.end(), 0) != columns.end();

    StderrReporter reporter;
    Store store(opt.dataDir, reporter);
    Context ctx(store, u"import"_s);
    if (!ctx.openGroup(def->id) || !ctx.beginTransaction(def->id, 10000))
        return 1;
    DataFile& file = ctx.file(def->id);
    RecordRef rec = file.buffer();
    qint64 lastId = def->id == FileId::Kagent ? lastCounterpartyId(ctx) : 0;
    qint64 rows = 0;
    QStringList cells;
    while (reader.next(&cells)) {
        if (cells.size() == 1 && cells[0].isEmpty())
            continue;  // an empty line
        if (cells.size() != static_cast<qsizetype>(columns.size())) {
            ctx.rollback(def->id);
            Options::error(u"%1: строка %2: %3 значений при %4 полях в заголовке; ничего не добавлено"_s.arg(where)
                               .arg(reader.line())
                               .arg(cells.size())
                               .arg(columns.size()));
            return 1;
        }
        // A new record starts as it would in a window: cleared and primed.
        rec.clear();
        if (def->id == FileId::Forma3)
            file.record<Forma3>().COMMENT.set(u"Выдано");
        for (size_t c = 0; c < columns.size(); ++c) {
            const QString reason = rec.setFromText(columns[c], cells[static_cast<qsizetype>(c)]);
            if (!reason.isEmpty()) {
                ctx.rollback(def->id);
                Options::error(u"%1: строка %2, поле %3: %4; ничего не добавлено"_s.arg(where)
                                   .arg(reader.line())
                                   .arg(def->field(columns[c]).fullName, reason));
                return 1;
            }
        }
        if (def->id == FileId::Kagent) {
            Kagent& k = file.record<Kagent>();
            if (!idGiven)
                k.ID.setInteger(++lastId);
            else
                lastId = std::max(lastId, k.ID.integerPart());
        }
        if (file.insert() != Status::Ok) {
            ctx.rollback(def->id);
            Options::error(u"%1: строка %2: запись не добавлена; ничего не добавлено"_s.arg(where).arg(reader.line()));
            return 1;
        }
        ++rows;
    }
    if (!reader.error().isEmpty()) {
        ctx.rollback(def->id);
        Options::error(u"%1: строка %2: %3; ничего не добавлено"_s.arg(where).arg(reader.line()).arg(reader.error()));
        return 1;
    }
    if (!ctx.commit(def->id))
        return 1;
    std::fprintf(stderr, "%s\n", u"vetcert: в файл %1 добавлено записей: %2"_s.arg(def->name).arg(rows).toUtf8().constData());
    return 0;
}

namespace {

// An expression refused: the message with its position, the text and a mark under the place.
void expressionError(const QString& option, const QString& text, const expr::ParseError& e, const QString& hint = {})
{
    Options::error(u"%1: %2%3\n  %4\n  %5^"_s.arg(option, e.toString(), hint, text,
                                                    QString(std::max(0, e.position - 1), u' ')));
}

} // namespace

int runExport(Options& opt)
{
    int status = 0;
    const FileDef* def = fileArgument(opt, &status);
    if (!def)
        return status;
    QString order, filter;
    if (!opt.take(u"--order"_s, &order, &status) && status)
        return status;
    if (!opt.take(u"--filter"_s, &filter, &status) && status)
        return status;
    if (!opt.args.isEmpty())
        return Options::usageError(u"export: лишние аргументы: %1"_s.arg(opt.args.join(u' ')));
    StderrReporter reporter;
    Store store(opt.dataDir, reporter);
    Context ctx(store, u"export"_s);
    RecordQuery query(ctx, def->id);
    expr::ParseError err;
    if (!query.setFilter(filter, &err)) {
        expressionError(u"--filter"_s, filter, err);
        return 1;
    }
    if (!query.setOrder(order, &err)) {
        QStringList keys;
        for (const KeyDef& k : def->keys)
            keys << k.name;
        expressionError(u"--order"_s, order, err,
                        keys.isEmpty() ? QString() : u" (порядок: ключ %1 и/или поля со знаками + и -)"_s.arg(keys.join(u", "_s)));
        return 1;
    }
    if (!ctx.openGroup(def->id))
        return 1;
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    QStringList cells;
    for (const FieldDef& f : def->fields)
        cells << f.fullName;
    QByteArray chunk = (csv::joinRecord(cells) + u"\r\n"_s).toUtf8();
    // A command reads the whole file at once: the read lock may stay until the end.
    query.setStreaming(true);
    if (query.open() != Status::Ok)
        return 1;
    const RecordRef rec = query.record();
    auto written = [&out](const QByteArray& bytes) {
        if (out.write(bytes) == bytes.size())
            return true;
        Options::error(u"export: не удалось записать в стандартный вывод: %1"_s.arg(out.errorString()));
        return false;
    };
    Status s;
    while ((s = query.next()) == Status::Ok) {
        cells.clear();
        for (int i = 0; i < static_cast<int>(def->fields.size()); ++i)
            cells << rec.displayText(i);
        chunk += (csv::joinRecord(cells) + u"\r\n"_s).toUtf8();
        if (chunk.size() > (1 << 20)) {
            if (!written(chunk))
                return 1;
            chunk.clear();
        }
    }
    if (!written(chunk))
        return 1;
    if (!out.flush()) {
        Options::error(u"export: не удалось записать в стандартный вывод: %1"_s.arg(out.errorString()));
        return 1;
    }
    return s == Status::End && !store.isFatal() ? 0 : 1;
}

int runCheck(Options& opt)
{
    if (!opt.args.isEmpty())
        return Options::usageError(u"check: лишние аргументы: %1"_s.arg(opt.args.join(u' ')));
    StderrReporter reporter;
    Store store(opt.dataDir, reporter);
    QStringList log;
    const bool sound = Context::checkAndRepair(store, &log);
    for (const QString& line : log)
        std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    return sound ? 0 : 1;
}

} // namespace vetcert::cli
