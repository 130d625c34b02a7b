// Text from a nib reaches the window, its controls and their menus unchanged, characters that
// look like encoding marks included. Found while fuzzing the nib loader (tests/fuzz).
#include <Carbon/Carbon.h>
#include <platform/cf_ref.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::u16string characters(CFStringRef string) {
    if (string == nullptr) return u"<null>";
    std::u16string text(static_cast<size_t>(CFStringGetLength(string)), u'\0');
    CFStringGetCharacters(string, CFRangeMake(0, CFStringGetLength(string)), reinterpret_cast<UniChar *>(text.data()));
    CFRelease(string);
    return text;
}

// A bundle in a temporary folder whose PDE.nib is the given text.
class NibText : public ::testing::Test {
protected:
    void SetUp() override {
        cfObjectsBefore_ = PlatformLiveCFObjectCount();
        std::string pattern = (fs::temp_directory_path() / "nib-text-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        write(folder_ / "Test.plugin" / "Contents" / "Info.plist",
              "<plist><dict><key>CFBundleIdentifier</key><string>com.quorven.test.nibtext</string>"
              "<key>CFBundleDevelopmentRegion</key><string>en</string></dict></plist>");
        const std::string path = (folder_ / "Test.plugin").string();
        auto url = cf::adopt(CFURLCreateFromFileSystemRepresentation(
            nullptr, reinterpret_cast<const UInt8 *>(path.data()), static_cast<CFIndex>(path.size()), true));
        bundle_ = cf::adopt(CFBundleCreate(nullptr, url.get()));
        ASSERT_TRUE(bundle_);
    }
    void TearDown() override {
        if (window_ != nullptr) DisposeWindow(window_);
        bundle_.reset();
        fs::remove_all(folder_);
        EXPECT_EQ(PlatformLiveObjectCount("window"), 0);
        EXPECT_EQ(PlatformLiveCFObjectCount(), cfObjectsBefore_) << "CF objects left alive";
    }

    static void write(const fs::path &file, const std::string &text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    // The window "Window" of the nib text.
    WindowRef load(const std::string &nib) {
        write(folder_ / "Test.plugin" / "Contents" / "Resources" / "en.lproj" / "PDE.nib", nib);
        IBNibRef reference = nullptr;
        EXPECT_EQ(CreateNibReferenceWithCFBundle(bundle_.get(), CFSTR("PDE"), &reference), noErr);
        if (reference == nullptr) return nullptr;
        EXPECT_EQ(CreateWindowFromNib(reference, CFSTR("Window"), &window_), noErr);
        DisposeNibReference(reference);
        return window_;
    }

private:
    long cfObjectsBefore_ = 0;
    fs::path folder_;
    cf::Ref<CFBundleRef> bundle_;
    WindowRef window_ = nullptr;
};

TEST_F(NibText, KeepsALeadingZeroWidthNoBreakSpaceInTitlesTextsAndItems) {
    WindowRef window = load(
        "<nib><window name=\"Window\" title=\"&#xFEFF;Job\" width=\"100\" height=\"100\">"
        "<control kind=\"statictext\" signature=\"qel \" id=\"1\" top=\"0\" left=\"0\" bottom=\"10\" right=\"10\""
        " text=\"&#xFEFF;Mode\"/>"
        "<control kind=\"popup\" signature=\"qel \" id=\"2\" top=\"0\" left=\"0\" bottom=\"10\" right=\"10\">"
        "<item>\xEF\xBB\xBF" "A4</item></control></window></nib>");
    ASSERT_NE(window, nullptr);

    CFStringRef title = nullptr;
    ASSERT_EQ(CopyWindowTitleAsCFString(window, &title), noErr);
    EXPECT_EQ(characters(title), u"\uFEFFJob");

    ControlRef text = nullptr, popup = nullptr;
    const ControlID textID = {'qel ', 1}, popupID = {'qel ', 2};
    ASSERT_EQ(GetControlByID(window, &textID, &text), noErr);
    ASSERT_EQ(GetControlByID(window, &popupID, &popup), noErr);
    CFStringRef shown = nullptr;
    Size size = 0;
    ASSERT_EQ(GetControlData(text, kControlEntireControl, kControlStaticTextCFStringTag, sizeof shown, &shown, &size), noErr);
    EXPECT_EQ(characters(shown), u"\uFEFFMode");
    CFStringRef item = nullptr;
    ASSERT_EQ(CopyMenuItemTextAsCFString(GetControlPopupMenuHandle(popup), 1, &item), noErr);
    EXPECT_EQ(characters(item), u"\uFEFFA4");
}

}  // namespace
