// Unit Hotkeys: the vocabulary of the hotkey model. The definition record, the
// closed catalogue of twelve actions, the display text of a key combination,
// one hotkey with its system-wide registration, and the owning list that reads
// and writes hotkeys.ini. Window-system calls go through the two ports below.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/CaptureOptions.h"
#include "core/TextEncoding.h"

namespace corvinade {

class IniImage;

// Action codes; stable, the rest of the program switches on them.
enum class THotkeyAction : std::uint8_t {
    None = 0,
    Maximize,
    Minimize,
    Close,
    OpenFile,
    CaptureWindow,
    CaptureScreen,
    ExitWindows,
    SendKeystrokes,
    OpenWebsite,
    PlaceInClipboard,
    PlaceFileContentInClipboard,
    CaptureRegion
};

// The modifier bits of a definition's Shift (the system's MOD_* flags).
inline constexpr std::int32_t ModifierAlt = 1, ModifierCtrl = 2, ModifierShift = 4, ModifierWin = 8;

// A line of a hotkeys.ini section as read: its name, and its value unless
// the line has no "=".
struct TIniLine {
    std::string Name;
    std::optional<std::string> Value;

    friend bool operator==(const TIniLine&, const TIniLine&) = default;
};

// One hotkey definition. Shift: the modifier bits above, added up.
//
// A file of a newer version (or edited by hand) may hold what this version
// does not understand; nothing of it is lost. A section with a value this
// version does not read keeps its lines, and a save writes them back in
// place, with the values this version reads as they are now. A section
// whose action this version does not know is kept whole the same way
// (UnknownAction: its func text, Func None): it is written back, never
// registered or run.
struct THotKeyData {
    bool Active = false;
    std::int32_t Key = 0;
    std::int32_t Shift = 0;
    THotkeyAction Func = THotkeyAction::None;
    std::string Params;
    std::string Params2;
    std::optional<std::string> UnknownAction;
    std::vector<TIniLine> Lines; // empty: the section is written as this version writes it
    TCaptureOptions Capture;     // the capture actions' options (values of their own in the section)

    friend bool operator==(const THotKeyData&, const THotKeyData&) = default;
};

// A value of a section this version reads ("active", "key", "shift", "func",
// "params", "params2", and the capture options' values; any letter case).
bool IsKnownValueName(std::string_view name);
// The action is one this version knows and can run.
bool ActionKnown(const THotKeyData& d);
// Registered and run: active, with an action this version knows.
bool IsLive(const THotKeyData& d);

// Storage name -> code; exact and case-sensitive, None when no name matches.
THotkeyAction ActionFromName(std::string_view name);
// Storage name as held in hotkeys.ini; empty for None (and any unknown value).
std::string ActionToName(THotkeyAction a);
// The name the user sees; "Unknown action" for None.
std::string ActionDisplayName(THotkeyAction a);
// The action of a definition as the windows name it: its display name, or
// "Unknown action: NAME" for one this version does not know.
std::string ActionDisplayName(const THotKeyData& d);
bool ActionHasParams(THotkeyAction a);
bool ActionHasParams2(THotkeyAction a);
bool ActionHasParamsButton(THotkeyAction a);
// The three capture actions, which take TCaptureOptions.
bool ActionHasCaptureOptions(THotkeyAction a);
// What an editor of a hotkey of `action` gives: the options the action
// takes from `shown`, the others as they were read (`stored`), as values a
// newer version may give a meaning to.
TCaptureOptions CaptureOptionsOf(THotkeyAction action, const TCaptureOptions& shown,
                                 const TCaptureOptions& stored);

// The order of the action combo box, which differs from the code order: editors
// therefore find items by their associated code, never by position.
extern const std::array<THotkeyAction, 12> ActionComboOrder;

// Appends the twelve actions without clearing the combo first. Combo has
// AddItem(const std::string& text, std::intptr_t data).
template <class Combo> void FillActionCombo(Combo& combo) {
    for (THotkeyAction a : ActionComboOrder)
        combo.AddItem(ActionDisplayName(a), static_cast<std::intptr_t>(a));
}

// Keyboard-layout names for keys outside the fixed table.
class KeyNamePort {
public:
    virtual ~KeyNamePort() = default;
    virtual std::string LayoutKeyName(std::uint16_t virtualKey) const = 0;
};

// "ALT + CTRL + SHIFT + WIN + " as far as set in shift, then the key's name.
std::string HotkeyText(std::uint16_t key, std::uint16_t shift, const KeyNamePort& layout);

// What registration asks of the window system (global atoms, RegisterHotKey), all with the application
// window, which the implementation holds. Implementations must not throw: they are called from destructors.
class HotkeyPort {
public:
    virtual ~HotkeyPort() = default;
    virtual std::uint16_t AddHotkeyAtom(const std::string& name) = 0; // 0 on failure
    virtual bool RegisterCombination(std::uint16_t id, std::int32_t modifiers, std::int32_t key) = 0;
    virtual bool UnregisterCombination(std::uint16_t id) = 0;
    virtual void DeleteHotkeyAtom(std::uint16_t atom) = 0;
};

// The port of lists that are never registered (the editors' working lists):
// every call refuses, so nothing of theirs can reach the window system.
class UnregisteredPort : public HotkeyPort {
public:
    std::uint16_t AddHotkeyAtom(const std::string&) override { return 0; }
    bool RegisterCombination(std::uint16_t, std::int32_t, std::int32_t) override { return false; }
    bool UnregisterCombination(std::uint16_t) override { return false; }
    void DeleteHotkeyAtom(std::uint16_t) override {}
};

// "corvinade-KEY-SHIFT": equal combinations share one global atom.
std::string HotkeyAtomName(std::int32_t key, std::int32_t shift);

// Where a hotkey's registration stands: unregistered, registered, failed
// (the system refused the combination) or failed for want of an atom (the
// system's atom table is full). Only a registered hotkey holds an atom.
enum class TRegistrationState : std::uint8_t { Unregistered, Registered, Failed, NoAtom };

// One definition with its registration. Atom 0 means not registered: a
// refused RegisterCombination gives its atom reference back at once, so
// reloads never pile references up. A failed UnregisterCombination keeps it:
// the registration may still be there under it.
class TGlobalHotKey {
public:
    explicit TGlobalHotKey(HotkeyPort& port);
    ~TGlobalHotKey(); // Unregister
    TGlobalHotKey(const TGlobalHotKey&) = delete;
    TGlobalHotKey& operator=(const TGlobalHotKey&) = delete;

    void Register();
    void Unregister();
    TRegistrationState State() const { return state_; }
    bool Failed() const {
        return state_ == TRegistrationState::Failed || state_ == TRegistrationState::NoAtom;
    }

    std::uint16_t Atom = 0;
    THotKeyData Definition;

private:
    HotkeyPort* port_;
    TRegistrationState state_ = TRegistrationState::Unregistered;
};

// The ordered, owning list of hotkeys; the only reader and writer of hotkeys.ini.
// Adding or loading never registers; deleting, clearing or destroying always
// unregisters. Returned pointers stay valid until the item is deleted.
class THotkeyList {
public:
    explicit THotkeyList(HotkeyPort& port);
    ~THotkeyList(); // Clear
    THotkeyList(const THotkeyList&) = delete;
    THotkeyList& operator=(const THotkeyList&) = delete;

    TGlobalHotKey* Add(bool active, std::int32_t key, std::int32_t shift, THotkeyAction func,
                       std::string params, std::string params2);
    TGlobalHotKey* Add(THotKeyData definition);
    void Delete(int index);
    void Clear();
    int IndexOf(const TGlobalHotKey* item) const;
    TGlobalHotKey* Find(std::int32_t key, std::int32_t shift) const;
    TGlobalHotKey* Items(int index) const;
    int Count() const;

    // Replaces the contents with the file's definitions; a missing file gives an
    // empty list. With onlyActive, only the live ones (IsLive). Throws Error
    // when the file exists but cannot be read.
    void LoadFromFile(const std::string& fileName, bool onlyActive);
    // Rewrites the file as sections key0, key1, ...; the old file stays intact
    // when the write fails (Error "Cannot create file ..."). Temporary files of
    // earlier saves that were cut short are removed first.
    void SaveToFile(const std::string& fileName) const;
    // The same rules on bytes in memory: LoadFromText reads as LoadFromFile
    // reads the file's bytes, ToText is what SaveToFile writes. The file is
    // decoded and encoded by DecodeFileText and EncodeFileText: a file of
    // earlier versions reads as before, and one whose texts all fit the ANSI
    // code page is written as they wrote it.
    void LoadFromText(std::string_view bytes, bool onlyActive, const AnsiCodePage& ansi = SystemCodePage());
    std::string ToText(const AnsiCodePage& ansi = SystemCodePage()) const;
    void RegisterAll();

    // The items' definitions in list order; appending (unregistered) items
    // holding the given ones, whole.
    std::vector<THotKeyData> Definitions() const;
    void AddAll(const std::vector<THotKeyData>& definitions);

private:
    void CheckIndex(int index) const;
    void LoadFromImage(const IniImage& ini, bool onlyActive);

    HotkeyPort* port_;
    std::vector<std::unique_ptr<TGlobalHotKey>> items_;
};

} // namespace corvinade
