// Changing the printer of a dialog: which settings of the old printer's PPD dictionary go over to
// the new printer, so that an option both printers have keeps its value.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <string>

namespace printdialog {

// A new dictionary with the entries of ppdDictionary that still mean something on the printer of
// toPPD: a string value of a keyword that both PPDs define as an option, where the new PPD has
// that choice too, and the standard job options (copies, page-ranges, ...) as they are. Entries
// that are not strings, keywords the new PPD lacks and choices it does not offer are left out.
// Empty with the reason when either PPD cannot be read (or memory runs out).
cf::Ref<CFMutableDictionaryRef> carriedSettings(CFDictionaryRef ppdDictionary, const std::string &fromPPD,
                                                const std::string &toPPD, std::string &error);

}  // namespace printdialog
