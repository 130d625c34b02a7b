// What goes over from one printer's settings to another's.
#include <printdialog/printer_switch.h>

#include <printdialog/extension.h>
#include <printdialog/ppd_report.h>

#include <cups/ppd.h>

// libcups marks its PPD API deprecated; it is still the way to look up a PPD's options.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include <vector>

namespace printdialog {
namespace {

// Whether the PPD defines the keyword as an option and, when it does, offers the choice.
bool offers(ppd_file_t *ppd, const std::string &keyword, const std::string &choice, bool &defined) {
    ppd_option_t *option = ppdFindOption(ppd, keyword.c_str());
    defined = option != nullptr;
    return defined && ppdFindChoice(option, choice.c_str()) != nullptr;
}

}  // namespace

cf::Ref<CFMutableDictionaryRef> carriedSettings(CFDictionaryRef ppdDictionary, const std::string &fromPPD,
                                                const std::string &toPPD, std::string &error) {
    PPDFile from = openPPD(fromPPD, error);
    if (!from) return {};
    PPDFile to = openPPD(toPPD, error);
    if (!to) return {};
    auto carried = cf::adopt(CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks));
    if (!carried) {
        error = "out of memory";
        return {};
    }
    CFIndex count = ppdDictionary != nullptr ? CFDictionaryGetCount(ppdDictionary) : 0;
    std::vector<const void *> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
    if (count > 0) CFDictionaryGetKeysAndValues(ppdDictionary, keys.data(), values.data());
    for (size_t index = 0; index < keys.size(); ++index) {
        if (CFGetTypeID(keys[index]) != CFStringGetTypeID() || CFGetTypeID(values[index]) != CFStringGetTypeID())
            continue;
        std::string key = utf8(static_cast<CFStringRef>(keys[index]));
        std::string value = utf8(static_cast<CFStringRef>(values[index]));
        bool definedBefore = false;
        bool definedAfter = false;
        offers(from.get(), key, value, definedBefore);
        bool offered = offers(to.get(), key, value, definedAfter);
        bool keep = definedBefore ? offered : !definedAfter && isStandardJobAttribute(key);
        if (keep) CFDictionarySetValue(carried.get(), keys[index], values[index]);
    }
    return carried;
}

}  // namespace printdialog
