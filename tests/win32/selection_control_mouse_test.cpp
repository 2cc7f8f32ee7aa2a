// SelectionControl on the image view, driven by the mouse messages Windows would
// send: windowless routing with capture, enter and leave, the drag zones,
// the minimum size, OnResize per bound, the image view's own events, and all
// of it on a zoomed image.
#include "capture/SelectionControl.h"
#include "gui/ImageView.h"
#include "gui_testing.h"

#include <gtest/gtest.h>

#include <memory>

namespace corvinade {
namespace {

class SelectionControlMouseTest : public gui::testing::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 700, 500, nullptr, nullptr,
                                   nullptr, nullptr);
        view = std::make_unique<gui::ImageView>(parent, 0, 0, 680, 480);
        view->SetImage(gui::Bitmap32(600, 400));
        rect = std::make_unique<SelectionControl>(view->Host());
        view->Controls().Add(*rect);
        rect->SetBoxSize(6);
        rect->SetBounds(100, 100, 100, 80);
        rect->OnResize = [this](SelectionControl&) { ++resizes; };
        view->OnMouseDown = [this](gui::MouseButton, gui::ShiftState, int x, int y) {
            imageDowns.push_back({x, y});
        };
    }
    void TearDown() override {
        rect.reset();
        view.reset();
        ::DestroyWindow(parent);
        AppTest::TearDown();
    }
    // At an image point: the image is centred in the view.
    void Send(UINT msg, WPARAM keys, int x, int y) {
        const POINT at = view->ImageToClient({x, y});
        SendAtClient(msg, keys, at.x, at.y);
    }
    void SendAtClient(UINT msg, WPARAM keys, int x, int y) {
        ::SendMessageA(view->Handle(), msg, keys, MAKELPARAM(x, y));
    }
    void Drag(int fromX, int fromY, int toX, int toY) {
        Send(WM_MOUSEMOVE, 0, fromX, fromY);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, fromX, fromY);
        Send(WM_MOUSEMOVE, MK_LBUTTON, toX, toY);
        Send(WM_LBUTTONUP, 0, toX, toY);
    }
    Bounds Now() const { return {rect->Left(), rect->Top(), rect->Width(), rect->Height()}; }

    HWND parent = nullptr;
    std::unique_ptr<gui::ImageView> view;
    std::unique_ptr<SelectionControl> rect;
    int resizes = 0;
    std::vector<IntPoint> imageDowns;
};

TEST_F(SelectionControlMouseTest, DraggingTheBodyMovesByExactlyTheMouseDistance) {
    Drag(150, 140, 187, 111);
    EXPECT_EQ(Now(), (Bounds{137, 71, 100, 80}));
    EXPECT_EQ(resizes, 2); // left and top, one at a time
    EXPECT_TRUE(imageDowns.empty()) << "the press on the control reached the image";
    // Moves have no limits: off the image and beyond.
    Drag(140, 100, -300, -200);
    EXPECT_EQ(Now(), (Bounds{-303, -229, 100, 80}));
}

TEST_F(SelectionControlMouseTest, ZonesResizeTheirEdgesAndKeepTwoBoxSizes) {
    struct Case {
        int fromX, fromY, toX, toY;
        Bounds result;
    };
    // Presses inside the control (its right and bottom edges are exclusive).
    const Case cases[] = {
        {199, 179, 229, 199, {100, 100, 129, 99}}, // bottom-right box
        {100, 149, 90, 149, {90, 100, 139, 99}},   // middle-left, at H div 2
        {159, 100, 159, 70, {90, 70, 139, 129}},   // top-middle, at W div 2
        {90,
         70,
         100,
         195,
         {100, 70, 129, 129}}, // top-left: the width may change, the height would drop below 2B
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fromX);
        Drag(c.fromX, c.fromY, c.toX, c.toY);
        EXPECT_EQ(Now(), c.result);
    }
}

TEST_F(SelectionControlMouseTest, RightButtonDragsNothingAndHotFollowsEnterAndLeave) {
    Send(WM_MOUSEMOVE, 0, 150, 140);
    EXPECT_TRUE(rect->Hot());
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 150, 140);
    EXPECT_TRUE(rect->Dragging());
    Send(WM_MOUSEMOVE, MK_RBUTTON, 400, 300); // out of the control while dragging
    EXPECT_EQ(Now(), (Bounds{100, 100, 100, 80}));
    EXPECT_TRUE(rect->Hot());
    Send(WM_RBUTTONUP, 0, 400, 300);
    EXPECT_FALSE(rect->Dragging());
    EXPECT_TRUE(rect->Hot()) << "the leave during the drag does not count";
    Send(WM_MOUSEMOVE, 0, 150, 140);
    Send(WM_MOUSEMOVE, 0, 400, 300);
    EXPECT_FALSE(rect->Hot());
    EXPECT_EQ(resizes, 0);
}

TEST_F(SelectionControlMouseTest, ThePressCountsOnTheImageOnlyOutsideTheControl) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 30);
    Send(WM_LBUTTONUP, 0, 20, 30);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 610, 30); // on the black beyond the image
    Send(WM_LBUTTONUP, 0, 610, 30);
    rect->SetVisible(false);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 150, 140); // a hidden control takes nothing
    Send(WM_LBUTTONUP, 0, 150, 140);
    ASSERT_EQ(imageDowns.size(), 2u);
    EXPECT_EQ(imageDowns[0], (IntPoint{20, 30}));
    EXPECT_EQ(imageDowns[1], (IntPoint{150, 140}));
}

// At half size the image is 300 x 200 on the screen: the boxes keep their
// six screen pixels, and the mouse moves the selection by image pixels,
// two for each of its own.
TEST_F(SelectionControlMouseTest, OnAHalfSizeImageTheMouseWorksInImagePixels) {
    view->SetZoom({1, 2}, {0, 0});
    const POINT corner = view->ImageToClient({100, 100});
    EXPECT_EQ(rect->ShownSize().cx, 50);
    EXPECT_EQ(rect->ShownSize().cy, 40);
    // The bottom-right box, its last screen pixel, 10 and 5 pixels further.
    SendAtClient(WM_MOUSEMOVE, 0, corner.x + 49, corner.y + 39);
    SendAtClient(WM_LBUTTONDOWN, MK_LBUTTON, corner.x + 49, corner.y + 39);
    SendAtClient(WM_MOUSEMOVE, MK_LBUTTON, corner.x + 59, corner.y + 44);
    SendAtClient(WM_LBUTTONUP, 0, corner.x + 59, corner.y + 44);
    EXPECT_EQ(Now(), (Bounds{100, 100, 119, 89}));
    // The body, 10 and 5 pixels: 20 and 10 image pixels.
    SendAtClient(WM_MOUSEMOVE, 0, corner.x + 25, corner.y + 20);
    SendAtClient(WM_LBUTTONDOWN, MK_LBUTTON, corner.x + 25, corner.y + 20);
    SendAtClient(WM_MOUSEMOVE, MK_LBUTTON, corner.x + 35, corner.y + 25);
    SendAtClient(WM_LBUTTONUP, 0, corner.x + 35, corner.y + 25);
    EXPECT_EQ(Now(), (Bounds{120, 110, 119, 89}));
    EXPECT_TRUE(imageDowns.empty());
    // Beside the selection the press is the image's, at its image pixel.
    SendAtClient(WM_LBUTTONDOWN, MK_LBUTTON, corner.x - 20, corner.y - 10);
    SendAtClient(WM_LBUTTONUP, 0, corner.x - 20, corner.y - 10);
    ASSERT_EQ(imageDowns.size(), 1u);
    EXPECT_EQ(imageDowns[0], (IntPoint{61, 81}));
}

} // namespace
} // namespace corvinade
