// The Win32 side of unit Hotkeys.
#include "core/Hotkeys_win.h"

namespace corvinade {

std::uint16_t Win32HotkeyPort::AddHotkeyAtom(const std::string& name) {
    return ::GlobalAddAtomA(name.c_str());
}

bool Win32HotkeyPort::RegisterCombination(std::uint16_t id, std::int32_t modifiers, std::int32_t key) {
    return ::RegisterHotKey(window_, id, static_cast<UINT>(modifiers), static_cast<UINT>(key)) != 0;
}

bool Win32HotkeyPort::UnregisterCombination(std::uint16_t id) {
    return ::UnregisterHotKey(window_, id) != 0;
}

void Win32HotkeyPort::DeleteHotkeyAtom(std::uint16_t atom) {
    ::GlobalDeleteAtom(atom);
}

std::string Win32KeyNames::LayoutKeyName(std::uint16_t virtualKey) const {
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    if (scan == 0)
        return {};
    char name[256];
    int length = GetKeyNameTextA(static_cast<LONG>(scan << 16), name, sizeof name);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

} // namespace corvinade
