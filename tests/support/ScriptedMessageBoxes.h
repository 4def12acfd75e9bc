// Message boxes for tests: each box is recorded and each question answered from a queue.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/MessageBoxes.h"

class ScriptedMessageBoxes final : public MessageBoxes {
  public:
    enum class Kind { Error, Status, Query };
    struct Box {
        Kind kind;
        std::string caption;
        std::string text;
    };

    void showError(const std::string& caption, const std::string& text) override;
    void showStatus(const std::string& caption, const std::string& text) override;
    // Takes the next scripted answer; a question nobody scripted fails the test and answers No.
    [[nodiscard]] bool askYesNo(const std::string& caption, const std::string& text) override;

    std::deque<bool> answers;
    std::vector<Box> shown;
};
