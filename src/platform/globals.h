// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/date.h"
#include "core/decimal.h"
#include "core/fixedtext.h"

#include <QString>
#include <QtGlobal>

namespace vetcert {

/// The certificate form's buffer that carries texts from one certificate to the next.
struct CertificateBuffer
{
    Decimal DAY{3, 0};
    Text<8> MES;
    Decimal GOD{3, 0};
    Text<91> S2, S7, S8, S9, S10, S11, S121, S13, S141, S151, S17, S18, S19;
    Text<36> P1, P2, P3, P4;
};

/// The values that windows hand to one another for the whole run of the program. One instance,
/// owned by the GUI thread and passed by reference to the windows; a worker takes a copy of what it
/// reads when it starts. Nothing here is stored in a file.
struct Globals
{
    static constexpr int kIssuerWidth = 48;

    /// Issuer lines: built-in defaults until the frame loads the stored sets.
    Text<kIssuerWidth> Z1, Z2, Z3, Z4, Z5, Z6;
    /// Tooltips: 1 on, 0 off.
    quint8 SORT = 1;
    /// Number of the certificate selected in the register.
    Decimal NFORM{9, 0};
    /// Page shift of the printed certificate, millimetres.
    Decimal AX{5, 1};
    Decimal AY{5, 1};
    CertificateBuffer certificate;
    /// Character counters of the certificate form.
    Decimal KOL_SIM{3, 0};
    Decimal VS_SIM{3, 0};
    /// Record counts shown by the register window.
    Decimal KOL_FORM{9, 0};
    Decimal KOL_AGENT{9, 0};
    Date DATATEC;
    bool FUZZYMATCHED = false;
    /// Filter of the register's current query (GLO:REPORTQUERYRESULT).
    Text<1024> REPORTQUERYRESULT;
    Text<60> ZAPROS;
    /// Period of the period report.
    Date D1;
    Date D2;
    /// Never set; printed in the period report's header.
    Text<9> COMMENT;
    /// The font chooser's last answer in the layout editor.
    Text<31> TYPEFACE;
    qint32 FONTSIZE = 0;
    qint32 FONTCOLOR = 0;
    qint32 FONTSTYLE = 0;
    qint32 CHARSET = 0;
    /// The application-wide current help topic (at most 256 characters); blank opens the contents.
    QString helpTopic;

    Globals();

    /// Z1 … Z6 by index 0 … 5.
    Text<kIssuerWidth>& issuerLine(int i);
    const Text<kIssuerWidth>& issuerLine(int i) const;
};

} // namespace vetcert
