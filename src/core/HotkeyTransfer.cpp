// Unit HotkeyTransfer; see HotkeyTransfer.h.
#include "core/HotkeyTransfer.h"

#include <algorithm>
#include <unordered_set>

#include "core/CombinationCheck.h"
#include "core/Errors.h"
#include "core/TextFile.h"

namespace corvinade {

namespace {

[[noreturn]] void TooLarge(const std::string& fileName, std::uint64_t size) {
    constexpr std::uint64_t MB = 1024 * 1024;
    throw Error("\"" + fileName + "\" is too large to be a hotkey file (" +
                std::to_string((size + MB - 1) / MB) + " MB; at most " +
                std::to_string(HotkeyFileSizeLimit / MB) + " MB).");
}

void AppendText(std::string& out, const std::string& text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
}

// What SameHotkey compares, in one text: equal texts, the same hotkey.
std::string Identity(const THotKeyData& d) {
    std::string out = std::to_string(d.Key) + ',' + std::to_string(d.Shift) + ',' +
                      std::to_string(static_cast<int>(d.Func)) + ',';
    AppendText(out, d.Params);
    AppendText(out, d.Params2);
    AppendText(out, CaptureOptionsText(d.Capture));
    out += d.UnknownAction ? 'u' : 'k';
    AppendText(out, d.UnknownAction.value_or(""));
    for (const TIniLine& line : d.Lines)
        if (!IsKnownValueName(line.Name)) {
            AppendText(out, line.Name);
            out += line.Value ? '=' : '-';
            AppendText(out, line.Value.value_or(""));
        }
    return out;
}

} // namespace

THotkeyFileContent ReadHotkeyFile(const std::string& fileName) {
    if (const auto size = TextFileSize(fileName); size && *size > HotkeyFileSizeLimit)
        TooLarge(fileName, *size);
    const std::string bytes = ReadExistingTextFile(fileName);
    if (bytes.size() > HotkeyFileSizeLimit) // grown since
        TooLarge(fileName, bytes.size());
    UnregisteredPort unregistered;
    THotkeyList list(unregistered);
    list.LoadFromText(bytes, false);
    return {list.Definitions()};
}

void WriteHotkeyFile(const std::string& fileName, const std::vector<THotKeyData>& definitions) {
    UnregisteredPort unregistered;
    THotkeyList list(unregistered);
    list.AddAll(definitions);
    ReplaceTextFile(fileName, list.ToText());
}

bool SameHotkey(const THotKeyData& a, const THotKeyData& b) {
    return Identity(a) == Identity(b);
}

TImportCount MergeImport(THotkeyDraft& draft, const THotkeyFileContent& content, TImportMode mode) {
    TImportCount count;
    if (mode == TImportMode::Replace)
        draft.Entries.clear();
    std::unordered_set<std::string> held;
    if (mode == TImportMode::Add)
        for (const THotkeyEntry& e : draft.Entries)
            held.insert(Identity(e.Definition));
    draft.Entries.reserve(draft.Entries.size() + content.Definitions.size());
    for (const THotKeyData& imported : content.Definitions) {
        if (mode == TImportMode::Add && !held.insert(Identity(imported)).second) {
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
    if (!ActionKnown(hotkey))
        return {};
    if (hotkey.Key == 0)
        return "Not allowed: no key";
    switch (RefusedCombination(hotkey.Key, hotkey.Shift)) {
    case CombinationRefusal::None:
        break;
    case CombinationRefusal::NoModifier:
        return "Not allowed: no ALT, CTRL, SHIFT or WIN";
    case CombinationRefusal::ShiftAloneWithCharacter:
        return "Not allowed: SHIFT alone with a character key";
    }
    return {};
}

int TImportPreview::Count(TImportFate fate) const {
    return static_cast<int>(
        std::count_if(Items.begin(), Items.end(), [&](const TImportItem& i) { return i.Fate == fate; }));
}

int TImportPreview::UnknownNew() const {
    return static_cast<int>(std::count_if(Items.begin(), Items.end(), [](const TImportItem& i) {
        return i.Fate == TImportFate::New && !ActionKnown(i.Definition);
    }));
}

THotkeyFileContent TImportPreview::Allowed() const {
    THotkeyFileContent content;
    for (const TImportItem& item : Items)
        if (item.Fate != TImportFate::NotAllowed)
            content.Definitions.push_back(item.Definition);
    return content;
}

namespace {

// "1 was", "3 were": the start of a clause about that many hotkeys.
std::string CountWas(int count, const char* one, const char* many) {
    return std::to_string(count) + (count == 1 ? one : many);
}

std::string UnknownAmong(int unknown) {
    if (unknown == 0)
        return {};
    return " (" + std::to_string(unknown) + " with an action this version does not know, kept but not run)";
}

} // namespace

TImportPreview PreviewImport(const THotkeyEntries& held, const THotkeyFileContent& content) {
    TImportPreview preview;
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
        clause(CountWas(n, " is new", " are new") + UnknownAmong(preview.UnknownNew()));
    if (const int n = preview.Count(TImportFate::AlreadyInList); n > 0)
        clause(CountWas(n, " is already in your list", " are already in your list"));
    if (const int n = preview.Count(TImportFate::NotAllowed); n > 0)
        clause(CountWas(n, " is not allowed and stays out", " are not allowed and stay out"));
    return text + ".";
}

std::string ImportResultText(const TImportPreview& preview, TImportMode mode) {
    const int added = preview.Count(TImportFate::New), held = preview.Count(TImportFate::AlreadyInList);
    const int notAllowed = preview.Count(TImportFate::NotAllowed);
    std::string text;
    if (mode == TImportMode::Replace) {
        text = "Replaced your hotkeys with the " + HotkeysText(added + held) + " of the file" +
               UnknownAmong(preview.UnknownNew());
    } else if (added == 0 && notAllowed == 0 && held > 0) {
        return held == 1 ? "The hotkey in the file is already in your list."
                         : "All " + std::to_string(held) + " hotkeys in the file are already in your list.";
    } else {
        text = added > 0 ? "Added " + HotkeysText(added) + UnknownAmong(preview.UnknownNew())
                         : "No hotkey was added";
        if (held > 0)
            text += "; " + CountWas(held, " was already in your list", " were already in your list");
    }
    if (notAllowed > 0)
        text += "; " + CountWas(notAllowed, " was not allowed", " were not allowed");
    return text + ".";
}

} // namespace corvinade
