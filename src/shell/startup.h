// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace vetcert {

/// Options of the windowed program.
struct GuiOptions
{
    QString dataDir;       // --data DIR; the current directory by default
    QString settingsPath;  // --settings FILE; Tesmar.INI in the user's settings directory by default
    bool exitWhenShown = false;  // --exit-when-shown: end as soon as the frame is on the screen (start-up timing)
};

/// Reads the options; unknown arguments are left to Qt.
GuiOptions parseGuiOptions(const QStringList& arguments);

/// Runs the windowed program: start-up, the frame until it closes, shut-down. Returns the exit code.
int runGui(int& argc, char** argv);

} // namespace vetcert
