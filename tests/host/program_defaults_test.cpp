// Where a program looks for its plug-ins and sample printer: decided by where the executable
// lives. The installed case as a user meets it: tests/package/package_test.sh.
#include <printdialog/startup.h>

#include <gtest/gtest.h>

namespace {

TEST(ProgramDefaults, TheBuildTreesForTheProgramBuiltThereTheInstalledOnesBesideAnyOther) {
    const printdialog::ProgramDefaults built{PDE_SOURCE_DIR "/printers/QUORVEN-v-DX7140K.ppd", PDE_PLUGIN_DIR};
    const printdialog::ProgramDefaults installed{"../share/ppd/quorven/QUORVEN-v-DX7140K.ppd",
                                                 "../lib/quorven-pde/plugins"};
    struct Case {
        std::string program, printer, plugins;
    } cases[] = {
        {PDE_BINARY_DIR "/host/pdehost/pdehost", built.printer, built.plugins},
        // The same folder written another way is still the build's.
        {PDE_BINARY_DIR "/host/../host/pdehost/pdehost", built.printer, built.plugins},
        {"/usr/bin/pdehost", "/usr/share/ppd/quorven/QUORVEN-v-DX7140K.ppd", "/usr/lib/quorven-pde/plugins"},
        {"/tmp/stage/usr/bin/pdehost", "/tmp/stage/usr/share/ppd/quorven/QUORVEN-v-DX7140K.ppd",
         "/tmp/stage/usr/lib/quorven-pde/plugins"},
        {"", built.printer, built.plugins},  // nothing known of the executable
    };
    for (const Case &each : cases) {
        printdialog::ProgramDefaults found =
            printdialog::defaultsForProgram(each.program, PDE_BINARY_DIR "/host/pdehost", built, installed);
        EXPECT_EQ(each.printer, found.printer) << each.program;
        EXPECT_EQ(each.plugins, found.plugins) << each.program;
    }
    EXPECT_NE("", printdialog::runningProgramPath()) << "this test program's own path";
}

}  // namespace
