// The system's save-file dialog with the settings a form keeps between runs
// (title, filter, default extension, filter index, file name) and a
// notification when the user picks another file type.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace corvinade::gui {

class SaveDialog {
public:
    std::string Title;
    // "Name|*.ext|Name|*.ext", as forms write it.
    std::string Filter;
    std::string DefaultExt;
    int FilterIndex = 1;
    std::string FileName;
    bool OverwritePrompt = false;

    // Runs the dialog modally for `owner`; true when the user chose a name,
    // which is then in FileName.
    bool Execute(HWND owner);

    // The user picked another file type; FilterIndex tells which.
    std::function<void()> OnTypeChange;

    // While the dialog runs (inside OnTypeChange): the path in the dialog,
    // changing the name in its file-name box, and its default extension.
    std::string CurrentFilePath() const;
    void SetCurrentFileName(const std::string& name);
    void SetDialogDefaultExt(const std::string& extension);

private:
    static UINT_PTR CALLBACK Hook(HWND, UINT, WPARAM, LPARAM);

    HWND dialog_ = nullptr;
};

} // namespace corvinade::gui
