// End-to-end test of where the program takes its libraries from: a library
// planted beside a copy of corvinade.exe under a system library's name never
// loads, while the features that use that system library go on working. Wine
// is told for this case to prefer a library beside the program
// (CORVINADE_WINEDLLOVERRIDES "oleacc,wininet=n,b", tests/CMakeLists.txt),
// as Windows does for every library that is not one of its known ones.
// Planted are libraries that only the program loads: Wine's own modules
// import version.dll and shcore.dll before the program starts, and load
// uxtheme.dll through their own delayed imports, from the program's folder
// whatever it asks.
#include <gmock/gmock.h>

#include "Harness.h"
#include "TrayHarness.h"

#include <oleacc.h>

namespace corvinade::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char* const PlantedNames[] = {"oleacc.dll", "wininet.dll"};

// A folder of its own in the temporary folder.
std::string MakeFolder(const std::string& name) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = temp + name + " " + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        ADD_FAILURE() << "cannot make " << folder;
    return folder;
}

class PlantedLibraryTest : public DesktopTest {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override {
        CoUninitialize();
        DesktopTest::TearDown();
    }
};

// The panel's accessible object asked by a screen reader and the update
// check's download (with the version read from the program's file): each
// works, and none of the planted libraries beside the program was loaded.
TEST_F(PlantedLibraryTest, LibrariesBesideTheProgramNeverLoad) {
    UpdateEndpoint endpoint(1000000);
    ASSERT_TRUE(endpoint.Started());
    SetSettingText("FirstUse", "0");
    SetSettingText("UpdateBaseAddress", endpoint.BaseAddress());
    WriteHotkeysIni({{true, 'S', ModWin, "maximize", "", ""}});
    // The planted library tells when it is loaded.
    const std::string probeFolder = MakeFolder("planted probe");
    const std::string probe = probeFolder + "\\probe.dll";
    ASSERT_TRUE(CopyFileA(TestProgram("planted.dll").c_str(), probe.c_str(), FALSE));
    HMODULE loaded = LoadLibraryA(probe.c_str());
    ASSERT_NE(loaded, nullptr);
    FreeLibrary(loaded);
    ASSERT_THAT(FolderListing(probeFolder + "\\*.loaded"), ElementsAre("probe.dll.loaded"));

    const std::string folder = MakeFolder("planted");
    const std::string exe = CopyInto(CorvinadeExe(), folder);
    for (const char* name : PlantedNames)
        ASSERT_TRUE(CopyFileA(TestProgram("planted.dll").c_str(), (folder + "\\" + name).c_str(), FALSE));
    Process corvinade = Process::Start(exe);
    ASSERT_TRUE(WaitForHotkeyRegistration('S', ModWin));
    HWND panel = FindPanel(corvinade.Id());
    ASSERT_NE(panel, nullptr);
    for (int attempt = 0; attempt < 5 && !IsWindowVisible(panel); ++attempt) {
        ASSERT_TRUE(ClickTrayIcon());
        WaitFor([&] { return IsWindowVisible(panel) != FALSE; }, Milliseconds{4000});
    }
    ASSERT_TRUE(IsWindowVisible(panel));

    // wininet: "Check for updates" asks the endpoint, with the running version.
    RECT r = {};
    GetWindowRect(panel, &r);
    ASSERT_TRUE(MovePointer(r.left + 571 - 30, r.bottom - 21 + 6) && Xdotool("click 1"));
    HWND box = WaitForWindow({"#32770", "", corvinade.Id(), true});
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "There is no new version of Corvinade at this time.");
    EXPECT_THAT(endpoint.Requests(), ElementsAre("/softwareupdate.php?obj=11&ver=1000000"));
    ASSERT_TRUE(ClickButton(box, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

    // oleacc: a screen reader reads the panel (the question AccessibleObjectFromWindow
    // sends, with a time limit: a program that fails to answer would hold the test).
    DWORD_PTR answer = 0;
    IAccessible* object = nullptr;
    if (SendMessageTimeoutW(panel, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_NORMAL,
                            static_cast<UINT>(DefaultTimeout.count()), &answer) &&
        ObjectFromLresult(static_cast<LRESULT>(answer), IID_IAccessible, 0,
                          reinterpret_cast<void**>(&object)) == S_OK) {
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(self, &name), S_OK);
        EXPECT_EQ(name ? Utf8Of(name) : "", "Active hotkeys");
        SysFreeString(name);
        object->Release();
    } else {
        ADD_FAILURE() << "no accessible object of the panel";
    }

    EXPECT_THAT(FolderListing(folder + "\\*.loaded"), IsEmpty());
}

} // namespace
} // namespace corvinade::test
