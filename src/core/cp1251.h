// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace vetcert::cp1251 {

/// The byte of a character in Windows-1251, or -1 when the code page cannot hold it.
int encodeChar(char16_t c);
/// The character of a Windows-1251 byte (U+FFFD for the one unassigned byte 0x98).
char16_t decodeChar(unsigned char b);

/// Encodes text; returns the index of the first character Windows-1251 cannot hold, or -1 when all fit.
qsizetype encode(QStringView text, QByteArray* out);
/// Encodes text, putting '?' for characters the code page cannot hold.
QByteArray encodeLossy(QStringView text);
QString decode(const char* bytes, qsizetype size);
inline QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }

/// Upper case of a Windows-1251 byte (Russian and Latin letters, ё to Ё).
unsigned char upper(unsigned char b);
/// Key folding: upper case with Ё taken as Е, so that keys ignore letter case and sort Ё with Е.
unsigned char fold(unsigned char b);

} // namespace vetcert::cp1251

namespace vetcert::cp1251 {
/// UTF-8 of Windows-1251 bytes, without going through QString.
QByteArray toUtf8(const char* bytes, qsizetype size);
/// Windows-1251 bytes of UTF-8 text, '?' for what the code page cannot hold; at most `max` bytes written.
qsizetype fromUtf8(const char* utf8, qsizetype size, char* out, qsizetype max);
} // namespace vetcert::cp1251
