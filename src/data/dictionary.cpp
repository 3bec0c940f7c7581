// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dictionary.h"

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {

#define VETCERT_TYPE_TEXT FieldType::Text
#define VETCERT_TYPE_DEC FieldType::Decimal
#define VETCERT_TYPE_DATE FieldType::Date
#define VETCERT_TYPE_LONG FieldType::Long
#define VETCERT_FIELDDEF(name, kind, bytes, places)                                                                    \
    fields.push_back(FieldDef{QStringLiteral(#name), {}, VETCERT_TYPE_##kind, bytes, places, 0,                        \
                              [](void* r) -> void* { return &static_cast<Rec*>(r)->name; }});

template <class Rec>
FileDef makeFile(FileId id, const char16_t* name, const char16_t* prefix, const char16_t* storedName,
                 const char16_t* messageName, std::vector<FieldDef> fields,
                 std::initializer_list<std::pair<const char16_t*, std::pair<const char16_t*, const char16_t*>>> keys)
{
    FileDef f{id, QString::fromUtf16(name), QString::fromUtf16(prefix), QString::fromUtf16(storedName),
              QString::fromUtf16(messageName), std::move(fields), {}, 0};
    for (FieldDef& fd : f.fields) {
        fd.fullName = f.prefix + u':' + fd.name;
        fd.offset = f.recordSize;
        f.recordSize += fd.bytes;
    }
    int number = 0;
    for (const auto& [keyName, comp] : keys) {
        KeyDef k{QString::fromUtf16(keyName), QString::fromUtf16(comp.second), ++number, -1};
        k.field = f.fieldIndex(QString::fromUtf16(comp.first));
        Q_ASSERT(k.field >= 0);
        f.keys.push_back(k);
    }
    return f;
}

struct Dictionary
{
    FileDef files[5];
    std::vector<RelationDef> rels;

    Dictionary()
        : files{forma3(), licenziy(), kagent(), last(), issuers()}
    {
        const FileDef& fr3 = files[0];
        const FileDef& lic = files[1];
        const FileDef& kag = files[2];
        rels.push_back({u"R1"_s, FileId::Licenziy, lic.fieldIndex(u"NLIC"), FileId::Forma3, fr3.fieldIndex(u"NLIC"),
                        fr3.keyIndex(u"FR3:K1"), RelationRule::None, RelationRule::None});
        rels.push_back({u"R2"_s, FileId::Kagent, kag.fieldIndex(u"NAME"), FileId::Forma3, fr3.fieldIndex(u"S2"),
                        fr3.keyIndex(u"FR3:K4"), RelationRule::Cascade, RelationRule::Restrict});
    }

    static FileDef forma3()
    {
        using Rec = Forma3;
        std::vector<FieldDef> fields;
        VETCERT_FORMA3_FIELDS(VETCERT_FIELDDEF)
        return makeFile<Rec>(FileId::Forma3, u"FORMA3", u"FR3", u"FORMA3", u"forma3", std::move(fields),
                             {{u"FR3:K1", {u"NLIC", u"По № разрешения"}},
                              {u"FR3:K4", {u"S2", u"По контрагенту"}},
                              {u"FR3:K2", {u"NFORM", u"По номеру свидетельства"}},
                              {u"FR3:K3", {u"DATAV", u"По дате выдачи"}}});
    }
    static FileDef licenziy()
    {
        using Rec = Licenziy;
        std::vector<FieldDef> fields;
        VETCERT_LICENZIY_FIELDS(VETCERT_FIELDDEF)
        return makeFile<Rec>(FileId::Licenziy, u"LICENZIY", u"LIC", u"LICENZIY", u"licenziy", std::move(fields),
                             {{u"LIC:K1", {u"NLIC", u"По № разрешения"}}});
    }
    static FileDef kagent()
    {
        using Rec = Kagent;
        std::vector<FieldDef> fields;
        VETCERT_KAGENT_FIELDS(VETCERT_FIELDDEF)
        return makeFile<Rec>(FileId::Kagent, u"KAGENT", u"KAG", u"KAGENT", u"kagent", std::move(fields),
                             {{u"KAG:K1", {u"ID", u"kag:k1"}}, {u"KAG:K2", {u"NAME", u"kag:k2"}}});
    }
    static FileDef last()
    {
        using Rec = Last;
        std::vector<FieldDef> fields;
        VETCERT_LAST_FIELDS(VETCERT_FIELDDEF)
        return makeFile<Rec>(FileId::Last, u"LAST", u"LAS", u"LAST.DAT", u"LAST.DAT", std::move(fields),
                             {{u"LAS:K1", {u"NFORM", u"LAS:k1"}}});
    }
    static FileDef issuers()
    {
        using Rec = Issuers;
        std::vector<FieldDef> fields;
        VETCERT_ISSUERS_FIELDS(VETCERT_FIELDDEF)
        return makeFile<Rec>(FileId::Issuers, u"ISSUERS", u"ISS", u"ISSUERS", u"issuers", std::move(fields), {});
    }
};

const Dictionary& dictionary()
{
    static const Dictionary d;
    return d;
}

} // namespace

QString FileDef::fileName() const { return storedName.contains(u'.') ? storedName : storedName + u".DAT"_s; }

int FileDef::fieldIndex(QStringView n) const
{
    const qsizetype colon = n.indexOf(u':');
    if (colon >= 0) {
        if (n.left(colon).compare(prefix, Qt::CaseInsensitive) != 0)
            return -1;
        n = n.mid(colon + 1);
    }
    for (size_t i = 0; i < fields.size(); ++i)
        if (n.compare(fields[i].name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int FileDef::keyIndex(QStringView n) const
{
    for (size_t i = 0; i < keys.size(); ++i)
        if (n.compare(keys[i].name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

const FileDef& fileDef(FileId id) { return dictionary().files[static_cast<int>(id)]; }

const FileDef* fileDefByName(QStringView name)
{
    for (const FileDef& f : dictionary().files)
        if (name.compare(f.name, Qt::CaseInsensitive) == 0 || name.compare(f.prefix, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

std::span<const RelationDef> relations() { return dictionary().rels; }

const FileDef& Forma3::def() { return fileDef(FileId::Forma3); }
const FileDef& Licenziy::def() { return fileDef(FileId::Licenziy); }
const FileDef& Kagent::def() { return fileDef(FileId::Kagent); }
const FileDef& Last::def() { return fileDef(FileId::Last); }
const FileDef& Issuers::def() { return fileDef(FileId::Issuers); }

} // namespace vetcert
