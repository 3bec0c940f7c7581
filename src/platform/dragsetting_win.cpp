// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dragsetting.h"

#include <windows.h>

namespace vetcert {

namespace {
class WindowsDragSetting final : public DesktopDragSetting
{
public:
    bool available() const override { return true; }
    bool isOn() const override
    {
        BOOL on = FALSE;
        return SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &on, 0) && on;
    }
    void setOn(bool on) override
    {
        SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, on ? TRUE : FALSE, nullptr,
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
};
} // namespace

std::unique_ptr<DesktopDragSetting> createDesktopDragSetting() { return std::make_unique<WindowsDragSetting>(); }

} // namespace vetcert
