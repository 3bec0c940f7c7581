// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/csv.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace vetcert::csv {

bool Reader::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        m_buf.remove(0, m_pos);
        m_pos = 0;
    }
    const QByteArray more = m_device->read(1 << 16);
    if (more.isEmpty()) {
        m_eof = true;
        return false;
    }
    m_buf += more;
    return true;
}

bool Reader::next(QStringList* fields)
{
    fields->clear();
    m_error.clear();
    if (m_pos >= m_buf.size() && !fill())
        return false;
    if (m_line == 1 && m_pos == 0 && m_buf.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;  // byte-order mark
    m_recordLine = m_line;
    QByteArray field;
    bool quoted = false, inQuotes = false, afterQuote = false;
    auto finishField = [&] {
        const QString s = QString::fromUtf8(field);
        fields->append(s);
        field.clear();
        quoted = inQuotes = afterQuote = false;
    };
    for (;;) {
        if (m_pos >= m_buf.size() && !fill()) {
            if (inQuotes) {
                m_error = u"кавычка, открытая в строке %1, не закрыта до конца файла"_s.arg(m_recordLine);
                return false;
            }
            finishField();
            return true;
        }
        const char c = m_buf[m_pos++];
        if (inQuotes) {
            if (c == '"') {
                if (m_pos >= m_buf.size())
                    fill();
                if (m_pos < m_buf.size() && m_buf[m_pos] == '"') {
                    field += '"';
                    ++m_pos;
                } else {
                    inQuotes = false;
                    afterQuote = true;
                }
            } else {
                if (c == '\n')
                    ++m_line;
                field += c;
            }
            continue;
        }
        if (c == ',') {
            finishField();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r') {
                if (m_pos >= m_buf.size())
                    fill();
                if (m_pos < m_buf.size() && m_buf[m_pos] == '\n')
                    ++m_pos;
            }
            ++m_line;
            finishField();
            return true;
        } else if (c == '"' && field.isEmpty() && !quoted && !afterQuote) {
            inQuotes = quoted = true;
        } else if (afterQuote) {
            m_error = u"после закрывающей кавычки стоит «%1»"_s.arg(QChar::fromLatin1(c));
            return false;
        } else {
            field += c;
        }
    }
}

QString quote(const QString& field)
{
    const bool needs = field.contains(u',') || field.contains(u'"') || field.contains(u'\n') || field.contains(u'\r') ||
                       field.startsWith(u' ') || field.endsWith(u' ');
    if (!needs)
        return field;
    return u'"' + QString(field).replace(u"\""_s, u"\"\""_s) + u'"';
}

QString joinRecord(const QStringList& fields)
{
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out += u',';
        out += quote(fields[i]);
    }
    return out;
}

} // namespace vetcert::csv
