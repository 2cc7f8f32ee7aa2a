// The system's file dialogs: a common base with the settings a form keeps
// between runs (title, filter, default extension, filter index, file name),
// the open dialog, and the save dialog with a notification when the user
// picks another file type.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace corvinade::gui {

class FileDialog {
public:
    FileDialog() = default;
    virtual ~FileDialog() = default;
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    std::string Title;
    // "Name|*.ext|Name|*.ext", as forms write it.
    std::string Filter;
    std::string DefaultExt;
    int FilterIndex = 1;
    // In: the name the dialog starts with; out: the full path chosen.
    std::string FileName;

protected:
    // Runs the dialog modally for `owner`; true when the user chose a file,
    // false when the user cancelled. A dialog that fails throws Error.
    bool Run(HWND owner, bool save, DWORD flags);
    virtual void TypeChanged() {}

    HWND dialog_ = nullptr; // while the dialog runs

private:
    static UINT_PTR CALLBACK Hook(HWND, UINT, WPARAM, LPARAM);
};

// The error of a dialog that could not run (CommDlgExtendedError's code).
std::string FileDialogErrorText(unsigned long error);

class OpenDialog : public FileDialog {
public:
    // True when the user chose an existing file, now in FileName.
    bool Execute(HWND owner);
};

class SaveDialog : public FileDialog {
public:
    bool OverwritePrompt = false;

    // True when the user chose a name, now in FileName.
    bool Execute(HWND owner);

    // The user picked another file type; FilterIndex tells which.
    std::function<void()> OnTypeChange;

    // While the dialog runs (inside OnTypeChange): the path in the dialog,
    // changing the name in its file-name box, and its default extension.
    std::string CurrentFilePath() const;
    void SetCurrentFileName(const std::string& name);
    void SetDialogDefaultExt(const std::string& extension);

protected:
    void TypeChanged() override;
};

} // namespace corvinade::gui
