// The balance check itself: it must see what a leaking pane would leave behind.
#include "live_objects.h"

#include <Carbon/Carbon.h>
#include <platform/cf_ref.h>

#include <gtest/gtest.h>

namespace test_support {
namespace {

TEST(LiveObjects, SeesAnUnreleasedStringAndAWindowNotDisposedOf) {
    const LiveObjects start = LiveObjects::now();
    CFStringRef leaked = CFStringCreateWithCString(kCFAllocatorDefault, "leak", kCFStringEncodingUTF8);
    Rect bounds;
    SetRect(&bounds, 0, 0, 100, 100);
    WindowRef window = nullptr;
    ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowStandardHandlerAttribute, &bounds, &window));

    // A window comes with its root control.
    auto change = [&start](const std::string &what, long was) {
        return what + ": " + std::to_string(was) + " -> " + std::to_string(was + 1);
    };
    std::vector<std::string> expected = {change("CF objects", start.cfObjects), change("window", start.count("window")),
                                          change("control", start.count("control"))};
    EXPECT_EQ(expected, differences(start, LiveObjects::now()));

    DisposeWindow(window);
    CFRelease(leaked);
    EXPECT_TRUE(differences(start, LiveObjects::now()).empty());
}

}  // namespace
}  // namespace test_support
