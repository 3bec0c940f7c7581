// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/records.h"

#include <QString>
#include <span>
#include <vector>

namespace vetcert {

enum class FileId { Forma3, Licenziy, Kagent, Last, Issuers };
inline constexpr FileId kAllFiles[] = {FileId::Forma3, FileId::Licenziy, FileId::Kagent, FileId::Last,
                                       FileId::Issuers};

enum class FieldType { Text, Decimal, Date, Long };

/// One field of a record layout.
struct FieldDef
{
    QString name;       ///< without prefix, upper case: "NFORM"
    QString fullName;   ///< with prefix: "FR3:NFORM"
    FieldType type;
    int bytes;          ///< width in the record
    int places;         ///< decimal places (Decimal only)
    int offset;         ///< byte offset in the record, derived from the widths before it
    void* (*member)(void* record);

    int digits() const { return type == FieldType::Decimal ? Decimal::digitsForBytes(bytes) : 0; }
    /// SQL column of the field: its name in lower case.
    QString column() const { return name.toLower(); }
};

/// A key: one component, ascending; duplicates allowed; text ignores letter case; blank values have no entry.
struct KeyDef
{
    QString name;         ///< with prefix: "FR3:K4"
    QString displayName;  ///< used when a message names the key
    int number;           ///< the order in which the file declares its keys
    int field;            ///< index of the component in the file's fields
    /// SQL column holding the folded key value (NULL for a blank value).
    QString column() const { return QStringLiteral("key_") + name.mid(name.indexOf(u':') + 1).toLower(); }
};

/// A data file's layout: fields, keys, names.
struct FileDef
{
    FileId id;
    QString name;          ///< "FORMA3"
    QString prefix;        ///< "FR3"
    QString storedName;    ///< "FORMA3" or "LAST.DAT"
    QString messageName;   ///< "forma3": the file's name in messages
    std::vector<FieldDef> fields;
    std::vector<KeyDef> keys;  ///< in declaration order
    int recordSize = 0;        ///< sum of the field widths

    /// The file on disk: the stored name, with ".DAT" when it has no extension.
    QString fileName() const;
    /// SQL table of the file: its name in lower case.
    QString table() const { return name.toLower(); }
    /// Schema name under which the file is attached in its group's connection.
    QString schema() const { return name.toLower(); }
    /// Field index by full name ("FR3:NFORM") or bare name ("NFORM"), letter case ignored; -1 when unknown.
    int fieldIndex(QStringView name) const;
    /// Key index by name ("FR3:K4"), letter case ignored; -1 when unknown.
    int keyIndex(QStringView name) const;
    const FieldDef& field(int i) const { return fields[static_cast<size_t>(i)]; }
};

const FileDef& fileDef(FileId id);
/// File by name ("FORMA3", letter case ignored) or by prefix ("FR3"); nullptr when unknown.
const FileDef* fileDefByName(QStringView name);

enum class RelationRule { None, Cascade, Restrict };

/// A one-to-many relation between two data files.
struct RelationDef
{
    QString name;
    FileId parent;
    int parentField;
    FileId child;
    int childField;
    int childKey;
    RelationRule onChange;
    RelationRule onDelete;
};

/// R1 (LICENZIY → FORMA3) and R2 (KAGENT → FORMA3).
std::span<const RelationDef> relations();

} // namespace vetcert
