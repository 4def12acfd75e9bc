// Asks the user for an input file (the Browse button): a window, or a scripted answer in tests.
#pragma once

#include <optional>
#include <string>

class BrowseStep {
  public:
    virtual ~BrowseStep() = default;
    // Opens the browser at `startFolder` (empty: the current folder). The chosen path, which may be
    // empty when nothing was selected; nothing when the user cancelled.
    [[nodiscard]] virtual std::optional<std::string> chooseInputFile(const std::string& startFolder) = 0;
};
