// The helpers that both test programs share.
#include "platform_test_helpers.h"

#include <platform/cf_ref.h>
#include <platform/test_support.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

void PrintTo(const Rect &rect, std::ostream *out) {
    *out << "(top " << rect.top << ", left " << rect.left << ", bottom " << rect.bottom << ", right " << rect.right << ")";
}

namespace test_helpers {
namespace {

std::string ppdText(const std::string &modelLine) {
    return "*PPD-Adobe: \"4.3\"\n"
           "*FormatVersion: \"4.3\"\n"
           "*FileVersion: \"1.0\"\n"
           "*LanguageVersion: English\n"
           "*LanguageEncoding: ISOLatin1\n"
           "*PCFileName: \"PROBE.PPD\"\n"
           "*Manufacturer: \"QUORVEN\"\n"
           "*Product: \"(QUORVEN probe)\"\n" +
           modelLine +
           "*ShortNickName: \"QUORVEN probe\"\n"
           "*NickName: \"QUORVEN probe printer\"\n"
           "*PSVersion: \"(3010.000) 0\"\n"
           "*OpenUI *PageSize/Page Size: PickOne\n"
           "*DefaultPageSize: A4\n"
           "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
           "*CloseUI: *PageSize\n";
}

}  // namespace

std::string samplePPD(const char *fileName) { return std::string(PDE_SOURCE_DIR "/printers/") + fileName; }

PPDFolder::PPDFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pde-tests-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    folder_ = pattern;
}

PPDFolder::~PPDFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string PPDFolder::write(const std::string &fileName, const std::string &contents) {
    auto path = folder_ / fileName;
    std::ofstream(path) << contents;
    return path.string();
}

std::string PPDFolder::withModel(const std::string &model) {
    return write("model-" + std::to_string(++serial_) + ".ppd", ppdText("*ModelName: \"" + model + "\"\n"));
}

std::string PPDFolder::withoutModelName() { return write("no-model.ppd", ppdText("")); }

std::string PPDFolder::malformed() {
    return write("malformed.ppd", "This is a shopping list, not a printer description.\nEggs\nMilk\n");
}

LiveCounts LiveCounts::now() {
    LiveCounts counts;
    counts.cfObjects = PlatformLiveCFObjectCount();
    counts.windows = PlatformLiveObjectCount("window");
    counts.controls = PlatformLiveObjectCount("control");
    counts.menus = PlatformLiveObjectCount("menu");
    counts.handlers = PlatformLiveObjectCount("event-handler");
    counts.events = PlatformLiveObjectCount("event");
    counts.nibs = PlatformLiveObjectCount("nib");
    counts.sessions = PlatformLiveObjectCount("print-session");
    counts.tickets = PlatformLiveObjectCount("ticket");
    counts.ppdContexts = PlatformLiveObjectCount("ppd-context");
    return counts;
}

void PrintTo(const LiveCounts &counts, std::ostream *out) {
    *out << "{cf " << counts.cfObjects << ", windows " << counts.windows << ", controls " << counts.controls
         << ", menus " << counts.menus << ", handlers " << counts.handlers << ", events " << counts.events
         << ", nibs " << counts.nibs << ", sessions " << counts.sessions << ", tickets " << counts.tickets
         << ", ppd contexts " << counts.ppdContexts << "}";
}

Rect makeRect(SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) {
    Rect rect;
    rect.top = top;
    rect.left = left;
    rect.bottom = bottom;
    rect.right = right;
    return rect;
}

std::string utf8(CFStringRef string) {
    if (string == nullptr) return {};
    char buffer[1024];
    if (!CFStringGetCString(string, buffer, sizeof buffer, kCFStringEncodingUTF8)) return "(unconvertible)";
    return buffer;
}

std::string fieldText(ControlRef field) {
    CFStringRef text = nullptr;
    if (GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr) != noErr)
        return {};
    auto owned = cf::adopt(text);
    return utf8(owned.get());
}

bool setFieldText(ControlRef field, const char *text) {
    auto string = cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8));
    CFStringRef value = string.get();
    return SetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof value, &value) == noErr;
}

}  // namespace test_helpers
