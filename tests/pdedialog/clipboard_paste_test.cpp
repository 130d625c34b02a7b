// Text that reaches a field without keys (the clipboard, a drop, a middle click) is typed into it
// one key event per character, through the pane's key filters: the real view in-process on the
// virtual display, with the clipboard of this process.
#include "view_fixture.h"

#include "run_loop_bridge.h"

using namespace pdedialog_test;

namespace {

constexpr SInt32 kPrintMode = 5, kDocumentNumber = 6;
constexpr auto kClipboardLimit = std::chrono::seconds(5);

std::string entryText(GtkWidget *entry) { return gtk_entry_get_text(GTK_ENTRY(entry)); }

enum class PasteWay { ControlV, ShiftInsert, PasteSignal };

class ClipboardPasteTest : public ViewTest {
protected:
    // The jobmode pane in Private mode: the document number field takes input and is full.
    void openOnDocumentNumber() {
        open(sample_printers::kDX7140K, "jobmode");
        ASSERT_EQ(noErr, PlatformChoosePopupItem(control("jobmode", kPrintMode), 4));
        pdedialog::RunLoopBridge::turnOnce();
        entry_ = widget("jobmode", kDocumentNumber);
        field_ = control("jobmode", kDocumentNumber);
        ASSERT_TRUE(PlatformIsControlEffectivelyEnabled(field_));
        ASSERT_EQ("24680", modelText(field_));
    }

    // Selects the whole field with Control+A, then pastes the text the given way.
    void pasteOverEverything(const char *text, PasteWay way) {
        pressKey(entry_, GDK_KEY_a, GDK_CONTROL_MASK);
        ASSERT_EQ(modelSelection(field_), std::make_pair(0, 5));
        gtk_clipboard_set_text(gtk_widget_get_clipboard(entry_, GDK_SELECTION_CLIPBOARD), text, -1);
        switch (way) {
        case PasteWay::ControlV: pressKey(entry_, GDK_KEY_v, GDK_CONTROL_MASK); break;
        case PasteWay::ShiftInsert: pressKey(entry_, GDK_KEY_Insert, GDK_SHIFT_MASK); break;
        case PasteWay::PasteSignal: g_signal_emit_by_name(entry_, "paste-clipboard"); break;
        }
    }

    // The clipboard answers in its own time: waits until the model holds the text.
    void expectModelText(const std::string &expected) {
        EXPECT_TRUE(runMainLoopUntil([&] { return modelText(field_) == expected; }, kClipboardLimit))
            << modelText(field_);
        EXPECT_EQ(expected, entryText(entry_)) << "the entry shows the model";
    }

    GtkWidget *entry_ = nullptr;
    ControlRef field_ = nullptr;
};

}  // namespace

TEST_F(ClipboardPasteTest, EveryWayOfPastingTypesThroughTheDigitAndLengthFilters) {
    openOnDocumentNumber();
    struct Case {
        PasteWay way;
        const char *clipboard;
        const char *expected;
    };
    for (const Case &paste : {Case{PasteWay::ControlV, "ab99999", "99999"},
                              Case{PasteWay::ShiftInsert, "x1234567", "12345"},
                              Case{PasteWay::PasteSignal, "7-5.3 1", "7531"}}) {
        SCOPED_TRACE(paste.clipboard);
        pasteOverEverything(paste.clipboard, paste.way);
        expectModelText(paste.expected);
    }
}

// Characters no key sends are skipped, never pressed as the key their low byte would be: a
// backspace or an arrow among the text edits nothing, and U+4E31 and U+1F631 are not a '1'.
TEST_F(ClipboardPasteTest, CharactersThatCannotBeTypedAreSkippedAndTheRestTyped) {
    openOnDocumentNumber();
    pasteOverEverything("1\b2\x1c" "3\t\r\n4\u4E31\U0001F631\u00E95\x7F", PasteWay::ControlV);
    expectModelText("12345");
}

// A drop or a middle click arrives as inserted text; deleting stays the model's to do.
TEST_F(ClipboardPasteTest, TextInsertedWithoutAKeyIsTypedAtTheModelsSelection) {
    openOnDocumentNumber();
    ASSERT_EQ(noErr, PlatformSetTextSelection(field_, 0, 2));
    gint position = 0;
    gtk_editable_insert_text(GTK_EDITABLE(entry_), "z7\u00E98", -1, &position);
    EXPECT_EQ("78680", modelText(field_));
    gtk_editable_delete_text(GTK_EDITABLE(entry_), 0, 4);
    EXPECT_EQ("78680", modelText(field_));
    EXPECT_EQ("78680", entryText(entry_));
}
