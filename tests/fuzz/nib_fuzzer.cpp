// Feeds arbitrary bytes to the nib loader as the PDE.nib of a bundle in a scratch folder:
// CreateNibReferenceWithCFBundle, then CreateWindowFromNib for every window name the bytes
// mention. Each window built is checked through the public toolbox and disposed of.
#include "fuzz_support.h"

#include <Carbon/Carbon.h>
#include <platform/cf_ref.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// A bundle with an Info.plist, made once; each input becomes its en.lproj/PDE.nib.
class NibBundle {
public:
    NibBundle() : folder_("nib-fuzzer") {
        const std::filesystem::path bundle_folder = folder_.path() / "Fuzz.plugin";
        fuzzing::write_file(bundle_folder / "Contents" / "Info.plist",
                            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                            "<key>CFBundleIdentifier</key><string>com.quorven.fuzz.nib</string>\n"
                            "<key>CFBundleDevelopmentRegion</key><string>en</string>\n</dict>\n</plist>\n");
        nib_file_ = bundle_folder / "Contents" / "Resources" / "en.lproj" / "PDE.nib";
        const std::string &path = bundle_folder.native();
        auto url = cf::adopt(CFURLCreateFromFileSystemRepresentation(
            nullptr, reinterpret_cast<const UInt8 *>(path.data()), static_cast<CFIndex>(path.size()), true));
        bundle_ = cf::adopt(CFBundleCreate(nullptr, url.get()));
        fuzzing::check(bundle_.get() != nullptr, "the scratch bundle cannot be made");
    }

    CFBundleRef bundle() const { return bundle_.get(); }
    void write_nib(std::string_view bytes) const { fuzzing::write_file(nib_file_, bytes); }

private:
    fuzzing::ScratchFolder folder_;
    std::filesystem::path nib_file_;
    cf::Ref<CFBundleRef> bundle_;
};

// The values of name="..." and name='...' in the bytes: the window names worth asking for.
std::vector<std::string> mentioned_names(std::string_view text) {
    constexpr std::size_t kMostNames = 8;
    std::vector<std::string> names = {"Window"};
    for (std::size_t at = text.find("name="); at != std::string_view::npos && names.size() < kMostNames;
         at = text.find("name=", at + 1)) {
        const std::size_t open = at + 5;
        if (open >= text.size() || (text[open] != '"' && text[open] != '\'')) continue;
        const std::size_t close = text.find(text[open], open + 1);
        if (close == std::string_view::npos) break;
        names.emplace_back(text.substr(open + 1, close - open - 1));
    }
    return names;
}

void check_items(ControlRef popup) {
    MenuRef menu = GetControlPopupMenuHandle(popup);
    fuzzing::check(menu != nullptr, "a popup without a menu");
    const UInt16 count = CountMenuItems(menu);
    for (MenuItemIndex item = 1; item <= count; ++item) {
        CFStringRef text = nullptr;
        fuzzing::check(CopyMenuItemTextAsCFString(menu, item, &text) == noErr && text != nullptr,
                       "a popup item without text");
        CFRelease(text);
    }
}

// What every control built from a checked nib satisfies; recurses into the embedded ones.
void check_control(ControlRef control, WindowRef window, std::set<std::pair<OSType, SInt32>> &ids, int depth) {
    fuzzing::check(depth < 1000, "controls nested absurdly deep");
    fuzzing::check(GetControlOwner(control) == window, "a control owned by another window");
    Rect bounds{};
    fuzzing::check(GetControlBounds(control, &bounds) == &bounds, "no bounds");
    fuzzing::check(bounds.bottom >= bounds.top && bounds.right >= bounds.left, "bounds turned inside out");
    const SInt32 minimum = GetControl32BitMinimum(control), maximum = GetControl32BitMaximum(control);
    const SInt32 value = GetControl32BitValue(control);
    fuzzing::check(minimum <= maximum && value >= minimum && value <= maximum, "a value outside the control's range");
    ControlID id{};
    if (GetControlID(control, &id) == noErr && id.signature != 0)
        fuzzing::check(ids.emplace(id.signature, id.id).second, "a ControlID used twice in one window");
    ControlKind kind{};
    fuzzing::check(GetControlKind(control, &kind) == noErr, "a control of no kind");
    if (kind.kind == kControlKindPopupButton) check_items(control);
    CFStringRef title = nullptr;
    if (CopyControlTitleAsCFString(control, &title) == noErr && title != nullptr) CFRelease(title);

    UInt16 count = 0;
    const OSErr counted = CountSubControls(control, &count);
    if (counted == errControlIsNotEmbedder) return;
    fuzzing::check(counted == noErr, "CountSubControls failed");
    for (UInt16 index = 1; index <= count; ++index) {
        ControlRef child = nullptr;
        fuzzing::check(GetIndexedSubControl(control, index, &child) == noErr && child != nullptr, "a missing child");
        ControlRef parent = nullptr;
        fuzzing::check(GetSuperControl(child, &parent) == noErr && parent == control, "a child with another parent");
        check_control(child, window, ids, depth + 1);
    }
}

void check_window(WindowRef window) {
    Rect content{};
    fuzzing::check(GetWindowBounds(window, kWindowContentRgn, &content) == noErr, "a window without bounds");
    const int width = content.right - content.left, height = content.bottom - content.top;
    fuzzing::check(width >= 1 && width <= 32000 && height >= 1 && height <= 32000, "a window size out of range");
    fuzzing::check(!IsWindowVisible(window), "a nib window made visible");
    CFStringRef title = nullptr;
    fuzzing::check(CopyWindowTitleAsCFString(window, &title) == noErr && title != nullptr, "a window without a title");
    CFRelease(title);
    ControlRef root = nullptr;
    fuzzing::check(GetRootControl(window, &root) == noErr && root != nullptr, "a window without a root control");
    std::set<std::pair<OSType, SInt32>> ids;
    check_control(root, window, ids, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const NibBundle nib_bundle;
    const std::string_view text = fuzzing::as_text(data, size);
    nib_bundle.write_nib(text);

    fuzzing::LiveObjectBalance balance;
    IBNibRef nib = nullptr;
    const OSStatus status = CreateNibReferenceWithCFBundle(nib_bundle.bundle(), CFSTR("PDE"), &nib);
    if (status != noErr) {
        fuzzing::check(status == kIBCarbonRuntimeObjectNotOfRequestedType, "a nib refused with an unexpected status");
        fuzzing::check(nib == nullptr, "a refused nib handed out anyway");
        return 0;
    }
    fuzzing::check(nib != nullptr, "no reference for an accepted nib");
    for (const std::string &name : mentioned_names(text)) {
        auto window_name = cf::adopt(CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8 *>(name.data()),
                                                             static_cast<CFIndex>(name.size()), kCFStringEncodingUTF8,
                                                             false));
        if (!window_name) continue;
        WindowRef window = nullptr;
        const OSStatus made = CreateWindowFromNib(nib, window_name.get(), &window);
        if (made != noErr) {
            // A checked nib builds every window it has: only a name it lacks may fail.
            fuzzing::check(made == kIBCarbonRuntimeCantFindObject, "a window of an accepted nib could not be built");
            fuzzing::check(window == nullptr, "a failed window handed out anyway");
            continue;
        }
        fuzzing::check(window != nullptr, "no window for a success");
        check_window(window);
        DisposeWindow(window);
    }
    DisposeNibReference(nib);
    return 0;
}
