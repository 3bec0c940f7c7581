// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The record layouts of the data files. Each file's fields are listed once, in record order,
// as X(name, kind, bytes, places); the structs and the dictionary (dictionary.cpp) are both
// generated from these lists, so offsets and record sizes follow from the widths.

#include "core/date.h"
#include "core/decimal.h"
#include "core/fixedtext.h"

namespace vetcert {

#define VETCERT_LICENZIY_FIELDS(X)                                                                                     \
    X(NLIC, TEXT, 25, 0)                                                                                               \
    X(DATALIC, DATE, 4, 0)                                                                                             \
    X(KOL, DEC, 5, 0)                                                                                                  \
    X(ED, TEXT, 20, 0)

#define VETCERT_KAGENT_FIELDS(X)                                                                                       \
    X(ID, DEC, 5, 0)                                                                                                   \
    X(NAME, TEXT, 91, 0)

#define VETCERT_SIX(X, head)                                                                                           \
    X(head##1, TEXT, 10, 0) X(head##2, TEXT, 10, 0) X(head##3, TEXT, 10, 0) X(head##4, TEXT, 10, 0)                    \
        X(head##5, TEXT, 10, 0) X(head##6, TEXT, 10, 0)

#define VETCERT_FORMA3_FIELDS(X)                                                                                       \
    X(NLIC, TEXT, 25, 0)                                                                                               \
    X(NFORM, DEC, 5, 0)                                                                                                \
    X(COMMENT, TEXT, 9, 0)                                                                                             \
    X(OPIS, TEXT, 25, 0)                                                                                               \
    X(DAY, DEC, 2, 0)                                                                                                  \
    X(MES, TEXT, 8, 0)                                                                                                 \
    X(GOD, DEC, 2, 0)                                                                                                  \
    X(DATAV, DATE, 4, 0)                                                                                               \
    X(DATADST, DATE, 4, 0)                                                                                             \
    X(DAYDST, DEC, 2, 0)                                                                                               \
    X(MESDST, TEXT, 8, 0)                                                                                              \
    X(GODDST, DEC, 2, 0)                                                                                               \
    X(Z1, TEXT, 50, 0)                                                                                                 \
    X(Z2, TEXT, 50, 0)                                                                                                 \
    X(Z3, TEXT, 50, 0)                                                                                                 \
    X(Z4, TEXT, 50, 0)                                                                                                 \
    X(S1, TEXT, 17, 0)                                                                                                 \
    X(S2, TEXT, 80, 0)                                                                                                 \
    X(S3, TEXT, 81, 0)                                                                                                 \
    X(S4, TEXT, 91, 0)                                                                                                 \
    X(KOL, TEXT, 27, 0)                                                                                                \
    X(UP, TEXT, 25, 0)                                                                                                 \
    X(MK, TEXT, 25, 0)                                                                                                 \
    X(S5, TEXT, 77, 0)                                                                                                 \
    X(S6, TEXT, 34, 0)                                                                                                 \
    X(S7, TEXT, 85, 0)                                                                                                 \
    X(S8, TEXT, 85, 0)                                                                                                 \
    X(S9, TEXT, 32, 0)                                                                                                 \
    X(S10, TEXT, 85, 0)                                                                                                \
    X(S11, TEXT, 85, 0)                                                                                                \
    X(S12, TEXT, 90, 0)                                                                                                \
    X(S121, TEXT, 85, 0)                                                                                               \
    X(S13, TEXT, 85, 0)                                                                                                \
    X(S14, TEXT, 63, 0)                                                                                                \
    X(S141, TEXT, 30, 0)                                                                                               \
    X(S15, TEXT, 91, 0)                                                                                                \
    X(S151, TEXT, 85, 0)                                                                                               \
    X(S16, TEXT, 73, 0)                                                                                                \
    X(S17, TEXT, 70, 0)                                                                                                \
    X(S18, TEXT, 85, 0)                                                                                                \
    X(S19, TEXT, 85, 0)                                                                                                \
    X(S20, TEXT, 15, 0)                                                                                                \
    VETCERT_SIX(X, S20)                                                                                                \
    X(S21, TEXT, 15, 0)                                                                                                \
    VETCERT_SIX(X, S21)                                                                                                \
    X(S22, TEXT, 15, 0)                                                                                                \
    VETCERT_SIX(X, S22)                                                                                                \
    X(S23, TEXT, 15, 0)                                                                                                \
    VETCERT_SIX(X, S23)                                                                                                \
    X(S24, TEXT, 15, 0)                                                                                                \
    VETCERT_SIX(X, S24)                                                                                                \
    X(S25, TEXT, 15, 0)                                                                                                \
    VETCERT_SIX(X, S25)                                                                                                \
    X(P1, TEXT, 32, 0)                                                                                                 \
    X(P2, TEXT, 32, 0)                                                                                                 \
    X(P3, TEXT, 32, 0)                                                                                                 \
    X(P4, TEXT, 32, 0)                                                                                                 \
    X(CENA, DEC, 4, 2)

#define VETCERT_XY(X, s) X(AX##s, DEC, 4, 1) X(AY##s, DEC, 4, 1)
#define VETCERT_X6(X, s)                                                                                               \
    X(AX##s##1, DEC, 4, 1) X(AX##s##2, DEC, 4, 1) X(AX##s##3, DEC, 4, 1) X(AX##s##4, DEC, 4, 1)                        \
        X(AX##s##5, DEC, 4, 1) X(AX##s##6, DEC, 4, 1)

#define VETCERT_LAST_FIELDS(X)                                                                                         \
    X(NFORM, DEC, 5, 0)                                                                                                \
    X(NAME, TEXT, 30, 0)                                                                                               \
    VETCERT_XY(X, Z1) VETCERT_XY(X, Z2) VETCERT_XY(X, Z3) VETCERT_XY(X, Z4)                                            \
    VETCERT_XY(X, DAY) VETCERT_XY(X, MES) VETCERT_XY(X, GOD)                                                           \
    VETCERT_XY(X, DAYDST) VETCERT_XY(X, MESDST) VETCERT_XY(X, GODDST)                                                  \
    X(AZF1, DEC, 4, 1) X(AYF1, DEC, 4, 1)                                                                              \
    VETCERT_XY(X, F2) VETCERT_XY(X, F3) VETCERT_XY(X, F4)                                                              \
    VETCERT_XY(X, KOL) VETCERT_XY(X, UP) VETCERT_XY(X, MK)                                                             \
    VETCERT_XY(X, F5) VETCERT_XY(X, F6) VETCERT_XY(X, F7) VETCERT_XY(X, F8) VETCERT_XY(X, F9) VETCERT_XY(X, F10)       \
    VETCERT_XY(X, F11)                                                                                                 \
    X(AXF12, DEC, 4, 2) X(AYF12, DEC, 4, 1)                                                                            \
    VETCERT_XY(X, F13) VETCERT_XY(X, F121) VETCERT_XY(X, F14) VETCERT_XY(X, F141) VETCERT_XY(X, F15)                   \
    VETCERT_XY(X, F151) VETCERT_XY(X, F16) VETCERT_XY(X, F17) VETCERT_XY(X, F18) VETCERT_XY(X, F19)                    \
    VETCERT_XY(X, F20) VETCERT_X6(X, F20)                                                                              \
    VETCERT_XY(X, F21) VETCERT_X6(X, F21)                                                                              \
    VETCERT_XY(X, F22) VETCERT_X6(X, F22)                                                                              \
    VETCERT_XY(X, F23) VETCERT_X6(X, F23)                                                                              \
    VETCERT_XY(X, F24) VETCERT_X6(X, F24)                                                                              \
    VETCERT_XY(X, F25) VETCERT_X6(X, F25)                                                                              \
    VETCERT_XY(X, P1) VETCERT_XY(X, P2) VETCERT_XY(X, P3) VETCERT_XY(X, P4)                                            \
    X(TYPEFACE, TEXT, 31, 0)                                                                                           \
    X(FONTSIZE, LONG, 4, 0)                                                                                            \
    X(FONTCOLOR, LONG, 4, 0)                                                                                           \
    X(FONTSTYLE, LONG, 4, 0)                                                                                           \
    X(CHARSET, LONG, 4, 0)                                                                                             \
    X(CENA, DEC, 4, 2)

#define VETCERT_ISSUERS_FIELDS(X)                                                                                      \
    X(Z1, TEXT, 64, 0)                                                                                                 \
    X(Z2, TEXT, 64, 0)                                                                                                 \
    X(Z3, TEXT, 64, 0)                                                                                                 \
    X(Z4, TEXT, 64, 0)                                                                                                 \
    X(Z5, TEXT, 64, 0)                                                                                                 \
    X(Z6, TEXT, 64, 0)

#define VETCERT_MEMBER_TEXT(name, bytes, places) Text<bytes> name;
#define VETCERT_MEMBER_DEC(name, bytes, places) Decimal name{Decimal::digitsForBytes(bytes), places};
#define VETCERT_MEMBER_DATE(name, bytes, places) Date name;
#define VETCERT_MEMBER_LONG(name, bytes, places) qint32 name = 0;
#define VETCERT_MEMBER(name, kind, bytes, places) VETCERT_MEMBER_##kind(name, bytes, places)

struct FileDef;

/// A certificate of the register (FORMA3).
struct Forma3
{
    VETCERT_FORMA3_FIELDS(VETCERT_MEMBER)
    static const FileDef& def();
};

/// An export permit (LICENZIY).
struct Licenziy
{
    VETCERT_LICENZIY_FIELDS(VETCERT_MEMBER)
    static const FileDef& def();
};

/// A counterparty (KAGENT).
struct Kagent
{
    VETCERT_KAGENT_FIELDS(VETCERT_MEMBER)
    static const FileDef& def();
};

/// The print-layout settings (LAST).
struct Last
{
    VETCERT_LAST_FIELDS(VETCERT_MEMBER)
    static const FileDef& def();
};

/// One issuer-line set (ISSUERS): six lines naming the issuing organisation.
struct Issuers
{
    VETCERT_ISSUERS_FIELDS(VETCERT_MEMBER)
    static const FileDef& def();
};

} // namespace vetcert
