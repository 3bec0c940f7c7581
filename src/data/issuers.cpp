// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/issuers.h"

#include "data/store.h"

using namespace Qt::StringLiterals;

namespace vetcert {

IssuerLines IssuerLines::defaults()
{
    IssuerLines l;
    l.z[0] = u"[субъект Российской Федерации]"_s;
    l.z[1] = u"[район, город]"_s;
    l.z[2] = u"[наименование организации Госветслужбы]"_s;
    l.z[3] = u"[четвёртая строка учреждения]"_s;
    return l;
}

IssuerLines IssuerLines::fromSet(const Issuers& set)
{
    IssuerLines l;
    const Text<64>* lines[] = {&set.Z1, &set.Z2, &set.Z3, &set.Z4, &set.Z5, &set.Z6};
    for (int i = 0; i < 6; ++i) {
        Text<kWidth> cut;
        cut.assign(*lines[i]);
        l.z[static_cast<size_t>(i)] = cut.toString();
    }
    return l;
}

std::vector<Issuers> issuerSets(Context& ctx)
{
    std::vector<Issuers> sets;
    if (!ctx.openGroup(FileId::Issuers))
        return sets;
    DataFile& f = ctx.file(FileId::Issuers);
    if (f.setOrderStart(kStoredOrder) == Status::Ok)
        while (f.next() == Status::Ok)
            sets.push_back(f.record<Issuers>());
    ctx.closeGroup(FileId::Issuers);
    return sets;
}

IssuerLines loadIssuerLines(Context& ctx)
{
    if (!ctx.openGroup(FileId::Issuers))
        return IssuerLines::defaults();
    DataFile& f = ctx.file(FileId::Issuers);
    IssuerLines lines = IssuerLines::defaults();
    if (f.setOrderEnd(kStoredOrder) == Status::Ok && f.previous() == Status::Ok)
        lines = IssuerLines::fromSet(f.record<Issuers>());
    ctx.closeGroup(FileId::Issuers);
    return lines;
}

} // namespace vetcert
