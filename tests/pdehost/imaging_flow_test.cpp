// The imaging pane on the 8250K through pdehost: the monochrome and 1200 dpi rules, the eight
// keys it writes, and conflicts with the printer's constraints.
#include "pdehost_run.h"

#include <set>

namespace pdehost_test {
namespace {

const int kImageType = 9, kBlackOverPrint = 10, kPureBlackGray = 11;

TEST(ImagingRules, MonochromeDisablesThreeControlsOnceTheRunLoopTurns) {
    ProgramRun run = runActions(sample_printers::kDX8250K, {"select imaging 5 3", "show", "tick 0", "show", "select imaging 5 1",
                                         "tick 0", "show"},
                         {"--manual-clock"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    const json &before = pane(action(document, 1), "imaging");
    const json &mono = pane(action(document, 3), "imaging");
    const json &color = pane(action(document, 6), "imaging");
    for (int id : {kImageType, kBlackOverPrint, kPureBlackGray}) {
        EXPECT_TRUE(control(before, id)["enabled"].get<bool>()) << id << ": the rule has not run yet";
        EXPECT_FALSE(control(mono, id)["enabled"].get<bool>()) << id;
        EXPECT_TRUE(control(color, id)["enabled"].get<bool>()) << id;
    }
    EXPECT_TRUE(control(mono, 20)["enabled"].get<bool>()) << "resolution is not governed by the colour type";
}

TEST(ImagingRules, At1200DpiPhotoAndGraphicsCannotBeChosen) {
    ProgramRun run = runActions(sample_printers::kDX8250K, {"select imaging 20 2", "select imaging 9 2"});
    EXPECT_EQ(1, run.exitCode);
    EXPECT_NE(run.err.find("imaging control 9"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("disabled"), std::string::npos) << run.err;
    json document = run.document();
    const json &imageType = control(pane(document, "imaging"), kImageType);
    EXPECT_EQ(1, imageType["value"]);
    EXPECT_TRUE(imageType["enabled"].get<bool>());
    std::vector<bool> enabled;
    for (const auto &item : imageType["items"]) enabled.push_back(item["enabled"]);
    EXPECT_EQ(enabled, (std::vector<bool>{true, false, false, true}));
}

TEST(ImagingTicket, CommitWritesTheEightKeysThePrinterKnows) {
    ProgramRun run = runActions(sample_printers::kDX8250K, {"ticket", "select imaging 5 3", "select imaging 20 3", "select imaging 6 2",
                                         "check imaging 7 on", "check imaging 8 on", "check imaging 8 on", "commit"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    EXPECT_TRUE(action(document, 0)["ticket"].empty()) << "nothing is written before the commit";
    const json &ticket = document["ticket"];
    std::vector<std::string> keys;
    for (const auto &[key, value] : ticket.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"BlackOverPrint", "ColorType", "DistinguishThinLines", "Halftone",
                                              "ImageType", "PureBlackGray", "Resolution", "TonerSave"}));
    EXPECT_EQ("Mono", ticket["ColorType"]);
    EXPECT_EQ("300dpi", ticket["Resolution"]);
    EXPECT_EQ("Smooth", ticket["Halftone"]);
    EXPECT_EQ("True", ticket["DistinguishThinLines"]);
    EXPECT_EQ("True", ticket["TonerSave"]) << "check on an already checked box leaves it on";
    EXPECT_EQ("Text&Graphics", ticket["BlackOverPrint"]) << "a disabled control still writes its keyword";
    EXPECT_TRUE(document["unknown"].empty()) << document["unknown"];
    EXPECT_NE(document["emitted"].get<std::string>().find("*ColorType Mono"), std::string::npos);
}

TEST(ImagingTicket, ConflictingPresetsAreReportedNamingBothSides) {
    ProgramRun run = runActions(sample_printers::kDX8250K, {"commit"}, {"-o", "ImageType=Photo", "-o", "Resolution=1200dpi"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    json document = run.document();
    ASSERT_EQ(1u, document["conflicts"].size()) << document["conflicts"];
    const json &conflict = document["conflicts"][0];
    std::set<std::string> sides = {conflict["option1"].get<std::string>() + "=" + conflict["choice1"].get<std::string>(),
                                   conflict["option2"].get<std::string>() + "=" + conflict["choice2"].get<std::string>()};
    EXPECT_EQ(sides, (std::set<std::string>{"ImageType=Photo", "Resolution=1200dpi"}));
    const json &imageType = control(pane(document, "imaging"), kImageType);
    EXPECT_EQ(2, imageType["value"]) << "the pane shows the preset even though the rule disables the item";
    EXPECT_FALSE(imageType["items"][1]["enabled"].get<bool>());
}

TEST(ImagingTicket, MonochromeWithPhotoIsASecondConflict) {
    ProgramRun run = runActions(sample_printers::kDX8250K, {"select imaging 5 3", "commit"},
                         {"-o", "ImageType=Photo", "-o", "Resolution=1200dpi"});
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ(2u, run.document()["conflicts"].size());
}

}  // namespace
}  // namespace pdehost_test
