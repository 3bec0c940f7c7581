// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/toolbar.h"
#include "platform/windows.h"

#include <QMainWindow>
#include <map>
#include <memory>

class QAbstractButton;
class QCheckBox;
class QMdiArea;
class QMdiSubWindow;
class QPrinter;

namespace vetcert {

class Context;
class Help;
class SettingsFile;
class Store;
class Tooltips;
class WindowRegistry;
struct Globals;

/// The application frame: the area in which every other window opens, with the menu, the toolbar,
/// the status bar and help. Closing it closes every window started from it.
class Main : public QMainWindow, public Toolbar
{
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("Main");

    Main(Globals& globals, Store& store, SettingsFile& settings, Help& help, const WindowRegistry& windows,
         QWidget* parent = nullptr);
    ~Main() override;

    static QString title();

    QMdiArea* mdiArea() const { return m_mdi; }
    const WindowEnv& env() const { return m_env; }
    Tooltips& tooltips() const { return *m_tooltips; }

    /// Starts a new window of the kind named by its procedure; says in the status bar when this
    /// version has no such window yet.
    QWidget* startWindow(const QString& procedure);
    /// A navigation button pressed: passed on to the active window, if any.
    void pressNavigation(ToolButton button);
    /// The tips check box changed.
    void setTips(bool on);

    void setButtonEnabled(ToolButton button, bool enabled) override;
    bool isButtonEnabled(ToolButton button) const override;
    void setButtonTip(ToolButton button, const QString& tip) override;
    QString buttonTip(ToolButton button) const override;
    QAbstractButton* button(ToolButton button) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void buildToolbar();
    void loadIssuerLines();
    void subWindowActivated(QMdiSubWindow* sub);
    void choosePrinter();
    void editFocused(int action);

    Globals& m_globals;
    Store& m_store;
    SettingsFile& m_settings;
    Help& m_help;
    const WindowRegistry& m_windows;
    QMdiArea* m_mdi;
    WindowEnv m_env;
    std::unique_ptr<Tooltips> m_tooltips;
    std::unique_ptr<QPrinter> m_printer;
    std::map<ToolButton, QAbstractButton*> m_buttons;
    QCheckBox* m_tips = nullptr;
    bool m_shown = false;
};

/// Registers the windows of the shell itself (the about window) with the frame's registry.
void registerShellWindows(WindowRegistry& registry);

} // namespace vetcert
