// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fixedtext.h"

namespace vetcert {

namespace {
int trimmedSize(const char* d, int n)
{
    while (n > 0 && d[n - 1] == ' ')
        --n;
    return n;
}
} // namespace

QString TextSpan::toString() const { return cp1251::decode(data, trimmedSize(data, size)); }

QByteArray TextSpan::trimmedBytes() const { return QByteArray(data, trimmedSize(data, size)); }

bool TextSpan::isBlank() const { return trimmedSize(data, size) == 0; }

TextError TextSpan::set(QStringView text, qsizetype* where) const
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x20 || text[i].unicode() == 0x7F) {
            if (where)
                *where = i;
            return TextError::ControlCharacter;
        }
    }
    QByteArray bytes;
    const qsizetype bad = cp1251::encode(text, &bytes);
    if (bad >= 0) {
        if (where)
            *where = bad;
        return TextError::NotInCodePage;
    }
    if (trimmedSize(bytes.constData(), static_cast<int>(bytes.size())) > size) {
        if (where)
            *where = size;
        return TextError::TooWide;
    }
    setBytes(bytes.constData(), bytes.size());
    return TextError::None;
}

void TextSpan::setCut(QStringView text) const
{
    const QByteArray bytes = cp1251::encodeLossy(text.left(size));
    setBytes(bytes.constData(), bytes.size());
}

void TextSpan::setBytes(const char* bytes, qsizetype n) const
{
    const int k = static_cast<int>(std::min<qsizetype>(n, size));
    std::memmove(data, bytes, static_cast<size_t>(k));
    std::memset(data + k, ' ', static_cast<size_t>(size - k));
}

} // namespace vetcert
