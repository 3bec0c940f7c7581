// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"
#include "shell/startup.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    if (vetcert::cli::isCommandLine(argc, argv)) {
        QCoreApplication app(argc, argv);
        return vetcert::cli::run(QCoreApplication::arguments());
    }
    return vetcert::runGui(argc, argv);
}
