// Unit HotkeyTransfer; see HotkeyTransfer.h.
#include "core/HotkeyTransfer.h"

#include <unordered_set>

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
    AppendText(out, d.OnlyIn);
    AppendText(out, d.NotIn);
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
        count.Unknown += ActionKnown(imported) ? 0 : 1;
    }
    return count;
}

std::string HotkeysText(int count) {
    return std::to_string(count) + (count == 1 ? " hotkey" : " hotkeys");
}

std::string ImportReportText(const TImportCount& count) {
    std::string text = "Added " + HotkeysText(count.Added);
    if (count.Unknown > 0)
        text += " (" + std::to_string(count.Unknown) +
                " with an action this version does not know, kept but not run)";
    return text + ", skipped " + std::to_string(count.Skipped) + " already in your list.";
}

} // namespace corvinade
