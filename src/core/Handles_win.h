// Move-only owner of kernel handles, and the tally of what the program's
// owners hold, for the Win32 halves of every layer (the GUI layer's
// gui/Handles.h builds its other owners on it).
#pragma once

#include <windows.h>

#include <utility>

namespace corvinade {

// The GDI objects (memory device contexts included) and the kernel handles
// (registry keys included) the wrappers below hold now: the system's own
// counts (GetGuiResources, GetProcessHandleCount) are not real everywhere,
// and a long run must show these flat.
inline int& LiveGdiObjects() {
    static int count = 0;
    return count;
}
inline int& LiveKernelHandles() {
    static int count = 0;
    return count;
}

// One owned value of type T, released by Traits::Close unless it equals
// Traits::Invalid(). The traits below give the aliases their meaning; traits
// with a Count function keep a tally of the values held.
template <class T, class Traits> class Unique {
public:
    Unique() = default;
    explicit Unique(T value) : value_(value) { Count(value_, +1); }
    Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = std::exchange(other.value_, Traits::Invalid());
        }
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }

    T Get() const { return value_; }
    explicit operator bool() const { return Traits::Valid(value_); }
    T Detach() {
        Count(value_, -1);
        return std::exchange(value_, Traits::Invalid());
    }
    void Reset(T value = Traits::Invalid()) {
        T old = std::exchange(value_, value);
        Count(value_, +1);
        if (Traits::Valid(old)) {
            Count(old, -1);
            Traits::Close(old);
        }
    }

private:
    static void Count(T value, int delta) {
        if constexpr (requires { Traits::Count(delta); })
            if (Traits::Valid(value))
                Traits::Count(delta);
    }

    T value_ = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
    static void Count(int delta) { LiveKernelHandles() += delta; }
};
// A kernel handle (file, mutex, process, thread, event...).
using UniqueHandle = Unique<HANDLE, KernelHandleTraits>;

} // namespace corvinade
