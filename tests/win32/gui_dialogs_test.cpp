// The program's own message boxes: title, icon, buttons and owner.
#include "gui/Dialogs.h"
#include "gui/Form.h"
#include "gui_testing.h"

namespace corvinade::gui {
namespace {

using testing::AppTest;
using testing::BoxInfo;
using testing::BoxWatcher;

using GuiDialogs = AppTest;

TEST_F(GuiDialogs, EachKindHasItsTitleAndIcon) {
    const struct {
        DialogKind kind;
        const char* title;
        LPCSTR icon;
        UINT buttons;
        int press;
    } kinds[] = {
        {DialogKind::Warning, "Warning", IDI_EXCLAMATION, MB_OK, IDOK},
        {DialogKind::Error, "Error", IDI_HAND, MB_OK, IDOK},
        {DialogKind::Information, "Information", IDI_ASTERISK, MB_OKCANCEL, IDCANCEL},
        {DialogKind::Confirmation, "Confirm", IDI_QUESTION, MB_YESNO, IDNO},
        {DialogKind::Confirmation, "Confirm", IDI_QUESTION, MB_YESNO | MB_ICONERROR, IDYES},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.title);
        BoxWatcher watcher(1, [&](const BoxInfo&) { return k.press; });
        int result = MessageDlg("A new version is available. Download it now?", k.kind, k.buttons);
        watcher.Join();
        ASSERT_EQ(watcher.Boxes().size(), 1u);
        const BoxInfo& box = watcher.Boxes()[0];
        EXPECT_EQ(result, k.press);
        EXPECT_EQ(box.caption, k.title);
        EXPECT_EQ(box.text, "A new version is available. Download it now?");
        EXPECT_EQ(box.icon, ::LoadIconA(nullptr, k.icon));
        EXPECT_EQ(box.owner, app->Handle()); // no window of ours is active
    }
}

TEST_F(GuiDialogs, ModalToTheActiveWindow) {
    Form owner({.clientWidth = 200, .clientHeight = 100, .caption = "Settings"});
    owner.Show();
    ::SetActiveWindow(owner.Handle());
    bool ownerDisabled = false;
    HWND ownerWindow = owner.Handle();
    BoxWatcher watcher(1, [&](const BoxInfo&) {
        ownerDisabled = !::IsWindowEnabled(ownerWindow);
        return IDOK;
    });
    MessageDlg("Please choose an action.", DialogKind::Error);
    watcher.Join();
    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(watcher.Boxes()[0].owner, owner.Handle());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
}

} // namespace
} // namespace corvinade::gui
