// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

namespace vetcert::csv {

/// Reads RFC 4180 records (comma-separated, double quotes, "" for a quote inside, CRLF or LF)
/// from UTF-8 text, one record at a time, telling the line on which each record starts.
class Reader
{
public:
    explicit Reader(QIODevice* device) : m_device(device) {}

    /// Reads the next record; false at the end or on an error (error() tells which).
    bool next(QStringList* fields);
    int line() const { return m_recordLine; }
    const QString& error() const { return m_error; }

private:
    bool fill();
    QIODevice* m_device;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_recordLine = 0;
    bool m_eof = false;
    QString m_error;
    QString m_readError;  // kept: every later call fails the same way
};

/// One field as CSV: quoted when it holds a comma, a quote, a line break or leading or trailing blanks.
QString quote(const QString& field);
QString joinRecord(const QStringList& fields);

} // namespace vetcert::csv
