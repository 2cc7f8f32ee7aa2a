// hotkeys.ini bytes into the hotkey list and back: whatever the file holds,
// loading neither crashes nor hangs, every section is kept (unless only the
// live ones are asked for), and what a save writes loads again as the same
// list and saves as the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/Hotkeys.h"
#include "core/IniImage.h"

namespace {

using namespace corvinade;

std::vector<THotKeyData> Definitions(const THotkeyList& list) {
    std::vector<THotKeyData> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Items(i)->Definition);
    return out;
}

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "hotkeys.ini round trip: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    UnregisteredPort port;
    THotkeyList loaded(port);
    loaded.LoadFromText(bytes, size % 2 == 1);
    const std::string saved = loaded.ToText();
    if (size % 2 == 0 && static_cast<std::size_t>(loaded.Count()) !=
                             IniImage::Parse(DecodeFileText(bytes, SystemCodePage())).Sections().size())
        Finding("a section was lost");

    THotkeyList again(port);
    again.LoadFromText(saved, false);
    if (Definitions(again) != Definitions(loaded))
        Finding("the saved text loads as another list");
    if (again.ToText() != saved)
        Finding("a second save writes other text");
    return 0;
}
