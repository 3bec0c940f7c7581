// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fuzzymatcher.h"

#include "core/cp1251.h"

#include <QChar>
#include <algorithm>
#include <cstring>

namespace vetcert {

namespace {

// Letters and digits of Windows-1251: what words are made of.
const std::array<bool, 256>& wordBytes()
{
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[static_cast<size_t>(b)] = QChar(cp1251::decodeChar(static_cast<unsigned char>(b))).isLetterOrNumber();
        return t;
    }();
    return table;
}

// Converts and maps a text into a buffer on the stack when it is short.
class MappedText
{
public:
    MappedText(qsizetype capacity) : m_heap(capacity > kStack ? static_cast<size_t>(capacity) : 0) {}
    unsigned char* data() { return m_heap.empty() ? m_stack : m_heap.data(); }

private:
    static constexpr qsizetype kStack = 1024;
    unsigned char m_stack[kStack];
    std::vector<unsigned char> m_heap;
};

} // namespace

FuzzyMatcher::FuzzyMatcher(QStringView query) : FuzzyMatcher(query, fuzzyOptions()) {}

FuzzyMatcher::FuzzyMatcher(QStringView query, FuzzyOptions options) : m_options(options)
{
    for (int b = 0; b < 256; ++b) {
        const auto u = static_cast<unsigned char>(b);
        m_map[static_cast<size_t>(b)] = options.ignoreCase ? cp1251::fold(u) : u;
    }
    const QByteArray bytes = cp1251::encodeLossy(query);
    const auto& isWord = wordBytes();
    qsizetype i = 0;
    while (i < bytes.size()) {
        while (i < bytes.size() && !isWord[static_cast<unsigned char>(bytes[i])])
            ++i;
        const qsizetype start = i;
        while (i < bytes.size() && isWord[static_cast<unsigned char>(bytes[i])])
            ++i;
        if (i == start)
            break;
        Word w;
        const qsizetype n = std::min<qsizetype>(i - start, kMaxWord);
        for (qsizetype k = 0; k < n; ++k)
            w.bytes.push_back(m_map[static_cast<unsigned char>(bytes[start + k])]);
        w.peq.fill(0);
        for (size_t k = 0; k < w.bytes.size(); ++k)
            w.peq[w.bytes[k]] |= quint64(1) << k;
        m_letters += static_cast<int>(w.bytes.size());
        m_words.push_back(std::move(w));
    }
}

int FuzzyMatcher::score(QStringView text) const
{
    const QByteArray b = cp1251::encodeLossy(text);
    return scoreCp1251(b.constData(), b.size());
}

int FuzzyMatcher::scoreUtf8(const char* text, qsizetype size) const
{
    if (m_words.empty())
        return 0;
    MappedText buf(size);
    unsigned char* out = buf.data();
    const qsizetype n = cp1251::fromUtf8(text, size, reinterpret_cast<char*>(out), size);
    for (qsizetype i = 0; i < n; ++i)
        out[i] = m_map[out[i]];
    return scoreMapped(out, n);
}

int FuzzyMatcher::scoreCp1251(const char* text, qsizetype size) const
{
    if (m_words.empty())
        return 0;
    MappedText buf(size);
    unsigned char* out = buf.data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = m_map[static_cast<unsigned char>(text[i])];
    return scoreMapped(out, size);
}

int FuzzyMatcher::scoreMapped(const unsigned char* text, qsizetype size) const
{
    int found = 0;
    for (const Word& w : m_words) {
        const int m = static_cast<int>(w.bytes.size());
        found += std::max(0, m - bestDistance(w, text, size));
    }
    return found * 100 / m_letters;
}

namespace {

// One column of Myers' bit-parallel edit distance. `carry` is the top row's step: 0 lets a match
// start anywhere in the text, 1 counts every text character before the match as an edit.
struct MyersColumn
{
    quint64 pv = ~quint64(0);
    quint64 mv = 0;
    int dist;

    explicit MyersColumn(int m) : dist(m) {}

    template <quint64 carry>
    void step(quint64 eq, quint64 high)
    {
        const quint64 xv = eq | mv;
        const quint64 xh = (((eq & pv) + pv) ^ pv) | eq;
        quint64 ph = mv | ~(xh | pv);
        quint64 mh = pv & xh;
        if (ph & high)
            ++dist;
        else if (mh & high)
            --dist;
        ph = (ph << 1) | carry;
        mh <<= 1;
        pv = mh | ~(xv | ph);
        mv = ph & xv;
    }
};

} // namespace

// Fewest edits that turn the word into some part of the text (or, with whole words only, into a
// whole word of the text): Myers' bit-parallel edit distance, one machine word per query word.
int FuzzyMatcher::bestDistance(const Word& w, const unsigned char* text, qsizetype size) const
{
    const int m = static_cast<int>(w.bytes.size());
    const quint64 high = quint64(1) << (m - 1);
    const auto& isWord = wordBytes();

    if (!m_options.wholeWordsOnly) {
        if (std::search(text, text + size, w.bytes.begin(), w.bytes.end()) != text + size)
            return 0;
        // Semi-global: the match may start anywhere, so the top row stays 0 (no carry into bit 0).
        MyersColumn col(m);
        int best = m;
        for (qsizetype j = 0; j < size; ++j) {
            col.step<0>(w.peq[text[j]], high);
            best = std::min(best, col.dist);
        }
        return best;
    }

    // Whole words only: the edit distance to each word of the text, the top row counting up.
    int best = m;
    qsizetype i = 0;
    while (i < size && best > 0) {
        while (i < size && !isWord[text[i]])
            ++i;
        const qsizetype start = i;
        while (i < size && isWord[text[i]])
            ++i;
        if (i == start)
            break;
        MyersColumn col(m);
        for (qsizetype j = start; j < i; ++j)
            col.step<1>(w.peq[text[j]], high);
        best = std::min(best, col.dist);
    }
    return best;
}

int fuzzyMatch(QStringView query, QStringView text)
{
    return FuzzyMatcher(query).score(text);
}

} // namespace vetcert
