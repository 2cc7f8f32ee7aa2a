// Unit HotkeyTransfer: hotkeys carried to and from other files in the
// hotkeys.ini format. Reading and writing go through the list's own rules;
// an import joins the user's draft by adding what is new or replacing all.
#pragma once

#include <string>
#include <vector>

#include "core/HotkeyDocument.h"
#include "core/Hotkeys.h"

namespace corvinade {

// What a file brings: its definitions in file order, and how many of its
// sections the reading rules refused (no known action).
struct THotkeyFileContent {
    std::vector<THotKeyData> Definitions;
    int Refused = 0;
};

// Reads the file by the rules of hotkeys.ini. Throws Error ("Cannot open
// file ...") when it cannot be read, a missing file included.
THotkeyFileContent ReadHotkeyFile(const std::string& fileName);
// Writes the definitions as hotkeys.ini writes them, replacing the file in
// one step; throws Error ("Cannot create file ...") and leaves the old file.
void WriteHotkeyFile(const std::string& fileName, const std::vector<THotKeyData>& definitions);

// The same hotkey: equal but for being active, which stays the list's choice.
bool SameHotkey(const THotKeyData& a, const THotKeyData& b);

enum class TImportMode { Add, Replace };

struct TImportCount {
    int Added = 0;
    int Skipped = 0; // the same as a hotkey already in the list
    int Refused = 0;
};

// Add: each imported definition goes to the end of the draft unless the
// draft already holds the same hotkey (one added just before included).
// Replace: the imported definitions become the draft's whole list.
TImportCount MergeImport(THotkeyDraft& draft, const THotkeyFileContent& content, TImportMode mode);

// "1 hotkey", "3 hotkeys".
std::string HotkeysText(int count);
// "Added 3 hotkeys, skipped 1 already in your list, refused 2 without a known action."
std::string ImportReportText(const TImportCount& count);

} // namespace corvinade
