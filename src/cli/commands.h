// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace vetcert::cli {

/// What every command receives: the data directory and its own arguments.
struct Options
{
    QString dataDir;
    QStringList args;

    /// Takes "NAME VALUE" out of the arguments; false when absent (or, with `status` set to 2, without a value).
    bool take(const QString& name, QString* value, int* status);
    /// Prints a usage error and returns 2.
    static int usageError(const QString& text);
    /// Prints an error to stderr.
    static void error(const QString& text);
};

int runImport(Options& opt);
int runExport(Options& opt);
int runDemoData(Options& opt);
int runCheck(Options& opt);

} // namespace vetcert::cli
