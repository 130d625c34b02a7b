// Text from a nib reaches the window, its controls and their menus unchanged, characters that
// look like encoding marks included. Found while fuzzing the nib loader (tests/fuzz).
#include <Carbon/Carbon.h>
#include <platform/cf_ref.h>
#include <platform/test_support.h>

#include <gtest/gtest.h>

#include "live_objects.h"
#include "temporary_folder.h"

#include <filesystem>
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
class NibText : public test_support::LeakCheckedTest {
protected:
    void SetUp() override {
        LeakCheckedTest::SetUp();
        test_support::writeFile(folder_ / "Test.plugin" / "Contents" / "Info.plist",
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
        EXPECT_EQ(0, PlatformLiveObjectCount("window"));
        LeakCheckedTest::TearDown();
    }

    // The window "Window" of the nib text.
    WindowRef load(const std::string &nib) {
        test_support::writeFile(folder_ / "Test.plugin" / "Contents" / "Resources" / "en.lproj" / "PDE.nib", nib);
        IBNibRef reference = nullptr;
        EXPECT_EQ(noErr, CreateNibReferenceWithCFBundle(bundle_.get(), CFSTR("PDE"), &reference));
        if (reference == nullptr) return nullptr;
        EXPECT_EQ(noErr, CreateWindowFromNib(reference, CFSTR("Window"), &window_));
        DisposeNibReference(reference);
        return window_;
    }

private:
    test_support::TemporaryFolder temporary_{"nib-text"};
    const fs::path folder_ = temporary_.path();
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
    ASSERT_EQ(noErr, CopyWindowTitleAsCFString(window, &title));
    EXPECT_EQ(u"\uFEFFJob", characters(title));

    ControlRef text = nullptr, popup = nullptr;
    const ControlID textID = {'qel ', 1}, popupID = {'qel ', 2};
    ASSERT_EQ(noErr, GetControlByID(window, &textID, &text));
    ASSERT_EQ(noErr, GetControlByID(window, &popupID, &popup));
    CFStringRef shown = nullptr;
    Size size = 0;
    ASSERT_EQ(noErr, GetControlData(text, kControlEntireControl, kControlStaticTextCFStringTag, sizeof shown, &shown, &size));
    EXPECT_EQ(u"\uFEFFMode", characters(shown));
    CFStringRef item = nullptr;
    ASSERT_EQ(noErr, CopyMenuItemTextAsCFString(GetControlPopupMenuHandle(popup), 1, &item));
    EXPECT_EQ(u"\uFEFFA4", characters(item));
}

}  // namespace
