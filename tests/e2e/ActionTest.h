// The common ground of the end-to-end tests of the hotkey actions: the real
// corvinade.exe started on a prepared hotkeys.ini, with one extra hotkey, the
// probe, that places a known text in the clipboard. Pressing the probe after
// an action proves that the program still answers hotkeys, and, because the
// program handles its hotkeys one after the other, that the action before it
// has run.
#pragma once

#include "Harness.h"

#include <string>
#include <vector>

namespace corvinade::test {

class ActionTest : public DesktopTest {
protected:
    static constexpr UINT ProbeKey = 'Z';
    static constexpr UINT ProbeShift = ModWin | ModCtrl;
    static constexpr const char* ProbeText = "probe: hotkeys work";

    void SetUp() override { SetSettingText("FirstUse", "0"); }

    static HotkeyEntry Hotkey(UINT key, UINT shift, const std::string& func, const std::string& params = {}) {
        return {true, static_cast<int>(key), static_cast<int>(shift), func, params, ""};
    }

    // Writes the hotkeys and the probe, starts corvinade.exe and waits until
    // every one of them is registered.
    void StartCorvinade(std::vector<HotkeyEntry> entries) {
        entries.push_back(Hotkey(ProbeKey, ProbeShift, "placeinclipboard", ProbeText));
        WriteHotkeysIni(entries);
        corvinade = Process::Start(CorvinadeExe());
        for (const HotkeyEntry& entry : entries) {
            const auto key = static_cast<UINT>(entry.key);
            const auto shift = static_cast<UINT>(entry.shift);
            ASSERT_TRUE(WaitForHotkeyRegistration(key, shift))
                << "no registration of " << HotkeyAtomName(key, shift);
        }
    }

    // Presses the hotkey and returns the clipboard's text once it has
    // changed. The test leaves the clipboard alone meanwhile: the program
    // would find it busy.
    static std::optional<std::string> PressAndReadClipboard(UINT key, UINT shift) {
        const DWORD before = GetClipboardSequenceNumber();
        PressHotkey(key, shift);
        if (!WaitForClipboardChange(before)) {
            ADD_FAILURE() << "the clipboard did not change after " << HotkeyAtomName(key, shift);
            return std::nullopt;
        }
        return ClipboardText();
    }

    // Presses the probe and checks its text in the clipboard.
    void ProveHotkeysWork() {
        SetClipboardText("before the probe");
        ASSERT_EQ(PressAndReadClipboard(ProbeKey, ProbeShift), ProbeText) << "the probe hotkey did not work";
        EXPECT_TRUE(corvinade.Running());
    }

    // Starts Wine's Notepad and waits until its window is in the foreground.
    HWND StartNotepad() {
        notepad = Process::Start("notepad.exe");
        WaitForInputIdle(notepad.Handle(), static_cast<DWORD>(DefaultTimeout.count()));
        const HWND window = WaitForWindow({"Notepad", "", notepad.Id(), true});
        if (window != nullptr && !BringToForeground(window))
            ADD_FAILURE() << "Notepad did not come to the foreground";
        return window;
    }

    // The error box of corvinade.exe (the default error display), or nullptr.
    HWND WaitForErrorBox() { return WaitForWindow({"#32770", "Corvinade", corvinade.Id(), true}); }

    Process corvinade;
    Process notepad;
};

} // namespace corvinade::test
