// The Win32 side of unit Hotkeys: registration calls with the application
// window and key names from the keyboard layout.
#pragma once

#include <windows.h>

#include "core/Hotkeys.h"

namespace corvinade {

// GlobalAddAtomW, RegisterHotKey, UnregisterHotKey and GlobalDeleteAtom, all
// with the window given here (the application window).
class Win32HotkeyPort : public HotkeyPort {
public:
    explicit Win32HotkeyPort(HWND window) : window_(window) {}
    std::uint16_t AddHotkeyAtom(const std::string& name) override;
    bool RegisterCombination(std::uint16_t id, std::int32_t modifiers, std::int32_t key) override;
    bool UnregisterCombination(std::uint16_t id) override;
    void DeleteHotkeyAtom(std::uint16_t atom) override;

private:
    HWND window_;
};

// Key names in the language of the keyboard layout: MapVirtualKeyW for the scan
// code, GetKeyNameTextW for its name.
class Win32KeyNames : public KeyNamePort {
public:
    std::string LayoutKeyName(std::uint16_t virtualKey) const override;
};

} // namespace corvinade
