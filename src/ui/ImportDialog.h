// ImportDialog: what an import brings, before anything is saved. It lists
// each hotkey of the file (combination, action, parameters) with what adding
// would do with it, says how many are new, and asks in one question: "Add
// to my hotkeys" (the default; ModalResult IDYES), "Replace my hotkeys"
// (IDNO) or "Cancel".
#pragma once

#include <windows.h>

#include <string>

#include "core/HotkeyTransfer.h"
#include "gui/Button.h"
#include "gui/Form.h"
#include "gui/ListView.h"

namespace corvinade {

class HotkeyService;

class ImportDialog : public gui::Form {
public:
    ImportDialog(HWND owner, const HotkeyService& hotkeys, const std::string& fileName,
                 const TImportPreview& preview);

    gui::Label lblFile;
    gui::ListView lstHotkeys;
    gui::Label lblSummary;
    gui::Button btnAdd, btnReplace, btnCancel;

    static constexpr int AddResult = IDYES, ReplaceResult = IDNO;

private:
    void Shown();
};

} // namespace corvinade
