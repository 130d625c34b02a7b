// Reading a control tree into snapshots.
#include <printdialog/control_snapshot.h>
#include <printdialog/extension.h>

#include <platform/cf_ref.h>
#include <platform/user_actions.h>

namespace printdialog {

std::string kindName(OSType kind) {
    switch (kind) {
    case kControlKindUserPane: return "userpane";
    case kControlKindPopupButton: return "popup";
    case kControlKindEditUnicodeText:
    case kControlKindEditText: return "edittext";
    case kControlKindStaticText: return "statictext";
    case kControlKindCheckBox: return "checkbox";
    case kControlKindSlider: return "slider";
    case kControlKindGroupBox: return "groupbox";
    case kControlKindSeparator: return "separator";
    case kControlKindRoot: return "root";
    default: return "other";
    }
}

std::string ControlSnapshot::selectedItemText() const {
    if (kind != "popup" || value < 1 || static_cast<size_t>(value) > items.size()) return {};
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
    snapshot.kind = kindName(kind.kind);
    ControlID controlID{};
    if (GetControlID(control, &controlID) == noErr) snapshot.id = controlID.id;
    CFStringRef title = nullptr;
    if (CopyControlTitleAsCFString(control, &title) == noErr) {
        auto owned = cf::adopt(title);
        snapshot.title = utf8(owned.get());
    }
    if (snapshot.kind == "edittext" || snapshot.kind == "statictext") snapshot.text = controlText(control);
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
            itemSnapshot.checked = mark != noMark || (snapshot.kind == "popup" && item == snapshot.value);
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
        if (childSnapshot.kind == "statictext" && childSnapshot.id == 0) {
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
