// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace vetcert::cli {

/// Whether the arguments name a command (the program then runs headless).
bool isCommandLine(int argc, char** argv);
/// Runs a command; returns the exit code: 0 done, 1 failure (message on stderr), 2 wrong usage.
int run(const QStringList& arguments);

} // namespace vetcert::cli
