// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <vector>

namespace vetcert {

class Context;
struct Issuers;

/// The current issuer lines Z1 … Z6, 48 characters each at most.
struct IssuerLines
{
    static constexpr int kWidth = 48;
    std::array<QString, 6> z;

    /// Z1 … Z4 with placeholder texts that plainly ask to be replaced; Z5 and Z6 blank.
    static IssuerLines defaults();
    /// The six lines of a stored set, each cut to 48 characters.
    static IssuerLines fromSet(const Issuers& set);
};

/// Every stored issuer-line set, in stored order.
std::vector<Issuers> issuerSets(Context& ctx);
/// The lines of the last stored set, or the defaults when there is none (or the file cannot be read).
IssuerLines loadIssuerLines(Context& ctx);

} // namespace vetcert
