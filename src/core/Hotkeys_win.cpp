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

bool Win32CombinationProbe::CombinationFree(std::int32_t modifiers, std::int32_t key) {
    if (!::RegisterHotKey(window_, ProbeId, static_cast<UINT>(modifiers), static_cast<UINT>(key)))
        return false;
    ::UnregisterHotKey(window_, ProbeId);
    return true;
}

namespace {

// The keys whose scan code comes with the E0 prefix: without the extended
// bit the layout names their keypad or main-block twins.
bool IsExtendedKey(std::uint16_t virtualKey) {
    switch (virtualKey) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_SNAPSHOT:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_RCONTROL:
    case VK_RMENU:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string Win32KeyNames::LayoutKeyName(std::uint16_t virtualKey) const {
    const UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    if (scan == 0)
        return {};
    const LONG extended = IsExtendedKey(virtualKey) ? 1L << 24 : 0;
    wchar_t name[256];
    const int length = ::GetKeyNameTextW(static_cast<LONG>(scan << 16) | extended, name, 256);
    return Utf8(name, length > 0 ? length : 0);
}

} // namespace corvinade
