// The helpers that the framework and host tests share.
#include "toolbox_helpers.h"

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

std::string PPDFolder::withModel(const std::string &model) {
    return write("model-" + std::to_string(++serial_) + ".ppd", ppdText("*ModelName: \"" + model + "\"\n"));
}

std::string PPDFolder::withoutModelName() { return write("no-model.ppd", ppdText("")); }

std::string PPDFolder::malformed() {
    return write("malformed.ppd", "This is a shopping list, not a printer description.\nEggs\nMilk\n");
}

Rect makeRect(SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) {
    Rect rect;
    rect.top = top;
    rect.left = left;
    rect.bottom = bottom;
    rect.right = right;
    return rect;
}

std::string fieldText(ControlRef field) {
    CFStringRef text = nullptr;
    if (GetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr) != noErr)
        return {};
    return cf::adopt_utf8(text);
}

bool setFieldText(ControlRef field, const char *text) {
    auto string = cf::string(text);
    CFStringRef value = string.get();
    return SetControlData(field, kControlEntireControl, kControlEditTextCFStringTag, sizeof value, &value) == noErr;
}

}  // namespace test_helpers
