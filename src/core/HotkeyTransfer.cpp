// Unit HotkeyTransfer; see HotkeyTransfer.h.
#include "core/HotkeyTransfer.h"

#include <algorithm>
#include <unordered_set>

#include "core/TextFile.h"

namespace corvinade {

THotkeyFileContent ReadHotkeyFile(const std::string& fileName) {
    UnregisteredPort unregistered;
    THotkeyList list(unregistered);
    THotkeyFileContent content;
    content.Refused = list.LoadFromText(ReadExistingTextFile(fileName), false);
    content.Definitions = list.Definitions();
    return content;
}

void WriteHotkeyFile(const std::string& fileName, const std::vector<THotKeyData>& definitions) {
    UnregisteredPort unregistered;
    THotkeyList list(unregistered);
    list.AddAll(definitions);
    ReplaceTextFile(fileName, list.ToText());
}

bool SameHotkey(const THotKeyData& a, const THotKeyData& b) {
    return a.Key == b.Key && a.Shift == b.Shift && a.Func == b.Func && a.Params == b.Params &&
           a.Params2 == b.Params2;
}

TImportCount MergeImport(THotkeyDraft& draft, const THotkeyFileContent& content, TImportMode mode) {
    TImportCount count;
    count.Refused = content.Refused;
    if (mode == TImportMode::Replace)
        draft.Entries.clear();
    for (const THotKeyData& imported : content.Definitions) {
        const bool held = mode == TImportMode::Add &&
                          std::any_of(draft.Entries.begin(), draft.Entries.end(), [&](const THotkeyEntry& e) {
                              return SameHotkey(e.Definition, imported);
                          });
        if (held) {
            ++count.Skipped;
            continue;
        }
        draft.Entries.push_back({0, imported});
        ++count.Added;
    }
    return count;
}

std::string HotkeysText(int count) {
    return std::to_string(count) + (count == 1 ? " hotkey" : " hotkeys");
}

std::string ImportRefusal(const THotKeyData& hotkey) {
    if (hotkey.Key == 0)
        return "Not allowed: no key";
    if (hotkey.Shift == 0)
        return "Not allowed: no ALT, CTRL, SHIFT or WIN";
    return {};
}

int TImportPreview::Count(TImportFate fate) const {
    return static_cast<int>(
        std::count_if(Items.begin(), Items.end(), [&](const TImportItem& i) { return i.Fate == fate; }));
}

THotkeyFileContent TImportPreview::Allowed() const {
    THotkeyFileContent content;
    content.Refused = Refused;
    for (const TImportItem& item : Items)
        if (item.Fate != TImportFate::NotAllowed)
            content.Definitions.push_back(item.Definition);
    return content;
}

namespace {

// What SameHotkey compares, as one text: equal texts, the same hotkey.
std::string Identity(const THotKeyData& d) {
    return std::to_string(d.Key) + ',' + std::to_string(d.Shift) + ',' +
           std::to_string(static_cast<int>(d.Func)) + ',' + std::to_string(d.Params.size()) + ':' + d.Params +
           d.Params2;
}

// "1 was", "3 were": the start of a clause about that many hotkeys.
std::string CountWas(int count, const char* one, const char* many) {
    return std::to_string(count) + (count == 1 ? one : many);
}

} // namespace

TImportPreview PreviewImport(const THotkeyEntries& held, const THotkeyFileContent& content) {
    TImportPreview preview;
    preview.Refused = content.Refused;
    std::unordered_set<std::string> seen;
    for (const THotkeyEntry& entry : held)
        seen.insert(Identity(entry.Definition));
    preview.Items.reserve(content.Definitions.size());
    for (const THotKeyData& hotkey : content.Definitions) {
        TImportFate fate = TImportFate::NotAllowed;
        if (ImportRefusal(hotkey).empty())
            fate = seen.insert(Identity(hotkey)).second ? TImportFate::New : TImportFate::AlreadyInList;
        preview.Items.push_back({hotkey, fate});
    }
    return preview;
}

std::string ImportPreviewText(const TImportPreview& preview) {
    std::string text;
    auto clause = [&](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
    if (const int n = preview.Count(TImportFate::New); n > 0)
        clause(CountWas(n, " is new", " are new"));
    if (const int n = preview.Count(TImportFate::AlreadyInList); n > 0)
        clause(CountWas(n, " is already in your list", " are already in your list"));
    if (const int n = preview.Count(TImportFate::NotAllowed); n > 0)
        clause(CountWas(n, " is not allowed and stays out", " are not allowed and stay out"));
    if (preview.Refused > 0)
        clause(CountWas(preview.Refused, " section has no known action", " sections have no known action"));
    return text + ".";
}

std::string ImportResultText(const TImportPreview& preview, TImportMode mode) {
    const int added = preview.Count(TImportFate::New), held = preview.Count(TImportFate::AlreadyInList);
    const int notAllowed = preview.Count(TImportFate::NotAllowed);
    std::string text;
    if (mode == TImportMode::Replace) {
        text = "Replaced your hotkeys with the " + HotkeysText(added + held) + " of the file";
    } else if (added == 0 && notAllowed == 0 && preview.Refused == 0) {
        return held == 1 ? "The hotkey in the file is already in your list."
                         : "All " + std::to_string(held) + " hotkeys in the file are already in your list.";
    } else {
        text = added > 0 ? "Added " + HotkeysText(added) : "No hotkey was added";
        if (held > 0)
            text += "; " + CountWas(held, " was already in your list", " were already in your list");
    }
    if (notAllowed > 0)
        text += "; " + CountWas(notAllowed, " was not allowed", " were not allowed");
    if (preview.Refused > 0)
        text +=
            "; " + CountWas(preview.Refused, " section had no known action", " sections had no known action");
    return text + ".";
}

} // namespace corvinade
