#include "imaging_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace imaging_test {

CFBundleRef imagingBundle() {
    static CFBundleRef bundle = [] {
        auto path = cf::string(kImagingBundlePath);
        auto url = cf::adopt(CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path.get(), kCFURLPOSIXPathStyle, true));
        return CFBundleCreate(kCFAllocatorDefault, url.get());
    }();
    return bundle;
}

std::string itemText(ControlRef popup, MenuItemIndex item) {
    CFStringRef itemString = nullptr;
    if (CopyMenuItemTextAsCFString(GetControlPopupMenuHandle(popup), item, &itemString) != noErr) return {};
    return cf::utf8(cf::adopt(itemString).get());
}

ControlWindow::ControlWindow() {
    Rect bounds;
    SetRect(&bounds, 100, 100, 500, 400);
    CreateNewWindow(kDocumentWindowClass, kWindowStandardHandlerAttribute, &bounds, &window_);
}

ControlWindow::~ControlWindow() {
    if (window_ != nullptr) DisposeWindow(window_);
}

ControlRef ControlWindow::popup(const std::vector<std::string> &items, SInt32 value) {
    Rect bounds;
    SetRect(&bounds, 10, 10, 200, 30);
    ControlRef control = nullptr;
    CreatePopupButtonControl(window_, &bounds, CFSTR(""), -12345, false, 0, 0, 0, &control);
    MenuRef menu = nullptr;
    CreateNewMenu(nextMenuID_++, 0, &menu);
    for (const auto &item : items)
        AppendMenuItemTextWithCFString(menu, cf::string(item).get(), 0, 0, nullptr);
    SetControlPopupMenuHandle(control, menu);
    ReleaseMenu(menu);
    SetControl32BitMaximum(control, static_cast<SInt32>(items.size()));
    SetControl32BitValue(control, value);
    return control;
}

ControlRef ControlWindow::checkBox(SInt32 value) {
    Rect bounds;
    SetRect(&bounds, 40, 10, 58, 200);
    ControlRef control = nullptr;
    CreateCheckBoxControl(window_, &bounds, CFSTR("Box"), value, true, &control);
    return control;
}

void warmStringTables() {
    for (const char *localization : {"en", "de"}) {
        test_support::LocalizationScope scope(localization);
        for (CFStringRef table : {CFStringRef(nullptr), CFSTR("Halftone")}) {
            auto found = cf::adopt(CFBundleCopyLocalizedString(imagingBundle(), CFSTR("Auto"), CFSTR("Auto"), table));
        }
    }
}

std::unique_ptr<printdialog::Dialog> openDialog(const std::string &ppdPath,
                                            const std::map<std::string, std::string> &ticket) {
    auto presets = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    for (const auto &[key, value] : ticket) CFDictionarySetValue(presets.get(), cf::string(key).get(), cf::string(value).get());

    printdialog::Dialog::Options options;
    options.ppdPath = ppdPath;
    options.bundlePaths = {kImagingBundlePath};
    options.presets = presets.get();
    std::string error;
    auto dialog = printdialog::Dialog::open(options, error);
    EXPECT_NE(dialog, nullptr) << error;
    return dialog;
}

std::string ticketValue(CFDictionaryRef ppdDict, const char *key) {
    CFTypeRef value = CFDictionaryGetValue(ppdDict, cf::string(key).get());
    if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID()) return {};
    return cf::utf8(static_cast<CFStringRef>(value));
}

bool ticketHas(CFDictionaryRef ppdDict, const char *key) {
    return CFDictionaryContainsKey(ppdDict, cf::string(key).get());
}

std::map<std::string, PPDOption> readPPDOptions(const std::string &ppdPath) {
    std::map<std::string, PPDOption> options;
    std::ifstream file(ppdPath);
    std::string line;
    while (std::getline(file, line)) {
        if (line.size() < 2 || line[0] != '*' || line[1] == '%') continue;
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string head = line.substr(1, colon - 1);
        if (head.rfind("Default", 0) == 0 && head.find(' ') == std::string::npos) {
            size_t start = line.find_first_not_of(' ', colon + 1);
            if (start != std::string::npos) options[head.substr(7)].defaultKeyword = line.substr(start);
            continue;
        }
        // "*Key keyword/Text:" names one choice of the option Key.
        size_t space = head.find(' ');
        size_t slash = head.find('/');
        if (space == std::string::npos || slash == std::string::npos || slash < space) continue;
        options[head.substr(0, space)].keywords.push_back(head.substr(space + 1, slash - space - 1));
    }
    return options;
}

}  // namespace imaging_test
