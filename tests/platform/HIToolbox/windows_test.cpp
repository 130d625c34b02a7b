// The Window Manager and QuickDraw rectangles.
#include "toolbox_fixture.h"

#include <climits>

namespace {

using toolbox_test::ToolboxTest;

class WindowTest : public ToolboxTest {};

TEST_F(WindowTest, ContentAndStructureBoundsDifferByTheTitleBar) {
    Rect bounds{};
    ASSERT_EQ(noErr, GetWindowBounds(window_, kWindowContentRgn, &bounds));
    Rect content = {100, 50, 400, 450};
    EXPECT_TRUE(EqualRect(&bounds, &content));
    ASSERT_EQ(noErr, GetWindowBounds(window_, kWindowStructureRgn, &bounds));
    Rect structure = {78, 50, 400, 450};
    EXPECT_TRUE(EqualRect(&bounds, &structure));
    EXPECT_EQ(GetWindowBounds(window_, kWindowGrowRgn, &bounds), errWindowRegionCodeInvalid);

    Rect moved = {200, 10, 300, 110};
    ASSERT_EQ(noErr, SetWindowBounds(window_, kWindowStructureRgn, &moved));
    GetWindowBounds(window_, kWindowContentRgn, &bounds);
    Rect moved_content = {222, 10, 300, 110};
    EXPECT_TRUE(EqualRect(&bounds, &moved_content));
}

TEST_F(WindowTest, GetWindowBoundsFailsWithAnInjectedFault) {
    Rect bounds = {1, 1, 1, 1};
    PlatformInjectFault("GetWindowBounds", 1, errInvalidWindowRef);
    EXPECT_EQ(GetWindowBounds(window_, kWindowContentRgn, &bounds), errInvalidWindowRef);
    Rect untouched = {1, 1, 1, 1};
    EXPECT_TRUE(EqualRect(&bounds, &untouched));
}

TEST_F(WindowTest, TheTitleIsCopiedInAndOut) {
    auto title = cf::string("Job Mode");
    ASSERT_EQ(noErr, SetWindowTitleWithCFString(window_, title.get()));
    CFStringRef copied = nullptr;
    ASSERT_EQ(noErr, CopyWindowTitleAsCFString(window_, &copied));
    auto copy = cf::adopt(copied);
    EXPECT_NE(copy.get(), title.get());
    EXPECT_EQ(1, CFGetRetainCount(copy.get()));
    EXPECT_EQ("Job Mode", cf::utf8(copy.get()));

    PlatformInjectFault("CopyWindowTitleAsCFString", 1, memFullErr);
    CFStringRef failed = nullptr;
    EXPECT_EQ(memFullErr, CopyWindowTitleAsCFString(window_, &failed));
    EXPECT_EQ(nullptr, failed);
}

TEST_F(WindowTest, WindowsStartHiddenAndDisposalKillsTheirReferences) {
    EXPECT_FALSE(IsWindowVisible(window_));
    ShowWindow(window_);
    EXPECT_TRUE(IsWindowVisible(window_));
    HideWindow(window_);
    EXPECT_FALSE(IsWindowVisible(window_));

    WindowRef window = make_window();
    ControlRef root = nullptr;
    GetRootControl(window, &root);
    DisposeWindow(window);
    forget_window(window);
    Rect bounds;
    EXPECT_EQ(GetWindowBounds(window, kWindowContentRgn, &bounds), errInvalidWindowRef);
    EXPECT_EQ(nullptr, GetWindowEventTarget(window));
    EXPECT_EQ(nullptr, GetControlOwner(root));
    DisposeWindow(window);
}

TEST(QuickDrawTest, RectanglesUseWrappingSixteenBitArithmetic) {
    Rect rect;
    SetRect(&rect, 10, 20, 30, 40);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(30, rect.right);
    EXPECT_EQ(40, rect.bottom);
    OffsetRect(&rect, -5, 100);
    Rect expected = {120, 5, 140, 25};
    EXPECT_TRUE(EqualRect(&rect, &expected));
    expected.right = 26;
    EXPECT_FALSE(EqualRect(&rect, &expected));

    SetRect(&rect, SHRT_MAX, 0, SHRT_MAX, 0);
    OffsetRect(&rect, 1, 0);
    EXPECT_EQ(SHRT_MIN, rect.left);
    EXPECT_EQ(SHRT_MIN, rect.right);
}

}  // namespace
