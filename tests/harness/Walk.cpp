// The random walk; see Walk.h.
#include "Walk.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"

namespace corvinade::test {

namespace {

// How long an effect may take on a loaded machine; only a step whose effect
// never comes waits this long.
constexpr Milliseconds EffectTimeout{10000};
// For what may not come: Esc a window ignores (see Escape), a click Wine lost
// (see Press), a menu's closing.
constexpr Milliseconds ShortTimeout{2000};
// A window that does not answer within this time, three times over, hangs.
constexpr UINT AnswerTimeoutMs = 1000;

const std::vector<HotkeyEntry> FirstList = {{true, '5', ModWin | ModCtrl, "capturescreen", "", ""},
                                            {true, 'A', ModWin | ModAlt, "openwebsite", "example.org", ""},
                                            {false, 'B', ModWin | ModShift, "maximize", "", ""}};
// What the import files hold: the capture hotkey among them, so that it
// comes back after a delete.
const std::vector<HotkeyEntry> ImportPool = {FirstList[0],
                                             FirstList[1],
                                             {true, 'C', ModWin | ModAlt, "minimize", "", ""},
                                             {true, 'D', ModWin | ModCtrl, "close", "", ""},
                                             {false, 'E', ModWin, "maximize", "", ""}};
// The actions as the file and as the windows name them.
const std::map<std::string, std::string> ActionNames = {
    {"capturescreen", "Capture screen"},    {"openwebsite", "Open website"},
    {"maximize", "Maximize active window"}, {"minimize", "Minimize active window"},
    {"close", "Close active window"},       {"openfile", "Open file"}};
const char KeyLetters[] = "ABCDEFGH";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

// A caption as it reads: "&Edit" is "Edit".
std::string WithoutMnemonic(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// A window's text as the system keeps it (a top-level window's title, a
// button's caption), read without a message: a hung program does not hold
// the walk up.
std::string Caption(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return Utf8Of(text);
}

// A message to another process's window, given up after a second.
std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, AnswerTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

// An edit box's text: the box keeps it itself.
std::string EditText(HWND edit) {
    wchar_t text[512] = {};
    Ask(edit, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return Utf8Of(text);
}

bool Checked(HWND box) {
    return Ask(box, BM_GETCHECK) == BST_CHECKED;
}

POINT Middle(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// One mouse event at an absolute position: Wine handles injected input
// later, and a button event without its position may land where the pointer
// was before.
void MouseEvent(POINT at, DWORD buttons) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
}

void ClickAt(POINT at, bool right = false) {
    MouseEvent(at, 0);
    MouseEvent(at, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    MouseEvent(at, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// The program's windows a step acts on. The tray panel, menus, tool tips and
// open drop-down lists are none.
enum class Kind { Settings, NewHotkey, Guide, Capture, Import, Box, FileDialog, Other, None };

Kind KindOf(HWND window) {
    const std::string cls = Lower(WindowClass(window)), title = Caption(window);
    if (cls == "#32768" || cls == "tooltips_class32" || cls == "combolbox" ||
        (cls == "corvinadeform" && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED)))
        return Kind::None;
    if (title == "Settings")
        return Kind::Settings;
    if (title == "New hotkey")
        return Kind::NewHotkey;
    if (title == "Setup Corvinade")
        return Kind::Guide;
    if (title == "Save Capture")
        return Kind::Capture;
    if (title == "Import hotkeys" && cls == "corvinadeform")
        return Kind::Import;
    if (cls == "#32770")
        return GetDlgItem(window, 0x47C) ? Kind::FileDialog : Kind::Box;
    return Kind::Other;
}

// The program's shown top-level windows a step may act on, topmost first.
std::vector<std::pair<HWND, Kind>> ShownWindows(DWORD processId) {
    std::vector<std::pair<HWND, Kind>> shown;
    for (HWND w : FindTopWindows({.processId = processId, .visibleOnly = true}))
        if (const Kind kind = KindOf(w); kind != Kind::None)
            shown.emplace_back(w, kind);
    return shown;
}

// A click at its middle reaches it: shown, it and every window around it
// enabled, and nothing over it there.
bool Reaches(HWND control) {
    if (!control || !IsWindowVisible(control))
        return false;
    for (HWND w = control; w && w != GetDesktopWindow(); w = GetAncestor(w, GA_PARENT))
        if (!IsWindowEnabled(w))
            return false;
    const POINT at = Middle(control);
    if (at.x < 0 || at.y < 0 || at.x >= GetSystemMetrics(SM_CXSCREEN) ||
        at.y >= GetSystemMetrics(SM_CYSCREEN))
        return false;
    const HWND hit = WindowFromPoint(at);
    return hit == control || IsChild(control, hit);
}

// What changes when a step has an effect: the shown windows, whether they
// take input, and which of their controls show (a page, a row's edit mode).
std::vector<std::uintptr_t> Signature(DWORD processId) {
    std::vector<std::uintptr_t> signature;
    auto add = [&](HWND w) {
        signature.push_back(reinterpret_cast<std::uintptr_t>(w) * 2 + (IsWindowEnabled(w) ? 1 : 0));
    };
    for (const auto& [window, kind] : ShownWindows(processId)) {
        add(window);
        for (HWND child : AllDescendants(window))
            if (IsWindowVisible(child))
                add(child);
        signature.push_back(0);
    }
    return signature;
}

// A message box closes on Esc when it has Cancel, or OK alone.
bool EscClosesBox(HWND box) {
    return FindButton(box, "Cancel") || (FindButton(box, "OK") && !FindButton(box, "&No"));
}

// What a step acts on: a control a click reaches, or a window.
struct Target {
    HWND window = nullptr;
    Kind kind = Kind::None; // of its top-level window
    std::string cls, text;  // cls "button", "edit", "combobox" or "window"
    bool checkBox = false, keyField = false;
    int row = -1; // in the settings window: its row, 0 the top one
};
using Targets = std::vector<Target>;

// What the user has in front of them.
struct View {
    std::vector<std::pair<HWND, Kind>> windows; // topmost first
    Targets controls;                           // those a click reaches
    std::vector<HWND> rows;                     // of the settings window, top to bottom
    std::vector<bool> editing;                  // per row

    static View Take(DWORD processId);
    HWND First(Kind kind) const {
        for (const auto& [window, k] : windows)
            if (k == kind)
                return window;
        return nullptr;
    }
    bool AnyEditing() const { return std::find(editing.begin(), editing.end(), true) != editing.end(); }
    Targets Where(const std::function<bool(const Target&)>& test) const {
        Targets found;
        std::copy_if(controls.begin(), controls.end(), std::back_inserter(found), test);
        return found;
    }
};

View View::Take(DWORD processId) {
    View view;
    view.windows = ShownWindows(processId);
    for (const auto& [window, kind] : view.windows) {
        const std::vector<HWND> children = AllDescendants(window);
        std::vector<HWND> rows;
        if (kind == Kind::Settings && view.rows.empty()) {
            view.rows = rows = HotkeyRows(window);
            view.editing.assign(rows.size(), false);
        }
        std::vector<int> keyFields; // the rows (-1: none) whose first edit box, their key field, came
        for (HWND child : children) {
            const std::string cls = Lower(WindowClass(child));
            if (!IsWindowVisible(child) || (cls != "button" && cls != "edit" && cls != "combobox"))
                continue;
            Target c{child, kind, cls, cls == "edit" ? EditText(child) : Caption(child)};
            for (size_t i = 0; i < rows.size(); ++i)
                if (IsChild(rows[i], child))
                    c.row = static_cast<int>(i);
            if (c.row >= 0 && WithoutMnemonic(c.text) == "Save")
                view.editing[c.row] = true;
            const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
            c.checkBox = cls == "button" && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
            c.keyField =
                cls == "edit" && std::find(keyFields.begin(), keyFields.end(), c.row) == keyFields.end();
            if (c.keyField)
                keyFields.push_back(c.row);
            if (Reaches(child))
                view.controls.push_back(c);
        }
    }
    return view;
}

// One section of hotkeys.ini, as far as the walk compares it.
struct Section {
    bool active = false; // as the program reads a section without the line
    int key = 0, shift = 0;
    std::string func;
};

std::vector<Section> ReadSections(const std::string& text) {
    std::vector<Section> sections;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (StartsWith(line, "["))
            sections.emplace_back();
        if (sections.empty() || equals == std::string::npos)
            continue;
        const std::string name = Lower(line.substr(0, equals)), value = line.substr(equals + 1);
        Section& s = sections.back();
        if (name == "active")
            s.active = std::atoi(value.c_str()) != 0;
        else if (name == "key")
            s.key = std::atoi(value.c_str());
        else if (name == "shift")
            s.shift = std::atoi(value.c_str());
        else if (name == "func")
            s.func = Lower(value);
    }
    return sections;
}

// How a row names a section's combination and action: "ALT + WIN + K",
// "Open website". A key other than a letter, a digit or the two the walk's
// files hold shows by its modifiers only (its name comes from the keyboard
// layout).
std::string CombinationText(const Section& s) {
    std::string text;
    for (const auto& [flag, name] :
         {std::pair{ModAlt, "ALT"}, {ModCtrl, "CTRL"}, {ModShift, "SHIFT"}, {ModWin, "WIN"}})
        if (s.shift & static_cast<int>(flag))
            text += std::string(name) + " + ";
    if (s.key == VK_DIVIDE || s.key == VK_MULTIPLY)
        return text + (s.key == VK_DIVIDE ? "Num /" : "Num *");
    const bool named = (s.key >= '0' && s.key <= '9') || (s.key >= 'A' && s.key <= 'Z');
    return named ? text + static_cast<char>(s.key) : text;
}

std::string ActionText(const Section& s) {
    const auto action = ActionNames.find(s.func);
    return action == ActionNames.end() ? "Unknown action" : action->second;
}

// A row's caption shows the section: "ALT + WIN + K, Open website, example.org, active".
bool Shows(const std::string& caption, const Section& s) {
    const size_t comma = caption.find(", ");
    return comma != std::string::npos && StartsWith(caption, CombinationText(s)) &&
           StartsWith(caption.substr(comma + 2), ActionText(s)) &&
           caption.find(s.active ? ", active" : ", inactive") != std::string::npos;
}

class Walker {
public:
    explicit Walker(const WalkOptions& options) : options_(options), random_(options.seed) {
        if (const std::string log = Env("CORVINADE_WINE_LOG"); !log.empty())
            logPath_ = WindowsPath(log);
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        tempFolder_ = Utf8Of(temp);
        // The program's working folder too: where a file dialog starts.
        SetCurrentDirectoryW(temp);
        DefineSteps();
    }

    WalkResult Run();

private:
    struct Step {
        std::string name;
        int weight;
        std::function<Targets()> targets;              // what it may act on now; none: not open to the user
        std::function<std::string(const Target&)> run; // what went wrong; empty when it had its effect
    };
    enum class Tray { DoubleClick, Menu, Panel };

    size_t Below(size_t n) { return static_cast<size_t>(random_() % n); }
    template <class T> const T& Pick(const std::vector<T>& items) { return items[Below(items.size())]; }

    void DefineSteps();
    std::string Start();
    const Step* Choose(bool last, Targets& targets);
    std::string Check(bool exited, const std::string& failed);
    std::string Describe() const;
    std::string Report(int step, const std::string& failure) const;

    std::string Press(const Target& target);
    std::string Overtaken(HWND control, const std::string& what);
    std::string TypeKey(const Target& field);
    std::string Tick(const Target& box);
    std::string ChooseAction(const Target& list);
    std::string Escape(const Target& window);
    std::string OpenSettingsFromTray(Tray how);
    std::string ChooseFromTrayMenu(bool last);
    void ClickTray(int clicks, bool right = false);
    std::string Exit();
    std::string Capture();
    std::string ChooseFile(const Target& ok);
    Targets EscapeTargets();
    std::vector<HWND> CaptureWindows() const;
    HWND Shown(Kind kind) const;
    bool CaptureHotkey(HotkeyEntry& found) const;
    std::string RowName(int row) const;

    // The checks after a step.
    std::string Answers();
    std::string TopTakesInput();
    std::string FileShowsInRows();
    std::string RowMismatch();
    std::string WineReports();

    const WalkOptions& options_;
    std::mt19937 random_;
    std::vector<Step> steps_;
    Process corvinade_;
    View view_;
    std::vector<std::string> done_; // every step so far, numbered
    std::string note_;              // what the running step adds to its name
    std::string logPath_, tempFolder_;
    std::streamoff logRead_ = 0;
    std::optional<std::string> fileAtExit_;
    int files_ = 0;
    bool trayLeft_ = false;
    std::vector<HWND> deaf_; // windows where Esc did nothing, while deafAmong_ showed
    std::vector<std::pair<HWND, Kind>> deafAmong_;
    WalkResult result_;
};

// The steps: their weights, what they may act on, and how.
void Walker::DefineSteps() {
    const auto where = [this](Kind kind, std::function<bool(const Target&)> test) {
        return [=, this] { return view_.Where([&](const Target& c) { return c.kind == kind && test(c); }); };
    };
    // By its caption as it reads, whatever letter its mnemonic is.
    const auto button = [=](Kind kind, std::string caption) {
        return where(
            kind, [=](const Target& c) { return c.cls == "button" && WithoutMnemonic(c.text) == caption; });
    };
    const auto box = [](const Target& c) { return c.checkBox; };
    const auto editing = [this](const Target& c) { return c.row >= 0 && view_.editing[c.row]; };
    // A step without a target: one empty one while it is open.
    const auto when = [](std::function<bool()> open) {
        return [=] { return open() ? Targets(1) : Targets(); };
    };
    const auto tray =
        when([] { return FindTopWindows({.className = "#32768", .visibleOnly = true}).empty(); });
    const auto fromTray = [this](Tray how) {
        return [=, this](const Target&) { return OpenSettingsFromTray(how); };
    };
    const auto press = [this](const Target& c) { return Press(c); };
    const auto tick = [this](const Target& c) { return Tick(c); };
    const auto typeKey = [this](const Target& c) { return TypeKey(c); };
    const auto dialogButton = [this](int id) {
        return [=, this] {
            const HWND button = GetDlgItem(view_.First(Kind::FileDialog), id);
            return Reaches(button) ? Targets{{button, Kind::FileDialog, "button", Caption(button)}}
                                   : Targets();
        };
    };
    // Weighed so that the wizards, once open, are mostly walked on to their end.
    steps_ = {
        {"tray: double click", 1, tray, fromTray(Tray::DoubleClick)},
        {"tray: menu Settings...", 1, tray, fromTray(Tray::Menu)},
        {"tray: panel's Manage hotkeys", 1, tray, fromTray(Tray::Panel)},
        // Not while a key field may have the focus: it takes the combination.
        {"capture hotkey", 1, when([this] {
             HotkeyEntry entry;
             return !view_.First(Kind::NewHotkey) && !view_.AnyEditing() && CaptureWindows().size() < 2 &&
                    CaptureHotkey(entry);
         }),
         [this](const Target&) { return Capture(); }},
        {"Esc", 2, [this] { return EscapeTargets(); }, [this](const Target& c) { return Escape(c); }},

        {"settings: Edit", 4, button(Kind::Settings, "Edit"), press},
        {"settings: type a key", 3,
         where(Kind::Settings, [=](const Target& c) { return c.keyField && editing(c); }), typeKey},
        {"settings: tick a box", 2,
         where(Kind::Settings, [=](const Target& c) { return box(c) && editing(c); }), tick},
        {"settings: Save", 4, button(Kind::Settings, "Save"), press},
        {"settings: Cancel", 1, button(Kind::Settings, "Cancel"), press},
        {"settings: Delete", 2, button(Kind::Settings, "Delete"), press},
        {"settings: New hotkey", 2, button(Kind::Settings, "New hotkey"), press},
        {"settings: Import...", 1, button(Kind::Settings, "Import..."), press},
        {"settings: Export...", 1, button(Kind::Settings, "Export..."), press},
        {"settings: Close", 1, button(Kind::Settings, "Close"), press},

        // The key field while its page shows.
        {"new hotkey: type a key", 5,
         [=] {
             return button(Kind::NewHotkey, "WIN")().empty()
                        ? Targets()
                        : where(Kind::NewHotkey, [](const Target& c) { return c.keyField; })();
         },
         typeKey},
        {"new hotkey: tick a modifier", 3, where(Kind::NewHotkey, box), tick},
        {"new hotkey: choose an action", 5,
         where(Kind::NewHotkey, [](const Target& c) { return c.cls == "combobox"; }),
         [this](const Target& c) { return ChooseAction(c); }},
        {"new hotkey: Next", 4, button(Kind::NewHotkey, "Next"), press},
        {"new hotkey: Previous", 1, button(Kind::NewHotkey, "Previous"), press},
        {"new hotkey: Finish", 6, button(Kind::NewHotkey, "Finish"), press},
        {"new hotkey: Cancel", 1, button(Kind::NewHotkey, "Cancel"), press},

        {"guide: Next", 5, button(Kind::Guide, "Next"), press},
        {"guide: Previous", 1, button(Kind::Guide, "Previous"), press},
        {"guide: tick a box", 1, where(Kind::Guide, box), tick},
        {"guide: Finish", 4, button(Kind::Guide, "Finish"), press},
        {"guide: Setup more hotkeys", 3, button(Kind::Guide, "Setup more hotkeys"), press},
        {"guide: Cancel", 1, button(Kind::Guide, "Cancel"), press},

        {"import: answer", 4, where(Kind::Import, [](const Target& c) { return c.cls == "button"; }), press},
        {"message box: answer", 4, where(Kind::Box, [](const Target& c) { return c.cls == "button"; }),
         [this](const Target& c) {
             const std::string text = MessageBoxText(GetAncestor(c.window, GA_ROOT));
             const std::string failed = Press(c);
             note_ += " to " + Quoted(text.substr(0, text.find('\n')));
             return failed;
         }},
        {"file dialog: choose a file", 3, dialogButton(IDOK),
         [this](const Target& c) { return ChooseFile(c); }},
        {"file dialog: Cancel", 1, dialogButton(IDCANCEL), press},
        // Last: chosen now and then, and as the last step.
        {"tray: Exit", 0, tray, [this](const Target&) { return Exit(); }},
    };
    for (const Step& s : steps_)
        result_.taken[s.name] = 0;
}

// --- Steps -----------------------------------------------------------------------

std::string Walker::RowName(int row) const {
    return row < 0 ? "" : " in row " + std::to_string(row + 1) + " " + Quoted(Caption(view_.rows[row]));
}

// A click, and a change of what shows.
// Wine loses an injected click now and then: one that showed nothing after a
// while is clicked once more, as a user would.
std::string Walker::Press(const Target& target) {
    note_ = " " + Quoted(target.text) + RowName(target.row);
    const auto before = Signature(corvinade_.Id());
    auto changed = [&] { return Signature(corvinade_.Id()) != before; };
    ClickAt(Middle(target.window));
    if (WaitFor(changed, ShortTimeout))
        return {};
    if (Reaches(target.window)) {
        note_ += " (clicked again)";
        ClickAt(Middle(target.window));
    }
    if (WaitFor(changed, EffectTimeout))
        return {};
    return Overtaken(target.window, "the click on " + Quoted(target.text) + " in " +
                                        Quoted(Caption(GetAncestor(target.window, GA_ROOT))) +
                                        " changed nothing");
}

// A step's effect did not come: no fault when something came first that took
// the control away from the user (a window posted meanwhile).
std::string Walker::Overtaken(HWND control, const std::string& what) {
    if (Reaches(control))
        return what;
    note_ += " (overtaken)";
    return {};
}

std::string Walker::TypeKey(const Target& field) {
    std::string letter(1, KeyLetters[Below(sizeof KeyLetters - 1)]);
    if (EditText(field.window) == letter)
        letter[0] = letter[0] == 'A' ? 'B' : 'A';
    note_ = " " + letter + RowName(field.row);
    ClickAt(Middle(field.window));
    if (!WaitFor([&] { return FocusOf(field.window) == field.window; }, EffectTimeout))
        return Overtaken(field.window, "a click on the key field gave it no focus");
    SendKeyEvent(letter[0], false);
    SendKeyEvent(letter[0], true);
    if (!WaitFor([&] { return EditText(field.window) == letter; }, EffectTimeout))
        return Overtaken(field.window,
                         "the key field shows " + Quoted(EditText(field.window)) + ", not " + letter);
    return {};
}

std::string Walker::Tick(const Target& box) {
    note_ = " " + Quoted(box.text) + RowName(box.row);
    const bool before = Checked(box.window);
    ClickAt(Middle(box.window));
    if (WaitFor([&] { return Checked(box.window) != before; }, EffectTimeout))
        return {};
    return Overtaken(box.window, "the click on the box " + Quoted(box.text) + " did not tick it");
}

// The list's selection and the notification a choice with the mouse gives.
std::string Walker::ChooseAction(const Target& list) {
    static const std::vector<std::string> actions = {"Capture screen", "Open website",
                                                     "Maximize active window", "Minimize active window",
                                                     "Close active window"};
    const std::string& action = Pick(actions);
    note_ = " " + Quoted(action);
    const std::wstring text = WideOf(action);
    const auto index =
        Ask(list.window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (!index || *index == CB_ERR)
        return "the list of actions has no " + Quoted(action);
    Ask(list.window, CB_SETCURSEL, static_cast<WPARAM>(*index));
    Ask(GetParent(list.window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list.window), CBN_SELCHANGE),
        reinterpret_cast<LPARAM>(list.window));
    return {};
}

// Windows that take Esc, but for those found deaf to it while the same
// windows show.
Targets Walker::EscapeTargets() {
    auto shown = view_.windows;
    std::sort(shown.begin(), shown.end()); // whatever their order
    if (deafAmong_ != shown)
        deaf_.clear();
    Targets found;
    for (const auto& [window, kind] : view_.windows)
        if (IsWindowEnabled(window) && std::find(deaf_.begin(), deaf_.end(), window) == deaf_.end() &&
            kind != Kind::Other && (kind != Kind::Box || EscClosesBox(window)))
            found.push_back({window, kind, "window", Caption(window)});
    return found;
}

// Esc in a window, brought to the front first. It closes the window; the
// guide asks first, the settings window may cancel a row's edit instead.
std::string Walker::Escape(const Target& window) {
    note_ = " in " + Quoted(window.text);
    const HWND w = window.window;
    const auto before = Signature(corvinade_.Id());
    if (!BringToForeground(w, EffectTimeout))
        return Overtaken(w, "the window did not come to the front");
    SendKeyEvent(VK_ESCAPE, false);
    SendKeyEvent(VK_ESCAPE, true);
    if (WaitFor(
            [&] {
                return !IsWindowVisible(w) || (window.kind == Kind::Guide && !IsWindowEnabled(w)) ||
                       (window.kind == Kind::Settings && Signature(corvinade_.Id()) != before);
            },
            ShortTimeout))
        return {};
    // Not every window takes Esc at every moment (one shown during another's
    // modal run may get no dialog keys): noted, no failure.
    note_ += " (no effect)";
    deaf_.push_back(w);
    deafAmong_ = view_.windows;
    std::sort(deafAmong_.begin(), deafAmong_.end());
    return {};
}

// The first shown window of this kind, topmost first.
HWND Walker::Shown(Kind kind) const {
    for (const auto& [window, k] : ShownWindows(corvinade_.Id()))
        if (k == kind)
            return window;
    return nullptr;
}

std::vector<HWND> Walker::CaptureWindows() const {
    std::vector<HWND> found;
    for (const auto& [window, kind] : ShownWindows(corvinade_.Id()))
        if (kind == Kind::Capture)
            found.push_back(window);
    return found;
}

// Clicks on the tray icon, each step's a few pixels beside the last one's
// (the icon is 16 wide): a step's click and the next's are never taken for a
// double click, however soon they come.
void Walker::ClickTray(int clicks, bool right) {
    const int aside = GetSystemMetrics(SM_CXDOUBLECLK) / 2 + 1;
    trayLeft_ = !trayLeft_;
    const POINT at = {TrayIconPoint().x + (trayLeft_ ? -aside : aside), TrayIconPoint().y};
    for (int i = 0; i < clicks; ++i)
        ClickAt(at, right);
}

// The tray icon's menu, and a click on its first item ("Settings...") or its
// last ("Exit") once the menu has settled where it shows.
std::string Walker::ChooseFromTrayMenu(bool last) {
    HWND menu = nullptr;
    for (int attempt = 0; attempt < 5 && !menu; ++attempt) {
        ClickTray(1, true);
        menu = WaitForWindow({.className = "#32768", .visibleOnly = true}, Milliseconds{3000});
    }
    if (!menu)
        return "right clicks on the tray icon opened no menu";
    RECT items = {};
    WaitFor([&] {
        RECT now = {};
        GetWindowRect(menu, &now);
        return std::exchange(items, now).top == now.top && now.bottom > now.top;
    });
    ClickAt({items.left + 20, last ? items.bottom - 10 : items.top + 10});
    WaitFor([&] { return !IsWindowVisible(menu); }, ShortTimeout);
    return {};
}

// Double click, menu or panel link: a settings window shows. Wine's tray
// drops a click now and then: the tray is clicked again.
std::string Walker::OpenSettingsFromTray(Tray how) {
    const DWORD id = corvinade_.Id();
    // Shown, and brought to the front once the request has run; a window
    // that cannot come to the front (a disabled one) is let be.
    auto settingsShown = [&](Milliseconds timeout) {
        HWND settings = nullptr;
        WaitFor([&] { return (settings = Shown(Kind::Settings)) != nullptr; }, timeout);
        if (settings && IsWindowEnabled(settings))
            WaitFor([&] { return GetForegroundWindow() == settings; }, Milliseconds{2000});
        return settings != nullptr;
    };
    if (how == Tray::Menu) {
        for (int attempt = 0; attempt < 3; ++attempt)
            if (std::string failed = ChooseFromTrayMenu(false); !failed.empty())
                return failed;
            else if (settingsShown(Milliseconds{3000}))
                return {};
        return "the menu's \"Settings...\" showed no settings window";
    }
    bool panelShown = false;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (how == Tray::DoubleClick) {
            ClickTray(2);
            if (settingsShown(Milliseconds{3000}))
                return {};
            continue;
        }
        const HWND panel = FindPanel(id);
        if (!IsWindowVisible(panel))
            ClickTray(1);
        if (!WaitFor([&] { return IsWindowVisible(panel) != FALSE; }, Milliseconds{3000}))
            continue;
        panelShown = true;
        RECT r = {};
        GetWindowRect(panel, &r);
        const POINT link = {r.left + 20, r.bottom - 15}; // "Manage hotkeys", at its bottom left
        // Not through a window over it (the tray's balloon): looked at again.
        if (WindowFromPoint(link) != panel) {
            note_ += " (covered)";
            WaitFor([&] { return WindowFromPoint(link) == panel; }, ShortTimeout);
            continue;
        }
        ClickAt(link);
        if (settingsShown(Milliseconds{5000}))
            return {};
        note_ += " (clicked again)";
    }
    if (how == Tray::DoubleClick)
        return "double clicks on the tray icon showed no settings window";
    return panelShown ? "the panel's \"Manage hotkeys\" showed no settings window"
                      : "clicks on the tray icon showed no panel";
}

// The first active capture hotkey that holds its combination (an earlier
// hotkey with it would run instead).
bool Walker::CaptureHotkey(HotkeyEntry& found) const {
    std::vector<std::pair<int, int>> seen;
    for (const Section& s : ReadSections(FileContent(HotkeysIniPath()).value_or(""))) {
        if (!s.active || std::find(seen.begin(), seen.end(), std::pair{s.key, s.shift}) != seen.end())
            continue;
        seen.emplace_back(s.key, s.shift);
        const std::string atom = HotkeyAtomName(s.key, s.shift);
        if (s.func == "capturescreen" && GlobalFindAtomA(atom.c_str()) &&
            IsCombinationTaken(s.key, s.shift)) {
            found = {true, s.key, s.shift, s.func, "", ""};
            return true;
        }
    }
    return false;
}

// Wine may lift a modifier of a hotkey pressed while it settles an
// activation: a press that shows nothing is pressed again.
std::string Walker::Capture() {
    HotkeyEntry entry;
    CaptureHotkey(entry);
    note_ = " " + HotkeyAtomName(entry.key, entry.shift);
    const size_t before = CaptureWindows().size();
    for (int attempt = 0; attempt < 3; ++attempt) {
        PressHotkey(entry.key, entry.shift);
        if (WaitFor([&] { return CaptureWindows().size() > before; }, Milliseconds{4000}))
            return {};
    }
    return "three presses of the capture hotkey showed no capture window";
}

// A new file named in the dialog. To import: a few hotkeys, or none with a
// known action; an export is hotkeys.ini byte for byte.
std::string Walker::ChooseFile(const Target& ok) {
    const HWND dialog = GetAncestor(ok.window, GA_ROOT);
    const bool import = Caption(dialog) == "Import hotkeys";
    const std::string file = tempFolder_ + "walk-" + std::to_string(++files_) + ".ini";
    if (import) {
        std::vector<HotkeyEntry> entries;
        for (const HotkeyEntry& e : ImportPool)
            if (Below(2))
                entries.push_back(e);
        const bool none = Below(8) == 0;
        std::ofstream(std::filesystem::path(WideOf(file)), std::ios::binary)
            << (none ? std::string("[bad]\r\nfunc=none\r\n") : HotkeysIniText(entries));
        note_ = " to import " + (none ? "none" : std::to_string(entries.size()) + " hotkeys");
    }
    // Typed in, as far as the name box shows it: the dialog may still fill in
    // its own name ("hotkeys.ini") when it has just opened.
    const HWND name = GetDlgItem(dialog, 0x47C);
    if (!WaitFor([&] {
            Ask(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideOf(file).c_str()));
            return Ask(dialog, WM_NULL) && EditText(name) == file;
        }))
        return Overtaken(ok.window, "the file dialog's name box does not take a name");
    ClickAt(Middle(ok.window));
    if (!WaitFor([&] { return !IsWindowVisible(dialog); }, EffectTimeout))
        return Overtaken(ok.window, "the file dialog stayed after its OK");
    if (import)
        return {};
    std::optional<std::string> saved;
    if (WaitFor([&] { return (saved = FileContent(HotkeysIniPath())) == FileContent(file); },
                Milliseconds{5000}))
        return {};
    return "the export differs from hotkeys.ini:\n" + FileContent(file).value_or("(no file)") +
           "\nhotkeys.ini:\n" + saved.value_or("(no file)");
}

std::string Walker::Exit() {
    for (int attempt = 0; attempt < 3; ++attempt)
        if (std::string failed = ChooseFromTrayMenu(true); !failed.empty())
            return failed;
        else if (corvinade_.WaitForExit(Milliseconds{attempt < 2 ? 5000 : 20000}))
            break;
    if (corvinade_.Running())
        return "the program did not end within 20 s of Exit";
    if (corvinade_.ExitCode() != 0u)
        return "the program ended with exit code " + std::to_string(corvinade_.ExitCode().value_or(0));
    fileAtExit_ = FileContent(HotkeysIniPath());
    return {};
}

// --- The walk ---------------------------------------------------------------------

// Each start comes with the setup guide due (as after a first start whose
// guide was cancelled) or not.
std::string Walker::Start() {
    const bool guide = Below(5) < 2;
    if (HKEY key = nullptr; guide && RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Pelmorra\\Corvinade", 0,
                                                   KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "FirstUse");
        RegCloseKey(key);
    } else if (!guide) {
        SetSettingText("FirstUse", "0");
    }
    done_.push_back("start" + std::string(guide ? ", the setup guide due" : ""));
    ++result_.starts;
    corvinade_ = Process::Start(CorvinadeExe());
    const DWORD id = corvinade_.Id();
    if (!WaitFor([&] { return FindPanel(id) != nullptr; }))
        return "the program made no tray panel after its start";
    if (guide && !WaitFor([&] { return Shown(Kind::Guide) != nullptr; }))
        return "the setup guide did not show at the start with \"FirstUse\" cleared";
    if (fileAtExit_ && FileContent(HotkeysIniPath()) != fileAtExit_)
        return "hotkeys.ini changed between Exit and the next start:\n" + fileAtExit_.value_or("") +
               "\nnow:\n" + FileContent(HotkeysIniPath()).value_or("(no file)");
    return {};
}

// A step open to the user, by weight; now and then, and last, Exit.
const Walker::Step* Walker::Choose(bool last, Targets& targets) {
    const Step& exit = steps_.back();
    std::vector<std::pair<const Step*, Targets>> open;
    int total = 0;
    for (const Step& s : steps_)
        if (Targets t = s.weight > 0 ? s.targets() : Targets(); !t.empty()) {
            open.emplace_back(&s, std::move(t));
            total += s.weight;
        }
    if ((last || Below(50) == 0 || open.empty()) && !(targets = exit.targets()).empty())
        return &exit;
    if (open.empty())
        return nullptr;
    int chosen = static_cast<int>(Below(static_cast<size_t>(total)));
    for (auto& [step, t] : open)
        if ((chosen -= step->weight) < 0) {
            targets = std::move(t);
            return step;
        }
    return nullptr;
}

WalkResult Walker::Run() {
    WriteHotkeysIni(FirstList);
    const auto began = std::chrono::steady_clock::now();
    for (int step = 1; step <= options_.steps; ++step) {
        // The view the last step's checks took, or a new one after a start.
        std::string failure;
        if (!corvinade_.Running() && (failure = Start()).empty())
            view_ = View::Take(corvinade_.Id());
        Targets targets;
        const Step* chosen = failure.empty() ? Choose(step == options_.steps, targets) : nullptr;
        if (failure.empty() && !chosen)
            failure = "no step is open to the user";
        if (chosen) {
            note_.clear();
            const auto start = std::chrono::steady_clock::now();
            failure = chosen->run(Pick(targets));
            const auto took =
                std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start);
            ++result_.taken[chosen->name];
            done_.push_back(std::to_string(step) + " " + chosen->name + note_ + " (" +
                            std::to_string(took.count()) + " ms)");
            failure = Check(chosen == &steps_.back(), failure);
        }
        if (!failure.empty()) {
            SaveScreenshot("walk-seed-" + std::to_string(options_.seed) + "-step-" + std::to_string(step));
            result_.failure = Report(step, failure);
            break;
        }
        result_.steps = step;
        if (options_.progress && step % 100 == 0) {
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
            options_.progress(std::to_string(step) + " steps, " + std::to_string(result_.starts) +
                              " starts, " + std::to_string(static_cast<int>(step * 60 / seconds)) +
                              " steps a minute");
        }
    }
    return result_;
}

// --- Checks ------------------------------------------------------------------------

// The checks after a step; the step's own failure, if any, unless the
// program hangs or crashed, which says more. They leave view_ up to date.
std::string Walker::Check(bool exited, const std::string& failed) {
    const std::string reports = WineReports();
    if (exited || !corvinade_.Running()) {
        const std::string ended =
            exited ? failed
                   : "the program ended, exit code " + std::to_string(corvinade_.ExitCode().value_or(0));
        return ended.empty() || reports.empty() ? ended + reports : ended + "\n" + reports;
    }
    if (std::string hung = Answers(); !hung.empty())
        return hung;
    if (!failed.empty() || !reports.empty())
        return failed.empty() ? reports : failed;
    view_ = View::Take(corvinade_.Id());
    for (auto check : {&Walker::TopTakesInput, &Walker::FileShowsInRows})
        if (std::string broken = (this->*check)(); !broken.empty())
            return broken;
    return {};
}

// Every shown window of the program takes a message within a second (one
// late answer on a loaded machine is forgiven, three are not).
std::string Walker::Answers() {
    for (HWND window : FindTopWindows({.processId = corvinade_.Id(), .visibleOnly = true}))
        for (int tries = 0;; ++tries) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, AnswerTimeoutMs, &result) ||
                !IsWindowVisible(window))
                break;
            if (tries == 2)
                return Quoted(Caption(window)) + " did not answer within 1 s, three times over";
        }
    return {};
}

// The rule the program keeps: where a window of it shows, the topmost one
// takes input, and a window it disabled for a modal one has that modal
// window shown above it (a capture window is never modal). One settings
// window at most. A moment's change of windows is waited out.
std::string Walker::TopTakesInput() {
    auto broken = [](const std::vector<std::pair<HWND, Kind>>& shown) -> std::string {
        if (!shown.empty() && !IsWindowEnabled(shown.front().first))
            return "the topmost window " + Quoted(Caption(shown.front().first)) + " takes no input";
        bool modalAbove = false;
        for (const auto& [window, kind] : shown) {
            if (!IsWindowEnabled(window) && !modalAbove)
                return Quoted(Caption(window)) + " is disabled with no modal window above it";
            modalAbove = modalAbove || (IsWindowEnabled(window) && kind != Kind::Capture);
        }
        if (std::count_if(shown.begin(), shown.end(), [](auto& w) { return w.second == Kind::Settings; }) > 1)
            return "two settings windows show";
        return {};
    };
    const DWORD id = corvinade_.Id();
    std::string why = broken(view_.windows);
    if (why.empty())
        return {};
    if (!WaitFor([&] { return (why = broken(ShownWindows(id))).empty(); }, Milliseconds{5000}))
        return why;
    view_ = View::Take(id);
    return {};
}

// Waits out a save on its way, looking again.
std::string Walker::FileShowsInRows() {
    std::string mismatch;
    bool again = false;
    if (WaitFor(
            [&] {
                if (std::exchange(again, true))
                    view_ = View::Take(corvinade_.Id());
                return (mismatch = RowMismatch()).empty();
            },
            Milliseconds{5000}))
        return {};
    return mismatch;
}

// The rows show the file's sections, newest on top; a row being edited
// shows its input instead. When every row fits in the view each has a
// window; else only some do, in their order.
std::string Walker::RowMismatch() {
    if (!view_.First(Kind::Settings))
        return {};
    std::vector<Section> sections = ReadSections(FileContent(HotkeysIniPath()).value_or(""));
    std::reverse(sections.begin(), sections.end());
    const std::vector<HWND>& rows = view_.rows;
    std::string both = "\nhotkeys.ini, newest first:";
    for (const Section& s : sections)
        both += "\n  " + CombinationText(s) + ", " + ActionText(s) + ", ..., " +
                (s.active ? "active" : "inactive");
    both += "\nrows:";
    for (HWND row : rows)
        both += "\n  " + Caption(row);
    size_t fit = sections.size();
    if (!rows.empty()) {
        RECT list = {}, row = {};
        GetClientRect(GetParent(rows.front()), &list);
        GetWindowRect(rows.front(), &row);
        fit = static_cast<size_t>(list.bottom / std::max(1L, row.bottom - row.top));
    }
    const bool all = sections.size() <= fit;
    if (rows.size() > sections.size() || (all && rows.size() != sections.size()))
        return std::to_string(rows.size()) + " rows for " + std::to_string(sections.size()) +
               " hotkeys in hotkeys.ini" + both;
    size_t next = 0;
    for (size_t i = 0; i < rows.size(); ++i, ++next) {
        if (view_.editing[i])
            continue;
        const std::string caption = Caption(rows[i]);
        while (!all && next < sections.size() && !Shows(caption, sections[next]))
            ++next;
        if (next == sections.size() || !Shows(caption, sections[next]))
            return "the rows do not show hotkeys.ini" + both;
    }
    return {};
}

// Wine's reports in the output since the last look.
std::string Walker::WineReports() {
    if (logPath_.empty())
        return {};
    std::ifstream in(std::filesystem::path(WideOf(logPath_)), std::ios::binary);
    in.seekg(logRead_);
    std::string reports, line;
    while (std::getline(in, line) && !in.eof()) {
        logRead_ = in.tellg();
        // As wine-run.sh counts them at the end of the run.
        if (line.find(":heap:") != std::string::npos || line.find("wine: Unhandled") != std::string::npos ||
            line.find("page fault") != std::string::npos)
            reports += "\n  " + line;
    }
    return reports.empty() ? "" : "Wine reports:" + reports;
}

std::string Walker::Describe() const {
    std::string text;
    for (HWND w : FindTopWindows({.processId = corvinade_.Id(), .visibleOnly = true})) {
        const std::string cls = WindowClass(w);
        const HWND owner = GetWindow(w, GW_OWNER);
        if (Lower(cls) == "tooltips_class32")
            continue;
        text += "\n  " + Quoted(Caption(w)) + " (" + cls + (IsWindowEnabled(w) ? "" : ", disabled") +
                (owner && IsWindowVisible(owner) ? ", owned by " + Quoted(Caption(owner)) : "") + ")";
        if (KindOf(w) == Kind::Box)
            text += ": " + Quoted(Caption(GetDlgItem(w, 0xFFFF)));
    }
    return text.empty() ? " none" : text;
}

std::string Walker::Report(int step, const std::string& failure) const {
    std::string text =
        "seed " + std::to_string(options_.seed) + ", step " + std::to_string(step) + ": " + failure;
    if (corvinade_.Running())
        text += "\nthe program shows, topmost first:" + Describe();
    // The last steps: what led there.
    constexpr size_t Last = 40;
    const size_t first = done_.size() > Last ? done_.size() - Last : 0;
    text += "\nthe last steps" + (first ? " (" + std::to_string(first) + " before them)" : "") + ":";
    for (size_t i = first; i < done_.size(); ++i)
        text += "\n  " + done_[i];
    return text + "\nagain: bash scripts/walk.sh --seed " + std::to_string(options_.seed) + " --steps " +
           std::to_string(step);
}

} // namespace

WalkResult RunWalk(const WalkOptions& options) {
    return Walker(options).Run();
}

} // namespace corvinade::test
