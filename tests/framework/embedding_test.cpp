// Moving a nib window's container into the dialog's user pane, and finding controls by ControlID.
// The source window is built with the toolbox, 400 by 300 at an arbitrary place on the screen, so
// that only its size can matter.
#include "probe_test_support.h"

namespace probe_test {
namespace {

constexpr OSType kSignature = 'qel ';

class SourceWindow {
public:
    SourceWindow() {
        Rect content = makeRect(300, 700, 600, 1100);
        EXPECT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, 0, &content, &window));
        Rect containerBounds = makeRect(10, 10, 60, 110);
        EXPECT_EQ(noErr, CreateUserPaneControl(window, &containerBounds, kControlSupportsEmbedding, &container));
        ControlID id = {kSignature, 1};
        EXPECT_EQ(noErr, SetControlID(container, &id));
        Rect fieldBounds = makeRect(20, 20, 36, 100);
        EXPECT_EQ(noErr, CreateEditUnicodeTextControl(window, &fieldBounds, CFSTR("7"), false, nullptr, &field));
        EXPECT_EQ(noErr, EmbedControl(field, container));
    }
    ~SourceWindow() {
        if (window != nullptr) DisposeWindow(window);
    }
    void dispose() {
        DisposeWindow(window);
        window = nullptr;
    }

    WindowRef window = nullptr;
    ControlRef container = nullptr;
    ControlRef field = nullptr;
};

Rect boundsOf(ControlRef control) {
    Rect bounds = makeRect(0, 0, 0, 0);
    GetControlBounds(control, &bounds);
    return bounds;
}

using EmbeddingTest = FrameworkTest;

struct Placement {
    const char *name;
    Rect pane;
    Rect expected;  // the container's bounds in the dialog window
};

class PlacementTest : public FrameworkTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(PlacementTest, KeepsTheOffsetFromThePaneCornerPlusHalfTheExcess) {
    SourceWindow source;
    DialogWindow dialog(makeRect(40, 40, 700, 800), GetParam().pane);

    EXPECT_EQ(noErr, MoveControlToPane(source.window, kSignature, 1, dialog.userPane()));

    EXPECT_EQ(boundsOf(source.container), GetParam().expected);
    EXPECT_EQ(GetControlOwner(source.container), dialog.window());
    ControlRef super = nullptr;
    EXPECT_EQ(noErr, GetSuperControl(source.container, &super));
    EXPECT_EQ(super, dialog.userPane());
}

INSTANTIATE_TEST_SUITE_P(
    Panes, PlacementTest,
    ::testing::Values(
        // Larger in both directions: both deltas are negative and become 0.
        Placement{"LargerPane", makeRect(50, 20, 450, 520), makeRect(60, 30, 110, 130)},
        // 300 wide at left 20: half of 100 more, so the left edge moves by 20 + 50.
        Placement{"NarrowerPane", makeRect(50, 20, 450, 320), makeRect(60, 80, 110, 180)},
        // One narrower: half of 1 truncates to 0. Three lower: 1.
        Placement{"OneNarrower", makeRect(50, 20, 450, 419), makeRect(60, 30, 110, 130)},
        Placement{"ThreeLower", makeRect(50, 20, 347, 520), makeRect(61, 30, 111, 130)},
        Placement{"OneWider", makeRect(50, 20, 450, 421), makeRect(60, 30, 110, 130)},
        Placement{"SameSize", makeRect(5, 7, 305, 407), makeRect(15, 17, 65, 117)}),
    [](const ::testing::TestParamInfo<Placement> &param) { return std::string(param.param.name); });

TEST_F(EmbeddingTest, EmbeddedControlsTravelAlongAndOutliveTheNibWindow) {
    SourceWindow source;
    DialogWindow dialog(makeRect(40, 40, 700, 800), makeRect(50, 20, 450, 520));
    Rect fieldBefore = boundsOf(source.field);

    ASSERT_EQ(noErr, MoveControlToPane(source.window, kSignature, 1, dialog.userPane()));
    source.dispose();

    EXPECT_EQ(GetControlOwner(source.container), dialog.window()) << "alive after the nib window is gone";
    EXPECT_EQ(GetControlOwner(source.field), dialog.window());
    EXPECT_EQ(boundsOf(source.field), fieldBefore) << "only the moved control's own bounds are set";
    EXPECT_EQ(dialog.control(1), source.container);
    EXPECT_EQ("7", fieldText(source.field));
}

TEST_F(EmbeddingTest, NullWindowOrPaneIsAParameterError) {
    SourceWindow source;
    DialogWindow dialog(makeRect(40, 40, 700, 800), makeRect(50, 20, 450, 520));
    Rect before = boundsOf(source.container);

    EXPECT_EQ(paramErr, MoveControlToPane(source.window, kSignature, 1, nullptr));
    EXPECT_EQ(paramErr, MoveControlToPane(nullptr, kSignature, 1, dialog.userPane()));

    EXPECT_EQ(GetControlOwner(source.container), source.window) << "the control stays in the nib window";
    EXPECT_EQ(boundsOf(source.container), before);
}

TEST_F(EmbeddingTest, MissingControlOrUnreadableWindowMovesNothing) {
    SourceWindow source;
    DialogWindow dialog(makeRect(40, 40, 700, 800), makeRect(50, 20, 450, 520));
    Rect before = boundsOf(source.container);

    EXPECT_EQ(MoveControlToPane(source.window, kSignature, 2, dialog.userPane()), errUnknownControl);
    EXPECT_EQ(MoveControlToPane(source.window, 'QEL ', 1, dialog.userPane()), errUnknownControl);
    PlatformInjectFault("GetWindowBounds", 1, -30593);
    EXPECT_EQ(-30593, MoveControlToPane(source.window, kSignature, 1, dialog.userPane()));

    EXPECT_EQ(GetControlOwner(source.container), source.window);
    EXPECT_EQ(boundsOf(source.container), before);
}

TEST_F(EmbeddingTest, EmbeddingFailureIsReturned) {
    SourceWindow source;
    DialogWindow dialog(makeRect(40, 40, 700, 800), makeRect(50, 20, 450, 520));
    PlatformInjectFault("EmbedControl", 1, errControlIsNotEmbedder);

    EXPECT_EQ(MoveControlToPane(source.window, kSignature, 1, dialog.userPane()), errControlIsNotEmbedder);
    EXPECT_EQ(GetControlOwner(source.container), source.window);
}

TEST_F(EmbeddingTest, ControlsAreFoundByTheWholeControlID) {
    SourceWindow source;
    ControlID fieldID = {kSignature, 6};
    ASSERT_EQ(noErr, SetControlID(source.field, &fieldID));

    EXPECT_EQ(GetControlFromWindow(source.window, kSignature, 1), source.container);
    EXPECT_EQ(GetControlFromWindow(source.window, kSignature, 6), source.field) << "embedded controls included";
    EXPECT_EQ(nullptr, GetControlFromWindow(source.window, kSignature, 7));
    EXPECT_EQ(nullptr, GetControlFromWindow(source.window, 'abcd', 6));
    EXPECT_EQ(nullptr, GetControlFromWindow(nullptr, kSignature, 1));
}

}  // namespace
}  // namespace probe_test
