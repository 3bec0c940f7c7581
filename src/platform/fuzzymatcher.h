// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/fuzzyoptions.h"

#include <QString>
#include <array>
#include <vector>

namespace vetcert {

/// The program's fuzzy text matcher: how well a text answers a query, from 0 to 100.
///
/// Scoring: the query is split into words (runs of letters and digits). Each word of m letters is
/// looked up anywhere in the text (with "whole words only": against each word of the text) allowing
/// edits; found with k insertions, deletions or substitutions at best, it counts m − k letters (at
/// least 0). The score is the share of the query's letters that count, in percent, rounded down:
/// 100 only when every word is found exactly, 0 for a query without words.
class FuzzyMatcher
{
public:
    /// Prepares the query with the options in force for the whole program (fuzzyOptions()).
    explicit FuzzyMatcher(QStringView query);
    FuzzyMatcher(QStringView query, FuzzyOptions options);

    /// Score of a text.
    int score(QStringView text) const;
    /// Score of a text given as UTF-8 (as SQLite hands it over).
    int scoreUtf8(const char* text, qsizetype size) const;
    /// Score of a text given as Windows-1251 bytes.
    int scoreCp1251(const char* text, qsizetype size) const;

    /// True when the query holds no word.
    bool isEmpty() const { return m_words.empty(); }
    FuzzyOptions options() const { return m_options; }

    /// Longest word the matcher looks at; longer query words are cut to it.
    static constexpr int kMaxWord = 64;

private:
    struct Word
    {
        std::vector<unsigned char> bytes; // mapped as the options say
        std::array<quint64, 256> peq;     // bit i set where bytes[i] is the byte
    };
    int scoreMapped(const unsigned char* text, qsizetype size) const;
    int bestDistance(const Word& w, const unsigned char* text, qsizetype size) const;

    FuzzyOptions m_options;
    std::array<unsigned char, 256> m_map{}; // byte → byte compared (upper case when letter case is ignored)
    std::vector<Word> m_words;
    int m_letters = 0;
};

/// Score of `text` for `query` with the program's options.
int fuzzyMatch(QStringView query, QStringView text);

} // namespace vetcert
