// The print dialog's side of the PDE protocol.
#include <printdialog/dialog.h>

#include <printdialog/cf_dictionary.h>

#include <printdialog/utf8_text.h>

#include <platform/control_lookup.h>

#include <algorithm>
#include <filesystem>

namespace printdialog {
namespace {

constexpr OSType kPaneSignature = 'qel ';
constexpr SInt16 kPaneMargin = 10;

std::string lastComponent(const std::string &identifier) {
    auto dot = identifier.rfind('.');
    return dot == std::string::npos ? identifier : identifier.substr(dot + 1);
}

// Why Initialize failed, as far as the host can see: whether the pane's printer test accepted
// the printer (it wrote its flags) and which control lookup, if any, found nothing after that.
std::string initializeFailureNote(bool printerAccepted) {
    if (!printerAccepted) return "the pane's printer test did not accept this printer";
    ControlID missed{};
    if (PlatformGetLastControlLookupMiss(&missed))
        return std::string(kPrinterAcceptedNote) + ", but its nib has no control " +
               "'" + withEscapedBytes(fourCharacters(missed.signature)) + "' / " + std::to_string(missed.id);
    return std::string(kPrinterAcceptedNote) + "; Initialize failed after it";
}

}  // namespace

std::string fourCharacters(OSType code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xFF);
    return text;
}

std::vector<std::string> Dialog::bundlesIn(const std::string &directory) {
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(directory, error)) {
        if (entry.path().extension() == ".plugin") paths.push_back(entry.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::unique_ptr<Dialog> Dialog::open(const Options &options, std::string &error) {
    std::unique_ptr<Dialog> dialog(new Dialog());
    if (!PrintSession::create(options.ppdPath, dialog->session_, error)) return nullptr;
    copyEntries(options.presets, dialog->session_.ppdDictionary());

    std::vector<std::string> paths = options.bundlePaths;
    if (!options.pluginDirectory.empty()) {
        auto found = bundlesIn(options.pluginDirectory);
        paths.insert(paths.end(), found.begin(), found.end());
    }
    for (const auto &path : paths) dialog->loadPane(path);
    for (auto &pane : dialog->panes_) dialog->initializePane(*pane);
    return dialog;
}

void Dialog::loadPane(const std::string &bundlePath) {
    auto pane = std::make_unique<Pane>();
    pane->bundlePath = bundlePath;
    pane->shortName = std::filesystem::path(bundlePath).stem().string();
    auto ownerOf = [this](const std::string &factory) -> std::string {
        for (const auto &loaded : panes_)
            if (loaded->extension && loaded->extension->factory() == factory)
                return std::filesystem::path(loaded->bundlePath).filename().string();
        return {};
    };
    pane->extension = Extension::load(bundlePath, pane->loadError, ownerOf);
    // A bundle without an identifier (or one ending in a dot) keeps its folder's name.
    std::string fromIdentifier = pane->extension ? lastComponent(pane->extension->bundleIdentifier()) : "";
    if (!fromIdentifier.empty()) pane->shortName = fromIdentifier;
    panes_.push_back(std::move(pane));
}

void Dialog::initializePane(Pane &pane) {
    if (!pane.extension) return;
    const PlugInIntfVTable &table = pane.extension->table();

    CFStringRef kind = nullptr;
    CFStringRef title = nullptr;
    pane.prologueStatus = table.Prologue(&pane.context, &pane.creator, &kind, &title, &pane.width, &pane.height);
    pane.kind = utf8(kind);  // a constant of the plug-in's: not ours to release
    auto ownedTitle = cf::adopt(title);
    pane.title = utf8(ownedTitle.get());
    if (pane.prologueStatus != noErr) return;
    if (pane.width > kLargestPaneSide || pane.height > kLargestPaneSide) {
        // No screen shows it, and drawing it would take gigabytes: the pane is not initialized.
        pane.hostRefusal = "the pane asks for " + std::to_string(pane.width) + " x " + std::to_string(pane.height) +
                           " pixels, more than any screen shows (at most " + std::to_string(kLargestPaneSide) +
                           " per side)";
        return;
    }

    // Each pane has a window of its own, so that ControlIDs of different panes never meet.
    Rect content;
    SetRect(&content, 100, 100, static_cast<short>(100 + pane.width + 2 * kPaneMargin),
            static_cast<short>(100 + pane.height + 2 * kPaneMargin));
    if (CreateNewWindow(kDocumentWindowClass, kWindowStandardHandlerAttribute, &content, &pane.window) != noErr) {
        pane.initializeStatus = memFullErr;
        pane.initialized = true;
        return;
    }
    auto windowTitle = cf::adopt(CFStringCreateWithCString(kCFAllocatorDefault, pane.title.c_str(), kCFStringEncodingUTF8));
    SetWindowTitleWithCFString(pane.window, windowTitle.get());
    Rect paneBounds;
    SetRect(&paneBounds, kPaneMargin, kPaneMargin, static_cast<short>(kPaneMargin + pane.width),
            static_cast<short>(kPaneMargin + pane.height));
    CreateUserPaneControl(pane.window, &paneBounds, kControlSupportsEmbedding, &pane.userPane);

    // A pane that turns the printer away returns before it writes its flags; one that accepted it
    // writes them first. The sentinel and the lookups tell the two failures apart.
    constexpr PMPDEFlags kFlagsNotWritten = 0xFFFFFFFF;
    PMPDEFlags flags = kFlagsNotWritten;
    PlatformForgetControlLookupMiss();
    pane.initializeStatus = table.Initialize(pane.context, &flags, 0, pane.userPane, session_.session());
    pane.initialized = true;
    if (pane.initializeStatus != noErr) pane.initializeNote = initializeFailureNote(flags != kFlagsNotWritten);
}

Dialog::~Dialog() { terminate(); }

Pane *Dialog::findPane(const std::string &shortName) {
    for (auto &pane : panes_)
        if (pane->shortName == shortName) return pane.get();
    return nullptr;
}

OSStatus Dialog::openPane(Pane &pane) {
    if (!pane.accepted() || pane.terminated) return kPMInvalidPDEContext;
    if (pane.isOpen) return noErr;
    OSStatus status = pane.extension->table().Open(pane.context);
    pane.isOpen = true;
    return status;
}

OSStatus Dialog::closePane(Pane &pane) {
    if (!pane.accepted() || pane.terminated) return kPMInvalidPDEContext;
    if (!pane.isOpen) return noErr;
    OSStatus status = pane.extension->table().Close(pane.context);
    pane.isOpen = false;
    return status;
}

OSStatus Dialog::sync(Pane &pane, bool reinitializePlugin) {
    if (!pane.accepted() || pane.terminated) return kPMInvalidPDEContext;
    return pane.extension->table().Sync(pane.context, session_.session(), reinitializePlugin);
}

OSStatus Dialog::syncAll(bool reinitializePlugin) {
    OSStatus first = noErr;
    for (auto &pane : panes_) {
        if (!pane->accepted() || pane->terminated) continue;
        OSStatus status = sync(*pane, reinitializePlugin);
        if (first == noErr) first = status;
    }
    return first;
}

OSStatus Dialog::summary(Pane &pane, std::vector<SummaryRow> &rows) {
    rows.clear();
    if (!pane.accepted() || pane.terminated) return kPMInvalidPDEContext;
    CFArrayRef titles = nullptr;
    CFArrayRef values = nullptr;
    OSStatus status = pane.extension->table().GetSummaryText(pane.context, &titles, &values);
    auto ownedTitles = cf::adopt(titles);
    auto ownedValues = cf::adopt(values);
    if (status != noErr) return status;
    CFIndex count = titles ? CFArrayGetCount(titles) : 0;
    CFIndex valueCount = values ? CFArrayGetCount(values) : 0;
    for (CFIndex index = 0; index < std::max(count, valueCount); ++index) {
        SummaryRow row;
        if (index < count) row.title = utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(titles, index)));
        if (index < valueCount) row.value = utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(values, index)));
        rows.push_back(std::move(row));
    }
    return noErr;
}

ControlRef Dialog::control(const Pane &pane, SInt32 id) const {
    if (pane.window == nullptr) return nullptr;
    ControlID controlID = {kPaneSignature, id};
    ControlRef found = nullptr;
    return GetControlByID(pane.window, &controlID, &found) == noErr ? found : nullptr;
}

void Dialog::terminate() {
    if (terminated_) return;
    terminated_ = true;
    for (auto &pane : panes_) {
        if (pane->extension && !pane->terminated) {
            if (pane->isOpen && pane->accepted()) closePane(*pane);
            pane->extension->table().Terminate(pane->context, noErr);
        }
        pane->terminated = true;
        pane->context = 0;
    }
    for (auto &pane : panes_) {
        if (pane->window != nullptr) DisposeWindow(pane->window);
        pane->window = nullptr;
        pane->userPane = nullptr;
    }
    for (auto &pane : panes_) pane->extension.reset();
}

CFRunLoopRunResult Dialog::turnRunLoop(double seconds) {
    return CFRunLoopRunInMode(kCFRunLoopDefaultMode, seconds, false);
}

}  // namespace printdialog
