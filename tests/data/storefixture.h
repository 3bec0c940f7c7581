// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/store.h"

#include <QFile>
#include <sqlite3.h>

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace vetcert::test {

/// A store on a fresh temporary directory whose messages are recorded.
struct StoreFixture
{
    QTemporaryDir dir;
    RecordingReporter reporter;
    std::unique_ptr<Store> store = std::make_unique<Store>(dir.path(), reporter);

    QString path(const QString& name) const { return dir.filePath(name); }
};

/// A connection of another program to a data file, closed however the test leaves.
struct RawFile
{
    sqlite3* db = nullptr;
    explicit RawFile(const QString& path) { sqlite3_open(QFile::encodeName(path).constData(), &db); }
    ~RawFile() { sqlite3_close_v2(db); }
    Q_DISABLE_COPY_MOVE(RawFile)
};

inline bool addCounterparty(Context& ctx, const QString& name, qint64* id = nullptr)
{
    DataFile& kag = ctx.file(FileId::Kagent);
    if (kag.prime() != Status::Ok)
        return false;
    kag.record<Kagent>().NAME.setCut(name);
    if (id)
        *id = kag.record<Kagent>().ID.integerPart();
    return kag.insert() == Status::Ok;
}

inline bool addCertificate(Context& ctx, qint64 number, const QString& s2, Date issued = Date(77436))
{
    DataFile& fr3 = ctx.file(FileId::Forma3);
    if (fr3.prime() != Status::Ok)
        return false;
    Forma3& f = fr3.record<Forma3>();
    f.NFORM.setInteger(number);
    f.S2.setCut(s2);
    f.DATAV = issued;
    return fr3.insert() == Status::Ok;
}

/// Every value of a field as read in a key's order (or stored order).
inline QStringList readAll(Context& ctx, FileId id, const QString& key, const QString& field)
{
    DataFile& f = ctx.file(id);
    const int k = key.isEmpty() ? kStoredOrder : f.def().keyIndex(key);
    const int i = f.def().fieldIndex(field);
    QStringList out;
    if (f.setOrderStart(k) != Status::Ok)
        return {QStringLiteral("<failed>")};
    while (f.next() == Status::Ok)
        out << f.buffer().displayText(i);
    return out;
}

} // namespace vetcert::test
