// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/globals.h"

#include "data/issuers.h"

#include <array>

namespace vetcert {

Globals::Globals()
{
    const IssuerLines defaults = IssuerLines::defaults();
    for (int i = 0; i < 6; ++i)
        issuerLine(i).setCut(defaults.z[static_cast<size_t>(i)]);
}

Text<Globals::kIssuerWidth>& Globals::issuerLine(int i)
{
    const std::array<Text<kIssuerWidth>*, 6> lines{&Z1, &Z2, &Z3, &Z4, &Z5, &Z6};
    return *lines.at(static_cast<size_t>(i));
}

const Text<Globals::kIssuerWidth>& Globals::issuerLine(int i) const
{
    return const_cast<Globals*>(this)->issuerLine(i);
}

} // namespace vetcert
