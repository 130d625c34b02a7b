// Get/SetControlData: a text control's CFString and selection, a popup's menu.
#include "control.h"
#include "toolbox_strings.h"

#include "support/faults.h"
#include "support/log.h"

#include <algorithm>
#include <cstring>
#include <optional>

using hitoolbox::Control;

namespace hitoolbox {
namespace {

enum class DataTag { text, selection, menu, owned_menu };

// The tags each kind answers; nothing for a tag the control does not have.
std::optional<DataTag> tag_of(const Control &control, ResType tag) {
    if (control.has_text() && tag == kControlEditTextCFStringTag) return DataTag::text;
    if (control.is_edit_text() && tag == kControlEditTextSelectionTag) return DataTag::selection;
    if (control.is_popup() && tag == kControlPopupButtonMenuRefTag) return DataTag::menu;
    if (control.is_popup() && tag == kControlPopupButtonOwnedMenuRefTag) return DataTag::owned_menu;
    return std::nullopt;
}

Size size_of(DataTag tag) {
    switch (tag) {
    case DataTag::text: return sizeof(CFStringRef);
    case DataTag::selection: return sizeof(ControlEditTextSelectionRec);
    case DataTag::menu:
    case DataTag::owned_menu: return sizeof(MenuRef);
    }
    return 0;
}

// Text may be asked of the whole control, its label or its text part; a popup's menu of any part.
bool accepts_part(DataTag tag, ControlPartCode part) {
    if (tag == DataTag::menu || tag == DataTag::owned_menu) return true;
    return part == kControlEntireControl || part == kControlLabelPart || part == kControlEditTextPart;
}

// The checks that Get and Set share, in the order the toolbox makes them. A refused tag is
// traced on the controls channel.
OSErr check_request(const char *function, Control *control, ControlPartCode part, ResType tag_name,
                    std::optional<DataTag> &tag) {
    if (control == nullptr) return errInvalidControl;
    tag = tag_of(*control, tag_name);
    if (!tag) {
        const OSType kind = control->kind();
        platform::log::write(platform::log::Channel::controls, platform::log::Level::trace,
                             "%s: tag '%c%c%c%c' is not supported by a '%c%c%c%c' control", function,
                             static_cast<char>(tag_name >> 24), static_cast<char>(tag_name >> 16),
                             static_cast<char>(tag_name >> 8), static_cast<char>(tag_name),
                             static_cast<char>(kind >> 24), static_cast<char>(kind >> 16), static_cast<char>(kind >> 8),
                             static_cast<char>(kind));
        return errDataNotSupported;
    }
    if (!accepts_part(*tag, part)) return errInvalidPartCode;
    return noErr;
}

SInt16 selection_position(std::size_t position) {
    return static_cast<SInt16>(std::min<std::size_t>(position, 0x7FFF));
}

}  // namespace
}  // namespace hitoolbox

extern "C" {

// The text comes back as a new string that the caller releases.
// Partial: only the CFString, selection and menu tags; others ('text' included) are refused.
OSErr GetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size inBufferSize,
                     void *inBuffer, Size *outActualSize) {
    if (auto fault = platform::faults::consume("GetControlData")) return static_cast<OSErr>(*fault);
    Control *control = Control::from_ref(inControl);
    std::optional<hitoolbox::DataTag> tag;
    if (OSErr status = hitoolbox::check_request("GetControlData", control, inPart, inTagName, tag); status != noErr)
        return status;
    if (inBufferSize != hitoolbox::size_of(*tag)) return errDataSizeMismatch;
    if (inBuffer == nullptr) return paramErr;
    switch (*tag) {
    case hitoolbox::DataTag::text: {
        CFStringRef text = hitoolbox::create_string_copy(control->text_content().text());
        std::memcpy(inBuffer, &text, sizeof(CFStringRef));
        break;
    }
    case hitoolbox::DataTag::selection: {
        const auto &content = control->text_content();
        ControlEditTextSelectionRec selection{hitoolbox::selection_position(content.selection_start()),
                                              hitoolbox::selection_position(content.selection_end())};
        std::memcpy(inBuffer, &selection, sizeof selection);
        break;
    }
    case hitoolbox::DataTag::menu:
    case hitoolbox::DataTag::owned_menu: {
        MenuRef menu = control->menu() != nullptr ? control->menu()->menu_ref() : nullptr;
        std::memcpy(inBuffer, &menu, sizeof(MenuRef));
        break;
    }
    }
    if (outActualSize != nullptr) *outActualSize = inBufferSize;
    return noErr;
}

// Text is copied and the caret put at its end; a menu given with the owned tag is taken over.
// Partial: only the CFString, selection and menu tags; others ('text' included) are refused.
OSErr SetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size inSize, const void *inData) {
    Control *control = Control::from_ref(inControl);
    std::optional<hitoolbox::DataTag> tag;
    if (OSErr status = hitoolbox::check_request("SetControlData", control, inPart, inTagName, tag); status != noErr)
        return status;
    if (inSize != hitoolbox::size_of(*tag)) return errDataSizeMismatch;
    if (inData == nullptr) return paramErr;
    switch (*tag) {
    case hitoolbox::DataTag::text: {
        CFStringRef string;
        std::memcpy(&string, inData, sizeof(CFStringRef));
        auto characters = hitoolbox::characters_of_string(string);
        if (!characters) return paramErr;
        control->edit_text([&characters](hitoolbox::TextContent &content) { content.set_text(std::move(*characters)); });
        break;
    }
    case hitoolbox::DataTag::selection: {
        ControlEditTextSelectionRec selection;
        std::memcpy(&selection, inData, sizeof selection);
        control->edit_text([&selection](hitoolbox::TextContent &content) {
            content.select(selection.selStart, selection.selEnd);
        });
        break;
    }
    case hitoolbox::DataTag::menu:
    case hitoolbox::DataTag::owned_menu: {
        MenuRef menu_ref;
        std::memcpy(&menu_ref, inData, sizeof(MenuRef));
        hitoolbox::Menu *menu = hitoolbox::Menu::from_ref(menu_ref);
        if (menu == nullptr && menu_ref != nullptr) return paramErr;
        control->set_menu(*tag == hitoolbox::DataTag::owned_menu ? hitoolbox::MenuReference::adopt(menu)
                                                                  : hitoolbox::MenuReference::retain(menu));
        break;
    }
    }
    return noErr;
}

// Partial: only the CFString, selection and menu tags; others ('text' included) are refused.
OSErr GetControlDataSize(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size *outMaxSize) {
    Control *control = Control::from_ref(inControl);
    std::optional<hitoolbox::DataTag> tag;
    if (OSErr status = hitoolbox::check_request("GetControlDataSize", control, inPart, inTagName, tag); status != noErr)
        return status;
    if (outMaxSize == nullptr) return paramErr;
    *outMaxSize = hitoolbox::size_of(*tag);
    return noErr;
}

}  // extern "C"
