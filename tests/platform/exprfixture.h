// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small certificate file in a temporary folder for the expression tests.

#include "data/sqlite.h"
#include "data/store.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace vetcert::test {

struct Certificate
{
    qint64 nform;
    const char16_t* datav; // dd.mm.yyyy or empty
    const char16_t* s2;
    const char16_t* cena = u"";
};

/// The certificates every expression test reads: duplicates, blanks, letter case, Ё, quotes.
inline const Certificate kCertificates[] = {
    {101, u"01.03.2013", u"ООО «Рассвет»"},
    {102, u"02.03.2013", u"ооо «рассвет»"},
    {103, u"15.03.2013", u"ЗАО «Ёлочка»"},
    {104, u"15.03.2013", u"ЗАО «ёлочка»"},
    {105, u"31.03.2013", u"ИП Петров А. И."},
    {106, u"01.04.2013", u"ЗАО «Елочка»"},
    {0, u"10.03.2013", u"Без номера"},
    {108, u"", u"Без даты"},
    {109, u"20.03.2013", u""},
    {101, u"28.02.2013", u"O'Brien & Co"},
    {111, u"14.03.2013", u"Рассвет-2"},
    {112, u"16.03.2013", u"Заря", u"12.50"},
    {113, u"15.03.2013", u"Заря", u"0.05"},
    {123456789, u"01.01.2013", u"' OR 1=1 --"},
    {115, u"15.03.2013", u"'); DROP TABLE x; --"},
    {116, u"05.03.2013", u"'"},
};

/// A store in a temporary folder with the certificate group open in a context.
struct CertificateStore
{
    QTemporaryDir dir;
    RecordingReporter reporter;
    std::unique_ptr<Store> store;
    std::unique_ptr<Context> ctx;

    CertificateStore()
    {
        store = std::make_unique<Store>(dir.path(), reporter);
        ctx = std::make_unique<Context>(*store, QStringLiteral("test"));
        ctx->openGroup(FileId::Forma3);
    }

    /// Adds a certificate; its valid-until date is the issue date plus 5 days.
    qint64 add(const Certificate& c)
    {
        DataFile& f = ctx->file(FileId::Forma3);
        RecordRef rec = f.buffer();
        rec.clear();
        Forma3& r = f.record<Forma3>();
        r.NFORM.setInteger(c.nform);
        const QString d = QString::fromUtf16(c.datav);
        r.DATAV = d.isEmpty() ? Date() : *Date::parse(d);
        r.DATADST = d.isEmpty() ? Date() : Date(r.DATAV.dayNumber() + 5);
        r.S2.setCut(QString::fromUtf16(c.s2));
        rec.setFromText(rec.def().fieldIndex(u"CENA"), QString::fromUtf16(c.cena));
        if (f.insert() != Status::Ok)
            qFatal("insert failed");
        return f.position();
    }

    void addAll()
    {
        ctx->beginTransaction(FileId::Forma3);
        for (const Certificate& c : kCertificates)
            add(c);
        ctx->commit(FileId::Forma3);
    }

    /// Every record in stored order, with its position.
    std::vector<std::pair<qint64, AnyRecord>> all()
    {
        std::vector<std::pair<qint64, AnyRecord>> out;
        DataFile& f = ctx->file(FileId::Forma3);
        f.setOrderStart(kStoredOrder);
        while (f.next() == Status::Ok) {
            AnyRecord r(FileId::Forma3);
            r.as<Forma3>() = f.record<Forma3>();
            out.emplace_back(f.position(), r);
        }
        return out;
    }

    sqlite3* db() { return ctx->connection(FileId::Forma3); }
};

} // namespace vetcert::test
