// End-to-end tests of screen capture: the real corvinade.exe grabs a test
// window that paints a known pattern; the tests look at the window fitted to
// its work area, zoom it, drag selections with mouse messages at 1:1, crop,
// save through the real save dialog and copy, and check the files with an
// independent decoder (ImageMagick) and the clipboard from this process,
// against the known colours.
#include "CaptureHarness.h"
#include "CapturePattern.h"
#include "Harness.h"
#include "SettingsHarness.h"

#include <gmock/gmock.h>
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <type_traits>

namespace corvinade::test {
namespace {

constexpr UINT KeyS = 'S'; // capturescreen
constexpr UINT KeyW = 'W'; // capturewindow
constexpr char CaptureTitle[] = "Save Capture";
constexpr char ImageViewClass[] = "CorvinadeImageView";
// The virtual desktop of wine-run.sh: 1280 x 800 with a 20-pixel taskbar.
constexpr int ScreenW = 1280, ScreenH = 800;
constexpr int JpegTolerance = 24;

// A pixel under the selection's dimming: 105/255 of each channel.
std::uint32_t Dimmed(std::uint32_t c) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((((c >> shift) & 0xFF) * 105 + 127) / 255) << shift;
    return out;
}

class CaptureTest : public DesktopTest {
protected:
    void SetUp() override {
        SetSettingText("FirstUse", "0");
        WriteHotkeysIni(
            {{true, KeyS, ModWin, "capturescreen", "", ""}, {true, KeyW, ModWin, "capturewindow", "", ""}});
        corvinade = Process::Start(CorvinadeExe());
        ASSERT_TRUE(WaitForHotkeyRegistration(KeyS, ModWin));
        ASSERT_TRUE(WaitForHotkeyRegistration(KeyW, ModWin));
        SetCursorPos(ScreenW - 1, 0); // away from every window of the tests
    }

    // Starts the pattern window at these outer bounds and waits until it is in front.
    void ShowPattern(int left, int top, int width, int height) {
        pattern = Process::Start(TestProgram("pattern.exe"),
                                 std::to_string(left) + " " + std::to_string(top) + " " +
                                     std::to_string(width) + " " + std::to_string(height));
        patternWindow = WaitForWindow({"CorvinadePattern", "Pattern", pattern.Id(), true});
        ASSERT_NE(patternWindow, nullptr);
        ASSERT_TRUE(WaitFor([&] {
            return GetForegroundWindow() == patternWindow &&
                   ScreenPixel(PatternOrigin().x + 1, PatternOrigin().y + 1) == PatternCellColour(0, 0);
        })) << "the pattern window is not painted in front";
    }

    POINT PatternOrigin() const {
        POINT origin = {0, 0};
        ClientToScreen(patternWindow, &origin);
        return origin;
    }
    SIZE PatternClient() const {
        RECT r;
        GetClientRect(patternWindow, &r);
        return {r.right, r.bottom};
    }
    // The known colour at a screen point inside the pattern's client area.
    std::uint32_t ExpectedAt(int screenX, int screenY) const {
        const POINT o = PatternOrigin();
        const SIZE s = PatternClient();
        return PatternColourAt(screenX - o.x, screenY - o.y, s.cx, s.cy);
    }

    // The zoom the capture window shows along its bottom ("100%").
    static std::string ZoomShown(HWND capture) {
        for (HWND child = GetWindow(capture, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const std::string text = WindowText(child);
            if (WindowClass(child) == "Static" && !text.empty() && text.back() == '%')
                return text;
        }
        return "";
    }

    static bool HasScrollBars(HWND view) {
        return (GetWindowLongA(view, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0;
    }

    // Presses the hotkey and waits for a new capture window, painted.
    HWND OpenCapture(UINT key) {
        const auto before = FindTopWindows({"", CaptureTitle, corvinade.Id(), true});
        PressHotkey(key, ModWin);
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND w : FindTopWindows({"", CaptureTitle, corvinade.Id(), true}))
                if (std::find(before.begin(), before.end(), w) == before.end())
                    found = w;
            return found != nullptr;
        });
        if (found)
            view = FindChildOfClass(found, ImageViewClass);
        else
            ADD_FAILURE() << "no capture window; corvinade " << (corvinade.Running() ? "runs" : "ended")
                          << ", pattern " << (pattern.Running() ? "runs" : "ended");
        return found;
    }

    // A new capture window at 1:1, as the user gets it with the pointer on
    // the view's top-left corner and Ctrl+1: a whole-screen grab then shows
    // from its top-left pixel, image pixels where the screen's were.
    HWND OpenCaptureAtActualSize(UINT key) {
        HWND capture = OpenCapture(key);
        if (!capture || !WaitFor([&] { return GetForegroundWindow() == capture; }))
            return nullptr;
        POINT corner = {0, 0};
        ClientToScreen(view, &corner);
        SetCursorPos(corner.x, corner.y);
        PressHotkey('1', ModCtrl);
        const bool actual = WaitFor([&] { return ZoomShown(capture) == "100%" && HasScrollBars(view); });
        SetCursorPos(ScreenW - 1, 0);
        if (!actual)
            ADD_FAILURE() << "Ctrl+1 did not show the image 1:1 with scroll bars: " << ZoomShown(capture);
        return actual ? capture : nullptr;
    }

    // Where an image pixel shows at 1:1, unscrolled: centred where the
    // image is smaller than the view.
    POINT ShownAt(POINT imagePoint, SIZE image) const {
        RECT client = {};
        GetClientRect(view, &client);
        POINT p = {imagePoint.x + std::max<LONG>(0, (client.right - image.cx) / 2),
                   imagePoint.y + std::max<LONG>(0, (client.bottom - image.cy) / 2)};
        ClientToScreen(view, &p);
        return p;
    }

    // The pattern on screen, a whole-screen capture of it at 1:1 and a
    // selection dragged between two points given from the pattern's corner;
    // `from` gets the screen point where the drag began. Null when no window
    // opened.
    HWND CaptureWithSelection(POINT fromOffset, POINT toOffset, POINT& from) {
        ShowPattern(120, 140, 380, 280);
        if (HasFatalFailure())
            return nullptr;
        HWND capture = OpenCaptureAtActualSize(KeyS);
        if (capture == nullptr)
            return nullptr;
        const POINT o = PatternOrigin();
        from = {o.x + fromOffset.x, o.y + fromOffset.y};
        DragWithLeftButton(view, from, {o.x + toOffset.x, o.y + toOffset.y});
        return capture;
    }

    static bool WaitUntilClosed(HWND window) {
        return WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); });
    }

    std::optional<RgbImage> WaitForImage(const std::string& linuxPath) {
        std::optional<RgbImage> image;
        WaitFor(
            [&] { return GetFileAttributesA(WindowsPath(linuxPath).c_str()) != INVALID_FILE_ATTRIBUTES; });
        image = ReadImageFile(linuxPath);
        if (!image)
            ADD_FAILURE() << RunLinuxShell("ls -la " + linuxPath + "; identify " + linuxPath);
        return image;
    }

    // Every pixel of `image` equals the pattern at screen point origin + (x, y).
    void ExpectExactPattern(const RgbImage& image, POINT origin) const {
        int wrong = 0;
        for (int y = 0; y < image.height && wrong < 5; ++y)
            for (int x = 0; x < image.width && wrong < 5; ++x)
                if (image.At(x, y) != ExpectedAt(origin.x + x, origin.y + y)) {
                    ++wrong;
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << image.At(x, y)
                                  << ", expected " << ExpectedAt(origin.x + x, origin.y + y);
                }
    }

    // The pattern window's client area sits in a grab taken from screen
    // point `grabbed` (the whole screen's by default) at its screen place.
    void ExpectPatternInScreenGrab(const RgbImage& screen, POINT grabbed = {0, 0}) const {
        const POINT o = PatternOrigin();
        const SIZE s = PatternClient();
        RgbImage client{"", s.cx, s.cy, {}};
        for (int y = 0; y < s.cy; ++y)
            for (int x = 0; x < s.cx; ++x)
                client.pixels.push_back(screen.At(o.x - grabbed.x + x, o.y - grabbed.y + y));
        ExpectExactPattern(client, o);
    }

    // Saves the capture window's image as BMP and reads it back once the window has closed.
    std::optional<RgbImage> SaveAndRead(HWND capture, const std::string& name) {
        const std::string file = folder.Path() + "/" + name;
        if (!SaveThroughDialog(capture, WindowsPath(file)) || !WaitUntilClosed(capture)) {
            ADD_FAILURE() << "the capture window did not save and close";
            return std::nullopt;
        }
        return WaitForImage(file);
    }

    Process corvinade;
    Process pattern;
    HWND patternWindow = nullptr;
    HWND view = nullptr;
    LinuxTempFolder folder;
};

// The whole-screen grab has the screen's size and shows the pattern at its place.
TEST_F(CaptureTest, CaptureScreenSavesThePatternAtItsPlace) {
    ASSERT_NO_FATAL_FAILURE(ShowPattern(100, 120, 400, 300));
    HWND capture = OpenCapture(KeyS);
    ASSERT_NE(capture, nullptr);
    ASSERT_NE(view, nullptr);
    const std::string file = folder.Path() + "/screen.bmp";
    ASSERT_TRUE(SaveThroughDialog(capture, WindowsPath(file)));
    ASSERT_TRUE(WaitUntilClosed(capture)) << "the window stays open after saving";
    const auto image = WaitForImage(file);
    ASSERT_TRUE(image);
    EXPECT_THAT(image->format, ::testing::StartsWith("BMP"));
    ASSERT_EQ(image->width, ScreenW);
    ASSERT_EQ(image->height, ScreenH);
    ExpectPatternInScreenGrab(*image);
}

// A whole-screen grab opens centred in its monitor's work area, fitted
// below 1:1 with the whole image in view (each cell of the pattern at its
// place) and no scroll bars. Ctrl+1 shows it 1:1 with scroll bars, Ctrl+0
// fits it again, Ctrl with the wheel zooms in by steps.
TEST_F(CaptureTest, WholeScreenOpensFittedInTheWorkArea) {
    ASSERT_NO_FATAL_FAILURE(ShowPattern(100, 120, 400, 300));
    HWND capture = OpenCapture(KeyS);
    ASSERT_NE(capture, nullptr);
    MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(capture, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT work = monitor.rcWork;
    RECT r = {};
    GetWindowRect(capture, &r);
    EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    EXPECT_LE(std::abs((r.left - work.left) - (work.right - r.right)), 1) << "not centred across";
    EXPECT_LE(std::abs((r.top - work.top) - (work.bottom - r.bottom)), 1) << "not centred down";
    EXPECT_FALSE(HasScrollBars(view));
    const std::string fitted = ZoomShown(capture);
    ASSERT_THAT(fitted, ::testing::MatchesRegex("\\d+%"));
    EXPECT_LT(std::stoi(fitted), 100);

    // The zoom that fits, the image centred: each cell's middle where the
    // shrunk image shows it.
    RECT client = {};
    GetClientRect(view, &client);
    const double zoom =
        std::min(static_cast<double>(client.right) / ScreenW, static_cast<double>(client.bottom) / ScreenH);
    const POINT o = PatternOrigin();
    const SIZE s = PatternClient();
    for (const POINT cell : {POINT{0, 0}, POINT{3, 0}, POINT{1, 2}, POINT{3, 3}}) {
        const double x = o.x + (2 * cell.x + 1) * s.cx / 8.0, y = o.y + (2 * cell.y + 1) * s.cy / 8.0;
        POINT shown = {static_cast<LONG>((client.right - ScreenW * zoom) / 2 + x * zoom),
                       static_cast<LONG>((client.bottom - ScreenH * zoom) / 2 + y * zoom)};
        ClientToScreen(view, &shown);
        EXPECT_TRUE(WaitFor([&] {
            return ScreenPixel(shown.x, shown.y) == PatternCellColour(cell.x, cell.y);
        })) << "cell "
            << cell.x << "," << cell.y << " shows " << std::hex << ScreenPixel(shown.x, shown.y);
    }

    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == capture; }));
    PressHotkey('1', ModCtrl);
    EXPECT_TRUE(WaitFor([&] { return ZoomShown(capture) == "100%" && HasScrollBars(view); }))
        << ZoomShown(capture);
    PressHotkey('0', ModCtrl);
    EXPECT_TRUE(WaitFor([&] { return ZoomShown(capture) == fitted && !HasScrollBars(view); }))
        << ZoomShown(capture);
    POINT middle = {client.right / 2, client.bottom / 2};
    ClientToScreen(view, &middle);
    for (int notch = 0; notch < 2; ++notch)
        PostMessageA(view, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA),
                     MAKELPARAM(middle.x, middle.y));
    EXPECT_TRUE(WaitFor([&] { return ZoomShown(capture) == "125%"; })) << ZoomShown(capture);
}

// At 144 dpi the grab still has the screen's physical size, pixel for pixel:
// neither scaled by the dpi nor cut to a scaled-down rectangle.
class CaptureAt144Dpi : public CaptureTest {
protected:
    void SetUp() override {
        const char* dpi = std::getenv("CORVINADE_DPI");
        if (!dpi || std::string(dpi) != "144")
            GTEST_SKIP() << "needs CORVINADE_DPI=144";
        // Physical coordinates in this process too, as in corvinade and the pattern.
        SetProcessDPIAware();
        ASSERT_EQ(ScreenLogPixels(), 144) << "the harness did not set the dpi";
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), ScreenW);
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), ScreenH);
        CaptureTest::SetUp();
    }

    static int ScreenLogPixels() {
        struct Release {
            void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
        };
        const std::unique_ptr<std::remove_pointer_t<HDC>, Release> screen(GetDC(nullptr));
        return screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    }
};

TEST_F(CaptureAt144Dpi, CaptureScreenKeepsPhysicalSize) {
    // Across 853 x 533, the screen's size in 96-dpi pixels: a grab cut there shows.
    ASSERT_NO_FATAL_FAILURE(ShowPattern(700, 380, 400, 300));
    HWND capture = OpenCapture(KeyS);
    ASSERT_NE(capture, nullptr);
    const std::string file = folder.Path() + "/screen144.bmp";
    ASSERT_TRUE(SaveThroughDialog(capture, WindowsPath(file)));
    ASSERT_TRUE(WaitUntilClosed(capture));
    const auto image = WaitForImage(file);
    ASSERT_TRUE(image);
    EXPECT_THAT(image->format, ::testing::StartsWith("BMP"));
    ASSERT_EQ(image->width, ScreenW);
    ASSERT_EQ(image->height, ScreenH);
    ExpectPatternInScreenGrab(*image);
}

// A second monitor of 1024 x 768 left of the primary, at negative
// coordinates; ctest runs these cases with CORVINADE_MONITOR2=left:1024x768
// (wine-run.sh makes the two monitors with Xorg's dummy driver).
class CaptureOnTwoMonitors : public CaptureTest {
protected:
    void SetUp() override {
        const char* monitor = std::getenv("CORVINADE_MONITOR2");
        if (!monitor || std::string(monitor) != "left:1024x768")
            GTEST_SKIP() << "needs CORVINADE_MONITOR2=left:1024x768";
        // The harness made them: a run with one monitor is its fault, not a skip.
        ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
        ASSERT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), LeftMonitor.x);
        CaptureTest::SetUp();
    }

    // Inside the work area of the monitor at that point.
    static void ExpectOpensOn(HWND capture, POINT monitorPoint) {
        MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
        ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(monitorPoint, MONITOR_DEFAULTTONEAREST), &monitor));
        const RECT& work = monitor.rcWork;
        RECT r = {};
        GetWindowRect(capture, &r);
        EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right &&
                    r.bottom <= work.bottom)
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }

    static constexpr POINT LeftMonitor = {-1024, 0}, Primary = {0, 0};
};

// A window on the left monitor is grabbed there, and one across both
// monitors whole; each capture window opens on the monitor holding most of
// the window.
TEST_F(CaptureOnTwoMonitors, CaptureWindowOnTheLeftMonitorAndAcrossBoth) {
    struct Case {
        int left, top, width, height;
        POINT opensAt;
    };
    const Case cases[] = {{-900, 100, 400, 300, LeftMonitor}, {-200, 150, 500, 300, Primary}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        ASSERT_NO_FATAL_FAILURE(ShowPattern(c.left, c.top, c.width, c.height));
        HWND capture = OpenCapture(KeyW);
        ASSERT_NE(capture, nullptr);
        ExpectOpensOn(capture, c.opensAt);
        const auto image = SaveAndRead(capture, "window" + std::to_string(c.left) + ".bmp");
        ASSERT_TRUE(image);
        ASSERT_EQ(image->width, c.width);
        ASSERT_EQ(image->height, c.height);
        ExpectPatternInScreenGrab(*image, {c.left, c.top});
        pattern.Terminate();
    }
}

// "Capture screen" with the active window on the left monitor takes that
// monitor, at its own size.
TEST_F(CaptureOnTwoMonitors, CaptureScreenTakesTheMonitorOfTheActiveWindow) {
    ASSERT_NO_FATAL_FAILURE(ShowPattern(-900, 100, 400, 300));
    HWND capture = OpenCapture(KeyS);
    ASSERT_NE(capture, nullptr);
    ExpectOpensOn(capture, LeftMonitor);
    const auto image = SaveAndRead(capture, "left.bmp");
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 1024);
    ASSERT_EQ(image->height, 768);
    ExpectPatternInScreenGrab(*image, LeftMonitor);
}

// The active-window grab is the window's rectangle, frame included; a window
// reaching past the work area is grabbed to the screen's edges there.
TEST_F(CaptureTest, CaptureWindowGrabsTheWindowRectangle) {
    struct Case {
        int left, top, width, height;
        RECT grab;
    };
    const Case cases[] = {
        {150, 90, 420, 260, {150, 90, 570, 350}},
        // Right and bottom edges past the work area's: both go to the screen's edges.
        {1000, 600, 400, 300, {1000, 600, ScreenW, ScreenH}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        ASSERT_NO_FATAL_FAILURE(ShowPattern(c.left, c.top, c.width, c.height));
        HWND capture = OpenCapture(KeyW);
        ASSERT_NE(capture, nullptr);
        const std::string file = folder.Path() + "/window" + std::to_string(c.left) + ".bmp";
        ASSERT_TRUE(SaveThroughDialog(capture, WindowsPath(file)));
        ASSERT_TRUE(WaitUntilClosed(capture));
        const auto image = WaitForImage(file);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, c.grab.right - c.grab.left);
        EXPECT_EQ(image->height, c.grab.bottom - c.grab.top);
        // The whole client area, as far as the grab holds it, shows the
        // pattern at its place inside the frame.
        const POINT o = PatternOrigin();
        const SIZE client = PatternClient();
        const int left = o.x - c.grab.left, top = o.y - c.grab.top;
        const int width = std::min<int>(client.cx, image->width - left);
        const int height = std::min<int>(client.cy, image->height - top);
        ASSERT_GT(width, 0);
        ASSERT_GT(height, 0);
        RgbImage inside{"", width, height, {}};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                inside.pixels.push_back(image->At(left + x, top + y));
        ExpectExactPattern(inside, o);
        pattern.Terminate();
    }
}

// A selection dragged from bottom-right to top-left, saved under each name:
// the format follows the name, BMP and PNG pixels are exact and JPEG ones
// close. A bare name gets the extension of the type the dialog offers: the
// type of the last save.
TEST_F(CaptureTest, SelectionSavedAsJpegOrBmpByName) {
    ASSERT_NO_FATAL_FAILURE(ShowPattern(60, 80, 500, 400));
    struct Case {
        const char* typed;
        const char* written;
        const char* format;
    };
    const Case cases[] = {
        {"a", "a.jpg", "JPEG"},    {"b.JPEG", "b.JPEG", "JPEG"}, {"c.bmp", "c.bmp", "BMP"},
        {"d.png", "d.png", "PNG"}, {"e", "e.png", "PNG"},
    };
    const POINT o = PatternOrigin();
    // Image pixels equal screen pixels in a whole-screen grab.
    const POINT from = {o.x + 300, o.y + 250}, to = {o.x + 40, o.y + 30};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        HWND capture = OpenCaptureAtActualSize(KeyS);
        ASSERT_NE(capture, nullptr);
        DragWithLeftButton(view, from, to);
        ASSERT_TRUE(SaveThroughDialog(capture, WindowsPath(folder.Path() + "/" + c.typed)));
        ASSERT_TRUE(WaitUntilClosed(capture));
        const auto image = WaitForImage(folder.Path() + "/" + c.written);
        ASSERT_TRUE(image);
        EXPECT_THAT(image->format, ::testing::StartsWith(c.format));
        ASSERT_EQ(image->width, 260);
        ASSERT_EQ(image->height, 220);
        if (std::string(c.format) != "JPEG") {
            ExpectExactPattern(*image, to);
            continue;
        }
        const SIZE s = PatternClient();
        for (int row = 0; row < PatternCells; ++row)
            for (int column = 0; column < PatternCells; ++column) {
                // Cell centres that lie inside the selection.
                const int x = (2 * column + 1) * s.cx / 8 - 40, y = (2 * row + 1) * s.cy / 8 - 30;
                if (x < 0 || y < 0 || x >= image->width || y >= image->height)
                    continue;
                EXPECT_LE(ColourDistance(image->At(x, y), PatternCellColour(column, row)), JpegTolerance)
                    << "cell " << column << "," << row;
            }
    }
}

// Crop, then save: the window shows the cropped image alone, whole and
// centred, without scroll bars; the file has the cropped size and pixels.
TEST_F(CaptureTest, CropThenSaveWritesTheCroppedImage) {
    ASSERT_NO_FATAL_FAILURE(ShowPattern(200, 100, 360, 300));
    HWND capture = OpenCaptureAtActualSize(KeyS);
    ASSERT_NE(capture, nullptr);
    const POINT o = PatternOrigin();
    const POINT from = {o.x + 20, o.y + 10}, to = {o.x + 220, o.y + 160};
    DragWithLeftButton(view, from, to);
    ASSERT_TRUE(ClickButton(capture, "C&rop to selection"));
    ASSERT_TRUE(WaitFor([&] { return !HasScrollBars(view); })) << "the scroll bars stay after the crop";
    EXPECT_EQ(ZoomShown(capture), "100%");
    for (const POINT corner : {POINT{1, 1}, POINT{198, 148}}) {
        const POINT p = ShownAt(corner, {200, 150});
        EXPECT_TRUE(WaitFor([&] {
            return ScreenPixel(p.x, p.y) == ExpectedAt(from.x + corner.x, from.y + corner.y);
        })) << "image pixel "
            << corner.x << ", " << corner.y;
    }
    // Beside it, what the view shows around an image.
    const POINT beside = ShownAt({-2, 75}, {200, 150});
    EXPECT_EQ(ScreenPixel(beside.x, beside.y), 0u);
    const std::string file = folder.Path() + "/cropped.bmp";
    ASSERT_TRUE(SaveThroughDialog(capture, WindowsPath(file)));
    ASSERT_TRUE(WaitUntilClosed(capture));
    const auto image = WaitForImage(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 200);
    EXPECT_EQ(image->height, 150);
    ExpectExactPattern(*image, from);
}

// What a screen reader in its own process reads for the capture window's
// image (AccessibleObjectFromWindow marshals the object across), and the
// name changes it is told of.
class ScreenReader {
public:
    explicit ScreenReader(DWORD processId)
        : hook_(SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, NameChanged,
                                processId, 0, WINEVENT_OUTOFCONTEXT)) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        changes_.clear();
    }
    ~ScreenReader() {
        UnhookWinEvent(hook_);
        CoUninitialize();
    }

    struct Answer {
        std::string name;
        long role = 0;
    };
    static std::optional<Answer> Read(HWND view) {
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(view, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                              reinterpret_cast<void**>(&object))))
            return std::nullopt;
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        Answer answer;
        BSTR name = nullptr;
        VARIANT role;
        VariantInit(&role);
        if (SUCCEEDED(object->get_accName(self, &name)) && name)
            answer.name = Utf8Of(name);
        SysFreeString(name);
        if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4)
            answer.role = role.lVal;
        object->Release();
        return answer;
    }
    // Name changes of the image view's client area seen so far.
    static int ChangesOf(HWND view) {
        return static_cast<int>(std::count(changes_.begin(), changes_.end(), view));
    }

private:
    static void CALLBACK NameChanged(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                                     DWORD) {
        if (object == OBJID_CLIENT && child == CHILDID_SELF)
            changes_.push_back(window);
    }
    static inline std::vector<HWND> changes_;
    HWINEVENTHOOK hook_;
};

TEST_F(CaptureTest, ScreenReaderReadsTheImageAndItsSelection) {
    ASSERT_NO_FATAL_FAILURE(ShowPattern(200, 100, 360, 300));
    ScreenReader reader(corvinade.Id());
    HWND capture = OpenCaptureAtActualSize(KeyS);
    ASSERT_NE(capture, nullptr);
    auto answer = ScreenReader::Read(view);
    ASSERT_TRUE(answer) << "no accessible object from the other process";
    EXPECT_EQ(answer->name, "Captured image, 1280 x 800");
    EXPECT_EQ(answer->role, ROLE_SYSTEM_GRAPHIC);

    // Drawn up and to the left: the name gives the selection as it is saved.
    const POINT o = PatternOrigin();
    const int told = ScreenReader::ChangesOf(view);
    DragWithLeftButton(view, {o.x + 340, o.y + 260}, {o.x + 40, o.y + 60});
    const std::string selected = "Captured image, 1280 x 800, selection 300 x 200 at " +
                                 std::to_string(o.x + 40) + ", " + std::to_string(o.y + 60);
    ASSERT_TRUE(WaitFor([&] { return ScreenReader::ChangesOf(view) == told + 1; })) << "no name change told";
    EXPECT_EQ(ScreenReader::Read(view)->name, selected);

    ASSERT_TRUE(ClickButton(capture, "C&rop to selection"));
    ASSERT_TRUE(WaitFor([&] { return ScreenReader::ChangesOf(view) == told + 2; }));
    EXPECT_EQ(ScreenReader::Read(view)->name, "Captured image, 300 x 200");
}

// Two releases on the selection within 250 ms crop; two far apart do not.
constexpr DWORD DoubleReleaseMs = 250;

TEST_F(CaptureTest, DoubleReleaseOnTheSelectionCrops) {
    ASSERT_NO_FATAL_FAILURE(ShowPattern(200, 100, 360, 300));
    const POINT o = PatternOrigin();
    const POINT from = {o.x + 30, o.y + 20}, to = {o.x + 230, o.y + 170};
    const POINT inside = {o.x + 130, o.y + 100};
    const std::uint32_t croppedCorner = ExpectedAt(from.x + 1, from.y + 1);
    auto cornerShown = [&](SIZE image) {
        const POINT p = ShownAt({1, 1}, image);
        return ScreenPixel(p.x, p.y);
    };

    // Two other capture windows serve as barriers: the program handles what
    // is posted to its one thread in order, so once one of them has closed on
    // a WM_CLOSE posted after the clicks, the clicks have been handled.
    HWND barriers[2] = {OpenCapture(KeyS), OpenCapture(KeyS)};
    ASSERT_NE(barriers[0], nullptr);
    ASSERT_NE(barriers[1], nullptr);
    auto pass = [&](HWND barrier) {
        PostMessageA(barrier, WM_CLOSE, 0, 0);
        return WaitUntilClosed(barrier);
    };
    const std::uint32_t grabbedCorner = ScreenPixel(1, 1); // as the next grab sees it
    HWND slow = OpenCaptureAtActualSize(KeyS);
    ASSERT_NE(slow, nullptr);
    DragWithLeftButton(view, from, to);
    ClickWithLeftButton(view, inside);
    ASSERT_TRUE(pass(barriers[0]));
    // The first release has been handled; the second comes well after the
    // double-release time by the same clock.
    const DWORD firstHandled = GetTickCount();
    ASSERT_TRUE(WaitFor([&] { return GetTickCount() - firstHandled > 2 * DoubleReleaseMs; }));
    ClickWithLeftButton(view, inside);
    ASSERT_TRUE(pass(barriers[1]));
    UpdateWindow(view); // paints now what the releases left
    // Not cropped: the whole image is shown, dimmed outside the selection again.
    EXPECT_EQ(cornerShown({ScreenW, ScreenH}), Dimmed(grabbedCorner))
        << "slow releases cropped or left no overlay";
    PostMessageA(slow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntilClosed(slow));

    HWND fast = OpenCaptureAtActualSize(KeyS);
    ASSERT_NE(fast, nullptr);
    DragWithLeftButton(view, from, to);
    PumpMessagesFor(Milliseconds(300)); // the release that drew it is not one on the selection
    ClickWithLeftButton(view, inside);
    ClickWithLeftButton(view, inside);
    EXPECT_TRUE(WaitFor([&] {
        return cornerShown({200, 150}) == croppedCorner;
    })) << "fast releases did not crop";
}

// The keys of an image window, on a capture window with a taskbar button:
// Ctrl+S opens the save dialog on a name made of the date and time, Ctrl+C
// copies and closes, Esc closes.
TEST_F(CaptureTest, KeysOfAnImageWindow) {
    POINT from{};
    HWND capture = CaptureWithSelection({10, 15}, {110, 95}, from);
    ASSERT_NE(capture, nullptr);
    EXPECT_TRUE(GetWindowLongA(capture, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    PressHotkey('S', ModCtrl);
    HWND dialog = WaitForWindow({"#32770", "Save screenshot", corvinade.Id(), true});
    ASSERT_NE(dialog, nullptr);
    const std::string name = WindowText(GetDlgItem(dialog, 0x47C));
    EXPECT_EQ(name.substr(0, 8), "Capture ") << name;
    EXPECT_EQ(name.size(), std::string("Capture 2026-12-07 142501.jpg").size()) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".jpg") << name;
    ASSERT_TRUE(PressDialogButton(dialog, IDCANCEL));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == capture; }));
    PressHotkey('C', ModCtrl);
    ASSERT_TRUE(WaitUntilClosed(capture));
    EXPECT_TRUE(WaitFor([&] { return ClipboardBitmap().has_value(); }));

    HWND second = OpenCapture(KeyS);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == second; }));
    PressHotkey(VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntilClosed(second));
}

// Copy: another process reads the bitmap, the DIB the system makes of it and
// the PNG, each of the selection's size and pixels (the PNG read by an
// independent decoder).
TEST_F(CaptureTest, CopyPlacesTheSelectionInTheClipboard) {
    POINT from{};
    HWND capture = CaptureWithSelection({10, 15}, {310, 215}, from);
    ASSERT_NE(capture, nullptr);
    ASSERT_TRUE(ClickButton(capture, "&Copy to clipboard"));
    ASSERT_TRUE(WaitUntilClosed(capture));
    std::optional<RgbImage> bitmap;
    ASSERT_TRUE(WaitFor([&] { return (bitmap = ClipboardBitmap()).has_value(); }));
    const std::optional<std::string> png = ClipboardBytes("PNG");
    ASSERT_TRUE(png) << "no PNG in the clipboard";
    const std::string pngFile = folder.Path() + "/clipboard.png";
    std::ofstream(WindowsPath(pngFile), std::ios::binary) << *png;
    const std::optional<RgbImage> images[] = {bitmap, ClipboardDib(), ReadImageFile(pngFile)};
    for (const std::optional<RgbImage>& image : images) {
        ASSERT_TRUE(image);
        SCOPED_TRACE(image->format);
        EXPECT_EQ(image->width, 300);
        EXPECT_EQ(image->height, 200);
        ExpectExactPattern(*image, from);
    }
    EXPECT_EQ(images[2]->format, "PNG");
}

// Picking a type in the save dialog's type list while a bare name is typed:
// the name box shows the name with that type's extension and Save writes a
// file of that format.
class SaveDialogTypeTest : public CaptureTest {
protected:
    void PickTypeAndSave(int position, const std::string& typeName, const std::string& extension,
                         const std::string& format) {
        POINT from{};
        HWND capture = CaptureWithSelection({20, 25}, {140, 115}, from);
        ASSERT_NE(capture, nullptr);
        ASSERT_TRUE(ClickButton(capture, "&Save to file..."));
        HWND dialog = WaitForWindow({"#32770", "Save screenshot", corvinade.Id(), true});
        ASSERT_NE(dialog, nullptr);
        HWND nameBox = GetDlgItem(dialog, 0x47C), typeBox = GetDlgItem(dialog, 0x470);
        ASSERT_NE(nameBox, nullptr);
        ASSERT_NE(typeBox, nullptr);
        // Wide: Wine hands a list's text to another process only as it keeps it.
        wchar_t type[64] = {};
        SendMessageW(typeBox, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(type));
        EXPECT_EQ(std::wstring(type), std::wstring(typeName.begin(), typeName.end()));
        // Into the test's folder first, as a user types a folder and presses Save.
        SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.WindowsFolder().c_str()));
        ASSERT_TRUE(PressDialogButton(dialog, IDOK));
        ASSERT_TRUE(WaitFor([&] { return WindowText(nameBox).empty(); }))
            << "the dialog did not open the folder";

        SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("shot"));
        // The user presses Down in the closed type list: the list itself
        // selects the next type and notifies the dialog.
        for (int i = 0; i < position; ++i) {
            PostMessageA(typeBox, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(typeBox, WM_KEYUP, VK_DOWN, 0xC0000001);
            ASSERT_TRUE(WaitFor([&] { return SendMessageA(typeBox, CB_GETCURSEL, 0, 0) == i + 1; }));
        }
        // The box gets the whole path the dialog reports, with the new extension.
        const std::string renamed = WindowsPath(folder.Path() + "/shot" + extension);
        EXPECT_TRUE(WaitFor([&] { return WindowText(nameBox) == renamed; }))
            << "the name box shows \"" << WindowText(nameBox) << "\"";
        ASSERT_TRUE(PressDialogButton(dialog, IDOK));
        ASSERT_TRUE(WaitUntilClosed(capture));
        const auto image = WaitForImage(folder.Path() + "/shot" + extension);
        ASSERT_TRUE(image) << RunLinuxShell("ls -la " + folder.Path());
        EXPECT_THAT(image->format, ::testing::StartsWith(format));
        EXPECT_EQ(image->width, 120);
        EXPECT_EQ(image->height, 90);
        ExpectExactPattern(*image, from);
    }
};

TEST_F(SaveDialogTypeTest, PickingBitmapTypeRenamesTheFileToBmp) {
    PickTypeAndSave(1, "Bitmap image (*.bmp)", ".bmp", "BMP");
}

// The third type, "PNG image (*.png)": lossless, so every pixel is exact.
// The next capture window's save dialog offers that type again. The tray's
// news of the save, clicked, shows the file selected in its folder: Explorer
// (here the recorder in its place) gets "/select," and the file.
TEST_F(SaveDialogTypeTest, PickingPngTypeRenamesTheFileToPng) {
    ASSERT_NO_FATAL_FAILURE(PickTypeAndSave(2, "PNG image (*.png)", ".png", "PNG"));

    HWND next = OpenCapture(KeyS);
    ASSERT_NE(next, nullptr);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == next; }));
    PressHotkey('S', ModCtrl);
    HWND dialog = WaitForWindow({"#32770", "Save screenshot", corvinade.Id(), true});
    ASSERT_NE(dialog, nullptr);
    const std::string name = WindowText(GetDlgItem(dialog, 0x47C));
    EXPECT_THAT(name, ::testing::EndsWith(".png"));
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, 0x470), CB_GETCURSEL, 0, 0), 2);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));

    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    const std::string explorer = std::string(windows) + "\\explorer.exe";
    DeleteFileA(explorer.c_str()); // the desktop's Explorer runs on; only its file goes
    ASSERT_TRUE(CopyFileA(TestProgram("recorder.exe").c_str(), explorer.c_str(), FALSE));
    RecorderLog log;
    HWND app = WaitForWindow({"CorvinadeApplication", "", corvinade.Id(), false});
    ASSERT_NE(app, nullptr);
    constexpr UINT TrayCallback = 0x0800, IconId = 1; // as the shell sends it (version 4)
    PostMessageA(app, TrayCallback, 0, MAKELPARAM(NIN_BALLOONUSERCLICK, IconId));
    ASSERT_TRUE(log.WaitForRuns(1)) << "no Explorer";
    EXPECT_EQ(log.Runs()[0].Parameters(), "/select,\"" + WindowsPath(folder.Path() + "/shot.png") + "\"");
}

// A file that cannot be created: the error box names it, the window stays
// open with its image and selection, and a later save works.
TEST_F(CaptureTest, FileThatCannotBeCreatedKeepsTheWindowOpen) {
    POINT from{};
    HWND capture = CaptureWithSelection({10, 15}, {110, 95}, from);
    ASSERT_NE(capture, nullptr);
    // Nothing can be created in /proc, not even by root.
    ASSERT_TRUE(SaveThroughDialog(capture, "Z:\\proc\\shot.bmp"));
    HWND box = WaitForWindow({"#32770", "Corvinade", corvinade.Id(), true});
    ASSERT_NE(box, nullptr);
    EXPECT_THAT(MessageBoxText(box), ::testing::StartsWith("Cannot create file \"Z:\\proc\\shot.bmp\". "));
    EXPECT_TRUE(IsWindowVisible(capture));
    ASSERT_TRUE(ClickButton(box, "OK"));
    ASSERT_TRUE(WaitUntilClosed(box));

    const std::string file = folder.Path() + "/after.bmp";
    ASSERT_TRUE(SaveThroughDialog(capture, WindowsPath(file)));
    ASSERT_TRUE(WaitUntilClosed(capture));
    const auto image = WaitForImage(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 100);
    EXPECT_EQ(image->height, 80);
    ExpectExactPattern(*image, from);
}

// Marks drawn in the capture window, as a user draws them: a tool's letter,
// then a drag on the image. The grabs are of the pattern window alone
// (capturewindow), which the saved balloons never cover; each marked save
// is compared with a plain save of the same window.
class CaptureMarkupTest : public CaptureTest {
protected:
    void SetUp() override {
        CaptureTest::SetUp();
        if (!HasFatalFailure())
            ShowPattern(PatternLeft, PatternTop, PatternWidth, PatternHeight);
    }

    // The pattern window in front again, its title bar painted as active
    // (the plain grab's, once there is one), then a capture of it at 1:1.
    HWND CapturePattern() {
        if (!BringToForeground(patternWindow)) {
            ADD_FAILURE() << "the pattern window does not come to the front";
            return nullptr;
        }
        if (plain && !WaitFor([&] { return TitleShownAsIn(*plain); }))
            ADD_FAILURE() << "the pattern window's title bar is not painted as in the plain grab";
        HWND capture = OpenCapture(KeyW);
        if (!capture || !WaitFor([&] { return GetForegroundWindow() == capture; }))
            return nullptr;
        EXPECT_EQ(ZoomShown(capture), "100%");
        return capture;
    }
    bool TitleShownAsIn(const RgbImage& image) const {
        for (int x = 10; x < image.width - 60; x += 7)
            if (ScreenPixel(PatternLeft + x, PatternTop + 10) != image.At(x, 10))
                return false;
        return true;
    }
    // The plain save every marked one is compared with.
    void SavePlain(const std::string& name = "plain.bmp") {
        HWND capture = CapturePattern();
        ASSERT_NE(capture, nullptr);
        plain = SaveAndRead(capture, name);
        ASSERT_TRUE(plain);
        ASSERT_EQ(plain->width, PatternWidth);
        ASSERT_EQ(plain->height, PatternHeight);
    }

    // Where an image pixel shows in the view: the grab is smaller than the
    // view, centred in it at 1:1.
    POINT Client(POINT image) const {
        RECT client = {};
        GetClientRect(view, &client);
        return {image.x + (client.right - PatternWidth) / 2, image.y + (client.bottom - PatternHeight) / 2};
    }
    // The tool's letter, and the tool's button pressed once it is handled.
    void Tool(HWND capture, char key, const std::string& caption) {
        PressHotkey(static_cast<UINT>(key), 0);
        HWND button = FindButton(capture, caption);
        ASSERT_NE(button, nullptr) << caption;
        ASSERT_TRUE(WaitFor([&] { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }))
            << caption << " is not the tool after its key";
    }
    void Draw(HWND capture, char key, const std::string& caption, POINT from, POINT to) {
        ASSERT_NO_FATAL_FAILURE(Tool(capture, key, caption));
        DragWithLeftButton(view, Client(from), Client(to));
    }
    // The name a screen reader reads for the image, once it holds `part`.
    bool NameHolds(const std::string& part) const {
        return WaitFor([&] {
            const auto answer = ScreenReader::Read(view);
            return answer && answer->name.find(part) != std::string::npos;
        });
    }

    static constexpr int PatternLeft = 120, PatternTop = 140, PatternWidth = 380, PatternHeight = 280;
    std::optional<RgbImage> plain;
};

bool Inside(int x, int y, const RECT& r) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// A redaction covers its area with black and nothing else; in a JPEG it
// covers the whole 16-pixel blocks it touches, each one colour, and the
// blocks beyond are as a plain JPEG save has them.
TEST_F(CaptureMarkupTest, RedactionIsOneColourAndChangesNothingElse) {
    ASSERT_NO_FATAL_FAILURE(SavePlain());
    HWND capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    const auto plainJpeg = SaveAndRead(capture, "plain.jpg");
    ASSERT_TRUE(plainJpeg);
    const RECT drawn = {50, 60, 151, 121}; // from (50, 60) to (150, 120), both corners covered
    for (const char* name : {"redacted.bmp", "redacted.jpg"}) {
        SCOPED_TRACE(name);
        capture = CapturePattern();
        ASSERT_NE(capture, nullptr);
        ASSERT_NO_FATAL_FAILURE(Draw(capture, 'X', "Redact", {50, 60}, {150, 120}));
        const auto image = SaveAndRead(capture, name);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->width, PatternWidth);
        ASSERT_EQ(image->height, PatternHeight);
        int wrong = 0;
        if (std::string(name).ends_with(".bmp")) {
            for (int y = 0; y < image->height; ++y)
                for (int x = 0; x < image->width; ++x)
                    if (image->At(x, y) != (Inside(x, y, drawn) ? 0u : plain->At(x, y)) && ++wrong < 5)
                        ADD_FAILURE() << x << ", " << y << ": " << std::hex << image->At(x, y);
            continue;
        }
        // The blocks touched: 48 to 160 across, 48 to 128 down.
        const RECT blocks = {48, 48, 160, 128};
        const std::uint32_t cover = image->At(100, 90);
        EXPECT_LE(ColourDistance(cover, 0), 4) << std::hex << cover;
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) {
                const bool covered =
                    Inside(x, y, {drawn.left + 1, drawn.top + 1, drawn.right - 1, drawn.bottom - 1});
                const bool beyond =
                    !Inside(x, y, {blocks.left - 1, blocks.top - 1, blocks.right + 1, blocks.bottom + 1});
                if (((covered && image->At(x, y) != cover) ||
                     (beyond && image->At(x, y) != plainJpeg->At(x, y))) &&
                    ++wrong < 5)
                    ADD_FAILURE() << x << ", " << y << ": " << std::hex << image->At(x, y);
            }
    }
}

// A rectangle and an arrow change only the pixels along them; a screen
// reader hears each as it is made.
TEST_F(CaptureMarkupTest, RectangleAndArrowChangeOnlyPixelsNearThem) {
    ASSERT_NO_FATAL_FAILURE(SavePlain());
    ScreenReader reader(corvinade.Id());
    HWND capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    ASSERT_NO_FATAL_FAILURE(Draw(capture, 'R', "Rectangle", {40, 50}, {160, 120}));
    EXPECT_TRUE(NameHolds("1 mark, Rectangle from 40, 50 to 160, 120"));
    ASSERT_NO_FATAL_FAILURE(Draw(capture, 'A', "Arrow", {200, 220}, {320, 160}));
    EXPECT_TRUE(NameHolds("2 marks, Arrow from 200, 220 to 320, 160"));
    const auto image = SaveAndRead(capture, "marked.bmp");
    ASSERT_TRUE(image);
    // Near the rectangle's line (4 pixels wide, smoothed) or along the arrow and its head.
    auto nearRectangle = [](int x, int y) {
        const bool across = x >= 36 && x <= 164, down = y >= 46 && y <= 124;
        const bool onSide = (std::abs(x - 40) <= 4 || std::abs(x - 160) <= 4) && down;
        const bool onEdge = (std::abs(y - 50) <= 4 || std::abs(y - 120) <= 4) && across;
        return onSide || onEdge;
    };
    auto nearArrow = [](int x, int y) {
        const double dx = 120, dy = -60, length = std::hypot(dx, dy);
        const double along = ((x - 200) * dx + (y - 220) * dy) / length;
        const double across = std::abs((x - 200) * dy - (y - 220) * dx) / length;
        return along >= -4 && along <= length + 4 && across <= 16;
    };
    int changed = 0, wrong = 0;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            if (image->At(x, y) != plain->At(x, y)) {
                ++changed;
                if (!nearRectangle(x, y) && !nearArrow(x, y) && ++wrong < 5)
                    ADD_FAILURE() << "changed at " << x << ", " << y;
            }
    EXPECT_GT(changed, 1000);
    for (const POINT p : {POINT{100, 50}, POINT{40, 85}, POINT{160, 100}, POINT{260, 190}, POINT{316, 162}})
        EXPECT_EQ(image->At(p.x, p.y), 0xE02020u) << p.x << ", " << p.y;
    EXPECT_EQ(image->At(100, 85), plain->At(100, 85)) << "inside the rectangle";
}

// Ctrl+Z undoes every mark, Ctrl+Y brings one back and Ctrl+Z takes it
// again: the save is the plain one, pixel for pixel.
TEST_F(CaptureMarkupTest, UndoGivesBackThePlainImage) {
    ASSERT_NO_FATAL_FAILURE(SavePlain());
    ScreenReader reader(corvinade.Id());
    HWND capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    ASSERT_NO_FATAL_FAILURE(Draw(capture, 'R', "Rectangle", {40, 50}, {160, 120}));
    ASSERT_NO_FATAL_FAILURE(Draw(capture, 'X', "Redact", {200, 60}, {300, 100}));
    ASSERT_NO_FATAL_FAILURE(Draw(capture, 'F', "Pen", {60, 200}, {250, 240}));
    ASSERT_TRUE(NameHolds("3 marks"));
    for (int i = 0; i < 3; ++i)
        PressHotkey('Z', ModCtrl);
    ASSERT_TRUE(WaitFor([&] { return ScreenReader::Read(view)->name.find("mark") == std::string::npos; }))
        << ScreenReader::Read(view)->name;
    PressHotkey('Y', ModCtrl);
    ASSERT_TRUE(NameHolds("1 mark"));
    PressHotkey('Z', ModCtrl);
    ASSERT_TRUE(WaitFor([&] { return ScreenReader::Read(view)->name.find("mark") == std::string::npos; }));
    const auto image = SaveAndRead(capture, "undone.bmp");
    ASSERT_TRUE(image);
    int wrong = 0;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            if (image->At(x, y) != plain->At(x, y) && ++wrong < 5)
                ADD_FAILURE() << "changed at " << x << ", " << y;
}

// Two clicks with the step tool: two discs numbered 1 and 2, each with its
// number in white on the mark's colour.
TEST_F(CaptureMarkupTest, NumberedStepsCountOneAndTwo) {
    ScreenReader reader(corvinade.Id());
    HWND capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    ASSERT_NO_FATAL_FAILURE(Tool(capture, 'N', "Step"));
    const POINT steps[] = {{90, 100}, {250, 180}};
    ClickWithLeftButton(view, Client(steps[0]));
    EXPECT_TRUE(NameHolds("Step 1 at 90, 100"));
    ClickWithLeftButton(view, Client(steps[1]));
    EXPECT_TRUE(NameHolds("2 marks, Step 2 at 250, 180"));
    const auto image = SaveAndRead(capture, "steps.bmp");
    ASSERT_TRUE(image);
    // The white pixels of each disc (its number) differ between the two.
    std::vector<std::vector<bool>> numbers;
    for (const POINT c : steps) {
        EXPECT_EQ(image->At(c.x - 14, c.y), 0xE02020u) << "the disc left of the number";
        std::vector<bool> white;
        for (int y = -10; y <= 10; ++y)
            for (int x = -10; x <= 10; ++x)
                white.push_back(image->At(c.x + x, c.y + y) == 0xFFFFFFu);
        EXPECT_GT(std::count(white.begin(), white.end(), true), 10) << "no number on the disc";
        numbers.push_back(white);
    }
    EXPECT_NE(numbers[0], numbers[1]);
}

// A crop keeps the marks inside it, moved with the image; those outside go.
TEST_F(CaptureMarkupTest, CropKeepsTheMarks) {
    HWND capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    DragWithLeftButton(view, Client({60, 50}), Client({260, 200})); // the selection, 200 x 150
    ASSERT_NO_FATAL_FAILURE(Draw(capture, 'R', "Rectangle", {100, 80}, {200, 150}));
    ASSERT_NO_FATAL_FAILURE(Draw(capture, 'L', "Line", {300, 230}, {360, 260}));
    ASSERT_TRUE(ClickButton(capture, "C&rop to selection"));
    const auto image = SaveAndRead(capture, "cropped.bmp");
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 200);
    ASSERT_EQ(image->height, 150);
    for (const POINT p : {POINT{40, 30}, POINT{90, 30}, POINT{140, 65}, POINT{90, 100}})
        EXPECT_EQ(image->At(p.x, p.y), 0xE02020u) << p.x << ", " << p.y;
    EXPECT_NE(image->At(90, 65), 0xE02020u) << "inside the rectangle";
}

// The mouse, as the user moves it: at a screen point, with a button
// pressed or let go there (MOUSEEVENTF_LEFTDOWN, ...) or none.
void MouseTo(POINT screen, DWORD button) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    SendInput(1, &input, sizeof input);
}

// A pin shows the selection with its marks at 100 % on top of every window,
// a window activated after it too, holds only its own pixels (two pins of
// two selections), moves with a drag, zooms with the wheel, copies from its
// menu, outlives the capture window and closes on Esc.
TEST_F(CaptureMarkupTest, PinStaysOnTopOutlivesItsWindowAndClosesOnEsc) {
    HWND capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    DragWithLeftButton(view, Client({40, 40}), Client({240, 190}));
    ASSERT_NO_FATAL_FAILURE(Draw(capture, 'R', "Rectangle", {60, 60}, {120, 100}));
    const auto before = FindTopWindows({"", "Pinned capture", corvinade.Id(), true});
    ASSERT_TRUE(before.empty());
    PressHotkey('P', 0);
    HWND pin = WaitForWindow({"", "Pinned capture", corvinade.Id(), true});
    ASSERT_NE(pin, nullptr);
    const LONG exStyle = GetWindowLongA(pin, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_NE(GetWindowLongA(pin, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "a title bar";
    RECT client = {};
    GetClientRect(pin, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 150);
    POINT corner = {0, 0};
    ClientToScreen(pin, &corner);
    // Pin pixel (x, y) is grab pixel (40 + x, 40 + y), the rectangle drawn on it.
    auto shown = [&](int x, int y) { return ScreenPixel(corner.x + x, corner.y + y); };
    EXPECT_TRUE(WaitFor([&] { return shown(50, 20) == 0xE02020u && shown(20, 40) == 0xE02020u; }))
        << std::hex << shown(50, 20);
    const POINT inside = {PatternLeft + 40 + 150, PatternTop + 40 + 120};
    EXPECT_EQ(shown(150, 120), ExpectedAt(inside.x, inside.y));

    // A second pin of another selection (begun outside the first), of its own size.
    ASSERT_TRUE(BringToForeground(capture));
    ASSERT_NO_FATAL_FAILURE(Tool(capture, 'V', "Select"));
    DragWithLeftButton(view, Client({250, 200}), Client({350, 270}));
    PressHotkey('P', 0);
    ASSERT_TRUE(WaitFor([&] {
        return FindTopWindows({"", "Pinned capture", corvinade.Id(), true}).size() == 2;
    }));
    for (HWND other : FindTopWindows({"", "Pinned capture", corvinade.Id(), true}))
        if (other != pin) {
            GetClientRect(other, &client);
            EXPECT_EQ(client.right, 100);
            EXPECT_EQ(client.bottom, 70);
        }

    // Dragged with the mouse it moves; the wheel zooms it about the pointer.
    RECT was = {};
    GetWindowRect(pin, &was);
    const POINT grip = {was.left + 100, was.top + 75};
    MouseTo(grip, 0);
    MouseTo(grip, MOUSEEVENTF_LEFTDOWN);
    MouseTo({grip.x + 30, grip.y + 20}, 0);
    MouseTo({grip.x + 60, grip.y + 40}, 0);
    MouseTo({grip.x + 60, grip.y + 40}, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitFor([&] {
        RECT now = {};
        GetWindowRect(pin, &now);
        return now.left == was.left + 60 && now.top == was.top + 40;
    })) << "the pin did not follow the drag";
    SetCursorPos(ScreenW - 1, 0);
    PostMessageA(pin, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(grip.x + 60, grip.y + 40));
    EXPECT_TRUE(WaitFor([&] {
        GetClientRect(pin, &client);
        return client.right == 250 && client.bottom == 187;
    })) << client.right
        << " x " << client.bottom;
    PostMessageA(pin, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(grip.x + 60, grip.y + 40));
    EXPECT_TRUE(WaitFor([&] {
        GetClientRect(pin, &client);
        return client.right == 200 && client.bottom == 150;
    }));
    // Its menu copies its pixels.
    const DWORD sequence = GetClipboardSequenceNumber();
    PostMessageA(pin, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    ASSERT_NE(WaitForWindow({"#32768", "", corvinade.Id(), true}), nullptr) << "no menu";
    PressHotkey('C', 0);
    ASSERT_TRUE(WaitForClipboardChange(sequence));
    std::optional<RgbImage> copied;
    ASSERT_TRUE(WaitFor([&] { return (copied = ClipboardBitmap()).has_value(); }));
    EXPECT_EQ(copied->width, 200);
    EXPECT_EQ(copied->height, 150);
    EXPECT_EQ(copied->At(50, 20), 0xE02020u);
    EXPECT_EQ(copied->At(150, 120), ExpectedAt(inside.x, inside.y));

    // Another window activated after it stays under it.
    ASSERT_TRUE(BringToForeground(patternWindow));
    RECT pinned = {};
    GetWindowRect(pin, &pinned);
    const POINT middle = {(pinned.left + pinned.right) / 2, (pinned.top + pinned.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(middle), pin);
    PostMessageA(capture, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntilClosed(capture));
    EXPECT_TRUE(IsWindowVisible(pin)) << "the pin went with its capture window";
    EXPECT_EQ(FindTopWindows({"", "Pinned capture", corvinade.Id(), true}).size(), 2u);
    ASSERT_TRUE(BringToForeground(pin));
    PressHotkey(VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntilClosed(pin));
    EXPECT_EQ(FindTopWindows({"", "Pinned capture", corvinade.Id(), true}).size(), 1u);
}

// The colour and width picked in the toolbar are the next capture's, kept
// in the settings; a value the program does not know is left as it is.
class CaptureMarkStyleTest : public CaptureMarkupTest {
protected:
    void SetUp() override {
        SetSettingText("MarkWidth", "wide");
        CaptureMarkupTest::SetUp();
    }
    HWND Combo(HWND capture, int index) const {
        int seen = 0;
        for (HWND child = GetWindow(capture, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (WindowClass(child) == "ComboBox" && seen++ == index)
                return child;
        return nullptr;
    }
    static std::string Shown(HWND combo) {
        wchar_t text[64] = {};
        const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return Utf8Of(text);
    }
};

TEST_F(CaptureMarkStyleTest, ColourAndWidthKeptForTheNextCapture) {
    HWND capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    HWND colour = Combo(capture, 0), width = Combo(capture, 1);
    ASSERT_NE(colour, nullptr);
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(Shown(colour), "Red");
    EXPECT_EQ(Shown(width), "Medium") << "an unknown width reads as the default";
    // Down in the closed lists: the next colour, then the next width.
    auto down = [](HWND combo) {
        PostMessageA(combo, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(combo, WM_KEYUP, VK_DOWN, 0xC0000001);
    };
    down(colour);
    ASSERT_TRUE(WaitFor([] { return SettingText("MarkColour") == std::optional<std::string>("F08010"); }));
    EXPECT_EQ(SettingText("MarkWidth"), "wide") << "a value not picked is left as it was";
    EXPECT_EQ(SettingText("RedactColour"), std::nullopt);
    down(width);
    ASSERT_TRUE(WaitFor([] { return SettingText("MarkWidth") == std::optional<std::string>("6"); }));
    PostMessageA(capture, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntilClosed(capture));

    capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(Shown(Combo(capture, 0)), "Orange");
    EXPECT_EQ(Shown(Combo(capture, 1)), "Thick");
    ASSERT_NO_FATAL_FAILURE(Draw(capture, 'L', "Line", {40, 100}, {300, 100}));
    const auto image = SaveAndRead(capture, "orange.bmp");
    ASSERT_TRUE(image);
    for (int y = 98; y <= 102; ++y)
        EXPECT_EQ(image->At(150, y), 0xF08010u) << "a line 6 pixels wide, at " << y;
}

// The focus of the capture window's thread, as the system has it.
HWND FocusOf(HWND window) {
    GUITHREADINFO info = {sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// A text in any script, typed where the click put it: Enter starts a new
// line, Esc ends the text (the window stays), and Esc then closes the window.
TEST_F(CaptureMarkupTest, TextTypedWithLinesEndsOnEsc) {
    ScreenReader reader(corvinade.Id());
    HWND capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    ASSERT_NO_FATAL_FAILURE(Tool(capture, 'T', "Text"));
    ClickWithLeftButton(view, Client({60, 80}));
    ASSERT_TRUE(WaitFor([&] { return FocusOf(capture) == view; })) << "the text does not take the keys";
    TypeText("café Привет 😀");
    PressHotkey(VK_RETURN, 0);
    TypeText("vx");
    PressHotkey(VK_BACK, 0);
    PressHotkey(VK_ESCAPE, 0);
    EXPECT_TRUE(NameHolds("1 mark, Text \"café Привет 😀 v\" at 60, 80"));
    EXPECT_TRUE(IsWindowVisible(capture)) << "Esc in the text closed the window";
    const std::string before = ScreenReader::Read(view)->name;
    PressHotkey('R', 0); // a tool's key again, not a letter of the text
    ASSERT_TRUE(WaitFor(
        [&] { return SendMessageA(FindButton(capture, "Rectangle"), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    EXPECT_EQ(ScreenReader::Read(view)->name, before);
    PressHotkey(VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntilClosed(capture));
}

// Every tool is a radio button a screen reader names, which Tab and the
// arrows reach; Space picks the one with the focus.
TEST_F(CaptureMarkupTest, ToolsAreNamedAndReachedFromTheKeyboard) {
    HWND capture = CapturePattern();
    ASSERT_NE(capture, nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::vector<std::string> tools = {"Select", "Arrow",       "Rectangle", "Ellipse", "Line",
                                            "Pen",    "Highlighter", "Text",      "Step",    "Redact"};
    for (const std::string& tool : tools) {
        SCOPED_TRACE(tool);
        HWND button = FindButton(capture, tool);
        ASSERT_NE(button, nullptr);
        IAccessible* object = nullptr;
        ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(
            button, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&object))));
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        VARIANT role, state;
        VariantInit(&role);
        VariantInit(&state);
        EXPECT_TRUE(SUCCEEDED(object->get_accName(self, &name)) && name && Utf8Of(name) == tool);
        EXPECT_TRUE(SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4 &&
                    role.lVal == ROLE_SYSTEM_RADIOBUTTON);
        EXPECT_TRUE(SUCCEEDED(object->get_accState(self, &state)) && state.vt == VT_I4 &&
                    ((state.lVal & STATE_SYSTEM_CHECKED) != 0) == (tool == "Select"));
        SysFreeString(name);
        object->Release();
    }
    CoUninitialize();
    // Tab from "Save to file..." walks the buttons, the tool in use (the
    // tools are one group of radio buttons), the colour and the width.
    ASSERT_TRUE(WaitFor([&] { return FocusOf(capture) == FindButton(capture, "&Save to file..."); }))
        << WindowText(FocusOf(capture));
    auto press = [&](UINT key, UINT modifiers) {
        HWND focus = FocusOf(capture);
        PressHotkey(key, modifiers);
        return WaitFor([&] { return FocusOf(capture) != focus; });
    };
    std::vector<std::string> reached;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(press(VK_TAB, 0));
        reached.push_back(WindowText(FocusOf(capture)));
    }
    EXPECT_EQ(reached, (std::vector<std::string>{"&Copy to clipboard", "&Pin to screen", "C&rop to selection",
                                                 "Select", "Red", "Medium"}));
    // Back to the tools; the arrows pick the next and the previous one.
    ASSERT_TRUE(press(VK_TAB, ModShift));
    ASSERT_TRUE(press(VK_TAB, ModShift));
    ASSERT_EQ(WindowText(FocusOf(capture)), "Select");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(press(VK_RIGHT, 0));
    EXPECT_EQ(WindowText(FocusOf(capture)), "Ellipse");
    EXPECT_EQ(SendMessageA(FindButton(capture, "Ellipse"), BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_TRUE(press(VK_LEFT, 0));
    EXPECT_EQ(SendMessageA(FindButton(capture, "Rectangle"), BM_GETCHECK, 0, 0), BST_CHECKED);
    // Space on the tool with the focus picks it, Tab comes back to it.
    PressHotkey('T', 0);
    ASSERT_TRUE(
        WaitFor([&] { return SendMessageA(FindButton(capture, "Text"), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    PressHotkey(VK_SPACE, 0);
    EXPECT_TRUE(WaitFor(
        [&] { return SendMessageA(FindButton(capture, "Rectangle"), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    EXPECT_EQ(SendMessageA(FindButton(capture, "Text"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

} // namespace
} // namespace corvinade::test
