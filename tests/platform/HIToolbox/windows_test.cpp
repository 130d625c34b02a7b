// The Window Manager and QuickDraw rectangles.
#include "toolbox_fixture.h"

#include <climits>

namespace {

using toolbox_test::OwnedString;
using toolbox_test::ToolboxTest;

class WindowTest : public ToolboxTest {};

TEST_F(WindowTest, ContentAndStructureBoundsDifferByTheTitleBar) {
    Rect bounds{};
    ASSERT_EQ(GetWindowBounds(window_, kWindowContentRgn, &bounds), noErr);
    Rect content = {100, 50, 400, 450};
    EXPECT_TRUE(EqualRect(&bounds, &content));
    ASSERT_EQ(GetWindowBounds(window_, kWindowStructureRgn, &bounds), noErr);
    Rect structure = {78, 50, 400, 450};
    EXPECT_TRUE(EqualRect(&bounds, &structure));
    EXPECT_EQ(GetWindowBounds(window_, kWindowGrowRgn, &bounds), errWindowRegionCodeInvalid);

    Rect moved = {200, 10, 300, 110};
    ASSERT_EQ(SetWindowBounds(window_, kWindowStructureRgn, &moved), noErr);
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
    OwnedString title("Job Mode");
    ASSERT_EQ(SetWindowTitleWithCFString(window_, title.get()), noErr);
    OwnedString copy;
    ASSERT_EQ(CopyWindowTitleAsCFString(window_, copy.out()), noErr);
    EXPECT_NE(copy.get(), title.get());
    EXPECT_EQ(CFGetRetainCount(copy.get()), 1);
    EXPECT_EQ(toolbox_test::utf8(copy.get()), "Job Mode");

    PlatformInjectFault("CopyWindowTitleAsCFString", 1, memFullErr);
    CFStringRef failed = nullptr;
    EXPECT_EQ(CopyWindowTitleAsCFString(window_, &failed), memFullErr);
    EXPECT_EQ(failed, nullptr);
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
    EXPECT_EQ(GetWindowEventTarget(window), nullptr);
    EXPECT_EQ(GetControlOwner(root), nullptr);
    DisposeWindow(window);
}

TEST(QuickDrawTest, RectanglesUseWrappingSixteenBitArithmetic) {
    Rect rect;
    SetRect(&rect, 10, 20, 30, 40);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right, 30);
    EXPECT_EQ(rect.bottom, 40);
    OffsetRect(&rect, -5, 100);
    Rect expected = {120, 5, 140, 25};
    EXPECT_TRUE(EqualRect(&rect, &expected));
    expected.right = 26;
    EXPECT_FALSE(EqualRect(&rect, &expected));

    SetRect(&rect, SHRT_MAX, 0, SHRT_MAX, 0);
    OffsetRect(&rect, 1, 0);
    EXPECT_EQ(rect.left, SHRT_MIN);
    EXPECT_EQ(rect.right, SHRT_MIN);
}

}  // namespace
