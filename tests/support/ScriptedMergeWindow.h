// A main window for tests: its controls are plain values, and what the workflow does to it is kept.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/MergeWindowInterface.h"
#include "merge/MergeOptions.h"
#include "support/ScriptedMessageBoxes.h"

class ScriptedMergeWindow final : public MergeWindowInterface {
  public:
    // The controls.
    std::string inputPath;
    int layoutSelection = 0;
    MergeOptions options;

    // What the workflow did.
    ScriptedMessageBoxes boxes;
    std::vector<std::string> labels;
    std::vector<std::size_t> ranges;
    std::size_t lastPosition = 0;
    int busyDepth = 0;
    int busyStarts = 0;
    std::optional<DialogResult> endedWith;
    std::optional<int> shownLayout;

    void readBoxes(MergeDialog& dialog) override;
    void showValues(const MergeDialog& dialog) override;
    void beginBusy() override;
    void endBusy() override { --busyDepth; }
    void endDialog(DialogResult result) override { endedWith = result; }
    [[nodiscard]] MessageBoxes& messageBoxes() override { return boxes; }

    void setRange(std::size_t maximum) override { ranges.push_back(maximum); }
    void setPosition(std::size_t position) override { lastPosition = position; }
    void setLabel(const std::string& text) override { labels.push_back(text); }
};
