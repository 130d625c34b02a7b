// Nib loading: nib files written into a bundle in a temporary folder, loaded through
// CreateNibReferenceWithCFBundle and CreateWindowFromNib, and checked through the public toolbox.
#include <Carbon/Carbon.h>
#include <platform/cf_text.h>
#include <platform/host_support.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

#include "hostile_files.h"
#include "live_objects.h"
#include "temporary_folder.h"
#include "toolbox_fixture.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_support::writeFile;
using toolbox_test::text_of;

// The text of a Copy...AsCFString result, released again; "<null>" when it gives none.
template <typename Copy>
std::string copied_text(Copy &&copy) {
    CFStringRef text = nullptr;
    EXPECT_EQ(noErr, copy(&text));
    return text ? cf::adopt_utf8(text) : "<null>";
}

// An object passed where another type is expected.
template <typename To>
To wrong_type(CFTypeRef object) {
    return static_cast<To>(const_cast<void *>(object));
}

long count_lines(const std::string &text) { return std::count(text.begin(), text.end(), '\n'); }

constexpr OSType kPane = 'qel ';

// The nib most tests load. Lines are numbered in the comments that error tests rely on.
const char kGoodNib[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<nib>\n"
    "  <!-- the pane -->\n"
    "  <window name=\"Window\" title=\"Job Mode\" width=\"400\" height=\"200\">\n"
    "    <control kind=\"userpane\" signature=\"qel \" id=\"1\" top=\"0\" left=\"0\" bottom=\"200\" right=\"400\">\n"
    "      <control kind=\"statictext\" signature=\"qel \" id=\"2\" top=\"20\" left=\"20\" bottom=\"36\" right=\"140\" text=\"Print mode:\"/>\n"
    "      <control kind=\"popup\" signature=\"qel \" id=\"5\" top=\"18\" left=\"150\" bottom=\"38\" right=\"330\" command=\"pmod\" value=\"2\">\n"
    "        <item>Normal</item><item enabled=\"false\">Hold</item>\n"
    "        <item>\n          Proof\n        </item><item>Priv&#xE9; &amp; &lt;more&gt;</item>\n"
    "      </control>\n"
    "      <control kind=\"edittext\" signature=\"qel \" id=\"6\" top=\"50\" left=\"150\" bottom=\"66\" right=\"230\" text=\"12345\"/>\n"
    "      <control kind=\"slider\" signature=\"qel \" id=\"10\" top=\"80\" left=\"150\" bottom=\"100\" right=\"330\" minimum=\"-5\" maximum=\"5\" value=\"-3\" ticks=\"11\" command=\"sldr\"/>\n"
    "      <control kind=\"checkbox\" signature=\"qel \" id=\"7\" top=\"110\" left=\"20\" bottom=\"128\" right=\"300\" title=\"Toner save\" value=\"1\" command=\"tnsv\" enabled=\"false\"/>\n"
    "      <control kind=\"groupbox\" signature=\"qel \" id=\"11\" top=\"130\" left=\"10\" bottom=\"190\" right=\"390\" title=\"Paper\">\n"
    "        <control kind=\"popup\" signature=\"qel \" id=\"12\" top=\"140\" left=\"20\" bottom=\"160\" right=\"200\" minimum=\"1\" maximum=\"2\" command=\"1234\">\n"
    "          <item>A4</item><item>Letter</item><item>Legal</item>\n"
    "        </control>\n"
    "        <control kind=\"separator\" signature=\"qel \" id=\"13\" top=\"165\" left=\"20\" bottom=\"166\" right=\"380\"/>\n"
    "      </control>\n"
    "    </control>\n"
    "    <control kind=\"statictext\" signature=\"root\" top=\"0\" left=\"0\" bottom=\"10\" right=\"10\" text=\"\"/>\n"
    "  </window>\n"
    "  <window name=\"Empty\" width=\"120\" height=\"80\"/>\n"
    "</nib>\n";

// Each test gets a bundle folder of its own with an Info.plist; nibs are written into it as the
// test needs them. Everything the test made must be gone at its end.
class NibTest : public test_support::LeakCheckedTest {
protected:
    void SetUp() override {
        PlatformClearInjectedFaults();
        PlatformSetPreferredLocalization(nullptr);
        LeakCheckedTest::SetUp();
        writeFile(bundle_folder_ / "Contents" / "Info.plist",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<plist version=\"1.0\">\n<dict>\n"
                   "<key>CFBundleIdentifier</key><string>com.quorven.test.nibs</string>\n"
                   "<key>CFBundleDevelopmentRegion</key><string>en</string>\n"
                   "</dict>\n</plist>\n");
        const std::string &path = bundle_folder_.native();
        auto url = cf::adopt(CFURLCreateFromFileSystemRepresentation(
            nullptr, reinterpret_cast<const UInt8 *>(path.data()), static_cast<CFIndex>(path.size()), true));
        bundle_ = cf::adopt(CFBundleCreate(nullptr, url.get()));
        ASSERT_TRUE(bundle_);
    }

    void TearDown() override {
        PlatformClearInjectedFaults();
        PlatformSetPreferredLocalization(nullptr);
        for (WindowRef window : windows_) DisposeWindow(window);
        for (IBNibRef nib : nibs_) DisposeNibReference(nib);
        bundle_.reset();
        LeakCheckedTest::TearDown();
    }

    fs::path nib_path(const char *localization = "en") const {
        return bundle_folder_ / "Contents" / "Resources" / (std::string(localization) + ".lproj") / "PDE.nib";
    }
    void write_nib(const std::string &text, const char *localization = "en") { writeFile(nib_path(localization), text); }

    struct Loaded {
        OSStatus status;
        IBNibRef nib;
        std::string messages;  // what went to stderr
    };

    // Reads the bundle's nib "PDE"; the reference is disposed of after the test.
    Loaded load(const char *name = "PDE") {
        IBNibRef nib = nullptr;
        testing::internal::CaptureStderr();
        OSStatus status = CreateNibReferenceWithCFBundle(bundle_.get(), cf::string(name).get(), &nib);
        std::string messages = testing::internal::GetCapturedStderr();
        if (nib != nullptr) nibs_.push_back(nib);
        return {status, nib, messages};
    }

    Loaded load_text(const std::string &text) {
        write_nib(text);
        return load();
    }

    // A window from the nib, disposed of after the test.
    WindowRef make_window(IBNibRef nib, const char *name = "Window") {
        WindowRef window = nullptr;
        EXPECT_EQ(noErr, CreateWindowFromNib(nib, cf::string(name).get(), &window));
        if (window != nullptr) windows_.push_back(window);
        return window;
    }

    WindowRef load_good_window() {
        Loaded loaded = load_text(kGoodNib);
        EXPECT_EQ(noErr, loaded.status) << loaded.messages;
        return loaded.nib != nullptr ? make_window(loaded.nib) : nullptr;
    }

    void forget_window(WindowRef window) { std::erase(windows_, window); }
    void forget_nib(IBNibRef nib) { std::erase(nibs_, nib); }

    test_support::TemporaryFolder folder_{"nib-test"};
    const fs::path bundle_folder_ = fs::canonical(folder_.path()) / "Test.plugin";
    cf::Ref<CFBundleRef> bundle_;

private:
    std::vector<WindowRef> windows_;
    std::vector<IBNibRef> nibs_;
};

ControlRef control_in(WindowRef window, SInt32 id, OSType signature = kPane) {
    ControlID control_id{signature, id};
    ControlRef control = nullptr;
    EXPECT_EQ(noErr, GetControlByID(window, &control_id, &control)) << "id " << id;
    return control;
}

OSType kind_of(ControlRef control) {
    ControlKind kind{0, 0};
    EXPECT_EQ(noErr, GetControlKind(control, &kind));
    return kind.kind;
}

ControlRef container_of(ControlRef control) {
    ControlRef container = nullptr;
    EXPECT_EQ(noErr, GetSuperControl(control, &container));
    return container;
}

// A rectangle as top, left, bottom, right, for comparing and printing.
std::array<int, 4> sides(const Rect &rect) { return {rect.top, rect.left, rect.bottom, rect.right}; }

// --- A good nib ------------------------------------------------------------------------------

TEST_F(NibTest, WindowHasTheNibsTitleAndContentSizeAndStartsHidden) {
    WindowRef window = load_good_window();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ("Job Mode", copied_text([&](CFStringRef *out) { return CopyWindowTitleAsCFString(window, out); }));
    Rect content{};
    ASSERT_EQ(noErr, GetWindowBounds(window, kWindowContentRgn, &content));
    EXPECT_EQ(400, content.right - content.left);
    EXPECT_EQ(200, content.bottom - content.top);
}

TEST_F(NibTest, ControlsHaveTheirKindsAndBounds) {
    WindowRef window = load_good_window();
    ASSERT_NE(window, nullptr);
    struct Expected {
        SInt32 id;
        OSType kind;
        Rect bounds;
    };
    const Expected expected[] = {
        {1, kControlKindUserPane, {0, 0, 200, 400}},        {2, kControlKindStaticText, {20, 20, 36, 140}},
        {5, kControlKindPopupButton, {18, 150, 38, 330}},   {6, kControlKindEditUnicodeText, {50, 150, 66, 230}},
        {10, kControlKindSlider, {80, 150, 100, 330}},      {7, kControlKindCheckBox, {110, 20, 128, 300}},
        {11, kControlKindGroupBox, {130, 10, 190, 390}},    {12, kControlKindPopupButton, {140, 20, 160, 200}},
        {13, kControlKindSeparator, {165, 20, 166, 380}},
    };
    for (const Expected &control : expected) {
        ControlRef found = control_in(window, control.id);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(kind_of(found), control.kind) << "id " << control.id;
        Rect bounds{};
        GetControlBounds(found, &bounds);
        EXPECT_EQ(sides(bounds), sides(control.bounds)) << "id " << control.id;
    }
}

TEST_F(NibTest, ControlsSitInsideTheirContainersInNibOrder) {
    WindowRef window = load_good_window();
    ASSERT_NE(window, nullptr);
    ControlRef root = nullptr;
    ASSERT_EQ(noErr, GetRootControl(window, &root));
    ControlRef pane = control_in(window, 1);
    ControlRef group = control_in(window, 11);

    UInt16 count = 0;
    ASSERT_EQ(noErr, CountSubControls(root, &count));
    ASSERT_EQ(2, count);
    EXPECT_EQ(container_of(pane), root);
    EXPECT_EQ(container_of(control_in(window, 0, 'root')), root);

    ASSERT_EQ(noErr, CountSubControls(pane, &count));
    ASSERT_EQ(6, count);
    const SInt32 pane_order[] = {2, 5, 6, 10, 7, 11};
    for (UInt16 index = 1; index <= count; ++index) {
        ControlRef child = nullptr;
        ASSERT_EQ(noErr, GetIndexedSubControl(pane, index, &child));
        EXPECT_EQ(child, control_in(window, pane_order[index - 1])) << "child " << index;
    }
    EXPECT_EQ(container_of(control_in(window, 12)), group);
    EXPECT_EQ(container_of(control_in(window, 13)), group);
    EXPECT_EQ(GetControlOwner(control_in(window, 12)), window);
}

TEST_F(NibTest, ValuesAndRangesComeFromTheNib) {
    WindowRef window = load_good_window();
    ASSERT_NE(window, nullptr);
    struct Expected {
        SInt32 id, value, minimum, maximum;
    };
    // Popup 5 takes its range from its four items; popup 12 from the nib, below its item count.
    const Expected expected[] = {{5, 2, 1, 4}, {10, -3, -5, 5}, {7, 1, 0, 1}, {12, 1, 1, 2}};
    for (const Expected &control : expected) {
        ControlRef found = control_in(window, control.id);
        EXPECT_EQ(GetControl32BitValue(found), control.value) << "id " << control.id;
        EXPECT_EQ(GetControl32BitMinimum(found), control.minimum) << "id " << control.id;
        EXPECT_EQ(GetControl32BitMaximum(found), control.maximum) << "id " << control.id;
    }
}

TEST_F(NibTest, TextsAndTitlesComeFromTheNib) {
    WindowRef window = load_good_window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ("Print mode:", text_of(control_in(window, 2)));
    EXPECT_EQ("12345", text_of(control_in(window, 6)));
    EXPECT_EQ("", text_of(control_in(window, 0, 'root')));
    EXPECT_EQ("Toner save",
              copied_text([&](CFStringRef *out) { return CopyControlTitleAsCFString(control_in(window, 7), out); }));
    EXPECT_EQ("Paper",
              copied_text([&](CFStringRef *out) { return CopyControlTitleAsCFString(control_in(window, 11), out); }));
}

TEST_F(NibTest, PopupItemsKeepTheirOrderTextAndState) {
    WindowRef window = load_good_window();
    ASSERT_NE(window, nullptr);
    MenuRef menu = GetControlPopupMenuHandle(control_in(window, 5));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(4, CountMenuItems(menu));
    // Item text is trimmed of the white space around it; character references are decoded.
    const char *texts[] = {"Normal", "Hold", "Proof", "Priv\xC3\xA9 & <more>"};
    for (MenuItemIndex item = 1; item <= 4; ++item) {
        EXPECT_EQ(copied_text([&](CFStringRef *out) { return CopyMenuItemTextAsCFString(menu, item, out); }),
                  texts[item - 1]);
        EXPECT_EQ(IsMenuItemEnabled(menu, item), item != 2) << "item " << item;
    }
    MenuRef other = GetControlPopupMenuHandle(control_in(window, 12));
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, menu);
    EXPECT_EQ(3, CountMenuItems(other));
}

TEST_F(NibTest, CommandsAreFourCharactersOrNumbers) {
    WindowRef window = load_good_window();
    ASSERT_NE(window, nullptr);
    struct Expected {
        SInt32 id;
        UInt32 command;
    };
    const Expected expected[] = {{5, 'pmod'}, {10, 'sldr'}, {7, 'tnsv'}, {12, 1234}, {6, 0}, {1, 0}};
    for (const Expected &control : expected) {
        UInt32 command = 0xFFFFFFFF;
        EXPECT_EQ(noErr, GetControlCommandID(control_in(window, control.id), &command));
        EXPECT_EQ(command, control.command) << "id " << control.id;
    }
}

TEST_F(NibTest, OnlyControlsMarkedDisabledAreDisabled) {
    WindowRef window = load_good_window();
    ASSERT_NE(window, nullptr);
    for (SInt32 id : {1, 2, 5, 6, 10, 11, 12, 13})
        EXPECT_TRUE(IsControlEnabled(control_in(window, id))) << "id " << id;
    EXPECT_FALSE(IsControlEnabled(control_in(window, 7)));
}

TEST_F(NibTest, WindowsAreFoundByNameAndEachIsNew) {
    Loaded loaded = load_text(kGoodNib);
    ASSERT_EQ(noErr, loaded.status);
    WindowRef empty = make_window(loaded.nib, "Empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ("", copied_text([&](CFStringRef *out) { return CopyWindowTitleAsCFString(empty, out); }));
    ControlRef root = nullptr;
    UInt16 count = 99;
    ASSERT_EQ(noErr, GetRootControl(empty, &root));
    ASSERT_EQ(noErr, CountSubControls(root, &count));
    EXPECT_EQ(0, count);

    WindowRef first = make_window(loaded.nib);
    WindowRef second = make_window(loaded.nib);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, first);
    SetControl32BitValue(control_in(first, 10), 4);
    EXPECT_EQ(-3, GetControl32BitValue(control_in(second, 10)));
    EXPECT_NE(GetControlPopupMenuHandle(control_in(first, 5)), GetControlPopupMenuHandle(control_in(second, 5)));
}

TEST_F(NibTest, WindowOutlivesItsNibReference) {
    long nibs = PlatformLiveObjectCount("nib");
    Loaded loaded = load_text(kGoodNib);
    ASSERT_EQ(noErr, loaded.status);
    EXPECT_EQ(PlatformLiveObjectCount("nib"), nibs + 1);
    WindowRef window = make_window(loaded.nib);
    DisposeNibReference(loaded.nib);
    forget_nib(loaded.nib);
    EXPECT_EQ(PlatformLiveObjectCount("nib"), nibs);
    ASSERT_NE(window, nullptr);
    ControlRef popup = control_in(window, 5);
    SetControl32BitValue(popup, 4);
    EXPECT_EQ(4, GetControl32BitValue(popup));
    EXPECT_EQ("Normal",
              copied_text([&](CFStringRef *out) { return CopyMenuItemTextAsCFString(GetControlPopupMenuHandle(popup), 1, out); }));
    // The disposed reference is recognised, not used.
    WindowRef again = nullptr;
    EXPECT_EQ(paramErr, CreateWindowFromNib(loaded.nib, CFSTR("Window"), &again));
    EXPECT_EQ(nullptr, again);
    DisposeNibReference(loaded.nib);
}

TEST_F(NibTest, TheNibOfThePreferredLocalizationIsLoaded) {
    std::string german = kGoodNib;
    german.replace(german.find("Job Mode"), 8, "Auftragsmodus");
    write_nib(kGoodNib, "en");
    write_nib(german, "de");

    PlatformSetPreferredLocalization(CFSTR("de"));
    Loaded loaded = load();
    ASSERT_EQ(noErr, loaded.status) << loaded.messages;
    WindowRef window = make_window(loaded.nib);
    EXPECT_EQ("Auftragsmodus", copied_text([&](CFStringRef *out) { return CopyWindowTitleAsCFString(window, out); }));

    PlatformSetPreferredLocalization(CFSTR("en"));
    loaded = load();
    ASSERT_EQ(noErr, loaded.status) << loaded.messages;
    window = make_window(loaded.nib);
    EXPECT_EQ("Job Mode", copied_text([&](CFStringRef *out) { return CopyWindowTitleAsCFString(window, out); }));
}

// Loads of an unchanged file share one parse; a file rewritten in place, even with the same size
// and within the file system's timestamp granularity, must be read anew, and a rewrite that
// breaks it must be refused rather than served from the earlier parse.
TEST_F(NibTest, ANibRewrittenInPlaceIsReadAgain) {
    auto title_of_new_window = [&]() {
        Loaded loaded = load();
        EXPECT_EQ(noErr, loaded.status) << loaded.messages;
        if (loaded.nib == nullptr) return std::string("(no nib)");
        WindowRef window = make_window(loaded.nib);
        return copied_text([&](CFStringRef *out) { return CopyWindowTitleAsCFString(window, out); });
    };
    write_nib(kGoodNib);
    EXPECT_EQ("Job Mode", title_of_new_window());
    EXPECT_EQ("Job Mode", title_of_new_window());

    std::string renamed = kGoodNib;
    renamed.replace(renamed.find("Job Mode"), 8, "Job Made");
    write_nib(renamed);
    EXPECT_EQ("Job Made", title_of_new_window());

    std::string broken = renamed;
    broken.replace(broken.find("<window"), 7, "<wixdow");
    write_nib(broken);
    Loaded refused = load();
    EXPECT_EQ(kIBCarbonRuntimeObjectNotOfRequestedType, refused.status) << refused.messages;

    write_nib(kGoodNib);
    EXPECT_EQ("Job Mode", title_of_new_window());
}

TEST_F(NibTest, AWindowAndControlOfTheLargestSizeLoad) {
    Loaded loaded = load_text(
        "<nib>\n  <window name=\"Window\" width=\"8192\" height=\"8192\">\n"
        "    <control kind=\"userpane\" signature=\"qel \" id=\"1\" top=\"-4096\" left=\"0\" bottom=\"4096\" right=\"8192\"/>\n"
        "  </window>\n</nib>\n");
    ASSERT_EQ(noErr, loaded.status) << loaded.messages;
    WindowRef window = make_window(loaded.nib);
    ASSERT_NE(window, nullptr);
    Rect content{};
    ASSERT_EQ(noErr, GetWindowBounds(window, kWindowContentRgn, &content));
    EXPECT_EQ(8192, content.right - content.left);
    EXPECT_EQ(8192, content.bottom - content.top);
    Rect bounds{};
    GetControlBounds(control_in(window, 1), &bounds);
    EXPECT_EQ(sides(bounds), (std::array<int, 4>{-4096, 0, 4096, 8192}));
}

// --- Failures --------------------------------------------------------------------------------

TEST_F(NibTest, MissingNibIsReportedByName) {
    write_nib(kGoodNib);
    Loaded loaded = load("Missing");
    EXPECT_EQ(kIBCarbonRuntimeCantFindNibFile, loaded.status);
    EXPECT_EQ(nullptr, loaded.nib);
    EXPECT_NE(loaded.messages.find("'Missing'"), std::string::npos) << loaded.messages;
    EXPECT_EQ(1, count_lines(loaded.messages)) << loaded.messages;
}

TEST_F(NibTest, NibFolderInsteadOfFileCannotBeRead) {
    fs::create_directories(nib_path());
    writeFile(nib_path() / "objects.xib", kGoodNib);
    Loaded loaded = load();
    EXPECT_EQ(kIBCarbonRuntimeCantFindNibFile, loaded.status);
    EXPECT_EQ(nullptr, loaded.nib);
    EXPECT_NE(loaded.messages.find("PDE.nib"), std::string::npos) << loaded.messages;
}

// Whatever stands in for the nib is judged before it is read: never waited on, never read whole.
// One that is no regular file cannot be read; one too large is a broken nib.
TEST_F(NibTest, ANibThatIsNoRegularFileOrTooLargeIsRefusedWithItsReason) {
    constexpr std::size_t kLimit = std::size_t{4} * 1024 * 1024;
    for (const auto &hostile : hostile_files::hostile_files(kLimit)) {
        SCOPED_TRACE(hostile.what);
        std::error_code ignored;
        fs::remove_all(nib_path(), ignored);
        fs::create_directories(nib_path().parent_path());
        hostile.make(nib_path());
        Loaded loaded = load();
        EXPECT_EQ(nullptr, loaded.nib);
        EXPECT_EQ(1, count_lines(loaded.messages)) << loaded.messages;
        if (hostile.too_large) {
            EXPECT_EQ(kIBCarbonRuntimeObjectNotOfRequestedType, loaded.status);
            EXPECT_EQ(loaded.messages,
                      nib_path().string() + ":1: the file is too large for a nib (4194305 bytes; at most 4194304)\n");
        } else if (std::string_view(hostile.what) == "link loop") {
            // The resource search finds no file behind the link at all.
            EXPECT_EQ(kIBCarbonRuntimeCantFindNibFile, loaded.status);
            EXPECT_NE(loaded.messages.find("no nib named 'PDE'"), std::string::npos) << loaded.messages;
        } else {
            EXPECT_EQ(kIBCarbonRuntimeCantFindNibFile, loaded.status);
            EXPECT_EQ(loaded.messages, nib_path().string() + ": cannot read the nib 'PDE': it " + hostile.reason + "\n");
        }
    }
}

TEST_F(NibTest, MissingWindowIsReportedWithFileAndName) {
    Loaded loaded = load_text(kGoodNib);
    ASSERT_EQ(noErr, loaded.status);
    WindowRef window = reinterpret_cast<WindowRef>(1);
    testing::internal::CaptureStderr();
    OSStatus status = CreateWindowFromNib(loaded.nib, CFSTR("Windw"), &window);
    std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(kIBCarbonRuntimeCantFindObject, status);
    EXPECT_EQ(nullptr, window);
    EXPECT_NE(messages.find(nib_path().string() + ": "), std::string::npos) << messages;
    EXPECT_NE(messages.find("'Windw'"), std::string::npos) << messages;
    EXPECT_EQ(1, count_lines(messages)) << messages;
}

TEST_F(NibTest, NullArgumentsAreRefused) {
    Loaded loaded = load_text(kGoodNib);
    ASSERT_EQ(noErr, loaded.status);
    IBNibRef nib = nullptr;
    EXPECT_EQ(paramErr, CreateNibReferenceWithCFBundle(nullptr, CFSTR("PDE"), &nib));
    EXPECT_EQ(paramErr, CreateNibReferenceWithCFBundle(bundle_.get(), nullptr, &nib));
    EXPECT_EQ(paramErr, CreateNibReferenceWithCFBundle(bundle_.get(), CFSTR("PDE"), nullptr));
    // Objects of the wrong type are refused as well as NULL.
    EXPECT_EQ(paramErr, CreateNibReferenceWithCFBundle(wrong_type<CFBundleRef>(CFSTR("x")), CFSTR("PDE"), &nib));
    EXPECT_EQ(paramErr, CreateNibReferenceWithCFBundle(bundle_.get(), wrong_type<CFStringRef>(bundle_.get()), &nib));
    EXPECT_EQ(nullptr, nib);

    WindowRef window = nullptr;
    EXPECT_EQ(paramErr, CreateWindowFromNib(nullptr, CFSTR("Window"), &window));
    EXPECT_EQ(paramErr, CreateWindowFromNib(loaded.nib, nullptr, &window));
    EXPECT_EQ(paramErr, CreateWindowFromNib(loaded.nib, CFSTR("Window"), nullptr));
    EXPECT_EQ(paramErr, CreateWindowFromNib(wrong_type<IBNibRef>(bundle_.get()), CFSTR("Window"), &window));
    EXPECT_EQ(nullptr, window);
    DisposeNibReference(nullptr);
}

TEST_F(NibTest, InjectedFaultsFailWithTheirStatusAndLeaveNothing) {
    write_nib(kGoodNib);
    PlatformInjectFault("CreateNibReferenceWithCFBundle", 1, -108);
    EXPECT_EQ(-108, load().status);
    Loaded loaded = load();
    ASSERT_EQ(noErr, loaded.status);

    PlatformInjectFault("CreateWindowFromNib", 1, -109);
    WindowRef window = nullptr;
    EXPECT_EQ(-109, CreateWindowFromNib(loaded.nib, CFSTR("Window"), &window));
    EXPECT_EQ(nullptr, window);
}

TEST_F(NibTest, WindowFailingHalfwayIsDisposedOfWhole) {
    Loaded loaded = load_text(kGoodNib);
    ASSERT_EQ(noErr, loaded.status);
    long windows = PlatformLiveObjectCount("window");
    long controls = PlatformLiveObjectCount("control");
    long menus = PlatformLiveObjectCount("menu");
    // The third and the last embedding fail after popups have their menus.
    for (int nth : {1, 3, 8}) {
        PlatformClearInjectedFaults();
        PlatformInjectFault("EmbedControl", nth, -192);
        WindowRef window = nullptr;
        EXPECT_EQ(-192, CreateWindowFromNib(loaded.nib, CFSTR("Window"), &window)) << "embedding " << nth;
        EXPECT_EQ(nullptr, window);
        EXPECT_EQ(PlatformLiveObjectCount("window"), windows);
        EXPECT_EQ(PlatformLiveObjectCount("control"), controls);
        EXPECT_EQ(PlatformLiveObjectCount("menu"), menus);
    }
}

// A nib whose line 5 is the given snippet, inside a user pane.
std::string nib_with_line5(const std::string &snippet) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<nib>\n"
           "  <window name=\"Window\" title=\"T\" width=\"100\" height=\"100\">\n"
           "    <control kind=\"userpane\" signature=\"qel \" id=\"1\" top=\"0\" left=\"0\" bottom=\"100\" right=\"100\">\n" +
           snippet +
           "\n"
           "    </control>\n"
           "  </window>\n"
           "</nib>\n";
}

struct BadNib {
    const char *what;
    std::string text;
    long line;
    const char *message;
};

std::ostream &operator<<(std::ostream &out, const BadNib &bad) { return out << bad.what; }

class BadNibTest : public NibTest, public ::testing::WithParamInterface<BadNib> {};

// One message on stderr, "<path>:<line>: <what>", and no reference.
TEST_P(BadNibTest, IsRefusedWithOneMessageNamingFileAndLine) {
    const BadNib &bad = GetParam();
    Loaded loaded = load_text(bad.text);
    EXPECT_EQ(kIBCarbonRuntimeObjectNotOfRequestedType, loaded.status);
    EXPECT_EQ(nullptr, loaded.nib);
    std::string prefix = nib_path().string() + ":" + std::to_string(bad.line) + ": ";
    EXPECT_EQ(0u, loaded.messages.rfind(prefix, 0)) << loaded.messages;
    EXPECT_NE(loaded.messages.find(bad.message), std::string::npos) << loaded.messages;
    EXPECT_EQ(1, count_lines(loaded.messages)) << loaded.messages;
}

const std::string kStatic = "      <control kind=\"statictext\" top=\"1\" left=\"1\" bottom=\"9\" right=\"9\"";

INSTANTIATE_TEST_SUITE_P(
    Semantics, BadNibTest,
    ::testing::Values(
        BadNib{"UnknownKind", nib_with_line5("      <control kind=\"slidr\" top=\"1\" left=\"1\" bottom=\"9\" right=\"9\"/>"), 5,
               "unknown control kind 'slidr'"},
        BadNib{"MissingKind", nib_with_line5("      <control top=\"1\" left=\"1\" bottom=\"9\" right=\"9\"/>"), 5, "'kind'"},
        BadNib{"UnknownAttribute", nib_with_line5(kStatic + " colour=\"red\"/>"), 5, "unknown attribute 'colour'"},
        BadNib{"AttributeOfAnotherKind", nib_with_line5(kStatic + " title=\"Mode\"/>"), 5,
               "a statictext control has no attribute 'title'"},
        BadNib{"UnknownElement", nib_with_line5("      <button/>"), 5, "unknown element <button>"},
        BadNib{"BadNumber", nib_with_line5("      <control kind=\"slider\" top=\"1\" left=\"1\" bottom=\"9\" right=\"9\" value=\"1O\"/>"),
               5, "bad number '1O' for value"},
        BadNib{"NumberOutOfRange", nib_with_line5("      <control kind=\"separator\" top=\"1\" left=\"1\" bottom=\"40000\" right=\"9\"/>"),
               5, "bottom 40000 is outside"},
        BadNib{"MissingBounds", nib_with_line5("      <control kind=\"separator\" top=\"1\" left=\"1\" right=\"9\"/>"), 5,
               "'bottom'"},
        BadNib{"InvertedBounds", nib_with_line5("      <control kind=\"separator\" top=\"10\" left=\"1\" bottom=\"9\" right=\"9\"/>"),
               5, "bottom is above top"},
        BadNib{"ShortSignature", nib_with_line5(kStatic + " signature=\"qel\" id=\"3\"/>"), 5,
               "signature 'qel' is not four characters"},
        BadNib{"LongSignature", nib_with_line5(kStatic + " signature=\"qel  \" id=\"3\"/>"), 5, "is not four characters"},
        BadNib{"IdWithoutSignature", nib_with_line5(kStatic + " id=\"3\"/>"), 5, "an id needs a signature"},
        BadNib{"DuplicateId", nib_with_line5(kStatic + " signature=\"qel \" id=\"1\"/>"), 5, "already used at line 4"},
        BadNib{"BadCommand", nib_with_line5(kStatic + " command=\"go\"/>"), 5, "command 'go' is neither"},
        BadNib{"BadEnabled", nib_with_line5(kStatic + " enabled=\"no\"/>"), 5, "enabled must be 'true' or 'false'"},
        BadNib{"NonEmbedderWithChildren",
               nib_with_line5("      <control kind=\"checkbox\" top=\"1\" left=\"1\" bottom=\"9\" right=\"9\">\n" + kStatic + "/>\n      </control>"),
               6, "a checkbox control cannot hold controls"},
        BadNib{"PopupWithControls",
               nib_with_line5("      <control kind=\"popup\" top=\"1\" left=\"1\" bottom=\"9\" right=\"9\"><item>A</item>" + kStatic +
                              "/></control>"),
               5, "a popup control cannot hold controls"},
        BadNib{"ItemsOutsidePopup", nib_with_line5(kStatic + "><item>A</item></control>"), 5,
               "a statictext control cannot hold items"},
        BadNib{"ElementInItem",
               nib_with_line5("      <control kind=\"popup\" top=\"1\" left=\"1\" bottom=\"9\" right=\"9\"><item><b>A</b></item></control>"),
               5, "an <item> holds text only"},
        BadNib{"PopupValueBeyondItems",
               nib_with_line5("      <control kind=\"popup\" top=\"1\" left=\"1\" bottom=\"9\" right=\"9\" value=\"3\"><item>A</item><item>B</item></control>"),
               5, "value 3 is outside 1 to 2"},
        BadNib{"SliderRangeInverted",
               nib_with_line5("      <control kind=\"slider\" top=\"1\" left=\"1\" bottom=\"9\" right=\"9\" minimum=\"5\" maximum=\"-5\"/>"),
               5, "minimum 5 is above maximum -5"},
        BadNib{"CheckBoxValue",
               nib_with_line5("      <control kind=\"checkbox\" top=\"1\" left=\"1\" bottom=\"9\" right=\"9\" value=\"2\"/>"), 5,
               "value 2 is outside 0 to 1"},
        BadNib{"StrayText", nib_with_line5("      Print mode:"), 5, "unexpected text 'Print mode:'"},
        BadNib{"WindowWithoutSize",
               "<?xml version=\"1.0\"?>\n<nib>\n\n  <window name=\"Window\" width=\"100\"/>\n</nib>\n", 4, "'height'"},
        BadNib{"WindowOfNoSize",
               "<?xml version=\"1.0\"?>\n<nib>\n  <window name=\"Window\" width=\"0\" height=\"10\"/>\n</nib>\n", 3,
               "width 0 is outside"},
        BadNib{"WindowWiderThanAnyScreen",
               "<?xml version=\"1.0\"?>\n<nib>\n  <window name=\"Window\" width=\"32000\" height=\"10\"/>\n</nib>\n", 3,
               "width 32000 is outside 1 to 8192"},
        BadNib{"WindowTallerThanAnyScreen",
               "<nib>\n\n  <window name=\"Window\" width=\"10\" height=\"8193\"/>\n</nib>\n", 3,
               "height 8193 is outside 1 to 8192"},
        BadNib{"ControlSideFarOutside",
               nib_with_line5("      <control kind=\"separator\" top=\"1\" left=\"-8193\" bottom=\"9\" right=\"9\"/>"), 5,
               "left -8193 is outside -8192 to 8192"},
        BadNib{"ControlWiderThanAnyWindow",
               nib_with_line5("      <control kind=\"separator\" top=\"1\" left=\"-8000\" bottom=\"9\" right=\"8000\"/>"), 5,
               "the control is 16000 wide, more than 8192"},
        BadNib{"ControlTallerThanAnyWindow",
               nib_with_line5("      <control kind=\"separator\" top=\"-100\" left=\"1\" bottom=\"8100\" right=\"9\"/>"), 5,
               "the control is 8200 high, more than 8192"},
        BadNib{"DuplicateWindow",
               "<nib>\n  <window name=\"W\" width=\"1\" height=\"1\"/>\n  <window name=\"W\" width=\"1\" height=\"1\"/>\n</nib>\n", 3,
               "window 'W' is already defined at line 2"},
        BadNib{"WrongRoot", "<?xml version=\"1.0\"?>\n\n<plist/>\n", 3, "the root element must be <nib>"},
        BadNib{"AttributeOnRoot", "<nib version=\"2\">\n</nib>\n", 1, "unknown attribute 'version' on <nib>"},
        BadNib{"ExternalEntity",
               "<?xml version=\"1.0\"?>\n<!DOCTYPE nib [\n<!ENTITY secret SYSTEM \"file:///etc/passwd\">\n]>\n"
               "<nib><window name=\"W\" width=\"1\" height=\"1\"><control kind=\"popup\" top=\"1\" left=\"1\" "
               "bottom=\"9\" right=\"9\"><item>&secret;</item></control></window></nib>\n",
               2, "document type declaration"},
        BadNib{"ExternalDtd",
               "<?xml version=\"1.0\"?>\n\n<!DOCTYPE nib SYSTEM \"http://127.0.0.1:9/nib.dtd\">\n<nib/>\n", 3,
               "document type declaration"}),
    [](const ::testing::TestParamInfo<BadNib> &param_info) { return std::string(param_info.param.what); });

INSTANTIATE_TEST_SUITE_P(
    Xml, BadNibTest,
    ::testing::Values(
        BadNib{"MismatchedTag",
               "<?xml version=\"1.0\"?>\n<nib>\n  <window name=\"W\" width=\"1\" height=\"1\">\n  </windw>\n</nib>\n", 4,
               "malformed XML"},
        BadNib{"UnclosedAttribute", "<nib>\n\n  <window name=\"W width=\"1\" height=\"1\"/>\n</nib>\n", 3, "malformed XML"},
        BadNib{"UndefinedEntity", "<nib>\n  <window name=\"&nope;\" width=\"1\" height=\"1\"/>\n</nib>\n", 2,
               "malformed XML"},
        BadNib{"NotUtf8", "<nib>\n  <window name=\"\xFF\xFE\" width=\"1\" height=\"1\"/>\n</nib>\n", 2, "malformed XML"},
        BadNib{"Empty", "", 1, "empty"},
        BadNib{"NotXml", "PK\x03\x04 binary", 1, "malformed XML"}),
    [](const ::testing::TestParamInfo<BadNib> &param_info) { return std::string(param_info.param.what); });

// Every cut of the good nib before its end tag is refused cleanly; cuts after it load.
TEST_F(NibTest, EveryTruncationOfAGoodNibFailsCleanly) {
    const std::string good = kGoodNib;
    const size_t complete = good.find("</nib>") + std::string("</nib>").size();
    for (size_t length = 0; length < good.size(); ++length) {
        Loaded loaded = load_text(good.substr(0, length));
        if (length >= complete) {
            EXPECT_EQ(noErr, loaded.status) << "cut at " << length;
            continue;
        }
        EXPECT_EQ(kIBCarbonRuntimeObjectNotOfRequestedType, loaded.status) << "cut at " << length;
        EXPECT_EQ(nullptr, loaded.nib) << "cut at " << length;
        EXPECT_EQ(0u, loaded.messages.rfind(nib_path().string() + ":", 0)) << "cut at " << length << ": " << loaded.messages;
        EXPECT_EQ(1, count_lines(loaded.messages)) << "cut at " << length << ": " << loaded.messages;
    }
}

}  // namespace
