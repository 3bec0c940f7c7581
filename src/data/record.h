// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dictionary.h"

#include <QString>
#include <memory>

namespace vetcert {

/// Typed access to the fields of any record through its file's dictionary.
class RecordRef
{
public:
    RecordRef(const FileDef& def, void* record) : m_def(&def), m_rec(record) {}

    const FileDef& def() const { return *m_def; }
    void* data() const { return m_rec; }

    TextSpan text(int field) const { return {static_cast<char*>(ptr(field)), m_def->field(field).bytes}; }
    Decimal& decimal(int field) const { return *static_cast<Decimal*>(ptr(field)); }
    Date& date(int field) const { return *static_cast<Date*>(ptr(field)); }
    qint32& longValue(int field) const { return *static_cast<qint32*>(ptr(field)); }

    /// True when the field is blank: text all blanks, number or date zero.
    bool isBlank(int field) const;
    /// Every field blank or zero.
    void clear() const;
    /// The field as the command line and messages show it: text without trailing blanks,
    /// date as dd.mm.yyyy (empty for none), decimal with a full stop.
    QString displayText(int field) const;

    /// Sets the field from text as the command line gives it (dates dd.mm.yyyy or empty, decimals with
    /// a full stop). Refuses, leaving the field unchanged, a value the field cannot hold exactly, and
    /// returns the reason in Russian; an empty result means the value was taken.
    QString setFromText(int field, QStringView text) const;

private:
    void* ptr(int field) const { return m_def->field(field).member(m_rec); }
    const FileDef* m_def;
    void* m_rec;
};

/// A record of any file, owned; used where the file is chosen at run time.
class AnyRecord
{
public:
    explicit AnyRecord(FileId id);
    ~AnyRecord();
    AnyRecord(const AnyRecord& other);
    AnyRecord& operator=(const AnyRecord& other);

    FileId fileId() const { return m_id; }
    RecordRef ref() const { return RecordRef(fileDef(m_id), m_rec); }
    template <class T>
    T& as() const
    {
        Q_ASSERT(&T::def() == &fileDef(m_id));
        return *static_cast<T*>(m_rec);
    }

private:
    FileId m_id;
    void* m_rec;
};

} // namespace vetcert
