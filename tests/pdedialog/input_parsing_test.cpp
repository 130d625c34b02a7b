// The parts of the dialog that need no display: key translation, offsets, the command line,
// script lines, the Print report and the job it sends to a queue.
#include "key_translation.h"
#include "options.h"
#include "script_runner.h"
#include "text_offsets.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <unistd.h>

using namespace pdedialog;

namespace {

GdkModifierType noModifiers() { return static_cast<GdkModifierType>(0); }

}  // namespace

TEST(KeyTranslation, PrintableKeysBecomeTheirMacRomanByte) {
    EXPECT_EQ('7', translateKey(GDK_KEY_7, noModifiers()).characterCode);
    EXPECT_EQ('7', translateKey(GDK_KEY_KP_7, noModifiers()).characterCode);
    EXPECT_EQ('A', translateKey(GDK_KEY_A, GDK_SHIFT_MASK).characterCode);
    // MacRoman, not Latin-1: é is 0x8E there (0xE9 in Latin-1).
    KeyDecision accented = translateKey(GDK_KEY_eacute, noModifiers());
    EXPECT_EQ(accented.route, KeyRoute::Platform);
    EXPECT_EQ(0x8E, accented.characterCode);
}

TEST(KeyTranslation, EditingKeysUseThePlatformCharacterCodes) {
    EXPECT_EQ(8, translateKey(GDK_KEY_BackSpace, noModifiers()).characterCode);
    EXPECT_EQ(127, translateKey(GDK_KEY_Delete, noModifiers()).characterCode);
    EXPECT_EQ(28, translateKey(GDK_KEY_Left, noModifiers()).characterCode);
    EXPECT_EQ(29, translateKey(GDK_KEY_Right, noModifiers()).characterCode);
    EXPECT_EQ(1, translateKey(GDK_KEY_Home, noModifiers()).characterCode);
    EXPECT_EQ(4, translateKey(GDK_KEY_End, noModifiers()).characterCode);
    EXPECT_EQ(translateKey(GDK_KEY_BackSpace, noModifiers()).route, KeyRoute::Platform);
}

TEST(KeyTranslation, WindowKeysReachThePlatformAndThenGtk) {
    KeyDecision tab = translateKey(GDK_KEY_Tab, noModifiers());
    EXPECT_EQ(tab.route, KeyRoute::PlatformThenGtk);
    EXPECT_EQ(9, tab.characterCode);
    EXPECT_EQ(13, translateKey(GDK_KEY_Return, noModifiers()).characterCode);
    EXPECT_EQ(3, translateKey(GDK_KEY_KP_Enter, noModifiers()).characterCode);
    EXPECT_EQ(translateKey(GDK_KEY_Escape, noModifiers()).route, KeyRoute::PlatformThenGtk);
}

TEST(KeyTranslation, ShortcutsAreEditCommandsAndNeverTypeText) {
    EXPECT_EQ(translateKey(GDK_KEY_v, GDK_CONTROL_MASK).route, KeyRoute::Paste);
    EXPECT_EQ(translateKey(GDK_KEY_V, GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK)).route, KeyRoute::Paste);
    EXPECT_EQ(translateKey(GDK_KEY_Insert, GDK_SHIFT_MASK).route, KeyRoute::Paste);
    EXPECT_EQ(translateKey(GDK_KEY_x, GDK_CONTROL_MASK).route, KeyRoute::Cut);
    EXPECT_EQ(translateKey(GDK_KEY_c, GDK_CONTROL_MASK).route, KeyRoute::Copy);
    EXPECT_EQ(translateKey(GDK_KEY_a, GDK_CONTROL_MASK).route, KeyRoute::SelectAll);
    EXPECT_EQ(translateKey(GDK_KEY_b, GDK_CONTROL_MASK).route, KeyRoute::Refused);
    EXPECT_EQ(translateKey(GDK_KEY_p, GDK_MOD1_MASK).route, KeyRoute::Gtk);  // a mnemonic
}

TEST(KeyTranslation, KeysWithoutACharacterGoToGtkAndUnsendableCharactersAreRefused) {
    EXPECT_EQ(translateKey(GDK_KEY_Shift_L, noModifiers()).route, KeyRoute::Gtk);
    EXPECT_EQ(translateKey(GDK_KEY_F5, noModifiers()).route, KeyRoute::Gtk);
    EXPECT_EQ(translateKey(GDK_KEY_Greek_alpha, noModifiers()).route, KeyRoute::Refused);
    EXPECT_FALSE(macRomanByte(0x1F600).has_value());
    EXPECT_FALSE(macRomanByte(0x09).has_value());
    EXPECT_EQ(macRomanByte(0x20AC), std::optional<UInt8>(0xDB));  // the euro sign
}

TEST(TextOffsets, SurrogatePairsCountTwiceOnThePlatformAndOnceInGtk) {
    const std::string text = "a\xF0\x9F\x98\x80" "b\xC3\xA9";  // a, U+1F600, b, é
    EXPECT_EQ(0, utf16OffsetOfCharacter(text, 0));
    EXPECT_EQ(3, utf16OffsetOfCharacter(text, 2));
    EXPECT_EQ(5, utf16OffsetOfCharacter(text, 4));
    EXPECT_EQ(5, utf16OffsetOfCharacter(text, 9));
    EXPECT_EQ(2, characterOffsetOfUTF16(text, 3));
    EXPECT_EQ(2, characterOffsetOfUTF16(text, 2));  // inside the pair: after it
    EXPECT_EQ(4, characterOffsetOfUTF16(text, 5));
    EXPECT_EQ(4, characterOffsetOfUTF16(text, 40));
    EXPECT_EQ(3, characterOffsetOfUTF16("24680", 3));
}

TEST(DialogCommandLine, TakesEveryOptionInBothForms) {
    Options options;
    std::string error;
    ASSERT_TRUE(parseCommandLine({"--printer", "p.ppd", "--plugins=dir", "--lang", "de", "--pane", "summary",
                                  "--script", "s.txt", "--screenshot", "shot.png", "--state=state.json"},
                                 options, error))
        << error;
    EXPECT_EQ("p.ppd", options.common.printer);
    EXPECT_EQ("dir", options.common.plugins);
    EXPECT_EQ("de", options.common.language);
    EXPECT_EQ("summary", options.pane);
    EXPECT_EQ("s.txt", options.script);
    EXPECT_EQ("shot.png", options.screenshot);
    EXPECT_EQ("state.json", options.state);
    EXPECT_FALSE(options.common.help);

    // --printer more than once: the first is opened, the others wait in the printer menu.
    Options several;
    ASSERT_TRUE(parseCommandLine({"--printer", "a.ppd", "--printer=b.ppd", "--printer", "c.ppd"}, several, error)) << error;
    EXPECT_EQ("a.ppd", several.common.printer);
    EXPECT_EQ((std::vector<std::string>{"b.ppd", "c.ppd"}), several.morePrinters);
    EXPECT_FALSE(parseCommandLine({"--pane", "a", "--pane", "b"}, several, error)) << "other options stay single";
}

TEST(DialogCommandLine, NamesWhatIsWrong) {
    Options options;
    std::string error;
    EXPECT_FALSE(parseCommandLine({"--printer"}, options, error));
    EXPECT_EQ("--printer needs an argument", error);
    EXPECT_FALSE(parseCommandLine({"--colour", "red"}, options, error));
    EXPECT_NE(error.find("--colour"), std::string::npos);
    EXPECT_FALSE(parseCommandLine({"--state="}, options, error));
    EXPECT_TRUE(parseCommandLine({"-h"}, options, error));
    EXPECT_TRUE(options.common.help);
}

// A readable document, removed with the object.
class DocumentFile {
public:
    DocumentFile() {
        int descriptor = mkstemp(path_);
        if (descriptor >= 0) close(descriptor);
    }
    DocumentFile(const DocumentFile &) = delete;
    DocumentFile &operator=(const DocumentFile &) = delete;
    ~DocumentFile() { unlink(path_); }
    std::string path() const { return path_; }

private:
    char path_[32] = "/tmp/pdedialog-document-XXXXXX";
};

TEST(DialogCommandLine, AQueueTakesTheDocumentToPrintAndItsTitle) {
    DocumentFile document;
    Options options;
    std::string error;
    ASSERT_TRUE(parseCommandLine({"--queue", "q7140", "--print=" + document.path(), "--title", "Quarterly report"},
                                 options, error))
        << error;
    EXPECT_EQ("q7140", options.common.queue);
    EXPECT_EQ(options.common.printFile, document.path());
    EXPECT_EQ("Quarterly report", options.common.title);
    EXPECT_TRUE(options.common.printer.empty());

    // A queue alone opens the dialog: Print asks for the document (this once was refused with
    // "--queue needs --print: the document the Print button submits").
    Options alone;
    ASSERT_TRUE(parseCommandLine({"--queue", "q"}, alone, error)) << error;
    EXPECT_EQ("q", alone.common.queue);
    EXPECT_TRUE(alone.common.printFile.empty());
}

TEST(DialogCommandLine, AQueueNeedsADocumentAndNoPPDBesideIt) {
    DocumentFile document;
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    };
    for (const Case &each : {
             Case{{"--queue", "q", "--printer", "p.ppd", "--print", document.path()},
                  "--queue and --printer cannot be used together"},
             Case{{"--queue", "q", "--title", "T"}, "--title needs --print"},
             Case{{"--print", document.path()}, "--print needs --queue: the job goes to a CUPS queue"},
             Case{{"--printer", "p.ppd", "--title", "T"}, "--title needs --print"},
             Case{{"--queue", "q", "--queue", "r", "--print", document.path()}, "--queue is given twice"},
             Case{{"--help=yes"}, "--help takes no value"},
             Case{{"--queue=", "--print", document.path()}, "--queue needs a non-empty argument"},
         }) {
        Options options;
        std::string error;
        EXPECT_FALSE(parseCommandLine(each.arguments, options, error)) << each.error;
        EXPECT_EQ(error, each.error);
    }
    Options options;
    std::string error;
    EXPECT_TRUE(parseCommandLine({"--queue", "q", "--help"}, options, error)) << "help is given whatever else is wrong";
}

TEST(DialogScriptLines, ReadsActionsScreenshotsAndQuit) {
    ScriptLine line;
    std::string error;
    ASSERT_TRUE(parseScriptLine("  type jobmode 6 12 34 ", line, error)) << error;
    EXPECT_EQ(line.kind, ScriptLine::Kind::Action);
    EXPECT_EQ(line.action.kind, printdialog::Action::Kind::Type);
    EXPECT_EQ("12 34", line.action.text);
    ASSERT_TRUE(parseScriptLine("screenshot docs/a b.png", line, error));
    EXPECT_EQ(line.kind, ScriptLine::Kind::Screenshot);
    EXPECT_EQ("docs/a b.png", line.file);
    ASSERT_TRUE(parseScriptLine("quit", line, error));
    EXPECT_EQ(line.kind, ScriptLine::Kind::Quit);
    ASSERT_TRUE(parseScriptLine(" print ", line, error));
    EXPECT_EQ(line.kind, ScriptLine::Kind::Print);
    ASSERT_TRUE(parseScriptLine("choose file  /tmp/a b.ps ", line, error)) << error;
    EXPECT_EQ(line.kind, ScriptLine::Kind::ChooseFile);
    EXPECT_EQ("/tmp/a b.ps", line.file);
}

TEST(DialogScriptLines, SkipsCommentsAndRefusesWhatTheWindowCannotRun) {
    ScriptLine line;
    std::string error;
    EXPECT_FALSE(parseScriptLine("   # a comment", line, error));
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(parseScriptLine("", line, error));
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(parseScriptLine("tick 0.5", line, error));
    EXPECT_NE(error.find("manual clock"), std::string::npos);
    EXPECT_FALSE(parseScriptLine("screenshot", line, error));
    EXPECT_FALSE(parseScriptLine("quit now", line, error));
    EXPECT_FALSE(parseScriptLine("print page.ps", line, error));
    EXPECT_EQ("print takes no argument but 'anyway'", error);
    EXPECT_FALSE(parseScriptLine("choose file", line, error));
    EXPECT_EQ("choose file needs a file name", error);
    EXPECT_FALSE(parseScriptLine("jump jobmode 5", line, error));
    EXPECT_FALSE(error.empty());
}

TEST(DialogScriptLines, AFileNamesTheLineThatIsWrong) {
    char path[] = "/tmp/pdedialog-script-XXXXXX";
    int descriptor = mkstemp(path);
    ASSERT_GE(descriptor, 0);
    std::string text = "# set up\nselect jobmode 5 4\n\nslide coloradjust 10 x\n";
    ASSERT_EQ(write(descriptor, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(descriptor);
    std::vector<ScriptLine> lines;
    std::string error;
    EXPECT_FALSE(readScript(path, lines, error));
    EXPECT_EQ(0u, error.rfind(std::string(path) + " line 4: ", 0)) << error;
    unlink(path);
    EXPECT_FALSE(readScript("/nonexistent/script", lines, error));
}
