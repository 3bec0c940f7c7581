// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

namespace vetcert {

/// The options of the one text matcher the whole program shares, set once at start-up.
struct FuzzyOptions
{
    bool ignoreCase = true;
    bool wholeWordsOnly = false;
};

namespace detail {
inline std::atomic<bool> fuzzyIgnoreCase{true};
inline std::atomic<bool> fuzzyWholeWordsOnly{false};
} // namespace detail

inline void setFuzzyOptions(FuzzyOptions o)
{
    detail::fuzzyIgnoreCase = o.ignoreCase;
    detail::fuzzyWholeWordsOnly = o.wholeWordsOnly;
}

inline FuzzyOptions fuzzyOptions() { return {detail::fuzzyIgnoreCase.load(), detail::fuzzyWholeWordsOnly.load()}; }

} // namespace vetcert
