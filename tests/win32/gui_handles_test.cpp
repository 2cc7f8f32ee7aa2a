// The resource owners release exactly once, moves hand ownership over, and
// the live counts follow what the owners hold.
#include "gui/Handles.h"

#include <gtest/gtest.h>

#include <thread>
#include <type_traits>

namespace corvinade::gui {
namespace {

static_assert(!std::is_copy_constructible_v<UniqueHandle> &&
              std::is_nothrow_move_constructible_v<UniqueHandle>);
static_assert(!std::is_copy_constructible_v<WindowDC> && !std::is_copy_constructible_v<ComPtr<IUnknown>>);

bool HandleOpen(HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

TEST(GuiHandles, KernelHandleClosedOnceByItsLastOwner) {
    HANDLE raw = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        UniqueHandle first(raw);
        UniqueHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), raw);
        UniqueHandle third;
        third = std::move(second);
        EXPECT_TRUE(HandleOpen(raw));
    }
    EXPECT_FALSE(HandleOpen(raw));

    UniqueHandle invalid(INVALID_HANDLE_VALUE); // CreateFile's failure: nothing to close
    EXPECT_FALSE(invalid);

    HANDLE kept = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    UniqueHandle(kept).Detach();
    EXPECT_TRUE(HandleOpen(kept));
    ::CloseHandle(kept);
}

TEST(GuiHandles, LiveCountsFollowOwnershipNotMoves) {
    const int gdi = LiveGdiObjects(), kernel = LiveKernelHandles();
    {
        GdiObject<HBRUSH> first(::CreateSolidBrush(0));
        MemoryDC dc(::CreateCompatibleDC(nullptr));
        EXPECT_EQ(LiveGdiObjects(), gdi + 2);
        GdiObject<HBRUSH> second(std::move(first));
        second = GdiObject<HBRUSH>(::CreateSolidBrush(1)); // the first brush goes
        EXPECT_EQ(LiveGdiObjects(), gdi + 2);
        ::DeleteObject(second.Detach()); // no longer ours to count
        EXPECT_EQ(LiveGdiObjects(), gdi + 1);
        UniqueHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        event.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        EXPECT_EQ(LiveKernelHandles(), kernel + 1);
    }
    EXPECT_EQ(LiveGdiObjects(), gdi);
    EXPECT_EQ(LiveKernelHandles(), kernel);
}

TEST(GuiHandles, RegistryKeyClosed) {
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\CorvinadeHandlesTest", 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    {
        RegistryKey key(raw);
        EXPECT_EQ(::RegSetValueExA(key.Get(), "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(::RegSetValueExA(raw, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2),
              ERROR_INVALID_HANDLE);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\CorvinadeHandlesTest");
}

TEST(GuiHandles, GdiObjectsAndDCsDeletedAndSelectionsUndone) {
    HBITMAP rawBitmap = nullptr;
    HDC rawDC = nullptr;
    {
        WindowDC screen(nullptr);
        ASSERT_TRUE(screen);
        MemoryDC dc(::CreateCompatibleDC(screen.Get()));
        rawDC = dc.Get();
        GdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.Get(), 16, 16));
        rawBitmap = bitmap.Get();
        HGDIOBJ before = ::GetCurrentObject(dc.Get(), OBJ_BITMAP);
        {
            ScopedSelect select(dc.Get(), bitmap.Get());
            EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), rawBitmap);
        }
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), before);
        EXPECT_EQ(::GetObjectType(rawBitmap), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(::GetObjectType(rawBitmap), 0u);
    EXPECT_EQ(::GetObjectType(rawDC), 0u);
}

TEST(GuiHandles, OwnedWindowDestroyed) {
    HWND raw = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    {
        UniqueWindow window(raw);
        EXPECT_TRUE(::IsWindow(raw));
    }
    EXPECT_FALSE(::IsWindow(raw));
}

// The clipboard is ours while the guard holds it: another thread cannot open it.
TEST(GuiHandles, ClipboardHeldByGuardOnly) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    UniqueWindow window(owner);
    auto otherThreadCanOpen = [] {
        bool opened = false;
        std::thread([&] {
            HWND mine =
                ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
            opened = ::OpenClipboard(mine) != FALSE;
            if (opened)
                ::CloseClipboard();
            ::DestroyWindow(mine);
        }).join();
        return opened;
    };
    {
        ClipboardGuard clipboard(owner);
        ASSERT_TRUE(clipboard.Opened());
        EXPECT_FALSE(otherThreadCanOpen());
    }
    EXPECT_TRUE(otherThreadCanOpen());
}

TEST(GuiHandles, GlobalMemoryLockedAndFreed) {
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, 16));
    ASSERT_TRUE(memory);
    {
        GlobalLockGuard<char> lock(memory.Get());
        ASSERT_NE(lock.Get(), nullptr);
        EXPECT_EQ(::GlobalFlags(memory.Get()) & GMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(::GlobalFlags(memory.Get()) & GMEM_LOCKCOUNT, 0u);
    HGLOBAL raw = memory.Get();
    memory.Reset();
    EXPECT_EQ(::GlobalFlags(raw), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

TEST(GuiHandles, ComInitializedForTheGuardsLifeOnly) {
    std::thread([] {
        {
            ComInit com;
            EXPECT_EQ(com.Result(), S_OK);
            // A different model is refused while ours stands.
            EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
            ComPtr<IUnknown> unknown;
            EXPECT_FALSE(unknown);
        }
        HRESULT again = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(again, S_OK);
        if (SUCCEEDED(again))
            ::CoUninitialize();
    }).join();
}

} // namespace
} // namespace corvinade::gui
