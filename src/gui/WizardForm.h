// The frame the program's wizards share: an empty top band (glass where the
// system composes the desktop), the pages without tabs on the window
// background colour, and a bottom strip with a line at its top and the
// "&Previous", "&Next" (default; "&Finish" on the last page) and "Cancel"
// buttons. On a screen too low for it the top band gives up its height
// first; then the pages scroll, each no lower than its controls need.
#pragma once

#include <functional>
#include <string>

#include "gui/Button.h"
#include "gui/Form.h"
#include "gui/Panel.h"

namespace corvinade::gui {

class WizardForm : public Form {
    // First of the members: the controls made after them lay the form out.
    bool ready_ = false;   // the derived wizard is whole: its pages may be measured
    bool fitting_ = false; // FitHeight runs: the band's move lays out once

public:
    static constexpr int ClientWidth = 571, ClientHeight = 403;
    static constexpr int TopHeight = 49, BottomHeight = 41;

    WizardForm(const std::string& caption, HWND owner, Position position);

    Panel pnlTop, pnlClient, pnlBottom;
    Bevel BottomLine;
    PageControl pcClient;
    Button btnPrevious, btnNext, btnCancel;

    // A page, in the order they are walked through.
    Panel& AddPage(const std::string& caption) { return pcClient.AddPage(caption); }
    bool OnLastPage() const { return pcClient.ActivePageIndex() == pcClient.PageCount() - 1; }
    // One page on or back, then UpdateWizardButtons.
    void GoToPage(int index);
    // "&Finish" on the last page, "&Next" elsewhere; "&Previous" enabled
    // above the first page; "&Finish" enabled while CanFinish says so.
    void UpdateWizardButtons();
    std::function<bool()> CanFinish;

    void Realign() override;

    // A page heading: Tahoma, 16 pixels.
    static FontDesign HeadingFont() { return {"Tahoma", 16, 0}; }
    // Makes a label a page heading: its font and the one heading colour.
    static void MakeHeading(Label& label);

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override { ExtendGlass(); }

private:
    void ExtendGlass();
    // The top band's height for the client's height, and each page's
    // least height.
    void FitHeight();
    void Created() override;
    bool glass_ = false;
};

} // namespace corvinade::gui
