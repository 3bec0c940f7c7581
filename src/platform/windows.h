// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace vetcert {

class Context;
class Help;
class Reporter;
class SettingsFile;
class Store;
class Toolbar;
struct Globals;

/// What every window started from the frame is given.
struct WindowEnv
{
    Globals& globals;
    Store& store;
    SettingsFile& settings;
    Help& help;
    Toolbar& toolbar;
    /// The frame's area in which the windows open.
    QMdiArea* mdiArea;
};

/// Starts one window of a kind: it receives a context of its own (which it keeps for its lifetime),
/// opens its window in the frame (openInFrame) and returns it, or nullptr when it opened nothing.
using WindowFactory = std::function<QWidget*(std::unique_ptr<Context> context, const WindowEnv& env)>;

/// The kinds of windows the frame can start, by procedure name ("Browselicenziy", "Rep_data", "BrowseNastr").
class WindowRegistry
{
public:
    void add(const QString& procedure, WindowFactory factory);
    bool contains(const QString& procedure) const;
    /// Starts a new instance with a new context; nullptr when no such kind is registered or it opened nothing.
    QWidget* start(const QString& procedure, const WindowEnv& env) const;

private:
    std::map<QString, WindowFactory> m_factories;
};

/// Opens a window inside the frame: adds it to the frame's area, restores its placement from the
/// section named after its procedure and writes the placement back when it closes. The window is
/// deleted when closed.
QMdiSubWindow* openInFrame(const WindowEnv& env, QWidget* window, const QString& procedure, bool resizable);

/// The same for an area and a settings file given directly.
QMdiSubWindow* openInArea(QMdiArea* area, SettingsFile& settings, QWidget* window, const QString& procedure,
                          bool resizable);

} // namespace vetcert
