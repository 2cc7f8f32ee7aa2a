// Unit HotkeyTransfer: hotkeys carried to and from other files in the
// hotkeys.ini format. Reading and writing go through the list's own rules;
// an import joins the user's draft by adding what is new or replacing all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/HotkeyDocument.h"
#include "core/Hotkeys.h"

namespace corvinade {

// A hotkey file is far smaller: a larger one is refused before it is read.
inline constexpr std::uint64_t HotkeyFileSizeLimit = 4 * 1024 * 1024;

// What a file brings: its definitions in file order, those whose action
// this version does not know among them (kept, never run).
struct THotkeyFileContent {
    std::vector<THotKeyData> Definitions;
};

// Reads the file by the rules of hotkeys.ini. Throws Error ("Cannot open
// file ...") when it cannot be read, a missing file included, and when it
// is larger than HotkeyFileSizeLimit.
THotkeyFileContent ReadHotkeyFile(const std::string& fileName);
// Writes the definitions as hotkeys.ini writes them, replacing the file in
// one step; throws Error ("Cannot create file ...") and leaves the old file.
void WriteHotkeyFile(const std::string& fileName, const std::vector<THotKeyData>& definitions);

// The same hotkey: equal but for being active, which stays the list's
// choice, and for how the values this version reads were spelled.
bool SameHotkey(const THotKeyData& a, const THotKeyData& b);

enum class TImportMode { Add, Replace };

struct TImportCount {
    int Added = 0;
    int Skipped = 0; // the same as a hotkey already in the list
};

// Add: each imported definition goes to the end of the draft unless the
// draft already holds the same hotkey (one added just before included).
// Replace: the imported definitions become the draft's whole list. Time in
// proportion to the sizes of the draft and the file.
TImportCount MergeImport(THotkeyDraft& draft, const THotkeyFileContent& content, TImportMode mode);

// "1 hotkey", "3 hotkeys".
std::string HotkeysText(int count);
// Why a hotkey of a file is not brought in: what the new-hotkey wizard
// refuses (no key, or a combination RefusedCombination refuses); empty when
// it can come. A section whose action this version does not know comes as
// it is: it is kept, never registered or run.
std::string ImportRefusal(const THotKeyData& hotkey);

// What an import brings, shown before anything is saved: each hotkey of the
// file, in file order, with what adding would do with it.
enum class TImportFate { New, AlreadyInList, NotAllowed };
struct TImportItem {
    THotKeyData Definition;
    TImportFate Fate = TImportFate::New;
};
struct TImportPreview {
    std::vector<TImportItem> Items;
    int Count(TImportFate fate) const;
    // Of the new ones, those whose action this version does not know.
    int UnknownNew() const;
    // The hotkeys an import brings in, replacing or added (those allowed).
    THotkeyFileContent Allowed() const;
};
// Against the list as it is: one of the file already in it (or earlier in
// the file) is AlreadyInList. Time in proportion to the sizes of both.
TImportPreview PreviewImport(const THotkeyEntries& held, const THotkeyFileContent& content);

// The line under the preview: "3 are new; 1 is already in your list; 1 is
// not allowed and stays out."
std::string ImportPreviewText(const TImportPreview& preview);
// What an import did, plainly: "Added 3 hotkeys; 1 was already in your
// list.", "All 4 hotkeys in the file are already in your list.", "Replaced
// your hotkeys with the 4 of the file." Unknown actions among the added are
// told: "Added 3 hotkeys (1 with an action this version does not know, kept
// but not run)."
std::string ImportResultText(const TImportPreview& preview, TImportMode mode);

} // namespace corvinade
