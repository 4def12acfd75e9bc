// The layout of the user's making, and the main dialog's guard against merging with the wrong layout.
#include "core/workflow/CustomLayoutDialog.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/ScriptedMerge.h"

namespace {

// The editor's window as plain values; `script` plays the user once the editor is open.
struct ScriptedLayoutStep final : CustomLayoutStep, CustomLayoutWindowInterface {
    std::function<void(CustomLayoutDialog&)> script;
    ScriptedMessageBoxes boxes;
    std::optional<DialogResult> endedWith;

    [[nodiscard]] DialogResult runCustomLayout(CustomLayoutDialog& dialog) override {
        dialog.setWindow(*this);
        dialog.onInitDialog();
        script(dialog);
        return endedWith.value_or(DialogResult::Cancel);
    }
    void showValues(const CustomLayoutDialog& /*dialog*/) override {}
    void endDialog(DialogResult result) override { endedWith = result; }
    [[nodiscard]] MessageBoxes& messageBoxes() override { return boxes; }
};

// The rig's database call with the same values, and an e-mail address to fill in; and a new call.
const std::string nohrInput = "QA1ABC AB12    XY  Abc      abc@example.org\nQN1NEW JO01aa      New\n";

}  // namespace

TEST(CustomLayout, EachFieldComesFromOneColumnAndTheCallIsRequired) {
    ScriptedLayoutStep step;
    CustomLayoutDialog editor({{"a", "b", "c"}, {"d"}}, {}, false);
    step.script = [&](CustomLayoutDialog& dialog) {
        EXPECT_EQ(dialog.columns.size(), 3u);  // as many as the widest line
        dialog.onChoose(0, "Name");
        dialog.onChoose(1, "Name");
        EXPECT_EQ(dialog.columns, (std::vector<std::string>{"", "Name", ""}));
        dialog.onOk();
        EXPECT_EQ(step.boxes.shown,
                  (std::vector<std::string>{
                      "error: VELK Merge Program Error: Choose the column that holds the call sign."}));
        EXPECT_FALSE(step.endedWith);
        dialog.onChoose(0, "Call");
        dialog.onOk();
    };
    EXPECT_EQ(step.runCustomLayout(editor), DialogResult::Ok);
    EXPECT_EQ(editor.chosenColumns(), (std::vector<std::string>{"Call", "Name"}));
}

TEST(CustomLayout, ACommaFileOfTheUsersMakingMergesWithoutUnknownFieldsAndIsRemembered) {
    FolderMergeRig rig("Name,Callsign,Locator\nAlice,QA1ABC,FN31pr\nNew,QN1NEW,JO01aa\n");
    rig.folder.write("Call3.txt", "QA1ABC,,EME,XY,,,144: 9el\r\n");
    ScriptedLayoutStep step;
    step.script = [](CustomLayoutDialog& dialog) {
        EXPECT_TRUE(dialog.headerFound);
        EXPECT_EQ(dialog.sample.size(), 3u);
        EXPECT_EQ(dialog.chosenColumns(), (std::vector<std::string>{"Name", "Call", "Grid"}));
        dialog.onOk();
    };
    rig.dialog.onEditCustomLayout(step);
    EXPECT_EQ(rig.dialog.inputLayout, customLayoutIndex);
    EXPECT_EQ(rig.settings.CustomLayout, "Name,Call,Grid");

    rig.window.layoutSelection = customLayoutIndex;  // as the window shows it
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written);
    // The header line is no comment of the list; fields the layout lacks keep their values.
    EXPECT_EQ(rig.folder.read("Call3.txt"),
              "QA1ABC,FN31pr,EME,XY,Alice,,144: 9el\r\nQN1NEW,JO01aa,,,New,,\r\n"
              "ZZZZZZ,End-Of-Callsign-Database\r\n");

    MergeRig next;
    next.settings = rig.settings;
    next.dialog.onInitDialog();
    EXPECT_EQ(next.dialog.customColumns, (std::vector<std::string>{"Name", "Call", "Grid"}));
}

TEST(LayoutGuard, TheHintNamesTheBetterLayoutAndMergeAsksBeforeReadingAnUnfittingFile) {
    FolderMergeRig rig(nohrInput);
    rig.dialog.onInputChosen();
    EXPECT_EQ(rig.dialog.layoutHint, "This file looks like Old Nohr Style.");
    EXPECT_EQ(rig.dialog.inputLayout, 0);  // nothing changes the selection but the user

    // Merge with the wrong layout asks first; No leaves every file as it was.
    rig.window.boxes.answers = {false};
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::LayoutRefused);
    EXPECT_EQ(
        rig.window.boxes.shown,
        (std::vector<std::string>{
            "query: VELK Merge Query.: Most lines of the input do not fit VELK Standard. Merge anyway?"}));
    EXPECT_EQ(rig.folder.read("Call3.txt"), rigDatabase);
    EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");

    rig.dialog.onUseSuggestedLayout();
    EXPECT_EQ(rig.dialog.inputLayout, 2);
    EXPECT_EQ(rig.dialog.layoutHint, "");
    rig.window.layoutSelection = 2;
    rig.window.boxes.shown.clear();
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written);
    EXPECT_EQ(rig.folder.read("Call3.txt"),
              "QA1ABC,AB12,,XY,Abc,abc@example.org,\r\nQN1NEW,JO01aa,,,New,,\r\nZZZZZZ,End-Of-Callsign-"
              "Database\r\n");
}

// Warned of only when enough calls are known for the share to mean something.
TEST(LayoutGuard, TheResolveHeaderWarnsWhenMostKnownCallsDiffer) {
    for (const std::uint32_t known : {19u, 30u, 40u}) {
        SessionRig rig;
        rig.session.knownCount = known;
        for (char letter = 'A'; letter < 'Q'; ++letter) {
            const std::string call = std::string("QA1") + letter + "BC";
            rig.addDifference(call + ",AB12,,,Abc,,", call + ",CD34,,,Abc,,");
        }
        ResolveDialog dialog(rig.session, nullptr, {});
        dialog.setWindow(rig.resolve);
        dialog.onInitDialog();
        EXPECT_EQ(dialog.layoutWarning, known == 30
                                            ? "16 of the 30 calls found in both files differ. Check that "
                                              "the Field Definition fits the input file."
                                            : "")
            << known;
    }
}
