// Resolve and comments steps for tests: a script acts on the dialog as a user would.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/CommentsStep.h"
#include "app/ResolveStep.h"
#include "confirm/CommentsDialog.h"
#include "confirm/CommentsWindowInterface.h"
#include "resolve/ResolveDialog.h"
#include "resolve/ResolveWindowInterface.h"
#include "support/ScriptedMessageBoxes.h"

class ScriptedResolveStep final : public ResolveStep, public ResolveWindowInterface {
  public:
    // What the user does once the dialog is open; without a script the step fails the test.
    std::function<void(ResolveDialog&)> script;
    ScriptedMessageBoxes boxes;
    int runs = 0;
    int boxReads = 0;

    [[nodiscard]] DialogResult runResolve(ResolveDialog& dialog) override;
    void readBoxes(ResolveDialog& /*dialog*/) override { ++boxReads; }
    void showValues(const ResolveDialog& /*dialog*/) override {}
    void endDialog(DialogResult result) override { result_ = result; }
    [[nodiscard]] MessageBoxes& messageBoxes() override { return boxes; }

  private:
    DialogResult result_ = DialogResult::Cancel;
};

class ScriptedCommentsStep final : public CommentsStep, public CommentsWindowInterface {
  public:
    // What the user does once the dialog is open; without a script, Write.
    std::function<void(CommentsDialog&)> script;
    // Text the user leaves in the editable box; nothing keeps what the dialog proposed.
    std::optional<std::string> editedText;
    int runs = 0;
    std::string proposedText;

    [[nodiscard]] DialogResult runComments(CommentsDialog& dialog) override;
    void readBoxes(CommentsDialog& dialog) override;
    void showValues(const CommentsDialog& dialog) override { proposedText = dialog.combinedComments; }
    void endDialog(DialogResult result) override { result_ = result; }

  private:
    DialogResult result_ = DialogResult::Cancel;
};
