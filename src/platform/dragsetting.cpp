// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dragsetting.h"

namespace vetcert {

FullWindowDragOff::FullWindowDragOff(DesktopDragSetting& setting) : m_setting(setting)
{
    if (m_setting.available() && m_setting.isOn()) {
        m_setting.setOn(false);
        m_switchedOff = true;
    }
}

FullWindowDragOff::~FullWindowDragOff() { restore(); }

void FullWindowDragOff::restore()
{
    if (!m_switchedOff)
        return;
    m_switchedOff = false;
    m_setting.setOn(true);
}

#ifndef Q_OS_WIN
namespace {
// X11 and Wayland desktops keep this choice in the window manager, out of a program's reach.
class NothingToSwitch final : public DesktopDragSetting
{
public:
    bool available() const override { return false; }
    bool isOn() const override { return false; }
    void setOn(bool) override {}
};
} // namespace

std::unique_ptr<DesktopDragSetting> createDesktopDragSetting() { return std::make_unique<NothingToSwitch>(); }
#endif

} // namespace vetcert
