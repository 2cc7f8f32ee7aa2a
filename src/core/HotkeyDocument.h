// Unit HotkeyDocument: the one editable copy of the user's hotkeys. Every
// window reads it and edits it through Commit, the one path that writes
// hotkeys.ini, then (for the setup guide) the log-on entry and the first
// use, then registers the hotkeys and tells every window that shows it.
// Where the writing and registering happen is the port's business.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Hotkeys.h"

namespace corvinade {

// One definition with the identity the windows know it by: it stays with the
// definition across edits and commits, and is never given to another.
struct THotkeyEntry {
    std::uint32_t Id = 0; // 0: new, the commit gives it one
    THotKeyData Definition;
};
using THotkeyEntries = std::vector<THotkeyEntry>;

// What a commit stores: the definitions in file order, and what else is to be
// written (nothing else, unless asked: the setup guide's choices).
struct THotkeyDraft {
    THotkeyEntries Entries;
    std::optional<bool> LogonStart;
    bool FirstUseDone = false;
};

// Where a commit goes, in the order the document calls it.
class HotkeyStorePort {
public:
    virtual ~HotkeyStorePort() = default;
    // Replaces hotkeys.ini in one step; throws Error and leaves the old file
    // when it cannot.
    virtual void WriteHotkeys(const std::vector<THotKeyData>& definitions) = 0;
    // Each throws Error when it cannot write.
    virtual void WriteLogonStart(bool enabled) = 0;
    virtual void WriteFirstUseDone() = 0;
    // The live hotkeys follow the committed definitions.
    virtual void RegisterHotkeys(const std::vector<THotKeyData>& definitions) = 0;
};

class THotkeyDocument {
public:
    explicit THotkeyDocument(HotkeyStorePort& store) : store_(&store) {}
    THotkeyDocument(const THotkeyDocument&) = delete;
    THotkeyDocument& operator=(const THotkeyDocument&) = delete;

    // The stored definitions as read at start; tells no one.
    void Load(const std::vector<THotKeyData>& definitions);

    const THotkeyEntries& Entries() const { return entries_; }
    std::vector<THotKeyData> Definitions() const;
    // The entry with this identity, or null.
    const THotkeyEntry* Find(std::uint32_t id) const;
    int IndexOf(std::uint32_t id) const; // -1 when there is none
    // The identity of the n-th live entry (0 the first; see IsLive), 0 when
    // there are fewer: the live hotkeys are the live entries in this order.
    std::uint32_t ActiveEntryId(int activeIndex) const;
    // A live definition other than `except` with this combination, or null.
    const THotkeyEntry* ActiveWithCombination(std::int32_t key, std::int32_t shift,
                                              std::uint32_t except = 0) const;

    // The document as it is, to edit and commit.
    THotkeyDraft Draft() const;
    // Writes the file, then (when the draft asks) the log-on entry and the
    // first use, then registers the hotkeys and tells every subscriber. A
    // file that cannot be written throws Error and changes nothing. A later
    // step that fails leaves what was written in place and shown; each such
    // failure is one line of the result, naming what did not happen. A
    // definition made afresh for an entry (by an editor that knows only the
    // values it shows) keeps the lines the entry was read with, and its
    // unknown action unless another was chosen.
    std::vector<std::string> Commit(THotkeyDraft draft);

    // Registers the hotkeys again as they are (one whose combination was
    // taken may be free now) and tells every subscriber, as a commit does.
    void RegisterAgain();
    // The stored definitions read again (the file changed behind the
    // program's back): registered and told as a commit does. An entry keeps
    // its identity where an equal definition is read in its place or after
    // it, so a window showing it stays with it.
    void Reload(const std::vector<THotKeyData>& definitions);

    // `changed` runs after every commit; Unsubscribe before going away.
    // Windows that only show the document subscribe to it as it is, const.
    int Subscribe(std::function<void()> changed) const;
    void Unsubscribe(int subscription) const;

private:
    void Notify();

    HotkeyStorePort* store_;
    THotkeyEntries entries_;
    std::uint32_t lastId_ = 0;
    mutable int lastSubscription_ = 0;
    mutable std::vector<std::pair<int, std::function<void()>>> subscribers_;
};

} // namespace corvinade
