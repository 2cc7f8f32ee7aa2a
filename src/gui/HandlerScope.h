// Which of the program's frames are on the stack. Posted work and released
// windows wait for the outermost message loop: a nested loop (a modal
// window, a message box, a menu, a file dialog) always runs inside a window
// procedure, a modal run or a posted task of ours, and each of those holds
// a scope while it runs.
#pragma once

namespace corvinade::gui {

class HandlerScope {
public:
    HandlerScope() { ++depth_; }
    ~HandlerScope() { --depth_; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

    // No handler, modal run, message box or posted task of ours is running.
    static bool Outermost() { return depth_ == 0; }

private:
    static inline int depth_ = 0;
};

} // namespace corvinade::gui
