// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/cp1251.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstring>

namespace vetcert {

/// Why a text was not accepted into a fixed-width field.
enum class TextError { None, TooWide, NotInCodePage, ControlCharacter };

/// A view of a fixed-width Windows-1251 text field: `size` bytes, padded with blanks.
struct TextSpan
{
    char* data;
    int size;

    /// The text without its trailing blanks.
    QString toString() const;
    /// The Windows-1251 bytes without trailing blanks.
    QByteArray trimmedBytes() const;
    bool isBlank() const;
    void clear() const { std::memset(data, ' ', static_cast<size_t>(size)); }
    /// Puts the text in, padded with blanks; refuses (and leaves the field unchanged) a text that is
    /// wider than the field or holds a character the code page cannot hold or a control character.
    /// `where` receives the index of the offending character.
    TextError set(QStringView text, qsizetype* where = nullptr) const;
    /// Puts the text in, cutting it to the width and putting '?' for characters the code page cannot hold.
    void setCut(QStringView text) const;
    /// Copies bytes, padding with blanks or cutting to the width.
    void setBytes(const char* bytes, qsizetype n) const;
};

/// A fixed-width text field of N characters in Windows-1251, blank-padded; copying between
/// texts of different widths pads with blanks or cuts.
template <int N>
struct Text
{
    std::array<char, N> bytes;

    Text() { bytes.fill(' '); }
    explicit Text(QStringView s) { span().setCut(s); }

    static constexpr int width = N;
    TextSpan span() { return {bytes.data(), N}; }
    TextSpan span() const { return {const_cast<char*>(bytes.data()), N}; }

    QString toString() const { return span().toString(); }
    bool isBlank() const { return span().isBlank(); }
    void clear() { bytes.fill(' '); }
    TextError set(QStringView s) { return span().set(s); }
    void setCut(QStringView s) { span().setCut(s); }
    template <int M>
    void assign(const Text<M>& other)
    {
        span().setBytes(other.bytes.data(), M);
    }
    friend bool operator==(const Text& a, const Text& b) { return a.bytes == b.bytes; }
};

} // namespace vetcert
