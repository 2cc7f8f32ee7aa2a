// Unit HotkeyDocument; see HotkeyDocument.h.
#include "core/HotkeyDocument.h"

#include <algorithm>
#include <exception>
#include <unordered_map>

namespace corvinade {

namespace {

std::string FailureText(const std::string& what) {
    try {
        throw;
    } catch (const std::exception& e) {
        return what + ": " + e.what();
    } catch (...) {
        return what;
    }
}

// A window that knows only the values it shows (a row's editor) makes its
// definition afresh: what the file held beyond them stays with the entry
// (the options its action does not take among them),
// and so does an action this version does not know, unless one was chosen.
void KeepWhatWasRead(THotKeyData& edited, const THotKeyData& stored) {
    edited.Capture = CaptureOptionsOf(edited.Func, edited.Capture, stored.Capture);
    if (!edited.Lines.empty() || edited.UnknownAction)
        return;
    edited.Lines = stored.Lines;
    if (edited.Func == THotkeyAction::None)
        edited.UnknownAction = stored.UnknownAction;
}

} // namespace

void THotkeyDocument::Load(const std::vector<THotKeyData>& definitions) {
    entries_.clear();
    for (const THotKeyData& d : definitions)
        entries_.push_back({++lastId_, d});
}

std::vector<THotKeyData> THotkeyDocument::Definitions() const {
    std::vector<THotKeyData> definitions;
    definitions.reserve(entries_.size());
    for (const THotkeyEntry& e : entries_)
        definitions.push_back(e.Definition);
    return definitions;
}

const THotkeyEntry* THotkeyDocument::Find(std::uint32_t id) const {
    const int index = IndexOf(id);
    return index < 0 ? nullptr : &entries_[static_cast<std::size_t>(index)];
}

int THotkeyDocument::IndexOf(std::uint32_t id) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (id != 0 && entries_[i].Id == id)
            return static_cast<int>(i);
    return -1;
}

std::uint32_t THotkeyDocument::ActiveEntryId(int activeIndex) const {
    for (const THotkeyEntry& entry : entries_)
        if (IsLive(entry.Definition) && activeIndex-- == 0)
            return entry.Id;
    return 0;
}

const THotkeyEntry* THotkeyDocument::ActiveWithCombination(std::int32_t key, std::int32_t shift,
                                                           std::uint32_t except) const {
    for (const THotkeyEntry& e : entries_)
        if (e.Id != except && IsLive(e.Definition) && e.Definition.Key == key && e.Definition.Shift == shift)
            return &e;
    return nullptr;
}

THotkeyDraft THotkeyDocument::Draft() const {
    return {entries_, std::nullopt, false};
}

std::vector<std::string> THotkeyDocument::Commit(THotkeyDraft draft) {
    // An identity the document does not hold (an entry deleted meanwhile)
    // or one used twice would make two windows edit one definition.
    std::unordered_map<std::uint32_t, const THotkeyEntry*> held;
    held.reserve(entries_.size());
    for (const THotkeyEntry& e : entries_)
        held.emplace(e.Id, &e);
    std::vector<THotKeyData> definitions;
    definitions.reserve(draft.Entries.size());
    for (THotkeyEntry& e : draft.Entries) {
        const auto found = e.Id != 0 ? held.find(e.Id) : held.end();
        if (found == held.end())
            e.Id = 0;
        else {
            KeepWhatWasRead(e.Definition, found->second->Definition);
            held.erase(found); // a second use of the identity is new
        }
        definitions.push_back(e.Definition);
    }
    store_->WriteHotkeys(definitions); // throws: nothing has changed

    for (THotkeyEntry& e : draft.Entries)
        if (e.Id == 0)
            e.Id = ++lastId_;
    entries_ = std::move(draft.Entries);
    std::vector<std::string> failures;
    if (draft.LogonStart) {
        try {
            store_->WriteLogonStart(*draft.LogonStart);
        } catch (...) {
            failures.push_back(FailureText(*draft.LogonStart ? "Start at log-on was not turned on"
                                                             : "Start at log-on was not turned off"));
        }
    }
    if (draft.FirstUseDone) {
        try {
            store_->WriteFirstUseDone();
        } catch (...) {
            failures.push_back(FailureText("The end of the setup guide was not recorded"));
        }
    }
    try {
        store_->RegisterHotkeys(definitions);
    } catch (...) {
        failures.push_back(FailureText("The hotkeys were not registered again"));
    }
    Notify();
    return failures;
}

// A subscriber may unsubscribe another (a window closed by the change):
// each is looked up again before it is told.
void THotkeyDocument::RegisterAgain() {
    store_->RegisterHotkeys(Definitions());
    Notify();
}

void THotkeyDocument::Notify() {
    std::vector<int> ids;
    for (const auto& s : subscribers_)
        ids.push_back(s.first);
    for (int id : ids) {
        auto it = std::find_if(subscribers_.begin(), subscribers_.end(),
                               [&](const auto& s) { return s.first == id; });
        if (it != subscribers_.end()) {
            std::function<void()> changed = it->second;
            changed();
        }
    }
}

int THotkeyDocument::Subscribe(std::function<void()> changed) const {
    subscribers_.emplace_back(++lastSubscription_, std::move(changed));
    return lastSubscription_;
}

void THotkeyDocument::Unsubscribe(int subscription) const {
    std::erase_if(subscribers_, [&](const auto& s) { return s.first == subscription; });
}

} // namespace corvinade
