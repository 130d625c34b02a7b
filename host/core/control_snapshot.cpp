// Reading a control tree into snapshots.
#include <printdialog/control_snapshot.h>
#include <printdialog/extension.h>

#include <platform/cf_ref.h>
#include <platform/user_actions.h>

namespace printdialog {

ControlType controlTypeOf(OSType kind) {
    switch (kind) {
    case kControlKindUserPane: return ControlType::UserPane;
    case kControlKindPopupButton: return ControlType::Popup;
    case kControlKindEditUnicodeText:
    case kControlKindEditText: return ControlType::EditText;
    case kControlKindStaticText: return ControlType::StaticText;
    case kControlKindCheckBox: return ControlType::CheckBox;
    case kControlKindSlider: return ControlType::Slider;
    case kControlKindGroupBox: return ControlType::GroupBox;
    case kControlKindSeparator: return ControlType::Separator;
    case kControlKindRoot: return ControlType::Root;
    default: return ControlType::Other;
    }
}

const char *controlTypeName(ControlType type) {
    switch (type) {
    case ControlType::UserPane: return "userpane";
    case ControlType::Popup: return "popup";
    case ControlType::EditText: return "edittext";
    case ControlType::StaticText: return "statictext";
    case ControlType::CheckBox: return "checkbox";
    case ControlType::Slider: return "slider";
    case ControlType::GroupBox: return "groupbox";
    case ControlType::Separator: return "separator";
    case ControlType::Root: return "root";
    case ControlType::Other: break;
    }
    return "other";
}

std::string kindName(OSType kind) { return controlTypeName(controlTypeOf(kind)); }

std::string ControlSnapshot::selectedItemText() const {
    if (type != ControlType::Popup || value < 1 || static_cast<size_t>(value) > items.size()) return {};
    return items[static_cast<size_t>(value - 1)].text;
}

namespace {

std::string controlText(ControlRef control) {
    CFStringRef text = nullptr;
    if (GetControlData(control, kControlEntireControl, kControlEditTextCFStringTag, sizeof(CFStringRef), &text,
                       nullptr) != noErr)
        return {};
    auto owned = cf::adopt(text);
    return utf8(owned.get());
}

}  // namespace

ControlSnapshot snapshotControl(ControlRef control) {
    ControlSnapshot snapshot;
    snapshot.control = control;
    ControlKind kind{};
    GetControlKind(control, &kind);
    snapshot.type = controlTypeOf(kind.kind);
    ControlID controlID{};
    if (GetControlID(control, &controlID) == noErr) snapshot.id = controlID.id;
    CFStringRef title = nullptr;
    if (CopyControlTitleAsCFString(control, &title) == noErr) {
        auto owned = cf::adopt(title);
        snapshot.title = utf8(owned.get());
    }
    if (snapshot.type == ControlType::EditText || snapshot.type == ControlType::StaticText) snapshot.text = controlText(control);
    snapshot.value = GetControl32BitValue(control);
    snapshot.minimum = GetControl32BitMinimum(control);
    snapshot.maximum = GetControl32BitMaximum(control);
    snapshot.enabled = PlatformIsControlEffectivelyEnabled(control);
    GetControlBounds(control, &snapshot.bounds);

    if (MenuRef menu = GetControlPopupMenuHandle(control)) {
        for (UInt16 item = 1; item <= CountMenuItems(menu); ++item) {
            MenuItemSnapshot itemSnapshot;
            CFStringRef text = nullptr;
            if (CopyMenuItemTextAsCFString(menu, item, &text) == noErr) {
                auto owned = cf::adopt(text);
                itemSnapshot.text = utf8(owned.get());
            }
            itemSnapshot.enabled = IsMenuItemEnabled(menu, item);
            CharParameter mark = noMark;
            GetItemMark(menu, item, &mark);
            // A popup's chosen item carries the menu's check mark, whether or not the menu has one.
            itemSnapshot.checked = mark != noMark || (snapshot.type == ControlType::Popup && item == snapshot.value);
            snapshot.items.push_back(std::move(itemSnapshot));
        }
    }

    UInt16 count = 0;
    CountSubControls(control, &count);
    std::string pendingLabel;
    for (UInt16 index = 1; index <= count; ++index) {
        ControlRef child = nullptr;
        if (GetIndexedSubControl(control, index, &child) != noErr) continue;
        ControlSnapshot childSnapshot = snapshotControl(child);
        if (childSnapshot.type == ControlType::StaticText && childSnapshot.id == 0) {
            pendingLabel = childSnapshot.text;
        } else if (childSnapshot.id != 0) {
            childSnapshot.label = pendingLabel;
            pendingLabel.clear();
        }
        snapshot.children.push_back(std::move(childSnapshot));
    }
    return snapshot;
}

}  // namespace printdialog
