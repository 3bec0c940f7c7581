// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cp1251.h"

#include <array>

namespace vetcert::cp1251 {

namespace {

// Unicode of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

struct Tables
{
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> fold{};
    Tables()
    {
        for (int b = 0; b < 256; ++b) {
            const char16_t u = QChar(decodeChar(static_cast<unsigned char>(b))).toUpper().unicode();
            const int e = encodeChar(u);
            upper[b] = static_cast<unsigned char>(e < 0 ? b : e);
        }
        fold = upper;
        fold[0xA8] = 0xC5; // Ё → Е
        fold[0xB8] = 0xC5; // ё → Е
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

} // namespace

char16_t decodeChar(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return static_cast<char16_t>(0x0410 + (b - 0xC0));
    return kHigh[b - 0x80];
}

int encodeChar(char16_t c)
{
    if (c < 0x80)
        return c;
    if (c >= 0x0410 && c <= 0x044F)
        return 0xC0 + (c - 0x0410);
    if (c == 0xFFFD)
        return -1;
    for (int i = 0; i < 64; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

qsizetype encode(QStringView text, QByteArray* out)
{
    out->resize(text.size());
    char* d = out->data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int e = encodeChar(text[i].unicode());
        if (e < 0) {
            out->clear();
            return i;
        }
        d[i] = static_cast<char>(e);
    }
    return -1;
}

QByteArray encodeLossy(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int e = encodeChar(text[i].unicode());
        out[i] = static_cast<char>(e < 0 ? '?' : e);
    }
    return out;
}

QString decode(const char* bytes, qsizetype size)
{
    QString s(size, Qt::Uninitialized);
    QChar* d = s.data();
    for (qsizetype i = 0; i < size; ++i)
        d[i] = QChar(decodeChar(static_cast<unsigned char>(bytes[i])));
    return s;
}

unsigned char upper(unsigned char b) { return tables().upper[b]; }
unsigned char fold(unsigned char b) { return tables().fold[b]; }

} // namespace vetcert::cp1251

namespace vetcert::cp1251 {

QByteArray toUtf8(const char* bytes, qsizetype size)
{
    QByteArray out(size * 3, Qt::Uninitialized);
    char* d = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            *d++ = static_cast<char>(b);
            continue;
        }
        const char16_t c = decodeChar(b);
        if (c < 0x800) {
            *d++ = static_cast<char>(0xC0 | (c >> 6));
        } else {
            *d++ = static_cast<char>(0xE0 | (c >> 12));
            *d++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *d++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    out.truncate(d - out.data());
    return out;
}

qsizetype fromUtf8(const char* utf8, qsizetype size, char* out, qsizetype max)
{
    qsizetype n = 0;
    qsizetype i = 0;
    while (i < size && n < max) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int len;
        if (b < 0x80) {
            out[n++] = static_cast<char>(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            len = 4;
        } else {
            out[n++] = '?';
            ++i;
            continue;
        }
        if (i + len > size) {
            out[n++] = '?';
            break;
        }
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += len;
        const int e = cp < 0x10000 ? encodeChar(static_cast<char16_t>(cp)) : -1;
        out[n++] = static_cast<char>(e < 0 ? '?' : e);
    }
    return n;
}

} // namespace vetcert::cp1251
