// The file dialogs; see FileDialog.h.
#include "gui/FileDialog.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Guarded.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

std::string FileDialogErrorText(unsigned long error) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04lX", error);
    return std::string("The file dialog could not be shown (common dialog error ") + code + ")";
}

bool FileDialog::Run(HWND owner, bool save, DWORD flags) {
    std::wstring filter = Wide(Filter);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.append(2, L'\0');
    const std::wstring start = Wide(FileName);
    std::vector<wchar_t> name(std::max<std::size_t>(start.size() + 1, 4096), L'\0');
    std::copy(start.begin(), start.end(), name.begin());
    const std::wstring title = Wide(Title), defaultExt = Wide(DefaultExt);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    // The program's working folder stays where it was.
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | flags;
    ofn.lpfnHook = Hook;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);

    using Run = BOOL(WINAPI*)(OPENFILENAMEW*);
    const auto run = SystemFunction<Run>("comdlg32.dll", save ? "GetSaveFileNameW" : "GetOpenFileNameW");
    const bool chosen = run(&ofn) != FALSE;
    dialog_ = nullptr;
    // FALSE is also a dialog that failed: that is an error, not a Cancel.
    if (!chosen) {
        using ExtendedError = DWORD(WINAPI*)();
        if (const DWORD error = SystemFunction<ExtendedError>("comdlg32.dll", "CommDlgExtendedError")())
            throw Error(FileDialogErrorText(error));
    }
    FilterIndex = static_cast<int>(ofn.nFilterIndex);
    if (chosen)
        FileName = Utf8(name.data());
    return chosen;
}

UINT_PTR CALLBACK FileDialog::Hook(HWND hook, UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lParam);
        ::SetWindowLongPtrW(hook, GWLP_USERDATA, ofn->lCustData);
        reinterpret_cast<FileDialog*>(ofn->lCustData)->dialog_ = ::GetParent(hook);
        return 0;
    }
    if (msg != WM_NOTIFY)
        return 0;
    auto* self = reinterpret_cast<FileDialog*>(::GetWindowLongPtrW(hook, GWLP_USERDATA));
    auto* notify = reinterpret_cast<OFNOTIFYW*>(lParam);
    if (self && notify->hdr.code == CDN_TYPECHANGE) {
        Guarded([&] {
            self->FilterIndex = static_cast<int>(notify->lpOFN->nFilterIndex);
            self->TypeChanged();
        });
    }
    return 0;
}

bool OpenDialog::Execute(HWND owner) {
    return Run(owner, false, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
}

bool SaveDialog::Execute(HWND owner) {
    return Run(owner, true, OverwritePrompt ? OFN_OVERWRITEPROMPT : 0);
}

void SaveDialog::TypeChanged() {
    if (OnTypeChange)
        OnTypeChange();
}

namespace {

// "C:\..." or "\\server\...": a name box holding such a path names the file itself.
bool IsAbsolutePath(const std::string& path) {
    return (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
           path.starts_with("\\\\");
}

} // namespace

// Wine's dialog puts its folder before whatever the name box holds, also
// before a whole path (which a type change before this one left there).
std::string SaveDialog::CurrentFilePath() const {
    if (!dialog_)
        return FileName;
    wchar_t text[4096] = {};
    if (::SendMessageW(dialog_, CDM_GETSPEC, std::size(text), reinterpret_cast<LPARAM>(text)) > 0 &&
        IsAbsolutePath(Utf8(text)))
        return Utf8(text);
    wchar_t path[4096] = {};
    const LRESULT length =
        ::SendMessageW(dialog_, CDM_GETFILEPATH, std::size(path), reinterpret_cast<LPARAM>(path));
    return length > 0 ? Utf8(path) : std::string();
}

void SaveDialog::SetCurrentFileName(const std::string& name) {
    FileName = name;
    if (dialog_)
        ::SendMessageW(dialog_, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(Wide(name).c_str()));
}

void SaveDialog::SetDialogDefaultExt(const std::string& extension) {
    DefaultExt = extension;
    if (dialog_)
        ::SendMessageW(dialog_, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(Wide(DefaultExt).c_str()));
}

} // namespace corvinade::gui
