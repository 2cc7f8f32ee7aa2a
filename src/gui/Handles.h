// Move-only owners of the Win32 resources the program touches: kernel
// handles, windows, device contexts, GDI objects, registry keys, and the
// scoped states (selected object, open clipboard, locked memory, COM
// initialization) that must be undone on every path out of a block.
#pragma once

#include <objbase.h>
#include <windows.h>

#include "core/Handles_win.h"

#include <cstddef>
#include <cstring>
#include <utility>

namespace corvinade::gui {

using corvinade::KernelHandleTraits;
using corvinade::LiveGdiObjects;
using corvinade::LiveKernelHandles;
using corvinade::Unique;
using corvinade::UniqueHandle;

struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static bool Valid(HWND h) { return h != nullptr; }
    static void Close(HWND h) { ::DestroyWindow(h); }
};
struct MemoryDCTraits {
    static HDC Invalid() { return nullptr; }
    static bool Valid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { ::DeleteDC(h); }
    static void Count(int delta) { LiveGdiObjects() += delta; }
};
template <class T> struct GdiTraits {
    static T Invalid() { return nullptr; }
    static bool Valid(T h) { return h != nullptr; }
    static void Close(T h) { ::DeleteObject(h); }
    static void Count(int delta) { LiveGdiObjects() += delta; }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool Valid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
    static void Count(int delta) { LiveKernelHandles() += delta; }
};

// A window this code created and must destroy.
using UniqueWindow = Unique<HWND, WindowTraits>;
// A device context from CreateCompatibleDC / CreateDC.
using MemoryDC = Unique<HDC, MemoryDCTraits>;
// A GDI object: GdiObject<HBITMAP>, GdiObject<HFONT>, GdiObject<HBRUSH>...
template <class T> using GdiObject = Unique<T, GdiTraits<T>>;
// A registry key from RegOpenKeyEx / RegCreateKeyEx.
using RegistryKey = Unique<HKEY, RegKeyTraits>;

// A window's device context from GetDC / GetWindowDC, given back with
// ReleaseDC for the same window.
class WindowDC {
public:
    // GetDC(window); a null window gives the screen's DC.
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    // The whole window including its frame (GetWindowDC).
    static WindowDC WholeWindow(HWND window) { return WindowDC(window, ::GetWindowDC(window)); }
    WindowDC(WindowDC&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDC& operator=(WindowDC&& other) noexcept {
        if (this != &other) {
            Release();
            window_ = std::exchange(other.window_, nullptr);
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { Release(); }

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}
    void Release() {
        if (dc_)
            ::ReleaseDC(window_, dc_);
        dc_ = nullptr;
    }

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// Selects an object into a DC for the life of the guard and puts the
// previous one back, so a DC is never deleted with our object selected.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (previous_ && previous_ != HGDI_ERROR)
            ::SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Holds the clipboard open; Opened() tells whether OpenClipboard succeeded
// (it fails while another program holds it).
class ClipboardGuard {
public:
    explicit ClipboardGuard(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ClipboardGuard(const ClipboardGuard&) = delete;
    ClipboardGuard& operator=(const ClipboardGuard&) = delete;
    ~ClipboardGuard() {
        if (open_)
            ::CloseClipboard();
    }
    bool Opened() const { return open_; }

private:
    bool open_;
};

// GlobalLock for the life of the guard; Get() is null when the lock failed.
template <class T = void> class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL memory)
        : memory_(memory), data_(static_cast<T*>(::GlobalLock(memory))) {}
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    ~GlobalLockGuard() {
        if (data_)
            ::GlobalUnlock(memory_);
    }
    T* Get() const { return data_; }

private:
    HGLOBAL memory_;
    T* data_;
};

// Memory from GlobalAlloc that is ours until Detach() hands it over (for
// example to SetClipboardData, which then owns it).
struct GlobalMemoryTraits {
    static HGLOBAL Invalid() { return nullptr; }
    static bool Valid(HGLOBAL h) { return h != nullptr; }
    static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
using GlobalMemory = Unique<HGLOBAL, GlobalMemoryTraits>;

// Movable memory holding a copy of these bytes, as the clipboard takes it;
// empty when the system has no memory for it.
inline GlobalMemory GlobalCopy(const void* bytes, std::size_t size) {
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory)
        return memory;
    GlobalLockGuard<char> lock(memory.Get());
    if (!lock.Get())
        return GlobalMemory();
    std::memcpy(lock.Get(), bytes, size);
    return memory;
}

// An icon this code made (CopyIcon, CopyImage, LoadImage without LR_SHARED).
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static bool Valid(HICON icon) { return icon != nullptr; }
    static void Close(HICON icon) { ::DestroyIcon(icon); }
};
using UniqueIcon = Unique<HICON, IconTraits>;

// COM initialized on this thread for the life of the guard; balanced with
// CoUninitialize only when the initialization counted (S_OK or S_FALSE).
class ComInit {
public:
    explicit ComInit(DWORD model = COINIT_APARTMENTTHREADED) : result_(::CoInitializeEx(nullptr, model)) {}
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    ~ComInit() {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    HRESULT Result() const { return result_; }
    bool Succeeded() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

// An owned COM interface pointer: Release() once when dropped.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: drops the current pointer and returns its slot.
    T** Put() {
        Reset();
        return &p_;
    }
    void Reset(T* p = nullptr) {
        if (T* old = std::exchange(p_, p))
            old->Release();
    }

private:
    T* p_ = nullptr;
};

} // namespace corvinade::gui
