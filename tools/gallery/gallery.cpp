// gallery.exe: every control of the GUI layer's dialog kit on two forms, to
// look at (tools/screenshots.sh takes their pictures at 96 and 144 dpi): a
// form with a tabbed page control, panels of other colours, labels, edit
// boxes, a memo, check boxes, a drop-down list and a scroll box of rows; and
// the wizard frame with a page like the program's wizards have.
#include <windows.h>

#include <memory>
#include <vector>

#include "gui/Application.h"
#include "gui/Button.h"
#include "gui/Controls.h"
#include "gui/Form.h"
#include "gui/Panel.h"
#include "gui/WizardForm.h"

using namespace corvinade::gui;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Application app(instance);
    app.SetTitle("Gallery");

    Form form({.left = 8, .top = 8, .clientWidth = 560, .clientHeight = 360, .caption = "Dialog kit"});
    PageControl pages(
        form,
        {.left = 8, .top = 8, .width = 544, .height = 310, .anchors = akLeft | akTop | akRight | akBottom},
        true);
    Panel& first = pages.AddPage("Controls");
    Label heading(first, {.left = 16, .top = 12, .caption = "A heading in 16 pixels"});
    heading.SetFont({"Tahoma", 16, 0});
    heading.SetFontColor(RGB(49, 105, 198));
    Label nameLabel(first, {.left = 16, .top = 44, .caption = "&Name:"});
    Edit name(first, {.left = 90, .top = 41, .width = 200, .height = 21, .caption = "A text & more"});
    Label data(first, {.left = 16, .top = 72, .caption = "Data as it is: ?q=a&lang=en"},
               {.showAccelChar = false});
    CheckBox check(first, {.left = 16, .top = 96, .caption = "&Check box"});
    check.SetChecked(true);
    ComboBox combo(first, {.left = 150, .top = 94, .width = 140});
    combo.AddItem("Maximize window", 1);
    combo.AddItem("Open file", 4);
    combo.SetItemIndex(1);
    Panel white(first, {.left = 16, .top = 128, .width = 250, .height = 60});
    white.SetSystemColor(COLOR_WINDOW);
    CheckBox onWhite(white, {.left = 8, .top = 8, .caption = "On the window colour"});
    Label labelOnWhite(white, {.left = 8, .top = 34, .caption = "A label on it"});
    Memo memo(first, {.left = 300,
                      .top = 41,
                      .width = 220,
                      .height = 147,
                      .caption = "A memo: Enter breaks the line, long lines wrap on the screen without "
                                 "changing the text.\r\nSecond line."});
    Bevel line(first, {.left = 16, .top = 200, .width = 504, .height = 2});
    Button plain(first, {.left = 16, .top = 212, .width = 75, .height = 25, .caption = "&Button"});
    Panel& second = pages.AddPage("Scroll box");
    ScrollBox box(second, {.width = 536, .height = 280, .align = Align::Client});
    std::vector<std::unique_ptr<Panel>> rows;
    std::vector<std::unique_ptr<Control>> cells;
    for (int i = 8; i >= 0; --i) {
        rows.push_back(std::make_unique<Panel>(box.Content(),
                                               ControlArgs{.width = 536, .height = 60, .align = Align::Top}));
        cells.push_back(std::make_unique<CheckBox>(
            *rows.back(), ControlArgs{.left = 8, .top = 8, .caption = "Row " + std::to_string(i)}));
        cells.push_back(std::make_unique<Edit>(
            *rows.back(),
            ControlArgs{
                .left = 100, .top = 8, .width = 300, .height = 21, .anchors = akLeft | akTop | akRight}));
        cells.push_back(std::make_unique<Bevel>(
            *rows.back(),
            ControlArgs{
                .left = 0, .top = 58, .width = 536, .height = 2, .anchors = akLeft | akTop | akRight}));
    }
    Button close(form, {.left = 477,
                        .top = 327,
                        .width = 75,
                        .height = 25,
                        .caption = "Close",
                        .anchors = akRight | akBottom});
    close.OnClick = [&] { app.Terminate(); };
    form.SetDefaultButton(&close);
    form.SetCancelButton(&close);
    form.Show();

    WizardForm wizard("Wizard frame", nullptr, Position::Designed);
    Panel& page = wizard.AddPage("Key");
    wizard.AddPage("Action");
    Label title(page, {.left = 32, .top = 24, .caption = "Choose a key"});
    title.SetFont(WizardForm::HeadingFont());
    Label help(page, {.left = 32, .top = 49, .caption = "Help text on the page, in the window colour."});
    CheckBox win(page, {.left = 106, .top = 135, .caption = "&WIN"});
    wizard.btnNext.OnClick = [&] { wizard.GoToPage(wizard.pcClient.ActivePageIndex() + 1); };
    wizard.btnPrevious.OnClick = [&] { wizard.GoToPage(wizard.pcClient.ActivePageIndex() - 1); };
    wizard.SetBounds(600, 8, wizard.Bounds().right - wizard.Bounds().left,
                     wizard.Bounds().bottom - wizard.Bounds().top);
    wizard.Show();
    app.Run();
    return 0;
}
