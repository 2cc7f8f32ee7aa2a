// Unit Hotkeys: the action catalogue, key-combination texts, registration of
// one hotkey and the hotkey list with its hotkeys.ini storage.
#include "core/Hotkeys.h"

#include "core/Errors.h"
#include "core/IniImage.h"
#include "core/TextEncoding.h"
#include "core/TextFile.h"

#include <algorithm>

namespace corvinade {

namespace {

struct ActionInfo {
    const char* Name;
    const char* DisplayName;
    bool HasParams;
    bool HasParams2;
    bool HasParamsButton;
};

// Indexed by code. The display-name typo "comtent" is the program's own text.
constexpr std::array<ActionInfo, 13> Catalogue{{
    {"", "Unknown action", false, false, false},
    {"maximize", "Maximize active window", false, false, false},
    {"minimize", "Minimize active window", false, false, false},
    {"close", "Close active window", false, false, false},
    {"openfile", "Open file", true, true, true},
    {"capturewindow", "Capture active window", false, false, false},
    {"capturescreen", "Capture screen", false, false, false},
    {"exitwindows", "Exit windows", false, false, false},
    {"sendkeystrokes", "Send keystrokes", true, false, true},
    {"openwebsite", "Open website", true, false, false},
    {"placeinclipboard", "Place in clipboard", true, false, true},
    {"placefilecontentinclipboard", "Place file comtent in clipboard", true, false, true},
    {"captureregion", "Capture region", false, false, false},
}};

// Out-of-range values (only reachable by casting) read as "no action".
const ActionInfo& Info(THotkeyAction a) {
    auto code = static_cast<std::size_t>(a);
    return Catalogue[code < Catalogue.size() ? code : 0];
}

struct KeyName {
    std::uint16_t Key;
    const char* Name;
};

// The keypad's operators as Windows names them: other systems' layouts name
// them otherwise (X keysyms: "KP_Multiply"), so the table decides.
constexpr KeyName NamedKeys[] = {
    {0x08, "BkSp"},  {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},     {0x20, "Space"},
    {0x21, "PgUp"},  {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"},    {0x25, "Left"},
    {0x26, "Up"},    {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},     {0x2E, "Del"},
    {0x6A, "Num *"}, {0x6B, "Num +"}, {0x6D, "Num -"}, {0x6E, "Num Del"}, {0x6F, "Num /"},
};

// Names of the fixed key table; empty sends the key to the keyboard layout.
std::string FixedKeyName(std::uint16_t key) {
    for (const KeyName& k : NamedKeys)
        if (k.Key == key)
            return k.Name;
    if (key >= 0x30 && key <= 0x39)
        return std::string(1, static_cast<char>('0' + (key - 0x30)));
    if (key >= 0x41 && key <= 0x5A)
        return std::string(1, static_cast<char>(key));
    if (key >= 0x60 && key <= 0x69) // keypad digits read like the main digits
        return std::string(1, static_cast<char>('0' + (key - 0x60)));
    std::string name;
    if (key >= 0x70 && key <= 0x87) {
        name = "F"; // appended, not "F" + ...: GCC 12 warns falsely (-Wrestrict) on that
        name += std::to_string(key - 0x70 + 1);
    }
    return name;
}

// The values of a section this version reads, in the order it writes them.
// The six of every section come first; the options after them are written
// only where they differ from their default, so a section without them
// reads as it did before they were added.
enum KnownValue : std::size_t {
    ValueActive,
    ValueKey,
    ValueShift,
    ValueFunc,
    ValueParams,
    ValueParams2,
    ValueDelay,
    ValueCursor,
    ValueSameArea
};
constexpr std::array<const char*, 9> KnownNames{"active",  "key",   "shift",  "func",    "params",
                                                "params2", "delay", "cursor", "samearea"};
constexpr std::size_t FirstOptionalValue = ValueDelay;

// The value's place in KnownNames, or KnownNames.size() for a name this version does not read.
std::size_t KnownValueOf(std::string_view name) {
    std::size_t k = 0;
    while (k < KnownNames.size() && !SameIniName(name, KnownNames[k]))
        ++k;
    return k;
}

// As IniImage::Read: the first line of that name counts, even without a value.
std::optional<std::string> Read(const IniImage::Section& section, std::size_t known) {
    for (const IniImage::Entry& e : section.Entries)
        if (KnownValueOf(e.Name) == known)
            return e.Value;
    return std::nullopt;
}

std::int32_t ReadInteger(const std::optional<std::string>& value) {
    return value ? ParseIniInteger(*value, 0) : 0;
}

std::string FuncText(const THotKeyData& d) {
    return d.UnknownAction ? *d.UnknownAction : ActionToName(d.Func);
}

// The definition's value as this version writes it.
std::string ValueText(const THotKeyData& d, std::size_t known) {
    switch (known) {
    case ValueActive:
        return d.Active ? "1" : "0";
    case ValueKey:
        return std::to_string(d.Key);
    case ValueShift:
        return std::to_string(d.Shift);
    case ValueFunc:
        return FuncText(d);
    case ValueParams:
        return d.Params;
    case ValueDelay:
        return std::to_string(d.Capture.Delay);
    case ValueCursor:
        return d.Capture.Cursor ? "1" : "0";
    case ValueSameArea:
        return d.Capture.SameArea ? "1" : "0";
    default:
        return d.Params2;
    }
}

// A line (none: no line at all) reads as the definition's value: a save
// writes it back as it was, spelling and all.
bool ReadsAs(const std::optional<std::string>& value, const THotKeyData& d, std::size_t known) {
    switch (known) {
    case ValueActive:
        return (ReadInteger(value) != 0) == d.Active;
    case ValueKey:
        return ReadInteger(value) == d.Key;
    case ValueShift:
        return ReadInteger(value) == d.Shift;
    case ValueDelay:
        return DelayFromIni(ReadInteger(value)) == d.Capture.Delay;
    case ValueCursor:
        return (ReadInteger(value) != 0) == d.Capture.Cursor;
    case ValueSameArea:
        return (ReadInteger(value) != 0) == d.Capture.SameArea;
    default:
        return value.value_or("") == ValueText(d, known);
    }
}

THotKeyData ReadDefinition(const IniImage::Section& section) {
    THotKeyData d;
    const std::string func = Read(section, ValueFunc).value_or("");
    d.Func = ActionFromName(func);
    d.Active = ReadInteger(Read(section, ValueActive)) != 0;
    d.Key = ReadInteger(Read(section, ValueKey));
    d.Shift = ReadInteger(Read(section, ValueShift));
    d.Params = Read(section, ValueParams).value_or("");
    d.Params2 = Read(section, ValueParams2).value_or("");
    d.Capture.Delay = DelayFromIni(ReadInteger(Read(section, ValueDelay)));
    d.Capture.Cursor = ReadInteger(Read(section, ValueCursor)) != 0;
    d.Capture.SameArea = ReadInteger(Read(section, ValueSameArea)) != 0;
    if (d.Func == THotkeyAction::None)
        d.UnknownAction = func;
    const bool foreignLine = std::any_of(section.Entries.begin(), section.Entries.end(),
                                         [](const auto& e) { return !IsKnownValueName(e.Name); });
    if (d.UnknownAction || foreignLine)
        for (const IniImage::Entry& e : section.Entries)
            d.Lines.push_back({e.Name, e.Value});
    return d;
}

// The section's lines as read, each value this version reads as it is now;
// one the section lacks is added only when it no longer reads as missing.
void WriteDefinition(IniImage::Section& section, const THotKeyData& d) {
    std::array<bool, KnownNames.size()> written{};
    for (const TIniLine& line : d.Lines) {
        const std::size_t known = KnownValueOf(line.Name);
        if (known < KnownNames.size() && !written[known]) {
            written[known] = true;
            if (!ReadsAs(line.Value, d, known)) {
                section.Entries.push_back({KnownNames[known], ValueText(d, known)});
                continue;
            }
        }
        section.Entries.push_back({line.Name, line.Value});
    }
    const bool kept = !d.Lines.empty() || d.UnknownAction;
    for (std::size_t known = 0; known < KnownNames.size(); ++known)
        if (!written[known] && !((kept || known >= FirstOptionalValue) && ReadsAs(std::nullopt, d, known)))
            section.Entries.push_back({KnownNames[known], ValueText(d, known)});
}

} // namespace

const std::array<THotkeyAction, 12> ActionComboOrder{
    THotkeyAction::Maximize,
    THotkeyAction::Minimize,
    THotkeyAction::Close,
    THotkeyAction::OpenFile,
    THotkeyAction::OpenWebsite,
    THotkeyAction::PlaceInClipboard,
    THotkeyAction::PlaceFileContentInClipboard,
    THotkeyAction::CaptureWindow,
    THotkeyAction::CaptureScreen,
    THotkeyAction::CaptureRegion,
    THotkeyAction::ExitWindows,
    THotkeyAction::SendKeystrokes,
};

THotkeyAction ActionFromName(std::string_view name) {
    if (name.empty())
        return THotkeyAction::None;
    for (std::size_t code = 1; code < Catalogue.size(); ++code)
        if (name == Catalogue[code].Name)
            return static_cast<THotkeyAction>(code);
    return THotkeyAction::None;
}

bool IsKnownValueName(std::string_view name) {
    return KnownValueOf(name) < KnownNames.size();
}

bool ActionKnown(const THotKeyData& d) {
    return !d.UnknownAction && d.Func != THotkeyAction::None;
}

bool IsLive(const THotKeyData& d) {
    return d.Active && ActionKnown(d);
}

std::string ActionDisplayName(const THotKeyData& d) {
    if (!d.UnknownAction)
        return ActionDisplayName(d.Func);
    return d.UnknownAction->empty() ? ActionDisplayName(THotkeyAction::None)
                                    : ActionDisplayName(THotkeyAction::None) + ": " + *d.UnknownAction;
}

std::string ActionToName(THotkeyAction a) {
    return Info(a).Name;
}
std::string ActionDisplayName(THotkeyAction a) {
    return Info(a).DisplayName;
}
bool ActionHasParams(THotkeyAction a) {
    return Info(a).HasParams;
}
bool ActionHasParams2(THotkeyAction a) {
    return Info(a).HasParams2;
}
bool ActionHasParamsButton(THotkeyAction a) {
    return Info(a).HasParamsButton;
}
bool ActionHasCaptureOptions(THotkeyAction a) {
    return a == THotkeyAction::CaptureWindow || a == THotkeyAction::CaptureScreen ||
           a == THotkeyAction::CaptureRegion;
}

TCaptureOptions CaptureOptionsOf(THotkeyAction action, const TCaptureOptions& shown,
                                 const TCaptureOptions& stored) {
    TCaptureOptions options = stored;
    if (ActionHasCaptureOptions(action)) {
        options.Delay = shown.Delay;
        options.Cursor = shown.Cursor;
    }
    if (action == THotkeyAction::CaptureRegion)
        options.SameArea = shown.SameArea;
    return options;
}

std::string HotkeyText(std::uint16_t key, std::uint16_t shift, const KeyNamePort& layout) {
    std::string text;
    if (shift & ModifierAlt)
        text += "ALT + ";
    if (shift & ModifierCtrl)
        text += "CTRL + ";
    if (shift & ModifierShift)
        text += "SHIFT + ";
    if (shift & ModifierWin)
        text += "WIN + ";
    if (key > 0xFF)
        return text;
    std::string name = FixedKeyName(key);
    return text + (name.empty() ? layout.LayoutKeyName(key) : name);
}

std::string HotkeyAtomName(std::int32_t key, std::int32_t shift) {
    return "corvinade-" + std::to_string(key) + "-" + std::to_string(shift);
}

// --- TGlobalHotKey ---

TGlobalHotKey::TGlobalHotKey(HotkeyPort& port) : port_(&port) {}

TGlobalHotKey::~TGlobalHotKey() {
    Unregister();
}

void TGlobalHotKey::Register() {
    if (state_ == TRegistrationState::Registered)
        return;
    Atom = port_->AddHotkeyAtom(HotkeyAtomName(Definition.Key, Definition.Shift));
    if (Atom == 0) {
        state_ = TRegistrationState::NoAtom;
        return;
    }
    if (port_->RegisterCombination(Atom, Definition.Shift, Definition.Key)) {
        state_ = TRegistrationState::Registered;
        return;
    }
    // A combination taken elsewhere never fires; the state remembers it, so
    // the windows can tell the user, and the atom goes back at once.
    port_->DeleteHotkeyAtom(Atom);
    Atom = 0;
    state_ = TRegistrationState::Failed;
}

void TGlobalHotKey::Unregister() {
    if (Atom == 0) {
        state_ = TRegistrationState::Unregistered;
        return;
    }
    // Only a registration that really existed gives back its atom reference.
    if (port_->UnregisterCombination(Atom)) {
        port_->DeleteHotkeyAtom(Atom);
        Atom = 0;
        state_ = TRegistrationState::Unregistered;
    }
}

// --- THotkeyList ---

THotkeyList::THotkeyList(HotkeyPort& port) : port_(&port) {}

THotkeyList::~THotkeyList() {
    Clear();
}

TGlobalHotKey* THotkeyList::Add(bool active, std::int32_t key, std::int32_t shift, THotkeyAction func,
                                std::string params, std::string params2) {
    THotKeyData d;
    d.Active = active;
    d.Key = key;
    d.Shift = shift;
    d.Func = func;
    d.Params = std::move(params);
    d.Params2 = std::move(params2);
    return Add(std::move(d));
}

TGlobalHotKey* THotkeyList::Add(THotKeyData definition) {
    auto item = std::make_unique<TGlobalHotKey>(*port_);
    item->Definition = std::move(definition);
    items_.push_back(std::move(item));
    return items_.back().get();
}

void THotkeyList::Delete(int index) {
    CheckIndex(index);
    items_[static_cast<std::size_t>(index)].reset();
    items_.erase(items_.begin() + index);
}

void THotkeyList::Clear() {
    for (auto& item : items_)
        item.reset();
    items_.clear();
}

int THotkeyList::IndexOf(const TGlobalHotKey* item) const {
    auto found = std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == item; });
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

TGlobalHotKey* THotkeyList::Find(std::int32_t key, std::int32_t shift) const {
    for (const auto& item : items_)
        if (item->Definition.Key == key && item->Definition.Shift == shift)
            return item.get();
    return nullptr;
}

TGlobalHotKey* THotkeyList::Items(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].get();
}

int THotkeyList::Count() const {
    return static_cast<int>(items_.size());
}

void THotkeyList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw Error("List index out of bounds (" + std::to_string(index) + ")");
}

void THotkeyList::LoadFromFile(const std::string& fileName, bool onlyActive) {
    Clear();
    std::optional<std::string> bytes = ReadTextFile(fileName);
    if (!bytes)
        return;
    // Large files: never hold the bytes, the text and its image all at once.
    std::string text = DecodeFileText(*bytes, SystemCodePage());
    bytes.reset();
    const IniImage ini = IniImage::Parse(text);
    std::string().swap(text);
    LoadFromImage(ini, onlyActive);
}

void THotkeyList::LoadFromText(std::string_view bytes, bool onlyActive, const AnsiCodePage& ansi) {
    Clear();
    LoadFromImage(IniImage::Parse(DecodeFileText(bytes, ansi)), onlyActive);
}

void THotkeyList::LoadFromImage(const IniImage& ini, bool onlyActive) {
    for (const IniImage::Section& section : ini.Sections()) {
        // Duplicate section names all read from the first of them.
        THotKeyData d = ReadDefinition(*ini.FindSection(section.Name));
        if (!onlyActive || IsLive(d))
            Add(std::move(d));
    }
}

void THotkeyList::SaveToFile(const std::string& fileName) const {
    // hotkeys.ini lives in a folder of our own: what earlier saves cut short
    // left there goes first, so such files never pile up.
    RemoveSaveLeftovers(fileName);
    ReplaceTextFile(fileName, ToText());
}

std::string THotkeyList::ToText(const AnsiCodePage& ansi) const {
    // Lines outside sections are never kept and the sections are numbered
    // anew, so the image is built fresh instead of being read first. A file
    // held open by another program then fails only at the replace step,
    // which waits for it a while.
    IniImage ini;
    for (std::size_t i = 0; i < items_.size(); ++i)
        WriteDefinition(ini.AddSection("key" + std::to_string(i)), items_[i]->Definition);
    return EncodeFileText(ini.ToText(), ansi);
}

void THotkeyList::RegisterAll() {
    for (auto& item : items_)
        item->Register();
}

std::vector<THotKeyData> THotkeyList::Definitions() const {
    std::vector<THotKeyData> definitions;
    definitions.reserve(items_.size());
    for (const auto& item : items_)
        definitions.push_back(item->Definition);
    return definitions;
}

void THotkeyList::AddAll(const std::vector<THotKeyData>& definitions) {
    for (const THotKeyData& d : definitions)
        Add(d);
}

} // namespace corvinade
