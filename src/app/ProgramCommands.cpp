// The command line's two ends; see ProgramCommands.h.
#include "app/ProgramCommands.h"

#include <shellapi.h>

#include "core/Handles_win.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"

namespace corvinade {

namespace {

constexpr wchar_t ApplicationClass[] = L"CorvinadeApplication";
// Marks our WM_COPYDATA among any other program's: "CVN1".
constexpr ULONG_PTR CommandTag = 0x43564E31;
// A busy program (a modal loop of the system's) still answers sent
// messages; one that does not within this time is hung.
constexpr UINT AnswerTimeoutMs = 10000;

// Posted to the application window with the command packed in wParam: the
// command runs once the sender has its answer.
UINT RunCommandMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Corvinade.Command.Run");
    return message;
}

WPARAM Packed(const ProgramCommand& command) {
    return static_cast<WPARAM>(command.kind) << 8 | static_cast<WPARAM>(command.capture);
}

ProgramCommand Unpacked(WPARAM packed) {
    return {static_cast<CommandKind>((packed >> 8) & 0xFF), static_cast<CaptureKind>(packed & 0xFF)};
}

// The console of the program that started us, or where our output is
// redirected to; invalid when there is neither.
HANDLE OutputHandle() {
    HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (output && output != INVALID_HANDLE_VALUE && ::GetFileType(output) != FILE_TYPE_UNKNOWN)
        return output;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return INVALID_HANDLE_VALUE;
    return ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}

} // namespace

const wchar_t* const ProgramMutexName = L"PelmorraCorvinade";

std::vector<std::string> ProgramArguments() {
    int count = 0;
    LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words && i < count; ++i)
        arguments.push_back(Utf8(words[i]));
    ::LocalFree(words);
    return arguments;
}

HWND FindRunningProgram() {
    const UniqueHandle mutex(::OpenMutexW(SYNCHRONIZE, FALSE, ProgramMutexName));
    if (!mutex)
        return nullptr;
    return ::FindWindowW(ApplicationClass, L"Corvinade");
}

bool DeliverCommand(HWND program, const ProgramCommand& command) {
    const std::string text = CommandText(command);
    COPYDATASTRUCT data = {};
    data.dwData = CommandTag;
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = const_cast<char*>(text.data());
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(program, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                 SMTO_ABORTIFHUNG | SMTO_BLOCK, AnswerTimeoutMs, &answer) != 0 &&
           answer == 1;
}

// A console takes UTF-16; a pipe or a file the bytes of UTF-8.
void TellUser(const std::string& text, bool boxWithoutConsole) {
    const HANDLE output = OutputHandle();
    if (output == INVALID_HANDLE_VALUE) {
        if (boxWithoutConsole)
            gui::ShowMessageBox(nullptr, text, "Corvinade", MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::string line;
    for (char c : text + "\n") {
        if (c == '\n')
            line += '\r';
        line += c;
    }
    DWORD written = 0;
    const std::wstring wide = Wide(line);
    if (!::WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr))
        ::WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

CommandReceiver::CommandReceiver(std::function<void(const ProgramCommand&)> run) : run_(std::move(run)) {
    hook_ = gui::App().AddMessageHook([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return Message(msg, wParam, lParam, result);
    });
}

CommandReceiver::~CommandReceiver() {
    gui::App().RemoveMessageHook(hook_);
}

// Answers 1 for a command taken; region capture is not in this version.
bool CommandReceiver::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == RunCommandMessage() && msg != 0) {
        run_(Unpacked(wParam));
        result = 0;
        return true;
    }
    if (msg != WM_COPYDATA)
        return false;
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != CommandTag)
        return false;
    const auto command =
        CommandFromText(std::string_view(static_cast<const char*>(data->lpData), data->cbData));
    result = 0;
    if (command && !(command->kind == CommandKind::Capture && command->capture == CaptureKind::Region)) {
        ::PostMessageW(gui::App().Handle(), RunCommandMessage(), Packed(*command), 0);
        result = 1;
    }
    return true;
}

} // namespace corvinade
