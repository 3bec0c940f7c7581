// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <memory>

namespace vetcert {

/// The desktop's setting to show window contents while dragging.
class DesktopDragSetting
{
public:
    virtual ~DesktopDragSetting() = default;
    /// False where the desktop has no such setting the program can switch.
    virtual bool available() const = 0;
    virtual bool isOn() const = 0;
    /// Changes the setting for the whole desktop, announced to other programs and saved in the profile.
    virtual void setOn(bool on) = 0;
};

/// The implementation for the desktop the program runs on.
std::unique_ptr<DesktopDragSetting> createDesktopDragSetting();

/// Switches full-window dragging off for the run of the program and back on at exit, only when
/// it was on to begin with.
class FullWindowDragOff
{
public:
    explicit FullWindowDragOff(DesktopDragSetting& setting);
    ~FullWindowDragOff();
    Q_DISABLE_COPY_MOVE(FullWindowDragOff)

    /// Whether the setting was found on and switched off.
    bool switchedOff() const { return m_switchedOff; }
    /// Switches the setting on again if it was switched off here; later calls do nothing.
    void restore();

private:
    DesktopDragSetting& m_setting;
    bool m_switchedOff = false;
};

} // namespace vetcert
