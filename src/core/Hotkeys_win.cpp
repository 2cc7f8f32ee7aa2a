// The Win32 side of unit Hotkeys.
#include "core/Hotkeys_win.h"

#include "core/Wide_win.h"

namespace corvinade {

std::uint16_t Win32HotkeyPort::AddHotkeyAtom(const std::string& name) {
    return ::GlobalAddAtomW(Wide(name).c_str());
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
    UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    if (scan == 0)
        return {};
    wchar_t name[256];
    const int length =
        GetKeyNameTextW(static_cast<LONG>(scan << 16), name, static_cast<int>(std::size(name)));
    return Utf8(name, length > 0 ? length : 0);
}

} // namespace corvinade
