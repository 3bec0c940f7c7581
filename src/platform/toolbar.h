// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vetcert {

/// The frame's toolbar buttons by their numbers.
enum class ToolButton {
    Insert = 3001,
    Change = 3002,
    Delete = 3003,
    Select = 3004,
    Bottom = 3005,    // last record
    Top = 3006,       // first record
    PageDown = 3007,
    PageUp = 3008,
    Down = 3009,      // next record
    Up = 3010,        // previous record
    Locate = 3011,
    History = 3012,
    Tips = 3014,
    Contacts = 3015,
    PrintLayout = 3016,
};

/// The navigation buttons 3001–3012, which act on the active window.
inline constexpr ToolButton kNavigationButtons[] = {
    ToolButton::Insert, ToolButton::Change,   ToolButton::Delete, ToolButton::Select,
    ToolButton::Bottom, ToolButton::Top,      ToolButton::PageDown, ToolButton::PageUp,
    ToolButton::Down,   ToolButton::Up,       ToolButton::Locate, ToolButton::History,
};

/// The frame's toolbar as the active window sees it: it enables the navigation buttons it supports
/// and sets their tooltips.
class Toolbar
{
public:
    virtual ~Toolbar() = default;
    virtual void setButtonEnabled(ToolButton button, bool enabled) = 0;
    virtual bool isButtonEnabled(ToolButton button) const = 0;
    /// The tooltip stays until another window sets it again.
    virtual void setButtonTip(ToolButton button, const QString& tip) = 0;
    virtual QString buttonTip(ToolButton button) const = 0;
    /// Disables every navigation button.
    void disableNavigation()
    {
        for (ToolButton b : kNavigationButtons)
            setButtonEnabled(b, false);
    }
};

/// Implemented by the list windows and entry forms on which the navigation buttons act.
class ToolbarTarget
{
public:
    virtual ~ToolbarTarget() = default;
    /// The window has become the active one: it enables the buttons it supports and sets their tooltips.
    /// The frame has disabled every navigation button just before.
    virtual void toolbarActivated(Toolbar& toolbar) = 0;
    /// A navigation button was pressed while this window was active.
    virtual void toolbarPressed(ToolButton button) = 0;
};

} // namespace vetcert
