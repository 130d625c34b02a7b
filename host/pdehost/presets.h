// The ticket presets of the command line: --ticket FILE, then every -o KEY=VALUE.
#pragma once

#include "options.h"

#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <string>

namespace printdialog {}
namespace pdehost {
using namespace printdialog;  // FIXME: temporary while the program moves onto the core

// A new dictionary with the presets, or an empty reference with a one-line message (a malformed
// ticket names its line).
cf::Ref<CFMutableDictionaryRef> createPresets(const Options &options, std::string &error);

}  // namespace pdehost
