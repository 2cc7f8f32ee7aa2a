// Hooks on one window's messages: each is asked in turn before the window's
// own handling, and the first that answers true has handled the message.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace corvinade::gui {

class MessageHooks {
public:
    using Hook = std::function<bool(UINT msg, WPARAM, LPARAM, LRESULT& result)>;

    // An id for Remove.
    int Add(Hook hook) {
        hooks_.emplace_back(nextId_, std::move(hook));
        return nextId_++;
    }
    void Remove(int id) {
        std::erase_if(hooks_, [id](const auto& entry) { return entry.first == id; });
    }
    void Clear() { hooks_.clear(); }

    // True when a hook handled the message, with `result` as its answer.
    bool Run(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) const {
        if (hooks_.empty())
            return false;
        // A copy: a hook may remove itself or another while it runs.
        for (const auto& [id, hook] : std::vector(hooks_))
            if (hook(msg, wParam, lParam, result))
                return true;
        return false;
    }

private:
    std::vector<std::pair<int, Hook>> hooks_;
    int nextId_ = 1;
};

} // namespace corvinade::gui
