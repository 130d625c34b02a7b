// The balance check itself: it must see what a leaking pane would leave behind.
#include "live_objects.h"

#include <Carbon/Carbon.h>
#include <platform/cf_ref.h>

#include <gtest/gtest.h>

namespace balance {
namespace {

TEST(LiveObjects, SeesAnUnreleasedStringAndAWindowNotDisposedOf) {
    const LiveObjects start = LiveObjects::now();
    CFStringRef leaked = CFStringCreateWithCString(kCFAllocatorDefault, "leak", kCFStringEncodingUTF8);
    Rect bounds;
    SetRect(&bounds, 0, 0, 100, 100);
    WindowRef window = nullptr;
    ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowStandardHandlerAttribute, &bounds, &window), noErr);

    // A window comes with its root control.
    auto change = [&start](const std::string &what, long was) {
        return what + ": " + std::to_string(was) + " -> " + std::to_string(was + 1);
    };
    std::vector<std::string> expected = {change("CF objects", start.cfObjects), change("window", start.count("window")),
                                          change("control", start.count("control"))};
    EXPECT_EQ(differences(start, LiveObjects::now()), expected);

    DisposeWindow(window);
    CFRelease(leaked);
    EXPECT_TRUE(differences(start, LiveObjects::now()).empty());
}

}  // namespace
}  // namespace balance
