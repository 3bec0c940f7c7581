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
    const qsizetype have = m_buf.size();
    m_buf.resize(have + (1 << 16));
    const qint64 got = m_device->read(m_buf.data() + have, 1 << 16);
    m_buf.resize(have + std::max<qint64>(got, 0));
    if (got < 0)
        m_readError = u"ошибка чтения файла: %1"_s.arg(m_device->errorString());
    if (got <= 0) {
        m_eof = true;
        return false;
    }
    return true;
}

bool Reader::next(QStringList* fields)
{
    fields->clear();
    m_error = m_readError;
    if (!m_error.isEmpty())
        return false;
    if (m_pos >= m_buf.size() && !fill()) {
        m_error = m_readError;
        return false;
    }
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
            if (!m_readError.isEmpty()) {
                m_error = m_readError;  // a record cut short by a failed read is not taken
                return false;
            }
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
