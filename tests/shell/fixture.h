// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/reporter.h"
#include "data/store.h"
#include "platform/globals.h"
#include "platform/help.h"
#include "platform/settingsfile.h"
#include "platform/toolbar.h"
#include "platform/windows.h"
#include "shell/mainframe.h"

#include <QTemporaryDir>
#include <QWidget>
#include <memory>

namespace vetcert::test {

/// A list window as the frame sees it: it takes the navigation buttons and records their presses.
class FakeList : public QWidget, public ToolbarTarget
{
public:
    explicit FakeList(std::unique_ptr<Context> context) : context(std::move(context)) {}

    void toolbarActivated(Toolbar& toolbar) override
    {
        toolbar.setButtonEnabled(ToolButton::Insert, true);
        toolbar.setButtonTip(ToolButton::Insert, QStringLiteral("Добавить запись"));
        toolbar.setButtonEnabled(ToolButton::Top, true);
        toolbar.setButtonTip(ToolButton::Top, QStringLiteral("Первая страница"));
    }
    void toolbarPressed(ToolButton button) override { pressed.append(button); }

    std::unique_ptr<Context> context;
    QList<ToolButton> pressed;
};

/// A data directory, a settings file and a frame over them, as the program sets them up.
struct Fixture
{
    QTemporaryDir dir;
    RecordingReporter reporter;
    Store store{dir.path(), reporter};
    std::unique_ptr<SettingsFile> settings = std::make_unique<SettingsFile>(iniPath());
    Globals globals;
    Help help{globals.helpTopic, QStringLiteral(VETCERT_HELP_FILE)};
    WindowRegistry windows;
    std::unique_ptr<Main> frame;

    Fixture()
    {
        registerShellWindows(windows);
        windows.add(QStringLiteral("Browselicenziy"), [](std::unique_ptr<Context> ctx, const WindowEnv& env) {
            auto* w = new FakeList(std::move(ctx));
            w->resize(300, 200);
            openInFrame(env, w, QStringLiteral("Browselicenziy"), true);
            return static_cast<QWidget*>(w);
        });
    }

    QString iniPath() const { return dir.filePath(QStringLiteral("Tesmar.INI")); }

    Main& open()
    {
        frame = std::make_unique<Main>(globals, store, *settings, help, windows);
        frame->show();
        frame->activateWindow();
        return *frame;
    }
};

} // namespace vetcert::test
