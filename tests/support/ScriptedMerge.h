// The main dialog over a scripted window and scripted resolve and comments steps.
#pragma once

#include <functional>
#include <optional>

#include "core/workflow/CommentsDialog.h"
#include "core/workflow/MergeDialog.h"
#include "core/workflow/MergeSession.h"
#include "core/workflow/ResolveDialog.h"
#include "support/RecordMaker.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestFolder.h"

// A main window whose controls are plain values; what the workflow does to it is kept.
struct ScriptedMergeWindow final : MergeWindowInterface {
    std::string inputPath = "in.txt";
    int layoutSelection = 0;
    ScriptedMessageBoxes boxes;
    std::vector<std::string> labels;
    int busyDepth = 0;
    std::optional<DialogResult> endedWith;
    std::function<void()> onBeginBusy;  // runs each time the window turns busy, to change files meanwhile

    void readBoxes(MergeDialog& dialog) override {
        dialog.inputPath = inputPath;
        dialog.inputLayout = layoutSelection;
    }
    void showValues(const MergeDialog& /*dialog*/) override {}
    void beginBusy() override {
        ++busyDepth;
        if (onBeginBusy) {
            onBeginBusy();
        }
    }
    void endBusy() override { --busyDepth; }
    void endDialog(DialogResult result) override { endedWith = result; }
    [[nodiscard]] MessageBoxes& messageBoxes() override { return boxes; }
    void setRange(std::size_t /*maximum*/) override {}
    void setPosition(std::size_t /*position*/) override {}
    void setLabel(const std::string& text) override { labels.push_back(text); }
};

// The user presses `button` once the dialog is open; a resolve step nobody expected fails the test.
// The dialog's own output values stand for the boxes: a test types by setting them and reporting the change.
struct ScriptedResolveStep final : ResolveStep, ResolveWindowInterface {
    struct Tone {
        unsigned frequency;
        unsigned milliseconds;
        bool operator==(const Tone&) const = default;
    };
    void (ResolveDialog::*button)() = nullptr;
    ScriptedMessageBoxes boxes;
    std::optional<DialogResult> endedWith;
    std::vector<Tone> tones;
    std::vector<ResolveControl> hidden;
    bool gridValid = true;

    [[nodiscard]] DialogResult runResolve(ResolveDialog& dialog) override {
        endedWith.reset();
        dialog.setWindow(*this);
        dialog.onInitDialog();
        if (button == nullptr) {
            VELKMERGE_FAIL("the resolve step ran without a script");
        } else {
            (dialog.*button)();
        }
        return endedWith.value_or(DialogResult::Cancel);
    }
    bool readBoxes(ResolveDialog& /*dialog*/) override { return gridValid; }
    void showValues(const ResolveDialog& /*dialog*/) override {}
    void showPairs(const ResolveDialog& /*dialog*/) override {}
    void redrawAll(const ResolveDialog& /*dialog*/) override {}
    void hideControl(ResolveControl control) override { hidden.push_back(control); }
    void tone(unsigned frequency, unsigned milliseconds) override {
        tones.push_back({frequency, milliseconds});
    }
    void endDialog(DialogResult ended) override { endedWith = ended; }
    [[nodiscard]] MessageBoxes& messageBoxes() override { return boxes; }
};

// Write, or Cancel, with the text the user leaves in the editable box (by default what was proposed).
struct ScriptedCommentsStep final : CommentsStep, CommentsWindowInterface {
    bool cancel = false;
    std::optional<std::string> editedText;
    std::string proposedText = "-";  // "-": the step did not run
    DialogResult result = DialogResult::Cancel;

    [[nodiscard]] DialogResult runComments(CommentsDialog& dialog) override {
        dialog.setWindow(*this);
        dialog.initComments();
        cancel ? dialog.onCancel() : dialog.onWrite();
        return result;
    }
    void readBoxes(CommentsDialog& dialog) override {
        if (editedText) {
            dialog.combinedComments = *editedText;
        }
    }
    void showValues(const CommentsDialog& dialog) override { proposedText = dialog.combinedComments; }
    void endDialog(DialogResult ended) override { result = ended; }
};

struct MergeRig {
    ScriptedMergeWindow window;
    ScriptedResolveStep resolve;
    ScriptedCommentsStep comments;
    ProgramSettings settings;
    MergeDialog dialog{window, resolve, comments, settings};
};

// One merge's state without files, as the resolve and comments dialogs see it.
struct SessionRig {
    const std::vector<FieldDefinition> layouts = buildFieldDefinitions();
    MergeSession session;
    ScriptedResolveStep resolve;
    ScriptedCommentsStep comments;

    explicit SessionRig(int inputLayout = 0) : session(layouts, inputLayout, true) {}
    // A differing pair: a database line and an input record, in the input layout's field order.
    void addDifference(std::string_view database, std::string_view input) {
        session.databaseRecords.append(makeRecord(layouts[0], database));
        session.differences.push_back(std::make_unique<CallRecord>(
            makeRecord(layouts[static_cast<std::size_t>(session.inputLayout)], input)));
        session.differences.back()->setMatch(&session.databaseRecords.at(session.databaseRecords.size() - 1));
    }
};

// The database most workflow tests merge into.
inline const std::string rigDatabase = "QA1ABC,AB12,,XY,Abc,,\r\n";

// A main dialog working in its own folder, which holds an older "Call3.bak" and the input "in.txt".
struct FolderMergeRig : MergeRig {
    TestFolder folder;
    explicit FolderMergeRig(const std::string& input, bool withDatabase = true) {
        dialog.workFolder = folder.path();
        if (withDatabase) {
            folder.write("Call3.txt", rigDatabase);
        }
        folder.write("Call3.bak", "old backup");
        folder.write("in.txt", input);
    }
};
