// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/record.h"

using namespace Qt::StringLiterals;

namespace vetcert {

bool RecordRef::isBlank(int field) const
{
    switch (m_def->field(field).type) {
    case FieldType::Text:
        return text(field).isBlank();
    case FieldType::Decimal:
        return decimal(field).isZero();
    case FieldType::Date:
        return date(field).isNull();
    case FieldType::Long:
        return longValue(field) == 0;
    }
    return true;
}

void RecordRef::clear() const
{
    for (int i = 0; i < static_cast<int>(m_def->fields.size()); ++i) {
        switch (m_def->field(i).type) {
        case FieldType::Text:
            text(i).clear();
            break;
        case FieldType::Decimal:
            decimal(i).setScaled(0);
            break;
        case FieldType::Date:
            date(i) = Date();
            break;
        case FieldType::Long:
            longValue(i) = 0;
            break;
        }
    }
}

QString RecordRef::displayText(int field) const
{
    switch (m_def->field(field).type) {
    case FieldType::Text:
        return text(field).toString();
    case FieldType::Decimal:
        return decimal(field).toString();
    case FieldType::Date:
        return date(field).toString();
    case FieldType::Long:
        return QString::number(longValue(field));
    }
    return {};
}

QString RecordRef::setFromText(int field, QStringView value) const
{
    const FieldDef& f = m_def->field(field);
    switch (f.type) {
    case FieldType::Text: {
        qsizetype where = 0;
        switch (this->text(field).set(value, &where)) {
        case TextError::None:
            return {};
        case TextError::TooWide:
            return u"текст длиннее поля: %1 символов при ширине %2"_s.arg(value.size()).arg(f.bytes);
        case TextError::NotInCodePage:
            return u"символ «%1» (U+%2, позиция %3) не представим в кодировке Windows-1251"_s.arg(value.mid(where, 1).toString())
                .arg(value[where].unicode(), 4, 16, QChar(u'0'))
                .arg(where + 1);
        case TextError::ControlCharacter:
            return u"управляющий символ U+%1 в позиции %2"_s.arg(value[where].unicode(), 4, 16, QChar(u'0')).arg(where + 1);
        }
        return {};
    }
    case FieldType::Decimal: {
        if (value.trimmed().isEmpty()) {
            decimal(field).setScaled(0);
            return {};
        }
        Decimal d(f.digits(), f.places);
        switch (d.parse(value)) {
        case Decimal::ParseError::None:
            decimal(field) = d;
            return {};
        case Decimal::ParseError::NotANumber:
            return u"не число: «%1»"_s.arg(value.toString());
        case Decimal::ParseError::TooManyDigits:
            return u"число «%1» не помещается в поле: не более %2 цифр до точки"_s.arg(value.toString()).arg(f.digits() - f.places);
        case Decimal::ParseError::TooManyPlaces:
            return u"в числе «%1» больше знаков после точки, чем %2"_s.arg(value.toString()).arg(f.places);
        }
        return {};
    }
    case FieldType::Date: {
        const auto d = Date::parse(value);
        if (!d)
            return u"не дата в виде дд.мм.гггг от 01.01.1801 до 31.12.9999: «%1»"_s.arg(value.toString());
        date(field) = *d;
        return {};
    }
    case FieldType::Long: {
        if (value.trimmed().isEmpty()) {
            longValue(field) = 0;
            return {};
        }
        bool ok = false;
        const qint32 v = value.trimmed().toInt(&ok);
        if (!ok)
            return u"не целое число от -2147483648 до 2147483647: «%1»"_s.arg(value.toString());
        longValue(field) = v;
        return {};
    }
    }
    return {};
}

namespace {
void* newRecord(FileId id)
{
    switch (id) {
    case FileId::Forma3:
        return new Forma3;
    case FileId::Licenziy:
        return new Licenziy;
    case FileId::Kagent:
        return new Kagent;
    case FileId::Last:
        return new Last;
    case FileId::Issuers:
        return new Issuers;
    }
    return nullptr;
}

void copyRecord(FileId id, void* to, const void* from)
{
    switch (id) {
    case FileId::Forma3:
        *static_cast<Forma3*>(to) = *static_cast<const Forma3*>(from);
        break;
    case FileId::Licenziy:
        *static_cast<Licenziy*>(to) = *static_cast<const Licenziy*>(from);
        break;
    case FileId::Kagent:
        *static_cast<Kagent*>(to) = *static_cast<const Kagent*>(from);
        break;
    case FileId::Last:
        *static_cast<Last*>(to) = *static_cast<const Last*>(from);
        break;
    case FileId::Issuers:
        *static_cast<Issuers*>(to) = *static_cast<const Issuers*>(from);
        break;
    }
}

void deleteRecord(FileId id, void* r)
{
    switch (id) {
    case FileId::Forma3:
        delete static_cast<Forma3*>(r);
        break;
    case FileId::Licenziy:
        delete static_cast<Licenziy*>(r);
        break;
    case FileId::Kagent:
        delete static_cast<Kagent*>(r);
        break;
    case FileId::Last:
        delete static_cast<Last*>(r);
        break;
    case FileId::Issuers:
        delete static_cast<Issuers*>(r);
        break;
    }
}
} // namespace

AnyRecord::AnyRecord(FileId id) : m_id(id), m_rec(newRecord(id)) {}
AnyRecord::~AnyRecord() { deleteRecord(m_id, m_rec); }
AnyRecord::AnyRecord(const AnyRecord& other) : m_id(other.m_id), m_rec(newRecord(other.m_id))
{
    copyRecord(m_id, m_rec, other.m_rec);
}
AnyRecord& AnyRecord::operator=(const AnyRecord& other)
{
    if (this != &other) {
        if (m_id != other.m_id) {
            deleteRecord(m_id, m_rec);
            m_id = other.m_id;
            m_rec = newRecord(m_id);
        }
        copyRecord(m_id, m_rec, other.m_rec);
    }
    return *this;
}

} // namespace vetcert
